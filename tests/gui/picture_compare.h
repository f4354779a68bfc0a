// Pictures compared with the references committed under tests/data/gui/: equal sizes, and few
// pixels that differ by more than a little (fonts may be hinted a shade differently).  A
// picture that differs is written beside a picture of its differences, and their paths are
// part of the failure.  With RIVLET_UPDATE_PICTURES=1 in the environment the pictures taken
// become the references.
#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace gui_test {

struct Tolerance {
    int channel = 48;     // a pixel differs when a colour channel is further off than this
    double share = 0.002; // the share of differing pixels allowed
};

// The pixels that differ from a reference (differing pixels red over a pale copy of the
// reference), and how many they are.
QImage DifferencePicture(const QImage& actual, const QImage& reference, const Tolerance& tolerance,
                         long& differing);

// Whether the pictures taken become the references (RIVLET_UPDATE_PICTURES set, not 0).
bool UpdatingReferences();

// Compares a picture with tests/data/gui/<name>.png.
::testing::AssertionResult MatchesReference(const QImage& actual, const std::string& name,
                                            const Tolerance& tolerance = {});

} // namespace gui_test
