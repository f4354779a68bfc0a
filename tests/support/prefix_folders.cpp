#include "prefix_folders.h"

#include <cstdlib>
#include <filesystem>

namespace rivlet_test {

namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

} // namespace

PrefixFolders::PrefixFolders(const std::string& stem)
    : m_root(stem), m_oldPrefix(Variable("CADHOST_PREFIX")), m_oldTmp(Variable("TMPDIR")) {
    std::filesystem::create_directories(Tmp());
    ::setenv("CADHOST_PREFIX", Prefix().c_str(), 1);
    ::setenv("TMPDIR", Tmp().c_str(), 1);
}

PrefixFolders::~PrefixFolders() {
    Restore("CADHOST_PREFIX", m_oldPrefix);
    Restore("TMPDIR", m_oldTmp);
}

} // namespace rivlet_test
