// The alarm history dialog through its real controls against a simulated line.
#include "TransferFixture.h"

#include "alarm/DlgTransportAlarmV2.h"
#include "controls/BusyPanel.h"
#include "controls/DrawnProgressBar.h"
#include "tests/support/FileFailures.h"
#include "transfer/TransportGuiParts.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

#include <cerrno>
#include <cstring>

namespace {

using Step = NodeDialogDriver;

const QString kSaved = QStringLiteral("Saving data to the file is completed.");
const QString kSaveFailed = QStringLiteral("Failed to save the file.");
const QString kNotWritten = QStringLiteral("Failed to save the file.\n\nThe file could not be "
                                           "written: ");
const QString kTimeOutReason = QStringLiteral(
    "\n\nConnection is closed. Please retry after checking the connection and power supply to "
    "the controller.");
const QString kLinkReason = QStringLiteral(
    "\n\nCommunication error. Please retry, after ensure the controller connection.");
const QString kRefusedReason = QStringLiteral(
    "\n\nThe controller refused the command (NG code 10). Please check its run mode and the data, "
    "and retry.");
const QString kReconnect = QStringLiteral("Failed to reconnect with controller.");
const QString kChanged =
    QStringLiteral("Connection controller has been changed. Cannot continue process.");
const QString kTooLong = QStringLiteral("The file name is too long.");
const QString kNotAlr = QStringLiteral("The file must have the extension .alr.");

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

SimAlarm Alarm(uint8_t code, uint32_t time = 0) {
    SimAlarm alarm;
    alarm.code = code;
    alarm.time = time;
    return alarm;
}

FaultRule Fault(FaultRule::Kind kind, const QString& pattern, int count = -1, int ngCode = 0x10) {
    FaultRule rule;
    rule.kind = kind;
    rule.pattern = pattern;
    rule.count = count;
    rule.ngCode = ngCode;
    return rule;
}

class AlarmDialogTest : public SimLineFixture {
protected:
    void TearDown() override {
        dialog.reset();
        SimLineFixture::TearDown();
    }

    // Demo controllers on nodes 1..count; node 2 holds `alarms`.
    void StartLine(int count, const QList<SimAlarm>& alarms) {
        QList<SimController> controllers = MakeDemoControllers(count);
        for (SimController& c : controllers) {
            if (c.node() == 2)
                c.alarms = alarms;
        }
        StartSimLine(controllers);
    }
    CDlgTransportAlarmV2& OpenDialog() {
        dialog = std::make_unique<CDlgTransportAlarmV2>();
        dialog->commWindow.channel.replyTimeoutMs = kLineTestTimeoutMs;
        dialog->show();
        return *dialog;
    }
    void ChooseFile(const QString& path) {
        ui.filePaths << path;
        dialog->browseButton()->click();
    }
    bool SelectLinePort() { return dialog->SelectConnection(sim->ComNumber()); }
    // Dialog open, file chosen, port selected.
    void Prepare(const QString& path) {
        OpenDialog();
        ChooseFile(path);
        ASSERT_TRUE(SelectLinePort());
    }
    bool PressOk(const QList<NodeDialogDriver::Step>& steps) {
        driver.script = steps;
        dialog->okButton()->click();
        return dialog->result() == QDialog::Accepted && !dialog->isVisible();
    }
    QStringList Commands() const { return sim->Log().Commands(); }
    QStringList AlarmQueries() const {
        return Commands().filter(QRegularExpression("^@\\?REC\\d"));
    }
    bool ControlsEnabled() const {
        return dialog->okButton()->isEnabled() && dialog->cancelButton()->isEnabled() &&
               dialog->browseButton()->isEnabled() && dialog->connectionTree()->isEnabled();
    }
    QStringList FilesInFolder() const { return QDir(folder.path()).entryList(QDir::Files); }
    SimController Node(int node) const { return ControllerOnNode(node); }

    std::unique_ptr<CDlgTransportAlarmV2> dialog;
    NodeDialogDriver driver;
};

} // namespace

// ---- the window and the file chooser ----

TEST_F(AlarmDialogTest, WindowCarriesTheAlarmTexts) {
    CDlgTransportAlarmV2& dlg = OpenDialog();
    EXPECT_EQ(dlg.windowTitle(), "Alarm History");
    EXPECT_EQ(dlg.fileLabel()->text(), "Save File Name");
    EXPECT_EQ(dlg.treeLabel()->text(), "Select a connection for transfering data");
    EXPECT_FALSE(dlg.commSettingButton()->isVisible());
    EXPECT_EQ(dlg.fileField()->text(), "");
}

TEST_F(AlarmDialogTest, ChooserTakesOnlyAlarmFilesOfAcceptableLength) {
    OpenDialog();
    ChooseFile(FilePath("ok.alr"));
    ASSERT_EQ(ui.fileRequests.size(), 1);
    EXPECT_TRUE(ui.fileRequests[0].save);
    EXPECT_EQ(ui.fileRequests[0].filter, "Alarm History (*.alr)|*.alr||");
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, "alr");
    EXPECT_EQ(dialog->FileFieldText(), FilePath("ok.alr"));
    const QString longPath = "/" + QString(255, 'a') + ".alr"; // 260 characters
    ASSERT_EQ(longPath.size(), 260);
    for (const QString& path :
         {FilePath("upper.ALR"), FilePath("data.kqd"), FilePath("noext"), longPath}) {
        ui.shown.clear();
        ChooseFile(path);
        ASSERT_EQ(ui.texts(), QStringList{path == longPath ? kTooLong : kNotAlr})
            << path.toStdString();
        EXPECT_EQ(dialog->FileFieldText(), FilePath("ok.alr"));
    }
    // 259 characters are still taken.
    const QString longest = "/" + QString(254, 'a') + ".alr";
    ChooseFile(longest);
    EXPECT_EQ(dialog->FileFieldText(), longest);
}

TEST_F(AlarmDialogTest, OkWithoutFileOrPortAnswersAndStaysIdle) {
    StartLine(1, {});
    CDlgTransportAlarmV2& dlg = OpenDialog();
    dlg.okButton()->click();
    EXPECT_EQ(ui.texts(), QStringList{"File to be transferred is not selected."});

    ui.shown.clear();
    ChooseFile(FilePath("h.alr"));
    dlg.okButton()->click();
    EXPECT_EQ(ui.texts(), QStringList{"Connection is not selected."});

    ui.shown.clear();
    dlg.connectionTree()->setCurrentItem(dlg.connectionTree()->topLevelItem(0));
    dlg.okButton()->click();
    EXPECT_EQ(ui.texts(), QStringList{"Connection is not selected."});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(ControlsEnabled());
    EXPECT_TRUE(Commands().isEmpty());
}

// ---- a saved history ----

TEST_F(AlarmDialogTest, SavesTheChosenNodesHistoryAndCloses) {
    SimAlarm first = Alarm(0x8E, 1505);
    first.position = 12345;
    first.voltage = 241;
    first.input = 10;
    StartLine(3, {first, Alarm(0x05, 60), Alarm(0xF4, 2)});
    const QString path = FilePath("node2.alr");
    Prepare(path);
    // The demo controller's number of decimal places decides the position's format.
    sim->UpdateControllers([](QList<SimController>& list) {
        for (SimController& c : list)
            c.data.params().K(72) = 2;
    });

    bool disabled = false;
    bool busyShown = false;
    QString busyText;
    ui.onShow = [&](const QString&) {
        if (ui.shown.isEmpty())
            disabled = !ControlsEnabled() && !dialog->commSettingButton()->isEnabled();
    };
    auto* indicator = dynamic_cast<CPanelBusyIndicator*>(&dialog->busyIndicator());
    ASSERT_NE(indicator, nullptr);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (CBusyPanel* panel = indicator->panel()) {
            busyShown = true;
            busyText = panel->messageLabel() ? panel->messageLabel()->text() : QString();
        }
    });
    watch.start(1);

    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)}));
    watch.stop();
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(busyShown);
    EXPECT_EQ(busyText, "Saving the Alarm History...");

    const SimController node2 = Node(2);
    ASSERT_EQ(ui.shown.size(), 2);
    // Only the file's name, not its folder.
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("Save to: node2.alr\nController: %1  (COM%2 - Node No.:02)\n"
                             "Saving the Alarm History with the settings below. Do you want to "
                             "proceed?")
                  .arg(node2.data.controllerName)
                  .arg(sim->ComNumber()));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(ui.shown[1].text, kSaved);
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Information);

    const QByteArray bytes = ReadBytes(path);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 10) << bytes.toStdString();
    EXPECT_TRUE(QRegularExpression("^//[A-Z][a-z]{2} \\d{2}, \\d{4} \\d{2}:\\d{2}:\\d{2}\r$")
                    .match(QString::fromLatin1(lines[0]))
                    .hasMatch())
        << lines[0].toStdString();
    const QByteArray expected =
        "//CONT=" + node2.data.controllerName.toLatin1() +
        "\r\n//ROBOT=" + node2.data.robotName.toLatin1() +
        "\r\n//IF=" + node2.data.interfaceInfo.toLatin1() +
        "\r\n//VER=" + node2.data.version.toLatin1() +
        "\r\n//DBVER=\r\n"
        "8E\tOVER CURRENT\t1:01:05\t123.45\t0.00\tHold\t0\t0\t24.1\t000a\t0000\t\r\n"
        " 5\tRUNNING\t0:01:00\t0.00\t0.00\tHold\t0\t0\t0.0\t0000\t0000\t\r\n"
        "F4\tI/O ERROR\t0:00:02\t0.00\t0.00\tHold\t0\t0\t0.0\t0000\t0000\t\r\n";
    EXPECT_EQ(bytes.mid(lines[0].size() + 1), expected);

    // No run-mode or robot question before the confirmation; only node 2 was asked for alarms.
    const QStringList commands = Commands();
    EXPECT_FALSE(commands.contains("@?K20.2"));
    EXPECT_TRUE(commands.contains("@?K72.2"));
    EXPECT_EQ(AlarmQueries(), (QStringList{"@?REC1.2", "@?REC2.2", "@?REC3.2", "@?REC4.2"}));
    EXPECT_EQ(FilesInFolder(), QStringList{"node2.alr"});
}

TEST_F(AlarmDialogTest, EmptyHistoryStillGivesTheHeader) {
    StartLine(2, {});
    const QString path = FilePath("empty.alr");
    Prepare(path);
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)}));
    EXPECT_EQ(ui.texts().last(), kSaved);
    const QByteArray bytes = ReadBytes(path);
    EXPECT_EQ(bytes.count("\r\n"), 6);
    EXPECT_TRUE(bytes.endsWith("//DBVER=\r\n"));
    EXPECT_EQ(AlarmQueries(), QStringList{"@?REC1.2"});
}

TEST_F(AlarmDialogTest, FiftyAlarmsGiveFiftyLinesWithoutAFiftyFirstQuery) {
    QList<SimAlarm> alarms;
    for (int i = 1; i <= 50; ++i)
        alarms << Alarm(0x81, static_cast<uint32_t>(i));
    StartLine(2, alarms);
    const QString path = FilePath("full.alr");
    Prepare(path);
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)}));
    EXPECT_EQ(ReadBytes(path).count("\r\n"), 56);
    const QStringList queries = AlarmQueries();
    EXPECT_EQ(queries.size(), 50);
    EXPECT_EQ(queries.last(), "@?REC50.2");
    EXPECT_FALSE(Commands().contains("@?REC51.2"));
}

// ---- refusals and failures: the dialog stays open ----

TEST_F(AlarmDialogTest, CancelInTheConfirmationReadsNothing) {
    StartLine(2, {Alarm(0x41)});
    const QString path = FilePath("c.alr");
    Prepare(path);
    ui.answers = {MsgResult::Cancel};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    EXPECT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(AlarmQueries().isEmpty());
    EXPECT_TRUE(FilesInFolder().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(ControlsEnabled());
}

TEST_F(AlarmDialogTest, FailedContQueryAnswersReconnectFailed) {
    StartLine(2, {Alarm(0x41)});
    Prepare(FilePath("x.alr"));
    // The node's own CONT query after the confirmation goes unanswered.
    sim->AddFault(Fault(FaultRule::Kind::Silence, "@?CONT.2", 1));
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    EXPECT_EQ(ui.texts().last(), kReconnect);
    EXPECT_TRUE(AlarmQueries().isEmpty());
    EXPECT_TRUE(FilesInFolder().isEmpty());
    EXPECT_TRUE(ControlsEnabled());
}

TEST_F(AlarmDialogTest, ReplacedControllerStopsBeforeAnyRead) {
    StartLine(2, {Alarm(0x41)});
    Prepare(FilePath("x.alr"));
    ui.onShow = [&](const QString&) {
        sim->UpdateControllers([](QList<SimController>& list) {
            for (SimController& c : list) {
                if (c.node() == 2)
                    c.data.controllerName = "KQ-F";
            }
        });
    };
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    EXPECT_EQ(ui.texts().last(), kChanged);
    EXPECT_TRUE(AlarmQueries().isEmpty());
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

TEST_F(AlarmDialogTest, FailedIdentityOrDecimalsReadSavesNothing) {
    struct Case {
        FaultRule rule;
        QString message;
    };
    const QList<Case> cases = {
        {Fault(FaultRule::Kind::Silence, "@?IF.2"), kSaveFailed + kTimeOutReason},
        {Fault(FaultRule::Kind::Ng, "@?K72.2"), kSaveFailed + kRefusedReason},
    };
    StartLine(2, {Alarm(0x41)});
    for (const Case& c : cases) {
        sim->ClearFaults();
        sim->AddFault(c.rule);
        ui.shown.clear();
        Prepare(FilePath("id.alr"));
        ui.answers = {MsgResult::Ok};
        EXPECT_FALSE(PressOk({Step::Node(2)})) << c.rule.pattern.toStdString();
        ASSERT_FALSE(ui.shown.isEmpty());
        EXPECT_EQ(ui.shown.last().text, c.message);
        EXPECT_EQ(ui.shown.last().icon, MsgIcon::Error);
        EXPECT_TRUE(AlarmQueries().isEmpty());
        EXPECT_TRUE(FilesInFolder().isEmpty());
        EXPECT_TRUE(dialog->isVisible());
    }
}

// A slot in the middle that times out or is refused leaves the history unknown: saving the
// slots before it would pass a shortened history off as the whole.
TEST_F(AlarmDialogTest, UnreadSlotWhileReadingAlarmsWritesNoFile) {
    struct Case {
        FaultRule rule;
        QString message;
    };
    const QList<Case> cases = {
        {Fault(FaultRule::Kind::Silence, "@?REC2.2"), kSaveFailed + kTimeOutReason},
        {Fault(FaultRule::Kind::Ng, "@?REC2.2"), kSaveFailed + kRefusedReason},
    };
    StartLine(2, {Alarm(0x81), Alarm(0x82), Alarm(0x83)});
    const QString path = FilePath("keep.alr");
    const QByteArray before("//an older history\r\n");
    for (const Case& c : cases) {
        sim->ClearFaults();
        sim->AddFault(c.rule);
        ui.shown.clear();
        ASSERT_TRUE(WriteBytes(path, before));
        Prepare(path);
        ui.answers = {MsgResult::Ok};
        EXPECT_FALSE(PressOk({Step::Node(2)})) << c.rule.pattern.toStdString();
        ASSERT_FALSE(ui.shown.isEmpty());
        EXPECT_EQ(ui.shown.last().text, c.message);
        EXPECT_EQ(ui.shown.last().icon, MsgIcon::Error);
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(FilesInFolder(), QStringList{"keep.alr"});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(ControlsEnabled());
    }
}

TEST_F(AlarmDialogTest, LineErrorWhileReadingAlarmsWritesNoFile) {
    StartLine(2, {Alarm(0x81), Alarm(0x82), Alarm(0x83)});
    Prepare(FilePath("cut.alr"));
    sim->AddFault(Fault(FaultRule::Kind::Ng, "@?REC2.2", -1, 0x49));
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    EXPECT_EQ(ui.texts().last(), kSaveFailed + kLinkReason);
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

TEST_F(AlarmDialogTest, ReadOnlyFolderFailsAndTheDialogStaysOpen) {
    StartLine(2, {Alarm(0x81)});
    const QString unwritable = UnwritableFolder(folder.path());
    ASSERT_FALSE(unwritable.isEmpty());
    const QString path = QDir(unwritable).filePath("h.alr");
    Prepare(path);
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    ASSERT_FALSE(ui.shown.isEmpty());
    // The system's reason follows; which one depends on the folder this user cannot write.
    EXPECT_TRUE(ui.shown.last().text.startsWith(kNotWritten)) << ui.shown.last().text.toStdString();
    EXPECT_GT(ui.shown.last().text.size(), kNotWritten.size());
    EXPECT_EQ(ui.shown.last().icon, MsgIcon::Error);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(ControlsEnabled());
    EXPECT_EQ(dialog->FileFieldText(), path);
}

TEST_F(AlarmDialogTest, FailedWriteOverAnExistingFileLeavesItByteForByte) {
    QList<SimAlarm> alarms;
    for (int i = 1; i <= 20; ++i)
        alarms << Alarm(0x86, static_cast<uint32_t>(i));
    StartLine(2, alarms);
    const QString path = FilePath("keep.alr");
    const QByteArray before("//an older history\r\n//CONT=KQ-A\r\n");
    ASSERT_TRUE(WriteBytes(path, before));
    Prepare(path);
    ui.answers = {MsgResult::Ok};
    bool saved = true;
    {
        // The new history is larger than any file may grow meanwhile.
        const FileSizeLimit limit(200);
        ASSERT_TRUE(limit.isActive());
        saved = PressOk({Step::Node(2)});
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ui.texts().last(), kNotWritten + QString::fromLocal8Bit(strerror(EFBIG)));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FilesInFolder(), QStringList{"keep.alr"});
}

TEST_F(AlarmDialogTest, SecondAttemptAfterAFailureSucceeds) {
    StartLine(2, {Alarm(0x81)});
    const QString path = FilePath("again.alr");
    Prepare(path);
    sim->AddFault(Fault(FaultRule::Kind::Silence, "@?REC1.2", 1));
    ui.answers = {MsgResult::Ok};
    EXPECT_FALSE(PressOk({Step::Node(2)}));
    EXPECT_FALSE(QFile::exists(path));
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)}));
    EXPECT_TRUE(ReadBytes(path).contains("81\tAC POWER DOWN\t"));
}

TEST_F(AlarmDialogTest, CrOnlyControllerBehindLineNoiseGivesItsWholeHistory) {
    StartLine(2, {Alarm(0x81, 61), Alarm(0x82, 62)});
    sim->UpdateControllers([](QList<SimController>& list) {
        for (SimController& c : list) {
            if (c.node() == 2)
                c.data.params().K(kDelimiterParam) = kDelimiterCr;
        }
    });
    FaultRule noise = Fault(FaultRule::Kind::Garbage, "*");
    noise.garbage = QByteArray("\0\xff", 2);
    sim->AddFault(noise);
    const QString path = FilePath("cr.alr");
    Prepare(path);
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(PressOk({Step::Node(2)})) << ui.texts().join('|').toStdString();
    EXPECT_EQ(ui.texts().last(), kSaved);
    const QByteArray bytes = ReadBytes(path);
    EXPECT_TRUE(bytes.contains("81\tAC POWER DOWN\t0:01:01\t")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("\r\n82\t")) << bytes.toStdString();
}
