#include "platform/GuiUserInteraction.h"
#include "tests/support/MessageLogInteraction.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(GuiUserInteraction, FiltersInQtForm) {
    EXPECT_EQ(GuiUserInteraction::QtFilter("Data File (*.kqd)|*.kqd||"), "Data File (*.kqd)");
    EXPECT_EQ(GuiUserInteraction::QtFilter("Alarm History (*.alr)|*.alr||"),
              "Alarm History (*.alr)");
    EXPECT_EQ(GuiUserInteraction::QtFilter("Data File (*.kqd)|*.kqd|All Files (*.*)|*.*||"),
              "Data File (*.kqd);;All Files (*.*)");
    // A description without its patterns gets them in brackets.
    EXPECT_EQ(GuiUserInteraction::QtFilter("Tables|*.rid;*.rid2||"), "Tables (*.rid *.rid2)");
    EXPECT_EQ(GuiUserInteraction::QtFilter("Images (*.png)"), "Images (*.png)");
    EXPECT_EQ(GuiUserInteraction::QtFilter(""), "");
}

TEST(GuiUserInteraction, DefaultExtensionOnlyWhenNoneWasTyped) {
    EXPECT_EQ(GuiUserInteraction::WithDefaultExtension("/home/u/backup", "kqd"),
              "/home/u/backup.kqd");
    EXPECT_EQ(GuiUserInteraction::WithDefaultExtension("/home/u/backup.kqd", "kqd"),
              "/home/u/backup.kqd");
    EXPECT_EQ(GuiUserInteraction::WithDefaultExtension("/home/u/backup.txt", "kqd"),
              "/home/u/backup.txt");
    // A dot in a folder name is not an extension of the file.
    EXPECT_EQ(GuiUserInteraction::WithDefaultExtension("/home/u.v/backup", "kqd"),
              "/home/u.v/backup.kqd");
    EXPECT_EQ(GuiUserInteraction::WithDefaultExtension("/home/u/backup", ""), "/home/u/backup");
}

TEST(MessageLogInteraction, RecordsTextsAndTakesSafeAnswers) {
    QTemporaryDir dir;
    const QString log = dir.filePath("messages.log");
    MessageLogInteraction ui(log);

    EXPECT_EQ(ui.ShowMessage(nullptr, "Line one\nLine\ttwo \\ end", MsgButtons::Ok, MsgIcon::Error),
              MsgResult::Ok);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Write?", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Sure?", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(ui.ShowMessage(nullptr, "Done.", MsgButtons::Ok, MsgIcon::Information),
              MsgResult::Ok);
    QString path;
    EXPECT_FALSE(ui.ChooseFile(nullptr, FileChoice{}, path));
    EXPECT_TRUE(path.isEmpty());

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), "error\tLine one\\nLine\\ttwo \\\\ end\n"
                                                 "warning\tWrite?\n"
                                                 "question\tSure?\n"
                                                 "information\tDone.\n");
}

} // namespace
