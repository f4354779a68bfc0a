// The shared corpus of documents and drawings that other programs made, which lies beside the
// checkout and may be missing.
#pragma once

#include <filesystem>
#include <string>

namespace rivlet_test {

// $RIVLET_CORPUS_DIR, else $RIVLET_CORPUS, else the corpus folder beside the checkout.
std::filesystem::path CorpusDir();

// "" when the corpus has the folder sub, else why a test that reads it is skipped.
std::string CorpusMissing(const std::string& sub);

} // namespace rivlet_test

// Skips the running GoogleTest test when the corpus has no folder sub.
#define SKIP_WITHOUT_CORPUS(sub)                                                                   \
    do {                                                                                           \
        if (std::string missing = rivlet_test::CorpusMissing(sub); !missing.empty())               \
            GTEST_SKIP() << missing;                                                               \
    } while (false)
