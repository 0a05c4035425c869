#include "platform/DialogWindows.h"
#include "platform/GuiUserInteraction.h"
#include "tests/support/MessageLogInteraction.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

// Plays the user of the modal window that is up: `act` gets it each 10 ms until the box ends.
class ModalUser : public QObject {
public:
    explicit ModalUser(std::function<void(QWidget*)> act) : action(std::move(act)) {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (QWidget* modal = QApplication::activeModalWidget())
                action(modal);
        });
        timer.start(10);
    }

private:
    std::function<void(QWidget*)> action;
    QTimer timer;
};

TEST(GuiUserInteraction, RealChoosersAndBoxes) {
    QTemporaryDir dir;
    QFile file(dir.filePath("node1.kqd"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FileChoice choice;
    choice.save = false;
    choice.filter = "Data File (*.kqd)|*.kqd||";
    choice.defaultExtension = "kqd";
    choice.initialPath = dir.path();
    GuiUserInteraction gui;

    // The open chooser completes "node1" with the default extension, as the save chooser does.
    QStringList refusals;
    bool typed = false;
    auto typist = std::make_unique<ModalUser>([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            refusals << box->text();
            box->reject();
        } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
            if (typed || !name) {
                chooser->reject();
                return;
            }
            typed = true;
            name->setText("node1");
            static_cast<QDialog*>(chooser)->accept(); // public as a QDialog
        }
    });
    QString path;
    EXPECT_TRUE(gui.ChooseFile(nullptr, choice, path)) << refusals.join('|').toStdString();
    EXPECT_EQ(path, dir.filePath("node1.kqd"));
    EXPECT_TRUE(refusals.isEmpty());
    typist.reset();

    // A short message still leaves the whole title room in the title bar.
    int width = 0;
    int needed = 0;
    ModalUser reader([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            width = box->width();
            needed = DialogWindows::TitleWidth(box->windowTitle());
            box->accept();
        }
    });
    gui.ShowMessage(nullptr, "Done.", MsgButtons::Ok);
    EXPECT_GT(needed, 0);
    EXPECT_GE(width, needed);
}

TEST(DialogWindows, AccessKeysGoToFreeLettersWordStartsFirst) {
    const struct {
        QStringList captions;
        QStringList keyed;
    } rows[] = {
        {{"OK", "Cancel"}, {"&OK", "&Cancel"}},
        {{"Data Transfer [Controller to PC]", "Data Transfer [PC to Controller]",
          "Obtain Alarm History", "Initialize robot data", "Exit"},
         {"&Data Transfer [Controller to PC]", "Data &Transfer [PC to Controller]",
          "&Obtain Alarm History", "&Initialize robot data", "&Exit"}},
        {{"Cancel", "Comm Setting", "Clear"}, {"&Cancel", "Comm &Setting", "C&lear"}},
        // A caption's own key stays and is taken; one without a free letter stays as it is.
        {{"Abort", "&About...", "ab", "..."}, {"A&bort", "&About...", "ab", "..."}},
        {{"Save && Quit", "Select"}, {"&Save && Quit", "S&elect"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DialogWindows::WithAccessKeys(row.captions), row.keyed)
            << row.captions.join('|').toStdString();
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
