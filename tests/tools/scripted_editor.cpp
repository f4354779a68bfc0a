// A word processor for tests and batch jobs: started with a file's path, as the external edit
// starts its editor, it edits the file in place as RIVLET_EDITOR says and ends.
//
//   RIVLET_EDITOR=append:TEXT     a paragraph of TEXT before the document's closing brace
//   RIVLET_EDITOR=replace:OLD=NEW the first OLD in the file becomes NEW
//   RIVLET_EDITOR=empty           the document saved empty (0 bytes)
//   RIVLET_EDITOR=same            the same bytes saved again
//   RIVLET_EDITOR=nosave (or unset)  closed without saving
//
// RIVLET_EDITOR_LOG, when set, names a file that gets one line per argument the editor was
// started with, so that a test sees how the command line reached it.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

bool Read(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (const char* log = std::getenv("RIVLET_EDITOR_LOG")) {
        std::ofstream out(log, std::ios::app);
        for (int i = 1; i < argc; ++i)
            out << argv[i] << "\n";
    }
    if (argc != 2) {
        std::fprintf(stderr, "scripted-editor: one file expected, %d arguments given\n", argc - 1);
        return 2;
    }
    const std::string path = argv[1];
    const char* how = std::getenv("RIVLET_EDITOR");
    std::string action = how ? how : "nosave";
    std::string text;
    if (!Read(path, text)) {
        std::fprintf(stderr, "scripted-editor: cannot read %s\n", path.c_str());
        return 1;
    }
    if (action == "nosave")
        return 0;
    if (action == "empty")
        text.clear();
    else if (action.rfind("append:", 0) == 0) {
        std::size_t close = text.rfind('}');
        std::string paragraph = "\\par " + action.substr(7) + "\\par\r\n";
        text.insert(close == std::string::npos ? text.size() : close, paragraph);
    } else if (action.rfind("replace:", 0) == 0) {
        std::string rule = action.substr(8);
        std::size_t equals = rule.find('=');
        std::string old = rule.substr(0, equals);
        std::size_t at = equals == std::string::npos ? std::string::npos : text.find(old);
        if (at == std::string::npos) {
            std::fprintf(stderr, "scripted-editor: no \"%s\" in %s\n", old.c_str(), path.c_str());
            return 1;
        }
        text.replace(at, old.size(), rule.substr(equals + 1));
    } else if (action != "same") {
        std::fprintf(stderr, "scripted-editor: unknown RIVLET_EDITOR \"%s\"\n", action.c_str());
        return 2;
    }
    if (!Write(path, text)) {
        std::fprintf(stderr, "scripted-editor: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
