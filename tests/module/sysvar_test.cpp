#include "frame/sysvar.h"

#include "frame_test_host.h"

#include "arx/editor.h"

#include <cstdlib>

namespace {

std::string StringVar(const char* name) {
    resbuf value{};
    if (acedGetVar(name, &value) != RTNORM || value.restype != RTSTR)
        return "<not a string>";
    std::string text = value.resval.rstring ? value.resval.rstring : "";
    std::free(value.resval.rstring);
    return text;
}

using SysVarTest = HostTest;

TEST_F(SysVarTest, AcceptedValueIsSetSilently) {
    EXPECT_EQ(SetStringSysVar("MTEXTED", "C:\\Rivlet\\Scrivel.exe"), Acad::eOk);
    EXPECT_EQ(StringVar("MTEXTED"), "C:\\Rivlet\\Scrivel.exe");
    EXPECT_EQ(SetStringSysVar("mtexted", "."), Acad::eOk);
    EXPECT_EQ(StringVar("MTEXTED"), ".");
    EXPECT_EQ(Output(), "");
}

TEST_F(SysVarTest, RefusedValueShowsTheStopMessageAndKeepsTheOldValue) {
    ASSERT_EQ(SetStringSysVar("MTEXTED", "."), Acad::eOk);
    EXPECT_EQ(SetStringSysVar("NOSUCHVAR", "x"), Acad::eInvalidInput);
    std::string log = Output();
    EXPECT_NE(log.find("(stop, OK): Could not set system variable \"NOSUCHVAR\"."),
              std::string::npos)
        << log;

    // A number for a text variable is refused too, and the variable keeps its value.
    resbuf number{};
    number.restype = RTSHORT;
    number.resval.rint = 1;
    EXPECT_EQ(SetSysVar("MTEXTED", &number), Acad::eInvalidInput);
    EXPECT_NE(Output().find("Could not set system variable \"MTEXTED\"."), std::string::npos);
    EXPECT_EQ(StringVar("MTEXTED"), ".");
}

} // namespace
