// The document builder: text into runs, paragraphs, places filled in later.
#include "text/documentbuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace cadhost::text;

CharFormat Bold(bool bold) {
    CharFormat format;
    format.bold = bold;
    return format;
}

std::vector<std::string> Texts(const Paragraph& paragraph) {
    std::vector<std::string> texts;
    for (const auto& run : paragraph.runs)
        texts.push_back(run.text);
    return texts;
}

TEST(TextDocumentBuilder, TextOfOneFormatIsOneRun) {
    DocumentBuilder builder;
    ParagraphFormat paragraph;
    builder.AppendText(Bold(false), paragraph, "plain ");
    builder.AppendText(Bold(false), paragraph, "text that is long enough not to fit in place, ");
    builder.AppendText(Bold(true), paragraph, "bold");
    builder.AppendText(Bold(false), paragraph, "");
    builder.AppendText(Bold(false), paragraph, " plain");
    builder.EndParagraph(paragraph, 0, ParagraphEnd::Paragraph);
    TextDocument document = builder.Finish();
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(Texts(document.paragraphs[0]),
              (std::vector<std::string>{"plain text that is long enough not to fit in place, ",
                                        "bold", " plain"}));
    EXPECT_TRUE(document.paragraphs[0].runs[1].format.bold);
}

TEST(TextDocumentBuilder, APlaceFilledInLaterJoinsItsNeighbours) {
    DocumentBuilder builder;
    ParagraphFormat paragraph;
    builder.AppendText(Bold(false), paragraph, "see note ");
    auto note = builder.Here(Bold(false));
    builder.AppendText(Bold(false), paragraph, " here");
    auto unfilled = builder.Here(Bold(true));
    builder.AppendText(Bold(false), paragraph, ", and");
    builder.AppendText(Bold(true), paragraph, " bold");
    builder.InsertAt(note, "12");
    builder.EndParagraph(paragraph, 0, ParagraphEnd::Paragraph);
    // A place in a paragraph closed since is filled in too.
    builder.AppendText(Bold(true), paragraph, "next ");
    auto late = builder.Here(Bold(true));
    builder.AppendText(Bold(true), paragraph, " paragraph");
    builder.EndParagraph(paragraph, 0, ParagraphEnd::Paragraph);
    builder.InsertAt(late, "3");
    (void)unfilled;
    TextDocument document = builder.Finish();
    ASSERT_EQ(document.paragraphs.size(), 2u);
    // The empty place is dropped and the runs of one format on either side become one.
    EXPECT_EQ(Texts(document.paragraphs[0]),
              (std::vector<std::string>{"see note 12 here, and", " bold"}));
    EXPECT_EQ(Texts(document.paragraphs[1]), (std::vector<std::string>{"next 3 paragraph"}));
}

TEST(TextDocumentBuilder, ManyRunsAreKeptInOrder) {
    DocumentBuilder builder;
    ParagraphFormat paragraph;
    std::vector<std::string> expected;
    for (int i = 0; i < 100; ++i) {
        std::string text =
            "run " + std::to_string(i) + std::string(static_cast<std::size_t>(i), 'x');
        builder.AppendText(Bold(i % 2 == 0), paragraph, text);
        if (i % 10 == 0)
            builder.Here(Bold(i % 2 != 0)); // left empty
        expected.push_back(text);
    }
    TextDocument document = builder.Finish();
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(Texts(document.paragraphs[0]), expected);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(document.paragraphs[0].runs[i].format.bold, i % 2 == 0) << i;
}

} // namespace
