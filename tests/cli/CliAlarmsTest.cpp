// velmora-cli alarms as a user runs it: a process on a simulated line.
#include "CliProcess.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

SimAlarm Alarm(uint8_t code, uint32_t time) {
    SimAlarm alarm;
    alarm.code = code;
    alarm.time = time;
    return alarm;
}

class CliAlarmsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override {
        if (sim)
            sim->Stop();
    }

    // Demo controllers on nodes 1 and 2; node 2 holds two alarms.
    void StartLine() {
        QList<SimController> controllers = MakeDemoControllers(2);
        controllers[1].alarms = {Alarm(0x89, 90), Alarm(0xC1, 3000)};
        sim = std::make_unique<SimulatedLine>(controllers);
        QString error;
        ASSERT_TRUE(sim->Start(-1, &error)) << error.toStdString();
    }
    QString Port() const { return QStringLiteral("COM%1").arg(sim->ComNumber()); }
    QString FilePath(const QString& name) const { return folder.filePath(name); }
    QStringList AlarmQueries() const {
        return sim->Log().Commands().filter(QRegularExpression("^@\\?REC\\d"));
    }

    static CliRun Run(const QStringList& arguments) {
        return RunCli(WithShortReplyTimeout(QStringList{"alarms"} + arguments));
    }

    QString Confirmation(const QString& file) const {
        return QStringLiteral("Save to: %1\nController: KQ-C  (%2 - Node No.:02)\nSaving the Alarm "
                              "History with the settings below. Do you want to proceed?\n")
            .arg(file, Port());
    }

    std::unique_ptr<SimulatedLine> sim;
    QTemporaryDir folder;
};

} // namespace

TEST_F(CliAlarmsTest, SavesTheHistoryAndExitsWithZero) {
    StartLine();
    const QString path = FilePath("node2.alr");
    const CliRun run = Run({"--port", Port(), "--node", "2", "--file", path, "--yes"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, Confirmation("node2.alr") + "Saving data to the file is completed.\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[1], "//CONT=KQ-C\r");
    EXPECT_TRUE(lines[6].startsWith("89\tPOSITION ERROR\t0:01:30\t"));
    EXPECT_TRUE(lines[7].startsWith("C1\tEMERGENCY STOP\t2:02:00\t"));
    EXPECT_EQ(AlarmQueries(), (QStringList{"@?REC1.2", "@?REC2.2", "@?REC3.2"}));
}

TEST_F(CliAlarmsTest, UnansweredConfirmationReadsNothing) {
    StartLine();
    const QString path = FilePath("no.alr");
    const CliRun run = Run({"--port", Port(), "--node", "2", "--file", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, Confirmation("no.alr"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(AlarmQueries().isEmpty());
}

TEST_F(CliAlarmsTest, TimeOutInTheHistoryFailsWithoutAFile) {
    StartLine();
    FaultRule silence;
    silence.kind = FaultRule::Kind::Silence;
    silence.pattern = "@?REC2.2";
    sim->AddFault(silence);
    const QString path = FilePath("t.alr");
    // At the default reply time-out.
    const CliRun run = RunCli({"alarms", "--port", Port(), "--node", "2", "--file", path, "--yes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.endsWith("Failed to save the file.\n\nConnection is closed. Please retry "
                                 "after checking the connection and power supply to the "
                                 "controller.\n"))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(CliAlarmsTest, RefusedFileNamesAndMissingNodesTouchNothing) {
    StartLine();
    const CliRun upper =
        Run({"--port", Port(), "--node", "2", "--file", FilePath("h.ALR"), "--yes"});
    EXPECT_EQ(upper.status, 1);
    EXPECT_EQ(upper.err, "The file must have the extension .alr.\n");
    const CliRun folderMissing =
        Run({"--port", Port(), "--node", "2", "--file", FilePath("none/h.alr"), "--yes"});
    EXPECT_EQ(folderMissing.status, 1);
    EXPECT_FALSE(folderMissing.err.isEmpty());
    // An existing history is replaced only when the user agrees, which no terminal can.
    const QString older = FilePath("older.alr");
    const QByteArray olderBytes("//an older history\r\n");
    {
        QFile file(older);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(olderBytes);
    }
    const CliRun kept = Run({"--port", Port(), "--node", "2", "--file", older});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "older.alr already exists.\nDo you want to replace it?\n");
    QFile olderFile(older);
    ASSERT_TRUE(olderFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(olderFile.readAll(), olderBytes);
    EXPECT_TRUE(sim->Log().Commands().isEmpty());

    const QString path = FilePath("n9.alr");
    const CliRun missing = Run({"--port", Port(), "--node", "9", "--file", path, "--yes"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Node 09 was not found on the line.\n");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(AlarmQueries().isEmpty());
}
