// Backup and restore through the real dialogs against a simulated line.
#include "TransferFixture.h"

#include "app/VelmoraApp.h"
#include "controls/DrawnProgressBar.h"
#include "data/DataStore.h"
#include "data/ParamInfoTable.h"
#include "tests/support/FileFailures.h"
#include "transfer/LineFolderMode.h"
#include "transfer/LineProgressList.h"
#include "transfer/Manifest.h"

#include <QDir>
#include <QFile>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <cerrno>
#include <cstring>

namespace {

using Step = NodeDialogDriver;

const QString kCompleted = QStringLiteral("Data transfer is completed.");
const QString kReconnect = QStringLiteral("Failed to reconnect with controller.");
const QString kChanged =
    QStringLiteral("Connection controller has been changed. Cannot continue process.");
const QString kTimeOutFailure = QStringLiteral(
    "Data transfer failed.\n\nConnection is closed. Please retry after checking the connection "
    "and power supply to the controller.");
const QString kSafety =
    QStringLiteral("\n\nCAUTION: For safety, please ensure that robot is not in motion.");
const QString kGateway = QStringLiteral(
    "\nCAUTION: Real Time Trace is not available if the GateWay function is enabled.");

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool LoadFile(const QString& path, ControllerData& data) {
    CDataStore store;
    data = ControllerData();
    data.points.resize(kPointCount);
    data.robotParams.resize(1);
    return store.LoadDataFile(path, data, true, true);
}

bool SaveFile(const QString& path, const ControllerData& data) {
    return CDataStore().SaveDataFile(path, data, true, true);
}

// Parameters a restore never writes: the link settings, the node number, K39 and K99.
bool NeverWritten(int k) {
    return (k >= 34 && k <= 39) || k == 99;
}

FaultRule Silence(const QString& pattern) {
    FaultRule rule;
    rule.kind = FaultRule::Kind::Silence;
    rule.pattern = pattern;
    return rule;
}

} // namespace

TEST_F(TransferDialogTest, BackupSavesTheNodeWithoutRestoreChecksAndCloses) {
    StartLine(MakeDemoControllers(3));
    // An existing file of another model is simply replaced.
    const QString path = FilePath("node2.kqd");
    ASSERT_TRUE(SaveFile(path, MakeDemoController(1, "KQ-A").data));

    CDlgTransportV2& dlg = OpenDialog(true);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    bool controlsDisabled = false;
    ui.onShow = [&](const QString&) {
        if (ui.shown.isEmpty())
            controlsDisabled = !dlg.okButton()->isEnabled() && !dlg.cancelButton()->isEnabled() &&
                               !dlg.browseButton()->isEnabled() &&
                               !dlg.connectionTree()->isEnabled() &&
                               !dlg.commSettingButton()->isEnabled();
    };
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)}));
    EXPECT_TRUE(controlsDisabled);

    const QString confirmation =
        QString("Save to: node2.kqd\nController: KQ-C  (COM%1 - Node No.:02)\n"
                "Confirm the data transfer settings (Controller to PC). Do you want to proceed?")
            .arg(sim->ComNumber());
    ASSERT_EQ(ui.texts(), (QStringList{confirmation, kCompleted}));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Information);
    EXPECT_EQ(dlg.commWindow.portHub.openFlag, 0);

    ControllerData saved;
    ASSERT_TRUE(LoadFile(path, saved));
    const SimController node2 = ControllerOnNode(2);
    EXPECT_EQ(saved.controllerName, QString("KQ-C"));
    EXPECT_EQ(saved.robotName, node2.data.robotName);
    EXPECT_EQ(saved.points, node2.data.points);
    EXPECT_EQ(saved.params().values, node2.data.params().values);
    EXPECT_EQ(saved.ipAddress, node2.text(9));
}

TEST_F(TransferDialogTest, RestoreOfItsOwnBackupWritesOnlyTheRunModeSwitch) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("own.kqd");
    ASSERT_TRUE(Backup(1, path));
    ui.shown.clear();
    TakeCommands();

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(1)}));

    const QString runMode = "The Run Mode will be changed to Debug Mode while transferring data. "
                            "Do you want to proceed?\nCurrent Run Mode: Normal Mode";
    const QString confirmation =
        QString("Source: own.kqd\nController: KQ-A  (COM%1 - Node No.:01)\n"
                "Confirm the data transfer settings (PC to Controller). Do you want to proceed?")
            .arg(sim->ComNumber()) +
        kSafety;
    ASSERT_EQ(ui.texts(), (QStringList{runMode, confirmation, kCompleted + RollbackSentence()}));
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(ui.shown[1].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Warning);
    EXPECT_EQ(Writes(TakeCommands()), (QStringList{"@K20.1=2", "@K20.1=0"}));
    // The preview said so before the write.
    ASSERT_EQ(reviews.shown.size(), 1);
    EXPECT_EQ(reviews.shown[0].summary, QString("Nothing differs; only the run mode is switched."));
    EXPECT_TRUE(reviews.shown[0].rows.isEmpty());
}

TEST_F(TransferDialogTest, RestoreIntoAnotherControllerOfTheSameModelMakesItEqualToTheFile) {
    SimController other = MakeDemoController(2, "KQ-A");
    other.data.robotName = other.data.params().robotName = "LX99-S999";
    other.data.points[0].position += 500;
    other.data.points[0].call = 7;
    other.data.points[200] = PointRecord();
    other.data.points[200].number = 201;
    other.data.points[200].runType = 1;
    other.data.points[200].position = 1234;
    other.data.points[1] = PointRecord(); // the file's point 2 comes back
    other.data.params().K(2) += 11;
    other.data.params().K(35) += 1; // a link setting: stays the controller's own
    other.data.params().K(20) = 2;  // already in Debug Mode: no run-mode question
    other.data.params().H(3) += 5;
    other.text(9) = "0a000005";
    const SimController otherBefore = other;
    StartLine({MakeDemoController(1, "KQ-A"), other});

    const QString path = FilePath("first.kqd");
    ASSERT_TRUE(Backup(1, path));
    ui.shown.clear();

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)}));
    ASSERT_EQ(ui.shown.size(), 3);
    EXPECT_EQ(ui.shown[0].text, QString("Robot name mismatch. Do you want to proceed?\n"
                                        "Source:%1 / Destination:LX99-S999")
                                    .arg(ControllerOnNode(1).data.robotName));
    EXPECT_EQ(ui.shown[2].text, kCompleted + " Please restart controller." + RollbackSentence());

    ControllerData file;
    ASSERT_TRUE(LoadFile(path, file));
    const SimController after = ControllerOnNode(2);
    EXPECT_EQ(after.data.points, file.points);
    EXPECT_EQ(after.data.robotName, file.robotName);
    for (int k = 1; k <= kKParamCount; ++k) {
        const int32_t expected =
            NeverWritten(k) ? otherBefore.data.params().K(k) : file.params().K(k);
        EXPECT_EQ(after.data.params().K(k), expected) << "K" << k;
    }
    for (int h = 0; h <= 7; ++h)
        EXPECT_EQ(after.data.params().H(h), file.params().H(h)) << "H" << h;
    EXPECT_EQ(after.text(9), file.ipAddress);
    EXPECT_EQ(after.text(8), file.subnetMask);
    EXPECT_EQ(after.text(7), file.gateway);
    EXPECT_EQ(after.data.controllerName, otherBefore.data.controllerName);
    EXPECT_EQ(after.text(2), otherBefore.text(2));
}

TEST_F(TransferDialogTest, FailedBackupLeavesAnExistingFileByteForByte) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("keep.kqd");
    ASSERT_TRUE(SaveFile(path, MakeDemoController(1, "KQ-C").data));
    const QByteArray before = ReadBytes(path);
    sim->AddFault(Silence("@READ PRM*"));

    CDlgTransportV2& dlg = OpenDialog(true);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_FALSE(ui.shown.isEmpty());
    EXPECT_EQ(ui.shown.last().text, kTimeOutFailure);
    EXPECT_EQ(ui.shown.last().icon, MsgIcon::Error);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"keep.kqd"});
    // The dialog stays open for another try, with its choices.
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.okButton()->isEnabled());
    EXPECT_TRUE(dlg.cancelButton()->isEnabled());
    EXPECT_TRUE(dlg.browseButton()->isEnabled());
    EXPECT_TRUE(dlg.connectionTree()->isEnabled());
    EXPECT_EQ(dlg.FileFieldText(), path);
    EXPECT_EQ(dlg.commWindow.portHub.openFlag, 0);

    // The same dialog succeeds once the line answers again.
    sim->ClearFaults();
    ui.shown.clear();
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(1)}));
    EXPECT_EQ(ui.texts().last(), kCompleted);
}

TEST_F(TransferDialogTest, MissingFolderIsRefusedBeforeTheLineIsTouched) {
    StartLine(MakeDemoControllers(1));
    CDlgTransportV2& dlg = OpenDialog(true);
    const auto refusal = [this](const QString& folderName) {
        return FilePath(folderName) +
               "\nThe folder does not exist. Choose a file in an existing folder.";
    };
    ChooseFile(FilePath("missing/x.kqd"));
    EXPECT_EQ(ui.texts(), QStringList{refusal("missing")});
    EXPECT_TRUE(dlg.FileFieldText().isEmpty());

    // A folder that goes after the choice is refused by OK, before any command.
    ASSERT_TRUE(QDir(FilePath(QString())).mkdir("gone"));
    ChooseFile(FilePath("gone/x.kqd"));
    EXPECT_EQ(dlg.FileFieldText(), FilePath("gone/x.kqd"));
    ASSERT_TRUE(QDir(FilePath(QString())).rmdir("gone"));
    ASSERT_TRUE(SelectLinePort());
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    EXPECT_EQ(ui.texts().last(), refusal("gone"));
    EXPECT_EQ(driver.shown, 0);
    EXPECT_TRUE(sim->Log().Commands().isEmpty());
    EXPECT_TRUE(dlg.okButton()->isEnabled());
}

TEST_F(TransferDialogTest, FailedSaveSaysWhy) {
    StartLine(MakeDemoControllers(1));
    OpenDialog(true);
    ChooseFile(FilePath("big.kqd"));
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Ok};
    bool saved = true;
    {
        // The whole record is read; only the file it goes into cannot grow.
        const FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.isActive());
        saved = PressOk({Step::Node(1)});
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ui.texts().last(), "Data transfer failed.\n\nThe file could not be written: " +
                                     QString::fromLocal8Bit(strerror(EFBIG)));
    EXPECT_EQ(ui.shown.last().icon, MsgIcon::Error);
    EXPECT_FALSE(QFile::exists(FilePath("big.kqd")));
}

TEST_F(TransferDialogTest, FailedIdentityQueriesEndWithReconnectMessage) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("r.kqd");
    CDlgTransportV2& dlg = OpenDialog(true);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());

    for (const QString& pattern : {QString("@?ROBOT.1"), QString("@?K20.1")}) {
        sim->ClearFaults();
        sim->AddFault(Silence(pattern));
        ui.shown.clear();
        EXPECT_FALSE(PressOk({Step::Node(1)})) << pattern.toStdString();
        EXPECT_EQ(ui.texts(), QStringList{kReconnect}) << pattern.toStdString();
        EXPECT_EQ(ui.shown.last().icon, MsgIcon::Warning);
    }

    // The CONT query after the confirmation.
    sim->ClearFaults();
    FaultRule cont = Silence("@?CONT.1");
    sim->AddFault(cont);
    ui.shown.clear();
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[1].text, kReconnect);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(TransferDialogTest, ControllerSwappedAfterSelectionStopsBeforeDataMoves) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("swap.kqd");
    OpenDialog(true);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.onShow = [&](const QString& text) {
        if (text.contains("Confirm the data transfer"))
            sim->UpdateControllers([](QList<SimController>& controllers) {
                controllers[0].data.controllerName = "KQ-E";
            });
    };
    ui.answers = {MsgResult::Ok};
    TakeCommands();
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[1].text, kChanged);
    EXPECT_EQ(ui.shown[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(TakeCommands().last(), QString("@?CONT.1"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(TransferDialogTest, CompatibleModelAsksAndTheReverseIsRefused) {
    StartLine({MakeDemoController(1, "KQ-A"), MakeDemoController(2, "KQ-A2")});
    const QString fileA = FilePath("a.kqd");
    const QString fileA2 = FilePath("a2.kqd");
    ASSERT_TRUE(Backup(1, fileA));
    ASSERT_TRUE(Backup(2, fileA2));
    ui.shown.clear();
    TakeCommands();

    // KQ-A file into the KQ-A2 controller: a question; No ends the attempt.
    CDlgTransportV2& dlg = OpenDialog(false);
    ChooseFile(fileA);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::No};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QString("Controller name mismatch. Do you want to proceed?\n"
                                        "Source:KQ-A / Destination:KQ-A2"));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Question);

    // Yes goes on to the next check.
    ui.shown.clear();
    ui.answers = {MsgResult::Yes};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    ASSERT_GE(ui.shown.size(), 2);
    EXPECT_TRUE(ui.shown[1].text.startsWith("Robot name mismatch.") ||
                ui.shown[1].text.startsWith("The Run Mode will be changed"))
        << ui.shown[1].text.toStdString();

    // KQ-A2 file into the KQ-A controller: refused outright.
    ui.shown.clear();
    ChooseFile(fileA2);
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text,
              QString("Controller name mismatch.\nSource:KQ-A2 / Destination:KQ-A"));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(TransferDialogTest, RunModeQuestionFollowsTheTwoLowBits) {
    SimController safetyDebug = MakeDemoController(1, "KQ-A");
    safetyDebug.data.params().K(20) = 6;
    SimController safetyNormal = MakeDemoController(2, "KQ-A");
    safetyNormal.data.params().K(20) = 4;
    StartLine({safetyDebug, safetyNormal});
    const QString path = FilePath("mode.kqd");
    ASSERT_TRUE(Backup(1, path));
    ui.shown.clear();

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Cancel};
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(ui.shown[0].text.startsWith("Source: mode.kqd\n"));

    ui.shown.clear();
    ui.answers = {MsgResult::No};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text,
              QString("The Run Mode will be changed to Debug Mode while transferring data. Do "
                      "you want to proceed?\nCurrent Run Mode: Normal Mode(SAFETY)"));
}

TEST_F(TransferDialogTest, GatewayCautionOnlyForAGatewayFile) {
    SimController debug = MakeDemoController(1, "KQ-A");
    debug.data.params().K(20) = 2;
    StartLine({debug});
    const QString path = FilePath("gw.kqd");
    ASSERT_TRUE(Backup(1, path));
    ControllerData file;
    ASSERT_TRUE(LoadFile(path, file));

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    for (const int option : {2, 1}) {
        file.params().K(80) = option;
        ASSERT_TRUE(SaveFile(path, file));
        ui.shown.clear();
        ui.answers = {MsgResult::Cancel};
        TakeCommands();
        EXPECT_FALSE(PressOk({Step::Node(1)}));
        ASSERT_EQ(ui.shown.size(), 1);
        EXPECT_EQ(ui.shown[0].text.endsWith(kSafety + kGateway), option == 2) << option;
        EXPECT_TRUE(ui.shown[0].text.endsWith(kSafety) || option == 2);
        EXPECT_TRUE(Writes(TakeCommands()).isEmpty());
    }
}

TEST_F(TransferDialogTest, IncompleteFileIdentityWarnsAndGoesOn) {
    SimController debug = MakeDemoController(1, "KQ-A");
    debug.data.params().K(20) = 2;
    StartLine({debug});
    ControllerData data = debug.data;
    data.interfaceInfo.clear();
    const QString path = FilePath("noif.kqd");
    ASSERT_TRUE(SaveFile(path, data));

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Ok, MsgResult::Cancel};
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[0].text, QString("Could not obtain the data below. The file may be "
                                        "corrupted.\n\n\t\tI/F Information"));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(ui.shown[1].text.startsWith("Source: noif.kqd\n"));
}

TEST_F(TransferDialogTest, RestartSentenceFollowsAParameterNeedingAPowerCycle) {
    const CVelmoraApp* app = CVelmoraApp::instance();
    ASSERT_TRUE(app && app->paramTables[0]);
    int restartK = 0;
    for (int k = 40; k <= 70 && !restartK; ++k) {
        if (!NeverWritten(k) &&
            (ParamInfoFor(*app->paramTables[0], k, 0).attributes & kRestartAttribute))
            restartK = k;
    }
    ASSERT_NE(restartK, 0);

    SimController debug = MakeDemoController(1, "KQ-A");
    debug.data.params().K(20) = 2;
    StartLine({debug});
    const QString path = FilePath("restart.kqd");
    ASSERT_TRUE(Backup(1, path));
    ControllerData file;
    ASSERT_TRUE(LoadFile(path, file));
    file.params().K(restartK) += 1;
    ASSERT_TRUE(SaveFile(path, file));
    ui.shown.clear();
    TakeCommands();

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(1)}));
    EXPECT_EQ(ui.texts().last(), kCompleted + " Please restart controller." + RollbackSentence());
    EXPECT_EQ(ui.shown.last().icon, MsgIcon::Information);
    EXPECT_EQ(Writes(TakeCommands()),
              QStringList{QString("@K%1.1=%2").arg(restartK).arg(file.params().K(restartK))});
}

TEST_F(TransferDialogTest, FailedWriteReportsTheReason) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("w.kqd");
    ASSERT_TRUE(Backup(1, path));
    ui.shown.clear();
    sim->AddFault(Silence("@K20.1=2"));

    CDlgTransportV2& dlg = OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    EXPECT_EQ(ui.texts().last(), kTimeOutFailure);
    EXPECT_EQ(ui.shown.last().icon, MsgIcon::Error);
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(TransferDialogTest, ResearchSearchesAgainAndCancelEndsQuietly) {
    StartLine(MakeDemoControllers(2));
    const QString path = FilePath("research.kqd");
    CDlgTransportV2& dlg = OpenDialog(true);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());

    TakeCommands();
    EXPECT_FALSE(PressOk({Step::Cancel()}));
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.okButton()->isEnabled());
    EXPECT_EQ(TakeCommands(), (QStringList{"@K99=0", "@?CONT", "@?COMR2"}));

    driver.shown = 0;
    driver.rows.clear();
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Research(), Step::Node(2)}));
    EXPECT_EQ(driver.shown, 2);
    EXPECT_EQ(driver.rows.value(1), (QStringList{"01", "02"}));
    const QStringList commands = TakeCommands();
    EXPECT_EQ(commands.mid(0, 6),
              (QStringList{"@K99=0", "@?CONT", "@?COMR2", "@K99=0", "@?CONT", "@?COMR2"}));
    EXPECT_EQ(ui.texts().last(), kCompleted);
}

TEST_F(TransferDialogTest, PulseTrainRestoreJudgesRestartsByItsOwnTable) {
    const CVelmoraApp* app = CVelmoraApp::instance();
    ASSERT_TRUE(app && app->paramTables[0] && app->paramTables[1]);
    // A parameter that needs a power cycle on the pulse-train models only.
    int pulseOnlyK = 0;
    for (int k = 40; k <= kKParamCount && !pulseOnlyK; ++k) {
        const bool standard =
            ParamInfoFor(*app->paramTables[0], k, 0).attributes & kRestartAttribute;
        const bool pulse = ParamInfoFor(*app->paramTables[1], k, 0).attributes & kRestartAttribute;
        if (!NeverWritten(k) && k != 72 && k != 102 && pulse && !standard)
            pulseOnlyK = k;
    }
    ASSERT_NE(pulseOnlyK, 0);

    SimController pulseTrain = MakeDemoController(1, "KQ-B");
    pulseTrain.data.params().K(20) = 2;
    StartLine({pulseTrain});
    const QString path = FilePath("pulse.kqd");
    ASSERT_TRUE(Backup(1, path));
    ControllerData file;
    ASSERT_TRUE(LoadFile(path, file));
    file.params().K(pulseOnlyK) += 1;
    ASSERT_TRUE(SaveFile(path, file));
    ui.shown.clear();

    OpenDialog(false);
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(1)}));
    EXPECT_EQ(ui.texts().last(), kCompleted + " Please restart controller." + RollbackSentence())
        << "K" << pulseOnlyK;
}

TEST_F(TransferDialogTest, PortGoneSinceTheTreeWasFilledEndsWithTheWindowsMessage) {
    StartLine(MakeDemoControllers(1));
    CDlgTransportV2& dlg = OpenDialog(true);
    ChooseFile(FilePath("gone.kqd"));
    ASSERT_TRUE(SelectLinePort());
    sim->Stop();
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(ui.shown[0].text.startsWith("Can not open the COM port."));
    EXPECT_EQ(driver.shown, 0);
    EXPECT_TRUE(dlg.okButton()->isEnabled());
    EXPECT_FALSE(QFile::exists(FilePath("gone.kqd")));
}

TEST_F(TransferDialogTest, CrOnlyControllerBehindLineNoiseIsBackedUpAndRestoredExactly) {
    // Node 2 ends its lines in CR alone, node 1 in CR LF, and a NUL precedes every reply.
    QList<SimController> controllers = MakeDemoControllers(2);
    controllers[1].data.params().K(kDelimiterParam) = kDelimiterCr;
    controllers[1].data.params().K(1) = -100;
    controllers[1].data.params().H(0) = 100;
    StartLine(controllers);
    FaultRule noise;
    noise.kind = FaultRule::Kind::Garbage;
    noise.garbage = QByteArray(1, '\0');
    sim->AddFault(noise);

    const QString path = FilePath("cr.kqd");
    ASSERT_TRUE(Backup(2, path)) << ui.texts().join('|').toStdString();
    ControllerData saved;
    ASSERT_TRUE(LoadFile(path, saved));
    const SimController before = ControllerOnNode(2);
    EXPECT_EQ(saved.controllerName, before.data.controllerName);
    EXPECT_EQ(saved.robotName, before.data.robotName);
    EXPECT_EQ(saved.points, before.data.points);
    EXPECT_EQ(saved.params().values, before.data.params().values);

    sim->UpdateControllers([](QList<SimController>& list) {
        list[1].data.params().K(1) = 0;
        list[1].data.params().H(0) = 0;
    });
    ui.shown.clear();
    EXPECT_TRUE(Restore(2, path)) << ui.texts().join('|').toStdString();
    ASSERT_EQ(ui.texts().size(), 3) << ui.texts().join('|').toStdString();
    EXPECT_EQ(ui.texts().last(), kCompleted + RollbackSentence());
    EXPECT_EQ(ControllerOnNode(2).data.params().values, before.data.params().values);
}

TEST_F(TransferDialogTest, ControllerWithoutPointsIsBackedUpAndItsRestoreDeletesPoints) {
    QList<SimController> controllers = MakeDemoControllers(1);
    const std::vector<PointRecord> points = controllers[0].data.points;
    for (PointRecord& point : controllers[0].data.points)
        point = PointRecord{};
    StartLine(controllers);

    const QString path = FilePath("empty.kqd");
    ASSERT_TRUE(Backup(1, path)) << ui.texts().join('|').toStdString();
    EXPECT_FALSE(ReadBytes(path).contains("PNT"));

    sim->UpdateControllers([&](QList<SimController>& list) { list[0].data.points = points; });
    EXPECT_TRUE(Restore(1, path)) << ui.texts().join('|').toStdString();
    for (const PointRecord& point : ControllerOnNode(1).data.points)
        EXPECT_FALSE(point.inUse());
}

TEST_F(TransferDialogTest, RestorePreviewListsTheChangesCancelWritesNothingOkWritesAndVerifies) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("changed.kqd");
    ASSERT_TRUE(Backup(1, path));
    ControllerData file;
    ASSERT_TRUE(LoadFile(path, file));
    file.params().K(44) = 1250;     // a speed scaled by K72
    file.params().K(35) += 1;       // a link setting: listed apart, never written
    file.points[2] = PointRecord(); // deleted by the restore
    ASSERT_TRUE(SaveFile(path, file));
    ASSERT_TRUE(ControllerOnNode(1).data.points[2].inUse());
    ui.shown.clear();
    TakeCommands();

    CDlgTransportV2& dlg = OpenDialog(false);
    ASSERT_NE(dlg.verifyAfterWriteBox(), nullptr);
    EXPECT_EQ(dlg.verifyAfterWriteBox()->text(), QString("Verify after writing"));
    EXPECT_FALSE(dlg.verifyAfterWriteBox()->isChecked());
    ChooseFile(path);
    ASSERT_TRUE(SelectLinePort());

    // Cancel in the preview: no write at all, no message, the dialog ready for another try.
    reviews.script = {false};
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(1)}));
    ASSERT_EQ(reviews.shown.size(), 1);
    const ReviewDialogDriver::Shown preview = reviews.shown[0];
    EXPECT_EQ(preview.title, QString("Changes to Write"));
    EXPECT_EQ(preview.summary, QString("Items to be written: 2"));
    EXPECT_FALSE(preview.busyPanelShown);
    ASSERT_EQ(preview.rows.size(), 4);
    EXPECT_EQ(preview.rows[0], QString("K44 | Max speed (default value) | 8.00 mm/s | 12.50 mm/s"));
    EXPECT_TRUE(preview.rows[1].startsWith("PNT3 |  | M1,P")) << preview.rows[1].toStdString();
    EXPECT_TRUE(preview.rows[1].endsWith(" | (deleted)")) << preview.rows[1].toStdString();
    EXPECT_EQ(preview.rows[2],
              QString("Not written; the controller keeps its own value: |  |  | "));
    EXPECT_EQ(preview.rows[3], QString("K35 | Parity | None | Odd"));
    EXPECT_EQ(ui.texts().size(), 2) << ui.texts().join('|').toStdString();
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.okButton()->isEnabled());

    // OK with "Verify after writing": the items written, the controller read back and equal.
    dlg.verifyAfterWriteBox()->click();
    ui.shown.clear();
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(1)}));
    ASSERT_EQ(reviews.shown.size(), 2);
    EXPECT_EQ(reviews.shown[1].rows, preview.rows);
    ASSERT_EQ(ui.texts().size(), 4) << ui.texts().join('|').toStdString();
    EXPECT_EQ(ui.texts()[2], QString("Verified: the controller holds the written data."));
    EXPECT_EQ(ui.shown[2].icon, MsgIcon::Information);
    EXPECT_TRUE(ui.texts()[3].startsWith(kCompleted));
    const QStringList writes = Writes(TakeCommands());
    EXPECT_TRUE(writes.contains("@K44.1=1250")) << writes.join(' ').toStdString();
    const SimController after = ControllerOnNode(1);
    EXPECT_EQ(after.data.params().K(44), 1250);
    EXPECT_NE(after.data.params().K(35), file.params().K(35));
    EXPECT_FALSE(after.data.points[2].inUse());
}

// The whole line into a folder and back, clicked through: the files and the manifest of the
// command-line tool, one row per controller ending in a tick (the one being read showing the
// busy arrows meanwhile), a failing controller's cross with its reason, then the restore of the
// set after one confirmation listing its nodes.
TEST_F(TransferDialogTest, WholeLineFolderModeBacksUpTheLineAndRestoresTheSet) {
    StartLine(MakeDemoControllers(4));
    FaultRule refuse;
    refuse.kind = FaultRule::Kind::Ng;
    refuse.pattern = "@READ PNT.3";
    sim->AddFault(refuse);
    const QString dir = FilePath("line");
    const QString line = QString("COM%1").arg(sim->ComNumber());

    CDlgTransportV2& dlg = OpenDialog(true);
    CLineFolderMode* mode = dlg.lineFolderMode();
    ASSERT_NE(mode, nullptr);
    mode->checkBox()->click();
    EXPECT_EQ(dlg.fileLabel()->text(), "Save Folder");
    // A file is no folder for a backup set.
    const QString plain = ExistingFile("plain.kqd");
    ChooseFile(plain);
    EXPECT_EQ(ui.texts(), QStringList{plain + "\nThis is a file. Choose a folder."});
    EXPECT_TRUE(dlg.FileFieldText().isEmpty());
    ui.shown.clear();
    ChooseFile(dir);
    ASSERT_EQ(ui.fileRequests.size(), 2);
    EXPECT_TRUE(ui.fileRequests[1].folder);
    EXPECT_EQ(dlg.FileFieldText(), dir);
    ASSERT_TRUE(SelectLinePort());
    CLineProgressList* list = mode->progressList();
    EXPECT_TRUE(list->isVisible());
    // Polled while the line is read: the dialog's events go on meanwhile.
    int arrowsSeen = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (int node = 1; node <= 4; ++node)
            arrowsSeen += list->StateOf(node) == CLineProgressList::State::Busy &&
                          list->busyArrows() && list->busyArrows()->isVisible();
    });
    watch.start(5);
    ui.answers = {MsgResult::Ok, MsgResult::Ok};
    EXPECT_FALSE(PressOk({}));
    watch.stop();
    EXPECT_GT(arrowsSeen, 0);
    EXPECT_EQ(driver.shown, 0);
    ASSERT_EQ(ui.texts(),
              (QStringList{"Back up every controller of the line into " + dir + "?",
                           "Data transfer failed for 1 of 4 controllers. The list shows why."}));
    EXPECT_TRUE(dlg.okButton()->isEnabled());
    EXPECT_TRUE(mode->checkBox()->isEnabled());

    Manifest manifest;
    ASSERT_TRUE(manifest.Read(dir));
    ASSERT_EQ(manifest.controllers.size(), 4);
    EXPECT_EQ(list->Nodes(), (QList<int>{1, 2, 3, 4}));
    for (const ManifestEntry& entry : manifest.controllers) {
        const SimController controller = ControllerOnNode(entry.node);
        EXPECT_EQ(entry.line, line);
        EXPECT_EQ(entry.controller, controller.data.controllerName);
        QString state;
        if (entry.node == 3) {
            EXPECT_FALSE(entry.ok);
            EXPECT_TRUE(entry.file.isEmpty());
            EXPECT_FALSE(QFile::exists(
                QDir(dir).filePath(Manifest::BackupFileName(line, 3, entry.controller))));
            EXPECT_EQ(list->StateOf(3, &state), CLineProgressList::State::Failed);
            EXPECT_FALSE(entry.reason.isEmpty());
            EXPECT_EQ(state, entry.reason);
            continue;
        }
        EXPECT_TRUE(entry.ok) << entry.reason.toStdString();
        EXPECT_EQ(list->StateOf(entry.node, &state), CLineProgressList::State::Done);
        EXPECT_EQ(entry.file, Manifest::BackupFileName(line, entry.node, entry.controller));
        const QString path = QDir(dir).filePath(entry.file);
        EXPECT_EQ(entry.sha256, Manifest::FileHash(path));
        ControllerData saved;
        ASSERT_TRUE(LoadFile(path, saved));
        EXPECT_EQ(saved.points, controller.data.points);
        EXPECT_EQ(saved.params().values, controller.data.params().values);
    }
    // Back in file mode: the template's size and the file row, the folder kept for later.
    mode->checkBox()->click();
    EXPECT_EQ(dlg.size(), QSize(279, 278));
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(dlg.fileLabel()->text(), "Save File Name");
    EXPECT_TRUE(dlg.FileFieldText().isEmpty());
    mode->checkBox()->click();
    EXPECT_EQ(dlg.FileFieldText(), dir);
    dialog.reset();

    // The restore of the set: one confirmation naming the three saved nodes, then each node's
    // own run mode question.
    sim->ClearFaults();
    ui.shown.clear();
    TakeCommands();
    OpenDialog(false);
    dialog->lineFolderMode()->checkBox()->click();
    ChooseFile(dir);
    ASSERT_TRUE(SelectLinePort());
    ui.answers = {MsgResult::Ok, MsgResult::Yes, MsgResult::Yes, MsgResult::Yes, MsgResult::Ok};
    EXPECT_TRUE(PressOk({})) << ui.texts().join('|').toStdString();
    ASSERT_EQ(ui.texts().size(), 5) << ui.texts().join('|').toStdString();
    QString confirmation = "Restore every controller of the backup set " + dir +
                           " onto the line?\nPlease be careful of the robot moving after the "
                           "restore.\n";
    for (const int node : {1, 2, 4}) {
        confirmation += QString("\nController: %1  (%2 - Node No.:%3)")
                            .arg(ControllerOnNode(node).data.controllerName, line)
                            .arg(node, 2, 10, QChar('0'));
    }
    EXPECT_EQ(ui.texts()[0], confirmation);
    EXPECT_TRUE(ui.texts()[1].startsWith("The Run Mode will be changed"));
    EXPECT_EQ(ui.texts()[4], kCompleted);
    EXPECT_EQ(dialog->lineFolderMode()->progressList()->Nodes(), (QList<int>{1, 2, 4}));
    EXPECT_EQ(Writes(TakeCommands()), (QStringList{"@K20.1=2", "@K20.1=0", "@K20.2=2", "@K20.2=0",
                                                   "@K20.4=2", "@K20.4=0"}));
}
