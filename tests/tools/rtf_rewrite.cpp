// rtf-rewrite OUTDIR FILE...: reads each Rich Text file with the host's reader and writes the
// document again with its writer, as OUTDIR/<name of FILE>.  For the tests that have other
// programs read what the writer makes.  Exits 1 when a file cannot be read or written.
#include "text/rtfconvert.h"
#include "text/rtfwriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 3) {
        std::fprintf(stderr, "usage: rtf-rewrite OUTDIR FILE...\n");
        return 2;
    }
    fs::path out = argv[1];
    std::error_code error;
    fs::create_directories(out, error);
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        fs::path path = argv[i];
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "rtf-rewrite: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        std::string rtf = cadhost::text::WriteRtf(cadhost::text::ReadDocument(bytes.str()));
        std::ofstream written(out / path.filename(), std::ios::binary);
        written << rtf;
        if (!written.flush()) {
            std::fprintf(stderr, "rtf-rewrite: cannot write %s\n", (out / path.filename()).c_str());
            status = 1;
        }
    }
    return status;
}
