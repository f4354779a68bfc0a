#include "fresh_prefix.h"
#include "registry_helpers.h"
#include "win/registry.h"

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using wintest::CreateKey;
using wintest::QueryString;
using wintest::SetString;

class RegistryConcurrency : public wintest::FreshPrefix {};

// Writes count values named <tag><i> into the shared key; exit status 0 when all succeeded.
[[noreturn]] void WriterProcess(int startPipe, const std::string& tag, int count) {
    char go = 0;
    if (read(startPipe, &go, 1) != 1)
        _exit(3);
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Shared");
    if (!key)
        _exit(2);
    for (int i = 0; i < count; ++i)
        if (SetString(key, (tag + std::to_string(i)).c_str(), tag + "=" + std::to_string(i)) !=
            ERROR_SUCCESS)
            _exit(1);
    RegCloseKey(key);
    _exit(0);
}

TEST_F(RegistryConcurrency, TwoProcessesWritingAtOnceLoseNoValue) {
    constexpr int kCount = 200;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t writers[2];
    const char* tags[2] = {"first", "second"};
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            close(start[1]);
            WriterProcess(start[0], tags[w], kCount);
        }
    }
    close(start[0]);
    ASSERT_EQ(write(start[1], "gg", 2), 2); // both start together
    close(start[1]);
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    int missing = 0;
    for (const char* tag : tags)
        for (int i = 0; i < kCount; ++i)
            if (QueryString(key, (tag + std::to_string(i)).c_str()) !=
                std::string(tag) + "=" + std::to_string(i))
                ++missing;
    EXPECT_EQ(missing, 0);
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 2u * kCount);
    RegCloseKey(key);
}

} // namespace
