// Start-up refusals and the single-instance lock, with real processes of the built program.
#include "StartupProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kLoadFailure =
    QStringLiteral("error\tFailed to load langresFree.rcc. This application has failed to start.\\n"
                   "Re-installing the application may fix this problem.");
const QString kDamaged = QStringLiteral("warning\tA file is damaged. Please install it again.");
const QString kAlreadyRunning = QStringLiteral("warning\tAlready Running");

void stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
    }
}

TEST(Startup, MissingLibraryIsRefusedWithTheFixedMessage) {
    Installation install;
    ASSERT_TRUE(install.isValid());
    ASSERT_TRUE(QFile::remove(install.libraryPath()));

    // A library in the current directory does not count: only the program directory does.
    QTemporaryDir current;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEST_ENG_LIBRARY),
                            current.filePath(QStringLiteral("langresFree.rcc"))));
    int code = 0;
    ASSERT_TRUE(install.run(&code, current.path()));
    EXPECT_NE(code, 0);
    EXPECT_EQ(install.messages(), QStringList{kLoadFailure});
    EXPECT_FALSE(QFile::exists(install.lockPath()));
}

TEST(Startup, LibraryThatIsNoResourceFileIsRefusedLikeAMissingOne) {
    Installation install;
    ASSERT_TRUE(install.isValid());
    QFile library(install.libraryPath());
    ASSERT_TRUE(library.open(QIODevice::WriteOnly | QIODevice::Truncate));
    library.write("not a resource library");
    library.close();
    int code = 0;
    ASSERT_TRUE(install.run(&code));
    EXPECT_NE(code, 0);
    EXPECT_EQ(install.messages(), QStringList{kLoadFailure});
}

TEST(Startup, DamagedOrUnrecordedInstallationIsRefused) {
    Installation damaged;
    ASSERT_TRUE(damaged.isValid());
    ASSERT_TRUE(damaged.damageLibrary());
    int code = 0;
    ASSERT_TRUE(damaged.run(&code));
    EXPECT_NE(code, 0);
    EXPECT_EQ(damaged.messages(), QStringList{kDamaged});

    Installation unrecorded;
    ASSERT_TRUE(unrecorded.isValid());
    ASSERT_TRUE(QFile::remove(unrecorded.recordPath()));
    ASSERT_TRUE(unrecorded.run(&code));
    EXPECT_NE(code, 0);
    EXPECT_EQ(unrecorded.messages(), QStringList{kDamaged});
    EXPECT_FALSE(QFile::exists(unrecorded.lockPath()));
}

TEST(Startup, SecondCopyIsRefusedAndTheFirstRunsOn) {
    Installation install;
    ASSERT_TRUE(install.isValid());
    auto first = install.start();
    ASSERT_TRUE(WaitForFile(install.lockPath()));

    int code = 0;
    ASSERT_TRUE(install.run(&code));
    EXPECT_NE(code, 0);
    EXPECT_EQ(install.messages(), QStringList{kAlreadyRunning});
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_TRUE(QFile::exists(install.lockPath()));

    // A damaged installation says so even while a copy runs: the check comes first.
    Installation damaged;
    ASSERT_TRUE(damaged.isValid());
    damaged.shareRuntimeWith(install);
    ASSERT_TRUE(damaged.damageLibrary());
    ASSERT_TRUE(damaged.run(&code));
    EXPECT_EQ(damaged.messages(), QStringList{kDamaged});
    EXPECT_EQ(first->state(), QProcess::Running);

    // The first ends the ordinary way and gives the lock back; then a start works.
    stop(*first);
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(install.lockPath()));
    auto again = install.start();
    ASSERT_TRUE(WaitForFile(install.lockPath()));
    EXPECT_EQ(again->state(), QProcess::Running);
    stop(*again);
    EXPECT_EQ(install.messages(), QStringList{kAlreadyRunning});
}

TEST(Startup, LockOfACopyThatDiedIsTakenOver) {
    Installation install;
    ASSERT_TRUE(install.isValid());
    auto first = install.start();
    // The lock file exists a moment before its holder is written into it; a copy killed in
    // between leaves a lock that names nobody, which no later copy can take over.
    ASSERT_TRUE(WaitForLockOwner(install.lockPath(), first->processId()));
    first->kill();
    first->waitForFinished();
    ASSERT_TRUE(QFile::exists(install.lockPath())); // left behind

    auto second = install.start();
    // It takes the lock over and runs, without a message.
    EXPECT_TRUE(WaitForLockOwner(install.lockPath(), second->processId()));
    EXPECT_EQ(second->state(), QProcess::Running);
    EXPECT_TRUE(install.messages().isEmpty());
    int code = 0;
    ASSERT_TRUE(install.run(&code));
    EXPECT_EQ(install.messages(), QStringList{kAlreadyRunning});
    stop(*second);
}

TEST(Startup, UnknownLanguageCodeStillRuns) {
    Installation install(QStringLiteral(TEST_XYZ_LIBRARY));
    ASSERT_TRUE(install.isValid());
    auto process = install.start();
    ASSERT_TRUE(WaitForFile(install.lockPath()));
    EXPECT_FALSE(process->waitForFinished(500));
    EXPECT_TRUE(install.messages().isEmpty());
    stop(*process);
    EXPECT_EQ(process->exitCode(), 0);
}

} // namespace
