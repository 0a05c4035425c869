#include "cli/CliOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool Parses(const QStringList& arguments, CliOptions& options) {
    QString error;
    const bool ok = CliOptions::Parse(arguments, options, error);
    EXPECT_EQ(ok, error.isEmpty()) << error.toStdString();
    return ok;
}

} // namespace

TEST(CliOptionsTest, ReadsEveryOptionOfATransferCommand) {
    CliOptions o;
    ASSERT_TRUE(Parses({"restore", "--port", "COM33", "--node=7", "--file", "data/x.kqd", "--yes",
                        "--baud", "9600", "--reply-timeout", "300"},
                       o));
    EXPECT_EQ(o.command, CliOptions::Command::Restore);
    EXPECT_EQ(o.devicePath, QString("/dev/ttyUSB0"));
    EXPECT_EQ(o.comNumber, 33);
    EXPECT_EQ(o.node, 7);
    EXPECT_EQ(o.file, QDir::current().absoluteFilePath("data/x.kqd"));
    EXPECT_TRUE(o.assumeYes);
    EXPECT_EQ(o.baudRate, 9600);
    EXPECT_EQ(o.replyTimeoutMs, 300);
    EXPECT_FALSE(o.dryRun || o.verifyAfterWrite || o.noRollback || o.json);
    ASSERT_TRUE(Parses({"restore", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--verify",
                        "--no-rollback", "--json"},
                       o));
    EXPECT_TRUE(o.verifyAfterWrite && o.noRollback && o.json);
    EXPECT_FALSE(o.dryRun);
    ASSERT_TRUE(
        Parses({"restore", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--dry-run"}, o));
    EXPECT_TRUE(o.dryRun);

    ASSERT_TRUE(Parses({"search", "--port", "/dev/pts/4"}, o));
    EXPECT_EQ(o.devicePath, QString("/dev/pts/4"));
    EXPECT_EQ(o.comNumber, 0);
    EXPECT_EQ(o.baudRate, 38400);
    EXPECT_EQ(o.replyTimeoutMs, 2000);
    EXPECT_FALSE(o.assumeYes);
    ASSERT_TRUE(Parses(
        {"alarms", "--port", "COM1", "--node", "1", "--file", "a.alr", "--reply-timeout=60000"},
        o));
    EXPECT_EQ(o.replyTimeoutMs, 60000);
}

TEST(CliOptionsTest, RefusesWhatItCannotTake) {
    const QList<QStringList> bad{
        {},
        {"copy"},
        {"ports", "--port", "COM1"},
        {"search"},
        {"search", "--port", "ttyUSB0"},
        {"search", "--port", "COM0"},
        {"search", "--port", "COM1", "--node", "1"},
        {"backup", "--port", "COM1", "--file", "a.kqd"},
        {"backup", "--port", "COM1", "--node", "17", "--file", "a.kqd"},
        {"backup", "--port", "COM1", "--node", "1x", "--file", "a.kqd"},
        {"backup", "--port", "COM1", "--node", "1"},
        {"backup", "--port", "COM1", "--node", "1", "--file"},
        {"backup", "--port", "COM1", "--node", "1", "--node", "2", "--file", "a.kqd"},
        {"backup", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--json"},
        {"verify", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--json=1"},
        {"verify", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--yes"},
        {"verify", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--dry-run"},
        {"backup", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--no-rollback"},
        {"restore", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--json"},
        {"restore", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--dry-run", "--verify"},
        {"restore", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--verify=yes"},
        {"backup", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--baud", "fast"},
        {"backup", "--port", "COM1", "--node", "1", "--file", "a.kqd", "--yes=no"},
        {"backup", "--port", "COM1", "--node", "1", "--file", "a.kqd", "extra"},
        {"search", "--port", "COM1", "--reply-timeout", "0"},
        {"search", "--port", "COM1", "--reply-timeout", "60001"},
        {"search", "--port", "COM1", "--reply-timeout", "-5"},
        {"search", "--port", "COM1", "--reply-timeout", "1.5"},
        {"search", "--port", "COM1", "--reply-timeout"},
        {"ports", "--reply-timeout", "300"},
    };
    for (const QStringList& arguments : bad) {
        CliOptions o;
        QString error;
        EXPECT_FALSE(CliOptions::Parse(arguments, o, error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(CliOptionsTest, ADevicePathThroughLinksKeepsItsComNumber) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // A stable name that points at the device absolutely, one that points relatively, and a
    // link to a link; the devices need not exist for the name to be worked out.
    const QString byId = folder.filePath("usb-adapter-port0");
    ASSERT_TRUE(QFile::link("/dev/ttyUSB3", byId));
    const QString relative = folder.filePath("acm");
    ASSERT_TRUE(QFile::link(QDir(folder.path()).relativeFilePath("/dev/ttyACM2"), relative));
    const QString chained = folder.filePath("chained");
    ASSERT_TRUE(QFile::link(byId, chained));
    const QString elsewhere = folder.filePath("pts");
    ASSERT_TRUE(QFile::link("/dev/pts/4", elsewhere));

    CliOptions o;
    ASSERT_TRUE(Parses({"search", "--port", byId}, o));
    EXPECT_EQ(o.devicePath, byId);
    EXPECT_EQ(o.comNumber, 36);
    ASSERT_TRUE(Parses({"search", "--port", relative}, o));
    EXPECT_EQ(o.comNumber, 67);
    ASSERT_TRUE(Parses({"search", "--port", chained}, o));
    EXPECT_EQ(o.comNumber, 36);
    ASSERT_TRUE(Parses({"search", "--port", elsewhere}, o));
    EXPECT_EQ(o.comNumber, 0);
}
