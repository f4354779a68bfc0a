// A fresh folder of the test's own: made with mkdtemp under the temporary folder the program
// started with, and removed with all it holds when the object goes.
#pragma once

#include <string>

namespace rivlet_test {

class TempFolder {
public:
    // The folder's name begins with stem; throws std::runtime_error when it cannot be made.
    explicit TempFolder(const std::string& stem = "rivlet");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace rivlet_test
