#include "scrivel/server.h"

#include <gtest/gtest.h>

namespace {

using scrivel::Command;

TEST(ScrivelCommand, FirstRegistrationSwitchDecides) {
    struct Case {
        const char* commandLine;
        Command command;
    } cases[] = {
        {"Scrivel /RegServer", Command::RegisterServer},
        {"Scrivel /regserver", Command::RegisterServer},
        {"Scrivel -RegServer", Command::RegisterServer},
        {"\"C:\\KSR\\Rivlet\\Scrivel.exe\" -UNREGSERVER", Command::UnregisterServer},
        {"Scrivel /UnregServer /RegServer", Command::UnregisterServer},
        {"Scrivel x -Embedding /RegServer", Command::RegisterServer},
        {"Scrivel", Command::RunServer},
        {"Scrivel C:\\temp\\acad1.txt", Command::RunServer},
        {"Scrivel /tmp/RegServer", Command::RunServer},
        {"Scrivel RegServer", Command::RunServer},
        {"Scrivel /RegServerNow", Command::RunServer},
        {"Scrivel -Embedding", Command::RunServer},
        {"/RegServer", Command::RunServer}, // the program's own name is no switch
    };
    for (const auto& c : cases)
        EXPECT_EQ(scrivel::CommandOf(c.commandLine), c.command) << c.commandLine;
}

TEST(ScrivelCommand, ExitStatusKeepsFailureVisibleInEightBits) {
    EXPECT_EQ(scrivel::ExitStatusOf(0), 0);
    EXPECT_EQ(scrivel::ExitStatusOf(-1), 255);
    EXPECT_EQ(scrivel::ExitStatusOf(TYPE_E_REGISTRYACCESS), 0x1C);
    EXPECT_EQ(scrivel::ExitStatusOf(HRESULT_FROM_WIN32(ERROR_REGISTRY_CORRUPT)), 0xF7);
    // A failure whose low byte is zero must not read as success.
    EXPECT_EQ(scrivel::ExitStatusOf(static_cast<HRESULT>(0x80040000u)), 1);
}

} // namespace
