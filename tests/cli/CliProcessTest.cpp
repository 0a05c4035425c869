// velmora-cli as a user runs it: a process on a simulated line, questions answered by --yes or
// by a standard input that is not a terminal.
#include "CliProcess.h"
#include "data/DataStore.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"
#include "tests/support/FileFailures.h"
#include "tests/support/QtPrinters.h"
#include "transfer/RollbackPoint.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override {
        if (sim)
            sim->Stop();
    }

    void StartLine(const QList<SimController>& controllers) {
        sim = std::make_unique<SimulatedLine>(controllers);
        QString error;
        ASSERT_TRUE(sim->Start(-1, &error)) << error.toStdString();
    }
    QString Port() const { return QStringLiteral("COM%1").arg(sim->ComNumber()); }
    QString FilePath(const QString& name) const { return folder.filePath(name); }
    static QByteArray ReadBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static CliRun
    Cli(const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        return RunCli(WithShortReplyTimeout(arguments), environment);
    }

    QStringList TakeCommands() {
        const QStringList all = sim->Log().Commands();
        const QStringList fresh = all.mid(seen);
        seen = static_cast<int>(all.size());
        return fresh;
    }
    static QStringList Writes(const QStringList& commands) {
        QStringList writes;
        for (const QString& c : commands) {
            if (!c.startsWith("@?") && !c.startsWith("@READ") && c != "@K99=0")
                writes << c;
        }
        return writes;
    }

    // The rollback point the last write saved.
    static QString NewestRollback() {
        const QFileInfoList points =
            QDir(RollbackPoint::Folder()).entryInfoList({"*.kqd"}, QDir::Files, QDir::Time);
        return points.isEmpty() ? QString() : points.first().filePath();
    }

    std::unique_ptr<SimulatedLine> sim;
    QTemporaryDir folder;
    int seen = 0;
};

const QString kCompleted = QStringLiteral("Data transfer is completed.\n");

} // namespace

TEST_F(CliTest, UsageErrorsExitWithTwoAndTheUsage) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"restore", "--port", "COM1", "--file", "a.kqd"},
          QStringList{"search", "--port", "nowhere"}}) {
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Usage:\n  velmora-cli ports\n")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage:"));
}

TEST_F(CliTest, PortsListsTheSimulatorLine) {
    StartLine(MakeDemoControllers(1));
    const CliRun run = Cli({"ports"});
    EXPECT_EQ(run.status, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(QStringLiteral("%1\t%2").arg(Port(), sim->LinkPath())))
        << run.out.toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith("COM") && line.contains("\t/")) << line.toStdString();
}

TEST_F(CliTest, SearchPrintsTheNodesInOrder) {
    const QList<SimController> controllers = MakeDemoControllers(3);
    StartLine(controllers);
    const CliRun run = Cli({"search", "--port", sim->LinkPath()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    QString expected;
    for (const SimController& c : controllers)
        expected += QStringLiteral("%1\t%2\t%3\n")
                        .arg(c.node(), 2, 10, QLatin1Char('0'))
                        .arg(c.data.controllerName, c.text(2));
    EXPECT_EQ(run.out, expected);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST_F(CliTest, StandardErrorStaysCleanWithoutARuntimeFolder) {
    StartLine(MakeDemoControllers(2));
    // A session without a runtime folder (su, cron) makes Qt complain on every port lookup;
    // none of that may reach the stream that scripts compare.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const CliRun ports = Cli({"ports"}, bare);
    EXPECT_EQ(ports.status, 0);
    EXPECT_EQ(ports.err, QString());
    const CliRun search = Cli({"search", "--port", sim->LinkPath()}, bare);
    EXPECT_EQ(search.status, 0);
    EXPECT_EQ(search.err, QString());
    EXPECT_EQ(search.out.count('\n'), 2) << search.out.toStdString();
}

TEST_F(CliTest, SearchOfAnEmptyLineFails) {
    StartLine({});
    const CliRun run = Cli({"search", "--port", Port()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QString("Failed to create a connection.\n"));
    EXPECT_TRUE(run.out.isEmpty());
}

TEST_F(CliTest, SearchAssignsDuplicateNodeNumbersWhenAllowed) {
    StartLine({MakeDemoController(1, "KQ-A"), MakeDemoController(1, "KQ-C")});
    const CliRun refused = Cli({"search", "--port", Port()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.startsWith("Cannot create a connection. Multiple controllers"));
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());

    const CliRun run = Cli({"search", "--port", Port(), "--yes"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Automatic Node Number Assignment is completed.\n\n"))
        << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("01\t"));
    EXPECT_TRUE(lines[1].startsWith("02\t"));
}

TEST_F(CliTest, BackupThenRestoreOfTheSameFileSwitchesOnlyTheRunMode) {
    StartLine(MakeDemoControllers(2));
    const QString path = FilePath("node2.kqd");
    const CliRun backup = Cli({"backup", "--port", Port(), "--node", "2", "--file", path, "--yes"});
    EXPECT_EQ(backup.status, 0) << backup.err.toStdString();
    EXPECT_EQ(backup.err,
              QString("Save to: node2.kqd\nController: KQ-C  (%1 - Node No.:02)\n"
                      "Confirm the data transfer settings (Controller to PC). Do you want to "
                      "proceed?\n")
                      .arg(Port()) +
                  kCompleted);
    ControllerData saved;
    saved.points.resize(kPointCount);
    saved.robotParams.resize(1);
    ASSERT_TRUE(CDataStore().LoadDataFile(path, saved, true, true));
    EXPECT_EQ(saved.points, sim->Controllers()[1].data.points);
    TakeCommands();

    const CliRun restore =
        Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes"});
    EXPECT_EQ(restore.status, 0) << restore.err.toStdString();
    EXPECT_TRUE(restore.err.startsWith("The Run Mode will be changed to Debug Mode"));
    EXPECT_TRUE(restore.err.contains(
        "\n\nCAUTION: For safety, please ensure that robot is not in motion.\n" +
        kCompleted.chopped(1) + "\n\nThe controller's data before this write is saved in "))
        << restore.err.toStdString();
    EXPECT_EQ(Writes(TakeCommands()), (QStringList{"@K20.2=2", "@K20.2=0"}));

    // diff of the backup against a copy with one parameter changed and its first point dropped
    // lists exactly those two; a file that cannot be read is a usage-level failure.
    QList<QByteArray> lines = ReadBytes(path).split('\n');
    qsizetype firstPoint = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith("K44="))
            lines[i] = "K44=1234\r";
        if (firstPoint < 0 && lines[i].startsWith("PNT"))
            firstPoint = i;
    }
    ASSERT_GE(firstPoint, 0);
    const QByteArray pointItem = lines[firstPoint].left(lines[firstPoint].indexOf('='));
    lines.removeAt(firstPoint);
    const QString edited = FilePath("edited.kqd");
    QFile file(edited);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lines.join('\n'));
    file.close();
    const CliRun diff = Cli({"diff", path, edited, "--json"});
    EXPECT_EQ(diff.status, 1) << diff.err.toStdString();
    EXPECT_TRUE(diff.out.contains(QString("\"item\": \"%1\"").arg(QString(pointItem))));
    EXPECT_TRUE(diff.out.contains("\"b\": \"12.34\",\n            \"item\": \"K44\""));
    EXPECT_EQ(diff.out.count("\"item\""), 2) << diff.out.toStdString();
    EXPECT_EQ(Cli({"diff", path, path}).status, 0);

    // verify reads only: equal to the backup, then the edited copy names the same two items
    // with the controller's value first.
    TakeCommands();
    const CliRun same = Cli({"verify", "--port", Port(), "--node", "2", "--file", path});
    EXPECT_EQ(same.status, 0) << same.out.toStdString() << same.err.toStdString();
    const CliRun changed =
        Cli({"verify", "--port", Port(), "--node", "2", "--file", edited, "--json"});
    EXPECT_EQ(changed.status, 1) << changed.err.toStdString();
    EXPECT_TRUE(changed.out.contains("\"b\": \"12.34\",\n            \"item\": \"K44\""))
        << changed.out.toStdString();
    EXPECT_TRUE(changed.out.contains(
        QString("\"b\": \"\",\n            \"item\": \"%1\"").arg(QString(pointItem))));
    EXPECT_EQ(changed.out.count("\"item\""), 2);
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());

    // Two parameters changed at the controller: verify names both; a dry run of the backup
    // asks every question, lists them in write order and writes nothing, not even the run mode.
    const int32_t k44 = sim->Controllers()[1].data.params().K(44);
    sim->SetParameter(2, 44, k44 + 7);
    sim->UpdateControllers([](QList<SimController>& list) { list[1].data.params().H(0) += 3; });
    const CliRun drifted = Cli({"verify", "--port", Port(), "--node", "2", "--file", path});
    EXPECT_EQ(drifted.status, 1);
    const QStringList driftedLines = drifted.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(driftedLines.size(), 2) << drifted.out.toStdString();
    EXPECT_TRUE(driftedLines[0].startsWith("K44 ")) << drifted.out.toStdString();
    EXPECT_TRUE(driftedLines[1].startsWith("H0 ")) << drifted.out.toStdString();
    const QString rollbackBefore = NewestRollback();
    TakeCommands();
    const CliRun dryRun = Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes",
                               "--dry-run", "--json"});
    EXPECT_EQ(dryRun.status, 0) << dryRun.err.toStdString();
    EXPECT_TRUE(dryRun.err.startsWith("The Run Mode will be changed")) << dryRun.err.toStdString();
    const QJsonArray wouldWrite =
        QJsonDocument::fromJson(dryRun.out.toUtf8()).object().value("differences").toArray();
    ASSERT_EQ(wouldWrite.size(), 2) << dryRun.out.toStdString();
    EXPECT_EQ(wouldWrite[0].toObject().value("item").toString(), "K44");
    EXPECT_EQ(wouldWrite[1].toObject().value("item").toString(), "H0");
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());
    EXPECT_EQ(NewestRollback(), rollbackBefore);

    // A rollback point that cannot be saved (the data folder is a file) stops the restore
    // before its first write, with the reason.
    const QString blocker = FilePath("blocker");
    ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
    QProcessEnvironment noDataFolder = QProcessEnvironment::systemEnvironment();
    noDataFolder.insert("XDG_DATA_HOME", blocker);
    const CliRun unsaved =
        Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes"}, noDataFolder);
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_TRUE(unsaved.err.contains("Data transfer failed.\n\nThe controller's present data "
                                     "could not be saved as a rollback point in " +
                                     blocker + "/VelmoraFree/rollback: "))
        << unsaved.err.toStdString();
    EXPECT_TRUE(unsaved.err.endsWith("\nNothing was written.\n")) << unsaved.err.toStdString();
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());

    // The line falls silent at the second item: the failure says how far the write came, that
    // the controller stays in Debug Mode, and which rollback file brings it back.
    FaultRule silence;
    silence.pattern = "@H0.2=*";
    sim->AddFault(silence);
    const CliRun cut = Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes"});
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(cut.err.contains("Data transfer failed.")) << cut.err.toStdString();
    EXPECT_TRUE(cut.err.endsWith(
        "\n\nThe transfer stopped after 1 item(s) had been written. The controller was left in "
        "Debug Mode.\nTo bring back its data from before this write, restore " +
        NewestRollback() + "\n"))
        << cut.err.toStdString();
    EXPECT_EQ(sim->Controllers()[1].data.params().K(20), 2);
    sim->ClearFaults();

    // A controller that takes one write without keeping it passes the item-by-item read-back;
    // --verify finds it. The rollback file holds what a backup just before the restore holds.
    sim->SetParameter(2, 44, k44 + 7);
    sim->IgnoreWrite("K44");
    const QString before = FilePath("before.kqd");
    ASSERT_EQ(Cli({"backup", "--port", Port(), "--node", "2", "--file", before, "--yes"}).status,
              0);
    const CliRun ignored = Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes",
                                "--verify", "--json"});
    EXPECT_EQ(ignored.status, 1);
    const QJsonArray readBack =
        QJsonDocument::fromJson(ignored.out.toUtf8()).object().value("differences").toArray();
    ASSERT_EQ(readBack.size(), 1) << ignored.out.toStdString();
    EXPECT_EQ(readBack[0].toObject().value("item").toString(), "K44");
    EXPECT_TRUE(ignored.err.contains("Read back after writing, the controller holds other values "
                                     "than were written: K44\nTo bring back its data from before "
                                     "this write, restore " +
                                     NewestRollback() + "\n"))
        << ignored.err.toStdString();
    EXPECT_EQ(ReadBytes(NewestRollback()), ReadBytes(before));

    // Kept again, the same restore verifies clean, and its completion names its rollback point.
    SimBehaviour keeping = sim->Behaviour();
    keeping.ignoredWrites.clear();
    sim->SetBehaviour(keeping);
    const CliRun verified =
        Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes", "--verify"});
    EXPECT_EQ(verified.status, 0) << verified.err.toStdString();
    EXPECT_EQ(verified.out, QString());
    EXPECT_TRUE(verified.err.endsWith(kCompleted.chopped(1) +
                                      "\n\nThe controller's data before this write is saved in " +
                                      NewestRollback() + "\n"))
        << verified.err.toStdString();
    EXPECT_EQ(sim->Controllers()[1].data.params().K(44), k44);
    const CliRun missing = Cli({"show", FilePath("none.kqd")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.contains("none.kqd")) << missing.err.toStdString();
}

TEST_F(CliTest, QuestionsWithoutYesOrTerminalAreAnsweredNo) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("n1.kqd");
    ASSERT_EQ(Cli({"backup", "--port", Port(), "--node", "1", "--file", path, "--yes"}).status, 0);
    TakeCommands();

    const CliRun run = Cli({"restore", "--port", Port(), "--node", "1", "--file", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QString("The Run Mode will be changed to Debug Mode while transferring "
                               "data. Do you want to proceed?\nCurrent Run Mode: Normal Mode\n"));
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());
}

TEST_F(CliTest, AMissingNodeWritesNothing) {
    StartLine(MakeDemoControllers(2));
    const QString path = FilePath("n9.kqd");
    const CliRun run = Cli({"backup", "--port", Port(), "--node", "9", "--file", path, "--yes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QString("Node 09 was not found on the line.\n"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(Writes(TakeCommands()).isEmpty());
}

TEST_F(CliTest, FileRulesOfTheChooserApplyBeforeTheLineIsTouched) {
    StartLine(MakeDemoControllers(1));
    const CliRun upper =
        Cli({"backup", "--port", Port(), "--node", "1", "--file", FilePath("x.KQD"), "--yes"});
    EXPECT_EQ(upper.status, 1);
    EXPECT_EQ(upper.err, QString("The file must have the extension .kqd.\n"));

    const CliRun missing =
        Cli({"restore", "--port", Port(), "--node", "1", "--file", FilePath("none.kqd"), "--yes"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.isEmpty());
    EXPECT_TRUE(sim->Log().Commands().isEmpty());
}

TEST_F(CliTest, EveryWorkflowOnALineOfCrOnlyAndNoisyControllers) {
    // Node 2 ends its lines in CR alone, node 1 in CR LF; node 2 has an alarm history.
    QList<SimController> controllers = MakeDemoControllers(2);
    SimController& crOnly = controllers[1];
    crOnly.data.params().K(kDelimiterParam) = kDelimiterCr;
    SimAlarm alarm;
    alarm.code = 0x89;
    alarm.time = 90;
    crOnly.alarms = {alarm};
    StartLine(controllers);
    const auto loaded = [](const QString& path) {
        ControllerData data;
        data.points.resize(kPointCount);
        data.robotParams.resize(1);
        EXPECT_TRUE(CDataStore().LoadDataFile(path, data, true, true));
        return data;
    };

    const QString path = FilePath("cr.kqd");
    const CliRun backup = Cli({"backup", "--port", Port(), "--node", "2", "--file", path, "--yes"});
    ASSERT_EQ(backup.status, 0) << backup.err.toStdString();
    const ControllerData saved = loaded(path);
    EXPECT_EQ(saved.controllerName, "KQ-C");
    EXPECT_EQ(saved.robotName, crOnly.data.robotName);
    EXPECT_EQ(saved.points, crOnly.data.points);
    EXPECT_EQ(saved.params().values, crOnly.data.params().values);

    // The controller drifts; the restore brings it back without a robot name question.
    sim->UpdateControllers([](QList<SimController>& list) {
        list[1].data.params().K(1) += 5;
        list[1].data.points[0] = PointRecord{};
    });
    const CliRun restore =
        Cli({"restore", "--port", Port(), "--node", "2", "--file", path, "--yes"});
    ASSERT_EQ(restore.status, 0) << restore.err.toStdString();
    EXPECT_FALSE(restore.err.contains("Robot name mismatch")) << restore.err.toStdString();
    EXPECT_EQ(sim->Controllers()[1].data.params().K(1), saved.params().K(1));
    EXPECT_EQ(sim->Controllers()[1].data.points, saved.points);

    const QString history = FilePath("cr.alr");
    const CliRun alarms =
        Cli({"alarms", "--port", Port(), "--node", "2", "--file", history, "--yes"});
    ASSERT_EQ(alarms.status, 0) << alarms.err.toStdString();
    QFile file(history);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("89\t")) << history.toStdString();

    // A NUL before every reply: the backup is exact or fails with a reason and no file.
    FaultRule noise;
    noise.kind = FaultRule::Kind::Garbage;
    noise.garbage = QByteArray(1, '\0');
    sim->AddFault(noise);
    sim->UpdateControllers([](QList<SimController>& list) {
        list[0].data.params().K(1) = -100;
        list[0].data.params().H(0) = 100;
    });
    const QString noisy = FilePath("noise.kqd");
    const CliRun noiseBackup =
        Cli({"backup", "--port", Port(), "--node", "1", "--file", noisy, "--yes"});
    ASSERT_EQ(noiseBackup.status, 0) << noiseBackup.err.toStdString();
    const SimController node1 = sim->Controllers()[0];
    const ControllerData fromNoise = loaded(noisy);
    EXPECT_EQ(fromNoise.points, node1.data.points);
    EXPECT_EQ(fromNoise.params().values, node1.data.params().values);
    EXPECT_EQ(fromNoise.params().K(1), -100);
}

TEST_F(CliTest, ADevicePathShowsItsComNumberAndAnExistingFileIsReplacedOnlyWhenAgreed) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("n1.kqd");
    // The line's pseudo-terminal itself, not the port table's link to it.
    const CliRun first =
        Cli({"backup", "--port", sim->DevicePath(), "--node", "1", "--file", path, "--yes"});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(QString("  (%1 - Node No.:01)\n").arg(Port())))
        << first.err.toStdString();
    const QByteArray before = ReadBytes(path);
    ASSERT_FALSE(before.isEmpty());
    TakeCommands();

    const QString replace = QStringLiteral("n1.kqd already exists.\nDo you want to replace it?\n");
    const CliRun refused = Cli({"backup", "--port", Port(), "--node", "1", "--file", path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, replace);
    EXPECT_TRUE(TakeCommands().isEmpty());

    const CliRun replaced =
        Cli({"backup", "--port", Port(), "--node", "1", "--file", path, "--yes"});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_TRUE(replaced.err.startsWith(replace + "Save to: n1.kqd\n"));
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(CliTest, AFileThatCannotBeWrittenIsNamedWithItsReasonAndKeptAsItWas) {
    StartLine(MakeDemoControllers(1));
    const QString path = FilePath("keep.kqd");
    const QByteArray before("CONT=older\r\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    CliRun run;
    {
        // The tool inherits the limit: the whole controller read succeeds, its file cannot grow.
        const FileSizeLimit limit(200);
        ASSERT_TRUE(limit.isActive());
        run = Cli({"backup", "--port", Port(), "--node", "1", "--file", path, "--yes"});
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.endsWith("Data transfer failed.\n\nThe file could not be written: " +
                                 QString::fromLocal8Bit(strerror(EFBIG)) + "\n"))
        << run.err.toStdString();
    EXPECT_EQ(ReadBytes(path), before);
}

// Two lines at once (16 controllers, and two that share a node number), one controller failing
// midway, then restores of the set: unchanged, changed, missing and swapped.
TEST_F(CliTest, WholeLinesAreBackedUpTogetherAndRestoredOnlyFromAnIntactSet) {
    StartLine(MakeDemoControllers(16));
    SimulatedLine second({MakeDemoController(1, "KQ-A"), MakeDemoController(1, "KQ-C")});
    QString error;
    ASSERT_TRUE(second.Start(-1, &error)) << error.toStdString();
    // A line the set will not list, up from the start so that it keeps a number of its own.
    SimulatedLine unlisted({MakeDemoController(1, "KQ-A")});
    ASSERT_TRUE(unlisted.Start(-1, &error)) << error.toStdString();
    const QString unlistedLine = QStringLiteral("COM%1").arg(unlisted.ComNumber());
    FaultRule refuse;
    refuse.kind = FaultRule::Kind::Ng;
    refuse.pattern = "@READ PNT.2";
    second.AddFault(refuse);
    const QString secondLine = QStringLiteral("COM%1").arg(second.ComNumber());
    const QString dir = FilePath("set");
    const QByteArray old("old contents");
    ASSERT_TRUE(QDir().mkpath(dir));
    for (const char* name : {"KQ-A", "KQ-C"}) {
        QFile file(QDir(dir).filePath(QStringLiteral("%1-node02-%2.kqd").arg(secondLine, name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }

    const CliRun backup =
        Cli({"backup-all", "--port", Port(), "--port", secondLine, "--dir", dir, "--yes"});
    second.Stop();
    EXPECT_EQ(backup.status, 1) << backup.err.toStdString();
    EXPECT_EQ(backup.err.count("\tok\t"), 17) << backup.err.toStdString();
    EXPECT_EQ(backup.err.count("\tfailed\t"), 1) << backup.err.toStdString();

    QFile manifestFile(QDir(dir).filePath("manifest.json"));
    ASSERT_TRUE(manifestFile.open(QIODevice::ReadOnly));
    const QJsonObject manifest = QJsonDocument::fromJson(manifestFile.readAll()).object();
    EXPECT_EQ(manifest.value("program").toString(), "VelmoraFree");
    const QJsonArray entries = manifest.value("controllers").toArray();
    ASSERT_EQ(entries.size(), 18);
    const QList<SimController> controllers = sim->Controllers();
    for (int i = 0; i < 18; ++i) {
        const QJsonObject e = entries[i].toObject();
        const bool first = i < 16;
        EXPECT_EQ(e.value("line").toString(), first ? Port() : secondLine);
        EXPECT_EQ(e.value("node").toInt(), first ? i + 1 : i - 15);
        const QString file = e.value("file").toString();
        if (!first && e.value("node").toInt() == 2) {
            EXPECT_EQ(e.value("result").toString(), "failed");
            EXPECT_FALSE(e.value("reason").toString().isEmpty());
            EXPECT_TRUE(file.isEmpty());
            const QString kept = QStringLiteral("%1-node02-%2.kqd")
                                     .arg(secondLine, e.value("controller").toString());
            EXPECT_EQ(ReadBytes(QDir(dir).filePath(kept)), old);
            continue;
        }
        EXPECT_EQ(e.value("result").toString(), "ok") << e.value("reason").toString().toStdString();
        const QByteArray bytes = ReadBytes(QDir(dir).filePath(file));
        EXPECT_EQ(e.value("size").toInteger(), bytes.size());
        EXPECT_EQ(e.value("sha256").toString(),
                  QString::fromLatin1(
                      QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
        if (first) {
            EXPECT_EQ(file, QStringLiteral("%1-node%2-%3.kqd")
                                .arg(Port())
                                .arg(i + 1, 2, 10, QLatin1Char('0'))
                                .arg(controllers[i].data.controllerName));
            ControllerData saved;
            saved.points.resize(kPointCount);
            saved.robotParams.resize(1);
            ASSERT_TRUE(CDataStore().LoadDataFile(QDir(dir).filePath(file), saved, true, true));
            EXPECT_EQ(saved.points, controllers[i].data.points) << i;
            EXPECT_EQ(saved.params().values, controllers[i].data.params().values) << i;
        }
    }
    TakeCommands();

    // The second line is gone: only the first line's entries are restored.
    const CliRun restore = Cli({"restore-all", "--port", Port(), "--dir", dir, "--yes"});
    EXPECT_EQ(restore.status, 0) << restore.err.toStdString();
    QStringList switches;
    for (int n = 1; n <= 16; ++n)
        switches << QStringLiteral("@K20.%1=2").arg(n) << QStringLiteral("@K20.%1=0").arg(n);
    EXPECT_EQ(Writes(TakeCommands()), switches);

    // A controller that takes back an origin setting is told to restart, on its own line.
    ASSERT_EQ(sim->Controllers()[0].node(), 1);
    const int32_t origin = sim->Controllers()[0].data.params().K(15);
    sim->SetParameter(1, 15, origin + 1);
    const CliRun restart =
        Cli({"restore-all", "--port", Port(), "--dir", dir, "--node", "1", "--yes"});
    EXPECT_EQ(restart.status, 0) << restart.err.toStdString();
    EXPECT_TRUE(restart.err.contains("\tok\t") &&
                restart.err.contains("\tPlease restart controller.\n"))
        << restart.err.toStdString();
    EXPECT_EQ(sim->Controllers()[0].data.params().K(15), origin);
    TakeCommands();

    const QString third = QDir(dir).filePath(entries[2].toObject().value("file").toString());
    const QByteArray saved = ReadBytes(third);
    for (const QByteArray& changed : {saved + "\n", QByteArray()}) {
        QFile file(third);
        if (changed.isEmpty())
            ASSERT_TRUE(file.remove());
        else
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(changed) == changed.size());
        file.close();
        const CliRun refused = Cli({"restore-all", "--port", Port(), "--dir", dir, "--yes"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(refused.err.startsWith(QDir::toNativeSeparators(third) + "\n"))
            << refused.err.toStdString();
        EXPECT_TRUE(TakeCommands().isEmpty());
    }
    QFile restored(third);
    ASSERT_TRUE(restored.open(QIODevice::WriteOnly) && restored.write(saved) == saved.size());
    restored.close();

    sim->UpdateControllers([](QList<SimController>& list) {
        list[2].data.controllerName = list[3].data.controllerName == "KQ-A" ? "KQ-C" : "KQ-A";
    });
    const CliRun swapped =
        Cli({"restore-all", "--port", Port(), "--dir", dir, "--node", "3", "--node", "4", "--yes"});
    EXPECT_EQ(swapped.status, 1);
    EXPECT_TRUE(swapped.err.contains("\t03\t")) << swapped.err.toStdString();
    EXPECT_EQ(swapped.err.count("\tfailed\t"), 1) << swapped.err.toStdString();
    EXPECT_EQ(Writes(TakeCommands()), (QStringList{"@K20.4=2", "@K20.4=0"}));

    // A set holding nothing for a line (a live one it does not list), or for the nodes given,
    // says so before the line is touched.
    struct Nothing {
        QStringList arguments;
        QString message;
    };
    for (const Nothing& row :
         {Nothing{{"--port", secondLine, "--node", "2"},
                  "none of the given nodes of " + secondLine},
          Nothing{{"--port", unlistedLine}, "no controller of " + unlistedLine + " to restore"}}) {
        const CliRun nothing =
            Cli(QStringList{"restore-all", "--dir", dir, "--yes"} + row.arguments);
        EXPECT_EQ(nothing.status, 1);
        EXPECT_EQ(nothing.err,
                  QDir::toNativeSeparators(dir) + "\nThe backup set lists " + row.message + ".\n");
    }
    EXPECT_TRUE(unlisted.Log().Commands().isEmpty());
    unlisted.Stop();
    EXPECT_TRUE(TakeCommands().isEmpty());

    // On a terminal, a bar of the controllers done out of those found, with the one being read.
    QStringList command{VELMORA_CLI_PATH,
                        "restore-all",
                        "--port",
                        Port(),
                        "--dir",
                        dir,
                        "--node",
                        "1",
                        "--node",
                        "2",
                        "--yes",
                        "--reply-timeout",
                        "300"};
    for (QString& part : command)
        part = "'" + part + "'";
    QProcess terminal;
    terminal.start("script", {"-qefc", command.join(' '), "/dev/null"});
    ASSERT_TRUE(terminal.waitForFinished(60000));
    const QString shown = QString::fromLocal8Bit(terminal.readAllStandardOutput());
    EXPECT_EQ(terminal.exitCode(), 0) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\r\033[K[##########..........] 1/2 " + Port() + " node 02 " +
                               controllers[1].data.controllerName))
        << shown.toStdString();
    EXPECT_EQ(shown.count("\tok\t"), 2) << shown.toStdString();
}
