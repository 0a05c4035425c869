#include "platform/TerminalUserInteraction.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File withText(const char* text) {
    File f(std::tmpfile());
    std::fputs(text, f.get());
    std::rewind(f.get());
    return f;
}

std::string contents(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string out;
    for (int c; (c = std::fgetc(f)) != EOF;)
        out += static_cast<char>(c);
    return out;
}

TEST(TerminalUserInteraction, MessagesGoToTheErrorStreamWithALineEnd) {
    File out(std::tmpfile());
    File in = withText("");
    TerminalUserInteraction ui;
    ui.setStreams(out.get(), in.get(), false);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Data transfer is completed.", MsgButtons::Ok,
                             MsgIcon::Information),
              MsgResult::Ok);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Two\nlines"), MsgResult::Ok);
    EXPECT_EQ(contents(out.get()), "Data transfer is completed.\nTwo\nlines\n");
}

TEST(TerminalUserInteraction, WithoutATerminalQuestionsTakeTheSafeAnswer) {
    File out(std::tmpfile());
    File in = withText("y\ny\n");
    TerminalUserInteraction ui;
    ui.setStreams(out.get(), in.get(), false);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Write?", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Sure?", MsgButtons::YesNo), MsgResult::No);
    // Nothing was asked, so nothing was read.
    EXPECT_EQ(contents(out.get()), "Write?\nSure?\n");
}

TEST(TerminalUserInteraction, AssumeYesAgreesWithoutAsking) {
    File out(std::tmpfile());
    File in = withText("n\n");
    TerminalUserInteraction ui(true);
    ui.setStreams(out.get(), in.get(), true);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Write?", MsgButtons::OkCancel), MsgResult::Ok);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Sure?", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(contents(out.get()), "Write?\nSure?\n");
}

TEST(TerminalUserInteraction, OnATerminalOnlyYesAgrees) {
    File out(std::tmpfile());
    // An overlong answer must not spill into the next question.
    const std::string longLine = std::string(100, 'y') + "\n";
    File in = withText(("yes\n" + longLine + "n\nY\n").c_str());
    TerminalUserInteraction ui;
    ui.setStreams(out.get(), in.get(), true);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Q1", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Q2", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Q3", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Q4", MsgButtons::OkCancel), MsgResult::Ok);
    // End of input is a refusal.
    EXPECT_EQ(ui.ShowMessage(nullptr, "Q5", MsgButtons::YesNo), MsgResult::No);
    const std::string shown = contents(out.get());
    EXPECT_NE(shown.find("Q1\n[y/N] "), std::string::npos);
    EXPECT_NE(shown.find("Q3\nOK? [y/N] "), std::string::npos);
}

TEST(TerminalUserInteraction, ChooseFileHandsOutThePresetPath) {
    TerminalUserInteraction ui;
    QString path = "unchanged";
    EXPECT_FALSE(ui.ChooseFile(nullptr, FileChoice{}, path));
    EXPECT_EQ(path, "unchanged");
    ui.setPresetPath("/tmp/backup.kqd");
    EXPECT_TRUE(ui.ChooseFile(nullptr, FileChoice{}, path));
    EXPECT_EQ(path, "/tmp/backup.kqd");
}

} // namespace
