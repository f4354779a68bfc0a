// The worker protocol's encoding and the formats SaveAs knows.
#include "percent.h"
#include "server.h"

#include <gtest/gtest.h>

namespace {

TEST(WordProtocol, ArgumentsArePercentEncodedAsUtf8Bytes) {
    EXPECT_EQ(word::PercentEncode("AZaz09-_.~"), "AZaz09-_.~");
    EXPECT_EQ(word::PercentEncode("/tmp/Раздел 1&%.doc"),
              "%2Ftmp%2F%D0%A0%D0%B0%D0%B7%D0%B4%D0%B5%D0%BB%201%26%25.doc");
    EXPECT_EQ(word::RequestLine("save", {"1", "/a b", "Rich Text Format"}),
              "save 1 %2Fa%20b Rich%20Text%20Format");
    EXPECT_EQ(word::RequestLine("quit", {}), "quit");
    EXPECT_EQ(word::PercentEncode(""), "");

    for (std::string text : {"/tmp/図面 \xF0\x9F\x93\x90.rtf", "100%", "a\nb c"})
        EXPECT_EQ(word::PercentDecode(word::PercentEncode(text)), text);
    EXPECT_EQ(word::PercentDecode("%d0%a0"), "Р");
    EXPECT_EQ(word::PercentDecode("%4"), std::nullopt);
    EXPECT_EQ(word::PercentDecode("%G1"), std::nullopt);
    EXPECT_EQ(word::PercentDecode("ends%"), std::nullopt);
}

TEST(WordProtocol, OnlyTheThreeFileFormatsHaveFilters) {
    EXPECT_STREQ(word::FilterOfFormat(6), "Rich Text Format");
    EXPECT_STREQ(word::FilterOfFormat(0), "MS Word 97");
    EXPECT_STREQ(word::FilterOfFormat(16), "MS Word 2007 XML");
    for (LONG other : {1, 2, 7, 12, 17, -1})
        EXPECT_EQ(word::FilterOfFormat(other), nullptr) << other;
}

} // namespace
