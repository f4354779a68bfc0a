// Comparing pictures of the window with the references kept beside the tests: two pictures
// match when they have the same size and few pixels differ by more than a tolerance (text
// drawn by another build of the font renderer may shade its edges a little differently).
//
// A picture that does not match fails the test, and the picture and a picture of the
// differences (the reference faint, the differing pixels red) are written to
// <build>/test-pictures/, named in the failure.  With RIVLET_UPDATE_PICTURES=1 in the
// environment the picture becomes the new reference instead.
#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <string>

struct PictureComparison {
    bool sameSize = false;
    std::size_t differing = 0; // pixels beyond the tolerance in some channel
    std::size_t total = 0;
    int largest = 0;    // the largest difference of a channel
    QImage differences; // the reference faint, differing pixels red
};

PictureComparison ComparePictures(const QImage& actual, const QImage& reference, int tolerance);

// Against the reference file; failures write <outputStem>.actual.png and
// <outputStem>.difference.png.
::testing::AssertionResult MatchesPicture(const QImage& actual, const std::string& referencePath,
                                          const std::string& outputStem, int tolerance,
                                          double share);

// Against tests/data/gui/<name>.png.
::testing::AssertionResult MatchesReference(const QImage& actual, const std::string& name,
                                            int tolerance = 64, double share = 0.005);
