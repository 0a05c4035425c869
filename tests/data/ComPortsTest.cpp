#include "data/Conversions.h"

#include "platform/ComPortTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TEST(ComPorts, NoPortsToListWhenTheHighestIsZero) {
    QList<uint16_t> ports{7};
    EXPECT_FALSE(ListOpenableComPorts(0, ports));
    EXPECT_TRUE(ports.isEmpty());
}

TEST(ComPorts, ListsASimulatorLineUntilSomeoneHoldsIt) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString folder = ComPortTable::SimulatorLineFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    // line2 of the simulator folder is COM99.
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(ptsname(master)), folder + "/line2"));

    QList<uint16_t> ports;
    EXPECT_TRUE(ListOpenableComPorts(128, ports));
    EXPECT_TRUE(ports.contains(99));
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end()));
    ListOpenableComPorts(98, ports);
    EXPECT_FALSE(ports.contains(99));

    const int holder = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    ListOpenableComPorts(128, ports);
    EXPECT_FALSE(ports.contains(99));

    ::close(holder);
    ::close(master);
    if (previous.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", previous);
}
