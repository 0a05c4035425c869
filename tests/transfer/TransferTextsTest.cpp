#include "transfer/TransferTexts.h"
#include "comm/CommunicationWindow.h"
#include "platform/ResourceLibrary.h"
#include "transfer/BackupRestoreProcedure.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using TransferTexts::FileNamePart;
using TransferTexts::Format;
using TransferTexts::IsAcceptableFileName;

TEST(TransferTextsTest, FormatFillsPlaceholdersInOrderWithTheirWidth) {
    EXPECT_EQ(Format("Controller: %s  (COM%d - Node No.:%02d)\n", {"KQ-A", "97", "3"}),
              QString("Controller: KQ-A  (COM97 - Node No.:03)\n"));
    EXPECT_EQ(Format("%02d|%3d|%-3s|%%|%s", {"12", "7", "a", "z"}), QString("12|  7|a  |%|z"));
    // Missing arguments become empty, surplus ones are dropped, a stray "%" stays.
    EXPECT_EQ(Format("Source:%s / Destination:%s", {"KQ-A"}),
              QString("Source:KQ-A / Destination:"));
    EXPECT_EQ(Format("100% sure %s", {"x", "y"}), QString("100% sure x"));
    EXPECT_EQ(Format("trailing %", {}), QString("trailing %"));
}

TEST(TransferTextsTest, FileNameRuleIsCaseSensitiveAndBoundedAt259Characters) {
    EXPECT_TRUE(IsAcceptableFileName("/tmp/a.kqd", "kqd"));
    EXPECT_FALSE(IsAcceptableFileName("/tmp/a.KQD", "kqd"));
    EXPECT_FALSE(IsAcceptableFileName("/tmp/a.kqd.bak", "kqd"));
    EXPECT_FALSE(IsAcceptableFileName("/tmp/a", "kqd"));
    EXPECT_FALSE(IsAcceptableFileName("/tmp/x.kqd/a", "kqd"));
    EXPECT_FALSE(IsAcceptableFileName("", "kqd"));

    const QString prefix = "/tmp/";
    const QString suffix = ".kqd";
    const QString longest = prefix + QString(259 - prefix.size() - suffix.size(), 'a') + suffix;
    ASSERT_EQ(longest.size(), 259);
    EXPECT_TRUE(IsAcceptableFileName(longest, "kqd"));
    EXPECT_FALSE(IsAcceptableFileName("/" + longest, "kqd"));
}

TEST(TransferTextsTest, FileNamePartIsTheTextAfterTheLastSlash) {
    EXPECT_EQ(FileNamePart("/home/user/backup.kqd"), QString("backup.kqd"));
    EXPECT_EQ(FileNamePart("backup.kqd"), QString("backup.kqd"));
    EXPECT_EQ(FileNamePart("/home/user/"), QString("/home/user/"));
}

TEST(TransferTextsTest, RunModeNamesCoverTheSixModesOnly) {
    const QStringList expected{
        "Normal Mode",         "Monitor Mode",         "Debug Mode",        "",
        "Normal Mode(SAFETY)", "Monitor Mode(SAFETY)", "Debug Mode(SAFETY)"};
    for (int value = 0; value < expected.size(); ++value)
        EXPECT_EQ(CBackupRestoreProcedure::RunModeName(value), expected[value]) << value;
    EXPECT_EQ(CBackupRestoreProcedure::RunModeName(7), QString());
    EXPECT_EQ(CBackupRestoreProcedure::RunModeName(-1), QString());
    EXPECT_EQ(CBackupRestoreProcedure::RunModeName(0x7fffffff), QString());
    EXPECT_TRUE(CBackupRestoreProcedure::IsDebugMode(2));
    EXPECT_TRUE(CBackupRestoreProcedure::IsDebugMode(6));
    EXPECT_FALSE(CBackupRestoreProcedure::IsDebugMode(4));
    EXPECT_FALSE(CBackupRestoreProcedure::IsDebugMode(1));
}

namespace {

struct NoNode : NodeChooser {
    NodeChoice ChooseNode(const CControllerSession&) override { return {}; }
};

} // namespace

TEST(TransferTextsTest, IncompleteFileIdentityNamesTheItemsWithTheirOwnTexts) {
    QTemporaryDir folder;
    const QString path = folder.filePath("robotless.kqd");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("CONT=KQ-A\r\nK80=2\r\n");
    file.close();

    // Item names and list headings read alike in English; another language tells them apart.
    ASSERT_TRUE(ResourceLibrary::LoadFile(FOREIGN_LIBRARY));
    ScriptedUserInteraction ui;
    UserInteraction* previous = InstallUserInteraction(&ui);
    CCommunicationWindow window;
    NoBusyIndicator busy;
    NoNode chooser;
    CBackupRestoreProcedure procedure(window, chooser, busy);
    procedure.transferFileName = path;
    QString controller, robot;
    int32_t option = 0;
    EXPECT_TRUE(procedure.ReadFileIdentity(controller, robot, option));
    InstallUserInteraction(previous);
    ASSERT_TRUE(ResourceLibrary::Load(QCoreApplication::applicationDirPath()));

    EXPECT_EQ(ui.texts(), QStringList{"Missing:\n|Robot (file)|Interface (file)"});
    EXPECT_EQ(controller, "KQ-A");
    EXPECT_EQ(option, 2);
}

TEST(TransferTextsTest, ADeviceOutsideThePortTableIsNamedByItsPath) {
    ScriptedUserInteraction ui;
    UserInteraction* previous = InstallUserInteraction(&ui);
    CCommunicationWindow window;
    NoBusyIndicator busy;
    NoNode chooser;
    CBackupRestoreProcedure procedure(window, chooser, busy);
    EXPECT_EQ(procedure.ControllerLine("KQ-A", 97, 3),
              QString("Controller: KQ-A  (COM97 - Node No.:03)\n"));
    PortTarget device;
    device.devicePath = QStringLiteral("/nonexistent/ttyX");
    int node = 0;
    EXPECT_FALSE(procedure.ConnectAndSelectNode(device, node)); // the device cannot be opened
    InstallUserInteraction(previous);
    EXPECT_EQ(procedure.ControllerLine("KQ-A", 0, 3),
              QString("Controller: KQ-A  (/nonexistent/ttyX - Node No.:03)\n"));
}
