// Result buffers and status texts.
#include "arx/adsdefs.h"
#include "arx/errorstatus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ResultBuffers, BuildListTypesEachValueByItsCode) {
    const double point[3] = {1.5, 2.5, 3.5};
    resbuf* list = acutBuildList(RTSTR, "text", 1070, 7, 1071, 70000, 1040, 0.25, RT3DPOINT, point,
                                 RTPOINT, point, RTLB, RTLE, 0);
    ASSERT_NE(list, nullptr);
    const resbuf* rb = list;
    EXPECT_EQ(rb->restype, RTSTR);
    EXPECT_STREQ(rb->resval.rstring, "text");
    rb = rb->rbnext;
    EXPECT_EQ(rb->resval.rint, 7);
    rb = rb->rbnext;
    EXPECT_EQ(rb->resval.rlong, 70000);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rreal, 0.25);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rpoint[2], 3.5);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rpoint[1], 2.5);
    EXPECT_DOUBLE_EQ(rb->resval.rpoint[2], 0.0) << "a 2D point has no z";
    rb = rb->rbnext;
    EXPECT_EQ(rb->restype, RTLB);
    rb = rb->rbnext;
    EXPECT_EQ(rb->restype, RTLE);
    EXPECT_EQ(rb->rbnext, nullptr);
    EXPECT_EQ(acutRelRb(list), RTNORM);

    EXPECT_EQ(acutBuildList(RTSTR, "ok", 4242, 1, 0), nullptr) << "unknown type";
}

TEST(ResultBuffers, TypesByGroupCodeRange) {
    for (int code : {1, 8, 100, 300, 1000, 1001, 1002, 1005, RTSTR})
        EXPECT_TRUE(acutRbTypeIsString(code)) << code;
    for (int code : {10, 11, 210, 1010, 1013, RTPOINT, RT3DPOINT})
        EXPECT_TRUE(acutRbTypeIsPoint(code)) << code;
    for (int code : {40, 62, 330, 1004, 1020, 1040, 1070, RTREAL, RTENAME})
        EXPECT_FALSE(acutRbTypeIsString(code) || acutRbTypeIsPoint(code)) << code;
}

TEST(ResultBuffers, StringsBelongToTheirBuffer) {
    char* copy = acutNewString("abc");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "abc");
    acutDelString(copy);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(acutNewString(nullptr), nullptr);
    resbuf* rb = acutNewRb(1000);
    EXPECT_EQ(rb->resval.rstring, nullptr);
    rb->resval.rstring = acutNewString("owned");
    acutRelRb(rb); // the sanitizer run checks the string went with it
}

TEST(StatusText, NamesEveryStatusAndUnknownOnesByNumber) {
    EXPECT_STREQ(acadErrorStatusText(Acad::eOk), "eOk");
    EXPECT_STREQ(acadErrorStatusText(Acad::eWasOpenForWrite), "eWasOpenForWrite");
    EXPECT_STREQ(acadErrorStatusText(Acad::eCannotScaleNonUniformly), "eCannotScaleNonUniformly");
    const char* unknown = acadErrorStatusText(static_cast<Acad::ErrorStatus>(9999));
    EXPECT_STREQ(unknown, "Unknown error status 9999");
    acadErrorStatusText(static_cast<Acad::ErrorStatus>(9998));
    EXPECT_STREQ(unknown, "Unknown error status 9999") << "the text stays valid";
}

} // namespace
