// Rich Text translated by the host, and the item made from it.
#include "frame_test_host.h"

#include "conversion/mtextrtf.h"
#include "conversion/rtftomtext.h"
#include "wordconv/rtffix.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"

namespace {

class ConvertTest : public HostTest {
protected:
    static std::uint64_t Handseed() {
        return static_cast<std::uint64_t>(
            acdbHostApplicationServices()->workingDatabase()->handseed());
    }
};

const char kHangingList[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n"
                            "\\pard\\fs20 PAINTING\\par\n"
                            "\\pard\\fi-360\\li720 1.\\tab Prepare the surface.\\par\n"
                            "2.\\tab Apply two coats.\\par\n"
                            "}";

} // namespace

TEST_F(ConvertTest, RichTextBecomesMTextContentWithoutTouchingTheDrawing) {
    std::uint64_t seed = Handseed();
    std::string content = CRtfToMtext().Convert(kHangingList);
    ASSERT_FALSE(content.empty());
    EXPECT_EQ(content.front(), '{');
    EXPECT_EQ(content.back(), '}');
    EXPECT_NE(content.find("PAINTING\\P"), std::string::npos) << content;
    EXPECT_NE(content.find("1.\tPrepare the surface.\\P2.\tApply two coats."), std::string::npos)
        << content;
    EXPECT_EQ(Handseed(), seed);

    EXPECT_EQ(CRtfToMtext().Convert(""), "");
    // Text that is not Rich Text is taken as lines of text.
    EXPECT_NE(CRtfToMtext().Convert("one\ntwo").find("one\\Ptwo"), std::string::npos);
}

TEST_F(ConvertTest, AFixedHangingListKeepsItsTabStopThroughTheTranslation) {
    std::string rtf = kHangingList;
    std::string unfixed = CRtfToMtext().Convert(rtf);
    FixHangingIndents(rtf);
    std::string fixed = CRtfToMtext().Convert(rtf);
    ASSERT_NE(fixed, unfixed);

    // The outer group the host wraps the content in goes before the content is cut, as the
    // sheet does it; each paragraph is then a piece, and the indent code travels with it.
    CMtextRtf item;
    ASSERT_EQ(item.SplitContents(fixed.substr(1, fixed.size() - 2)), 3) << fixed;
    const std::string& first = item.m_Pieces[1];
    ASSERT_EQ(first.rfind("\\P\\pi-", 0), 0u) << first;
    // The tab stop stands where the text after the label starts: at the left indent.
    std::string code = first.substr(2, first.find(';') - 1);
    auto value = [&](const char* letter) {
        std::size_t at = code.find(letter);
        if (at == std::string::npos)
            return std::string("(none)");
        at += 2;
        return code.substr(at, code.find_first_of(",;", at) - at);
    };
    EXPECT_EQ(value(",t"), value(",l")) << code;
    EXPECT_NE(value(",l"), "(none)") << code;
    EXPECT_EQ(item.m_FontCodes.GetSize(), 1);
    EXPECT_EQ(item.m_HeightCodes.GetSize(), 1);
}
