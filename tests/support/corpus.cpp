#include "corpus.h"

#include <cstdlib>

namespace rivlet_test {

std::filesystem::path CorpusDir() {
    for (const char* name : {"RIVLET_CORPUS_DIR", "RIVLET_CORPUS"})
        if (const char* folder = std::getenv(name); folder && *folder)
            return folder;
    return RIVLET_DEFAULT_CORPUS_DIR;
}

std::string CorpusMissing(const std::string& sub) {
    std::filesystem::path folder = CorpusDir() / sub;
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return "";
    return "skipped: no corpus folder " + folder.string() +
           " (the shared corpus beside the checkout, or RIVLET_CORPUS_DIR)";
}

} // namespace rivlet_test
