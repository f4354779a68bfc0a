// The command-line window and the splitting of typed text.
#include "editor/commandline.h"
#include "editor/input.h"

#include <gtest/gtest.h>

using cadhost::editor::CommandLine;
using cadhost::editor::InputItem;
using cadhost::editor::SplitTypedText;

TEST(CommandLine, CarriageReturnOverwritesTheLineSoOnlyTheLastFrameIsLogged) {
    CommandLine line;
    line.print("\nWorking ");
    line.print("\r/");
    line.print("\r-");
    line.print("\r\\");
    line.print("\nDone");
    // The first line feed of a session opens no empty line; the spinner frames overwrite the
    // start of "Working " and only what shows at the end of the line is kept.
    EXPECT_EQ(line.takeLog(), "\\orking \nDone");
}

TEST(CommandLine, AnAnswerIsNotOverwrittenByTheNextSpinner) {
    CommandLine line;
    line.print("Command: ");
    line.echoInput("SheetSpec");
    line.print("\nSecond corner: ");
    line.echoInput("3,7");
    line.print("\r     ");
    line.print("\r/");
    line.print("\r-");
    EXPECT_EQ(line.takeLog(), "Command: SheetSpec\nSecond corner: 3,7\n-    ");
}

TEST(CommandLine, TakeLogReturnsEachTextOnce) {
    CommandLine line;
    line.print("Command: ");
    EXPECT_EQ(line.takeLog(), "Command: ");
    line.echoInput("LINE");
    line.print("\nnext");
    EXPECT_EQ(line.takeLog(), "LINE\nnext");
    EXPECT_EQ(line.takeLog(), "");
}

TEST(CommandLine, BlocksStandOnLinesOfTheirOwn) {
    CommandLine line;
    line.print("Command: REFORM");
    line.printBlock("** box\ntext");
    line.print("\nafter");
    EXPECT_EQ(line.takeLog(), "Command: REFORM\n** box\ntext\nafter");
}

TEST(CommandLine, AnUnansweredPromptIsDropped) {
    CommandLine line;
    line.print("x");
    line.prompt("Command: ");
    line.dropPrompt("Command: ");
    line.finishLine();
    EXPECT_EQ(line.takeLog(), "x\n");
}

TEST(TypedText, BlanksAndLineEndsAreEnterAndControlCCancels) {
    auto items = SplitTypedText("\x03reformFromDict \x03", true);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].kind, InputItem::Cancel);
    EXPECT_EQ(items[1].kind, InputItem::Text);
    EXPECT_EQ(items[1].text, "reformFromDict");
    EXPECT_EQ(items[2].kind, InputItem::Cancel);

    auto spaced = SplitTypedText("A  B\nC", false);
    ASSERT_EQ(spaced.size(), 4u);
    EXPECT_EQ(spaced[0].text, "A");
    EXPECT_EQ(spaced[1].text, ""); // the second blank is a second Enter
    EXPECT_EQ(spaced[2].text, "B");
    EXPECT_EQ(spaced[3].text, "C"); // typed but not yet entered: still one input
    EXPECT_FALSE(spaced[0].echo);
}
