#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstReleases) {
    QTemporaryDir dir;
    SingleInstance first(QStringLiteral("VelmoraFree"), dir.path());
    EXPECT_EQ(first.lockFilePath(), dir.filePath("VelmoraFree.lock"));
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_TRUE(first.isHeld());
    EXPECT_TRUE(QFileInfo::exists(first.lockFilePath()));

    SingleInstance second(QStringLiteral("VelmoraFree"), dir.path());
    EXPECT_FALSE(second.tryAcquire());
    EXPECT_TRUE(second.heldByOther());
    EXPECT_FALSE(second.isHeld());
    // The refused one leaves the holder's lock in place.
    EXPECT_TRUE(first.isHeld());
    EXPECT_TRUE(QFileInfo::exists(first.lockFilePath()));

    // Another program name is another lock.
    SingleInstance other(QStringLiteral("velmora-cli"), dir.path());
    EXPECT_TRUE(other.tryAcquire());

    first.release();
    EXPECT_FALSE(QFileInfo::exists(first.lockFilePath()));
    EXPECT_TRUE(second.tryAcquire());
}

TEST(SingleInstance, LockOfAProcessThatIsGoneIsTakenOver) {
    QTemporaryDir dir;
    // A process id that certainly ran and certainly ended.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);

    QFile stale(dir.filePath("VelmoraFree.lock"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    stale.write(QByteArray::number(child) + "\nVelmoraFree\n" + QByteArray(host) + "\n");
    stale.close();

    SingleInstance instance(QStringLiteral("VelmoraFree"), dir.path());
    EXPECT_TRUE(instance.tryAcquire());
    EXPECT_TRUE(instance.isHeld());
}

TEST(SingleInstance, LockNamingNobodyIsTakenOverOnlyOnceItHasAged) {
    // A copy killed between creating its lock and writing itself into it leaves an empty lock.
    struct Case {
        const char* what;
        int ageSeconds;
        bool takenOver;
    };
    const Case cases[] = {
        {"just created: its copy may be writing it", 0, false},
        {"an hour old: its copy died", 3600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        QFile empty(dir.filePath("VelmoraFree.lock"));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        ASSERT_TRUE(empty.setFileTime(QDateTime::currentDateTime().addSecs(-c.ageSeconds),
                                      QFileDevice::FileModificationTime));
        empty.close();

        SingleInstance instance(QStringLiteral("VelmoraFree"), dir.path());
        EXPECT_EQ(instance.tryAcquire(), c.takenOver);
        EXPECT_EQ(instance.heldByOther(), !c.takenOver);
    }
}

TEST(SingleInstance, UncreatableLockIsNotAnotherCopy) {
    SingleInstance instance(QStringLiteral("VelmoraFree"),
                            QStringLiteral("/proc/velmora-no-such-folder"));
    EXPECT_FALSE(instance.tryAcquire());
    EXPECT_FALSE(instance.heldByOther());
}

} // namespace
