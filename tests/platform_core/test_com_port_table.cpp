#include "platform/ComPortTable.h"
#include "platform/ResourceLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TEST(ComPortTable, NumbersMapToDevicesAndBack) {
    EXPECT_EQ(ComPortTable::DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(ComPortTable::DevicePath(32), "/dev/ttyS31");
    EXPECT_EQ(ComPortTable::DevicePath(33), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortTable::DevicePath(64), "/dev/ttyUSB31");
    EXPECT_EQ(ComPortTable::DevicePath(65), "/dev/ttyACM0");
    EXPECT_EQ(ComPortTable::DevicePath(97), ComPortTable::SimulatorLineFolder() + "/line0");
    EXPECT_EQ(ComPortTable::DevicePath(128), ComPortTable::SimulatorLineFolder() + "/line31");
    EXPECT_TRUE(ComPortTable::DevicePath(0).isEmpty());
    EXPECT_TRUE(ComPortTable::DevicePath(129).isEmpty());

    for (int n = 1; n <= ComPortTable::kHighestPort; ++n)
        EXPECT_EQ(ComPortTable::ComNumberOf(ComPortTable::DevicePath(n)), n) << n;
    EXPECT_EQ(ComPortTable::ComNumberOf("/dev/ttyUSB32"), 0);
    EXPECT_EQ(ComPortTable::ComNumberOf("/tmp/ttyUSB0"), 0);
    EXPECT_EQ(ComPortTable::ComNumberOf("/dev/pts/3"), 0);
}

TEST(ComPortTable, DisplayNamesKeepTheNumberFromTheFourthCharacter) {
    // Without a library the format is the built-in "COM%d".
    EXPECT_EQ(ComPortTable::DisplayName(33), "COM33 (ttyUSB0)");
    EXPECT_EQ(ComPortTable::DisplayName(1), "COM1 (ttyS0)");
    EXPECT_EQ(ComPortTable::DisplayName(97).mid(3).toInt(), 0); // "97 (..." is not a number alone
    EXPECT_EQ(ComPortTable::DisplayName(97).mid(3, 2).toInt(), 97);
    EXPECT_TRUE(ComPortTable::DisplayName(200).isEmpty());

    // The library's own texts: the item format (393) and its word for the simulator (10453).
    ASSERT_TRUE(ResourceLibrary::LoadFile(TEST_LIBRARY_PATH));
    EXPECT_EQ(ComPortTable::DisplayName(33), "KOM33 (ttyUSB0)");
    EXPECT_EQ(ComPortTable::DisplayName(97), "KOM97 (sim line0)");
    ResourceLibrary::Unload();
}

TEST(ComPortTable, ResolvesComNamesAndPaths) {
    EXPECT_EQ(ComPortTable::ResolvePortName("COM33"), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortTable::ResolvePortName("com2"), "/dev/ttyS1");
    EXPECT_EQ(ComPortTable::ResolvePortName("/dev/pts/4"), "/dev/pts/4");
    EXPECT_TRUE(ComPortTable::ResolvePortName("COM0").isEmpty());
    EXPECT_TRUE(ComPortTable::ResolvePortName("COM999").isEmpty());
    EXPECT_TRUE(ComPortTable::ResolvePortName("ttyUSB0").isEmpty());
}

TEST(ComPortTable, ProbeTellsFreeBusyAndMissingDevices) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    QString reason;
    EXPECT_TRUE(ComPortTable::ProbeDevice(QString::fromLocal8Bit(name), &reason))
        << qPrintable(reason);

    // Another holder of the port keeps an exclusive lock on it.
    ASSERT_EQ(flock(slave, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(ComPortTable::ProbeDevice(QString::fromLocal8Bit(name), &reason));
    EXPECT_EQ(reason, "Another program holds the port.");
    flock(slave, LOCK_UN);
    EXPECT_TRUE(ComPortTable::ProbeDevice(QString::fromLocal8Bit(name)));

    EXPECT_FALSE(ComPortTable::ProbeDevice("/dev/ttyUSB31-missing", &reason));
    EXPECT_EQ(reason, "The port does not exist.");
    close(slave);
    close(master);
}

TEST(ComPortTable, ProbeOfAFileWithoutPermissionNamesTheDialoutGroup) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens every file";
    QTemporaryDir dir;
    QFile file(dir.filePath("ttyS0"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFile::Permissions());
    QString reason;
    EXPECT_FALSE(ComPortTable::ProbeDevice(file.fileName(), &reason));
    EXPECT_TRUE(reason.contains("dialout"));
}

} // namespace
