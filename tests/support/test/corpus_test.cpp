// Where the shared corpus is looked for, and what a test that needs a folder of it is told.
#include "corpus.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

// Gives the corpus variables back as they were.
class CorpusTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& [name, value] : m_saved)
            if (const char* old = std::getenv(name))
                value = old;
    }
    void TearDown() override {
        for (auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

private:
    std::pair<const char*, std::optional<std::string>> m_saved[2] = {{"RIVLET_CORPUS_DIR", {}},
                                                                     {"RIVLET_CORPUS", {}}};
};

TEST_F(CorpusTest, TheEnvironmentNamesItBeforeTheFolderBesideTheCheckout) {
    ::setenv("RIVLET_CORPUS_DIR", "/first", 1);
    ::setenv("RIVLET_CORPUS", "/second", 1);
    EXPECT_EQ(rivlet_test::CorpusDir(), "/first");
    ::unsetenv("RIVLET_CORPUS_DIR");
    EXPECT_EQ(rivlet_test::CorpusDir(), "/second");
    ::setenv("RIVLET_CORPUS_DIR", "", 1);
    EXPECT_EQ(rivlet_test::CorpusDir(), "/second") << "an empty variable names nothing";
    ::unsetenv("RIVLET_CORPUS_DIR");
    ::unsetenv("RIVLET_CORPUS");
    EXPECT_EQ(rivlet_test::CorpusDir().lexically_normal().string(),
              (std::filesystem::path(RIVLET_SOURCE_DIR).parent_path() / "shared" / "corpus")
                  .lexically_normal()
                  .string());
}

TEST_F(CorpusTest, AMissingFolderGivesTheReasonToSkip) {
    rivlet_test::TempFolder corpus("corpus");
    std::filesystem::create_directories(corpus / "dxf");
    std::ofstream(corpus / "rtf") << "a file, not a folder";
    ::setenv("RIVLET_CORPUS_DIR", corpus.path().c_str(), 1);
    EXPECT_EQ(rivlet_test::CorpusMissing("dxf"), "");
    for (const char* missing : {"rtf", "doc"}) {
        std::string reason = rivlet_test::CorpusMissing(missing);
        EXPECT_EQ(reason.rfind("skipped: ", 0), 0u) << reason;
        EXPECT_NE(reason.find(corpus / missing), std::string::npos) << reason;
    }
}

} // namespace
