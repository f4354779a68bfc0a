#include "fresh_prefix.h"
#include "win/environment.h"

#include <string>

namespace {

class Environment : public wintest::FreshPrefix {};

TEST_F(Environment, Win32ReturnConventions) {
    SaveAndSet("ProgramFiles", "C:\\Program Files");
    char buffer[64];
    EXPECT_EQ(GetEnvironmentVariableA("ProgramFiles", buffer, sizeof buffer), 16u);
    EXPECT_STREQ(buffer, "C:\\Program Files");

    char small[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(GetEnvironmentVariableA("ProgramFiles", small, sizeof small), 17u);
    EXPECT_EQ(std::string(small, 4), "keep");
    EXPECT_EQ(GetEnvironmentVariableA("ProgramFiles", nullptr, 0), 17u);

    SaveAndSet("WINPLAT_TEST_UNSET", nullptr);
    EXPECT_EQ(GetEnvironmentVariableA("WINPLAT_TEST_UNSET", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));

    SaveAndSet("WINPLAT_TEST_EMPTY", "");
    buffer[0] = 'x';
    SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_EQ(GetEnvironmentVariableA("WINPLAT_TEST_EMPTY", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "set but empty";
    EXPECT_STREQ(buffer, "");
}

TEST_F(Environment, NamesIgnoreCaseAndSettingReachesTheProcess) {
    SaveAndSet("WINPLAT_Mixed", "one");
    char buffer[16];
    EXPECT_EQ(GetEnvironmentVariableA("winplat_mixed", buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "one");
    // Setting through another spelling changes the existing variable, it adds no second one.
    EXPECT_TRUE(SetEnvironmentVariableA("WINPLAT_MIXED", "two"));
    EXPECT_STREQ(std::getenv("WINPLAT_Mixed"), "two");
    EXPECT_EQ(std::getenv("WINPLAT_MIXED"), nullptr);
    EXPECT_TRUE(SetEnvironmentVariableA("winplat_mixed", nullptr));
    EXPECT_EQ(std::getenv("WINPLAT_Mixed"), nullptr);
    EXPECT_FALSE(SetEnvironmentVariableA("BAD=NAME", "x"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

} // namespace
