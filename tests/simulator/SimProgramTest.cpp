#include "PtyClient.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

// The velmora-sim program: publishes a line, prints it, answers, logs and cleans up on SIGTERM.
TEST(SimProgram, PublishesAnswersLogsAndCleansUp) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath("traffic.log");
    QProcess sim;
    sim.start(QStringLiteral(VELMORA_SIM_PATH),
              {"--controllers", "2", "--line", "30", "--model", "2=KQ-A2", "--log", log});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString announced = QString::fromUtf8(sim.readLine()).trimmed();
    const QStringList parts = announced.split(' ');
    ASSERT_EQ(parts.size(), 2) << qPrintable(announced);
    EXPECT_EQ(parts[0], "COM127");
    const QString link =
        QFileInfo(QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR")) + "/velmora-sim/line30")
            .filePath();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), parts[1]);

    {
        PtyClient client;
        ASSERT_TRUE(client.Open(link));
        EXPECT_EQ(client.Ask("@?CONT", 2), "CONT.1=KQ-A\r\nOK.1\r\nCONT.2=KQ-A2\r\nOK.2\r\n");
    }
    ::kill(static_cast<pid_t>(sim.processId()), SIGTERM);
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("> @?CONT\n"));
    EXPECT_TRUE(text.contains("< CONT.1=KQ-A\\r\\nOK.1\\r\\nCONT.2=KQ-A2\\r\\nOK.2\\r\\n\n"));
}

TEST(SimProgram, RefusesBadOptionsWithUsage) {
    QProcess sim;
    sim.start(QStringLiteral(VELMORA_SIM_PATH), {"--controllers", "40"});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_TRUE(sim.readAllStandardError().contains("--controllers"));
}
