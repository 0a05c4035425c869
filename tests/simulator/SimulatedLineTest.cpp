#include "PtyClient.h"

#include "platform/ComPortTable.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <thread>

namespace {

class SimulatedLineTest : public testing::Test {
protected:
    void SetUp() override {
        // These tests talk to the controllers directly, without the @K99=0 a program sends
        // first; the streaming test turns it on again.
        SimBehaviour quiet;
        quiet.streaming = false;
        line.SetBehaviour(quiet);
        QString error;
        ASSERT_TRUE(line.Start(-1, &error)) << qPrintable(error);
        ASSERT_TRUE(client.Open(line.LinkPath()));
    }

    // Run mode `mode` (K20) on every controller: 2 is Debug Mode, which writes need.
    void SetRunMode(int mode) {
        line.UpdateControllers([mode](QList<SimController>& list) {
            for (SimController& controller : list)
                controller.data.params().K(20) = mode;
        });
    }

    SimulatedLine line{MakeDemoControllers(3)};
    PtyClient client;
};

} // namespace

TEST_F(SimulatedLineTest, PublishesALinkThePortTableKnows) {
    const QString link = line.LinkPath();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), line.DevicePath());
    EXPECT_EQ(ComPortTable::DevicePath(line.ComNumber()), link);
    EXPECT_EQ(ComPortTable::ComNumberOf(link), line.ComNumber());

    // A second line in the same folder takes the next number.
    SimulatedLine second(MakeDemoControllers(1));
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.LineIndex(), line.LineIndex() + 1);
    // Asking for a line in use fails with a reason.
    SimulatedLine clash(MakeDemoControllers(1));
    QString error;
    EXPECT_FALSE(clash.Start(line.LineIndex(), &error));
    EXPECT_FALSE(error.isEmpty());

    const QString secondLink = second.LinkPath();
    second.Stop();
    EXPECT_FALSE(QFileInfo::exists(secondLink));
    EXPECT_FALSE(QFileInfo(secondLink).isSymLink());
}

TEST_F(SimulatedLineTest, AnswersIdentityAndListsOverThePty) {
    EXPECT_EQ(client.Ask("@?K38.1"), "K38.1=1\r\nOK.1\r\n");
    EXPECT_EQ(client.Ask("@?CONT.2"), "CONT.2=KQ-C\r\nOK.2\r\n");
    EXPECT_EQ(client.Ask("@?TYPE.3"), "TYPE.3=KQ-B\r\nOK.3\r\n");
    EXPECT_EQ(client.Ask("@?VER2.1"), "VER2.1=1.20\r\nOK.1\r\n");
    const QByteArray points = client.Ask("@READ PNT.1");
    EXPECT_TRUE(points.startsWith("PNT1=M1,P")) << points.constData();
    EXPECT_EQ(points.count("\r\nPNT"), 11); // 12 demo points
    EXPECT_TRUE(points.endsWith("\r\nOK.1\r\n"));
    const QByteArray params = client.Ask("@READ PRM.2");
    EXPECT_EQ(params.count("\r\n"), kKParamCount + 1);
    EXPECT_TRUE(params.contains("\r\nK38=2\r\n"));
}

TEST_F(SimulatedLineTest, WritesDeletionsAndBroadcastsOverThePty) {
    // Outside Debug Mode a write is refused, the mode switch itself is taken.
    EXPECT_EQ(client.Ask("@S3.1=77"), "NG.1=05\r\n");
    EXPECT_EQ(client.Ask("@K20=2", 3), "OK.1\r\nOK.2\r\nOK.3\r\n");
    EXPECT_EQ(client.Ask("@?K20.2"), "K20.2=2\r\nOK.2\r\n");
    EXPECT_EQ(client.Ask("@S3.1=77"), "OK.1\r\n");
    EXPECT_TRUE(client.Ask("@?PNT3.1").contains(",S77,"));
    EXPECT_EQ(client.Ask("@DEL3.1"), "OK.1\r\n");
    EXPECT_TRUE(client.Ask("@?PNT3.1").startsWith("PNT3.1=M0,"));
    EXPECT_EQ(client.Ask("@DEL4-6.1"), "OK.1\r\n");
    EXPECT_EQ(line.Controllers()[0].data.points[5].number, 0);
    EXPECT_EQ(line.Controllers()[0].data.points[6].number, 7);
    EXPECT_EQ(client.Ask("@?PNT300.1"), "NG.1=02\r\n");

    EXPECT_EQ(client.Ask("@K99=0", 3), "OK.1\r\nOK.2\r\nOK.3\r\n");
    EXPECT_EQ(client.Ask("@?COMR2", 3),
              "COMR2.1=Feeder axis\r\nOK.1\r\nCOMR2.2=Gripper lift\r\nOK.2\r\n"
              "COMR2.3=Press stage\r\nOK.3\r\n");
}

TEST_F(SimulatedLineTest, RenumbersDuplicateNodesOverThePty) {
    line.UpdateControllers([](QList<SimController>& list) { list[2].setNode(1); });
    EXPECT_EQ(client.Ask("@?CONT", 3),
              "CONT.1=KQ-A\r\nOK.1\r\nCONT.1=KQ-B\r\nOK.1\r\nCONT.2=KQ-C\r\nOK.2\r\n");
    EXPECT_EQ(client.Ask("@SETID", 3), "OK.1\r\nOK.2\r\nOK.3\r\n");
    EXPECT_EQ(client.Ask("@?CONT", 3),
              "CONT.1=KQ-A\r\nOK.1\r\nCONT.2=KQ-C\r\nOK.2\r\nCONT.3=KQ-B\r\nOK.3\r\n");
    EXPECT_EQ(client.Ask("@?K38.3"), "K38.3=3\r\nOK.3\r\n");
}

TEST_F(SimulatedLineTest, CrOnlyControllerEndsLinesWithCr) {
    SetRunMode(2);
    EXPECT_EQ(client.Ask("@K37.2=0"), "OK.2\r\n");
    EXPECT_EQ(client.Ask("@?CONT.2"), "CONT.2=KQ-C\rOK.2\r");
    // A command ended by CR alone is taken as well.
    ASSERT_TRUE(client.Write("@?K38.2\r"));
    const QByteArray reply =
        client.ReadUntil([](const QByteArray& b) { return b.contains("OK.2\r"); }, 2000);
    EXPECT_EQ(reply, "K38.2=2\rOK.2\r");
}

TEST_F(SimulatedLineTest, KeepsAnsweringWhenThePortIsReopened) {
    EXPECT_EQ(client.Ask("@?K38.1"), "K38.1=1\r\nOK.1\r\n");
    for (int round = 0; round < 3; ++round) {
        client.Close();
        ASSERT_TRUE(client.Open(line.LinkPath()));
        EXPECT_EQ(client.Ask("@?K38.3"), "K38.3=3\r\nOK.3\r\n") << round;
    }
    // A reply the program never read is gone when it opens the port again.
    line.SetReplyDelayMs(50);
    ASSERT_TRUE(client.Write("@READ PRM.1\r\n"));
    client.Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    line.SetReplyDelayMs(0);
    ASSERT_TRUE(client.Open(line.LinkPath()));
    EXPECT_EQ(client.Ask("@?K38.2"), "K38.2=2\r\nOK.2\r\n");
}

TEST_F(SimulatedLineTest, TrafficLogHoldsExactLines) {
    line.Log().Clear();
    ASSERT_TRUE(client.Write("\r\n"));
    client.Ask("@K99=0", 3);
    client.Ask("@?K20.3");
    EXPECT_EQ(line.Log().Commands(), QStringList({"@K99=0", "@?K20.3"}));
    EXPECT_EQ(line.Log().ReplyLines(), QStringList({"OK.1", "OK.2", "OK.3", "K20.3=0", "OK.3"}));
    const QList<TrafficEntry> entries = line.Log().Entries();
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(entries[0].kind, TrafficEntry::Kind::Command);
    EXPECT_TRUE(entries[0].bytes.isEmpty()); // the bare line end
    EXPECT_EQ(entries[2].kind, TrafficEntry::Kind::Reply);
    EXPECT_EQ(entries[2].bytes, "OK.1\r\nOK.2\r\nOK.3\r\n");
    EXPECT_EQ(line.CommandCount(), 2);
    EXPECT_EQ(TrafficLog::Escape("a\r\n\x01\\"), "a\\r\\n\\x01\\\\");
}

TEST_F(SimulatedLineTest, SilenceFromTheKthCommand) {
    FaultRule silence;
    silence.fromCommand = line.CommandCount() + 2;
    line.AddFault(silence);
    EXPECT_EQ(client.Ask("@?K38.1"), "K38.1=1\r\nOK.1\r\n");
    EXPECT_EQ(client.Ask("@?K38.1", 1, 300), "");
    EXPECT_EQ(client.Ask("@K20.1=2", 1, 300), "");
    // Silent controllers do not carry commands out either.
    EXPECT_EQ(line.Controllers()[0].data.params().K(20), 0);
    EXPECT_EQ(line.Log().Commands().size(), 3);
}

TEST_F(SimulatedLineTest, NgForMatchingCommands) {
    FaultRule ng;
    ng.kind = FaultRule::Kind::Ng;
    ng.pattern = "@K20*";
    ng.ngCode = 0x2f;
    line.AddFault(ng);
    SetRunMode(6); // Debug Mode (SAFETY)
    EXPECT_EQ(client.Ask("@K20.3=2"), "NG.3=2f\r\n");
    EXPECT_EQ(line.Controllers()[2].data.params().K(20), 6);
    EXPECT_EQ(client.Ask("@K21.3=1"), "OK.3\r\n");
    EXPECT_EQ(client.Ask("@K20=1", 3), "NG.1=2f\r\nNG.2=2f\r\nNG.3=2f\r\n");
}

TEST_F(SimulatedLineTest, LineErrorHangsUpAndANewOpeningWorks) {
    FaultRule hangUp;
    hangUp.kind = FaultRule::Kind::LineError;
    hangUp.pattern = "@?K20.*";
    hangUp.count = 1;
    line.AddFault(hangUp);
    ASSERT_TRUE(client.Write("@?K20.1\r\n"));
    bool hungUp = false;
    const QByteArray nothing = client.ReadFor(1000, &hungUp);
    EXPECT_TRUE(hungUp);
    EXPECT_TRUE(nothing.isEmpty());
    EXPECT_EQ(line.LineErrors(), 1);

    // The old device stays dead (the kernel may give the fresh terminal the same name).
    EXPECT_TRUE(client.Ask("@?K20.1", 1, 200).isEmpty());
    client.Close();
    ASSERT_TRUE(client.Open(line.LinkPath()));
    EXPECT_EQ(client.Ask("@?K20.1"), "K20.1=0\r\nOK.1\r\n");
}

TEST_F(SimulatedLineTest, GarbageEchoAndSplitReplies) {
    FaultRule garbage;
    garbage.kind = FaultRule::Kind::Garbage;
    garbage.garbage = QByteArray("\xff~", 2);
    garbage.count = 1;
    line.AddFault(garbage);
    EXPECT_EQ(client.Ask("@?K38.2"), "\xff~K38.2=2\r\nOK.2\r\n");

    FaultRule echo;
    echo.kind = FaultRule::Kind::Echo;
    echo.count = 1;
    line.AddFault(echo);
    EXPECT_EQ(client.Ask("@?K38.2"), "@?K38.2\r\nK38.2=2\r\nOK.2\r\n");

    FaultRule split;
    split.kind = FaultRule::Kind::Split;
    split.pieceBytes = 5;
    // Long enough that a reader slowed by a busy machine still sees the first piece alone.
    split.pauseMs = 300;
    split.count = 1;
    line.AddFault(split);
    ASSERT_TRUE(client.Write("@?K38.2\r\n"));
    // The first piece arrives alone; the rest follows after the pauses.
    const QByteArray first =
        client.ReadUntil([](const QByteArray& b) { return !b.isEmpty(); }, 2000);
    EXPECT_EQ(first, "K38.2");
    const QByteArray rest =
        client.ReadUntil([](const QByteArray& b) { return b.endsWith("OK.2\r\n"); }, 2000);
    EXPECT_EQ(first + rest, "K38.2=2\r\nOK.2\r\n");
}

TEST_F(SimulatedLineTest, PacingHoldsBytesToTheBaudRate) {
    constexpr int kBaud = 9600; // 960 bytes a second
    line.SetBaudRate(kBaud);
    const int64_t sentBefore = line.BytesSent();
    // The clock starts before the command goes out, so it covers every byte sent back.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(client.Write("@READ PRM.1\r\n"));
    const QByteArray early = client.ReadFor(150);
    const qint64 elapsed = clock.elapsed();
    // Never more than the wire could carry in the time that passed, plus the burst the line
    // may send to catch up after a late wake-up (5 ms, about 5 bytes) and one slice.
    EXPECT_LE(early.size(), elapsed * kBaud / 10 / 1000 + 6);
    const QByteArray rest =
        client.ReadUntil([](const QByteArray& b) { return b.endsWith("OK.1\r\n"); }, 5000);
    const QByteArray all = early + rest;
    EXPECT_TRUE(all.endsWith("OK.1\r\n"));
    // The line counts a piece after it is written, so the reader can be a moment ahead.
    QElapsedTimer settle;
    settle.start();
    while (line.BytesSent() - sentBefore < all.size() && settle.elapsed() < 2000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(line.BytesSent() - sentBefore, all.size());
    EXPECT_GT(all.size(), early.size() * 2); // most of the list was still on the wire
}

// A line at power-up streams status lines between whole replies until @K99=0.
TEST(SimulatedLineStreaming, StatusLinesUntilStreamingIsOff) {
    SimBehaviour behaviour;
    behaviour.streamIntervalMs = 20;
    SimulatedLine line(MakeDemoControllers(2));
    line.SetBehaviour(behaviour);
    ASSERT_TRUE(line.Start());
    PtyClient client;
    ASSERT_TRUE(client.Open(line.LinkPath()));
    const QByteArray idle =
        client.ReadUntil([](const QByteArray& b) { return b.count("\r\n") >= 4; }, 3000);
    EXPECT_TRUE(idle.startsWith("RUN.1\r\nMSG.1=Ready\r\nEND.1\r\nRUN.2\r\n")) << idle.constData();

    // Replies stay whole: whatever status lines come, they come between lines.
    for (int i = 0; i < 5; ++i) {
        const QByteArray reply = client.Ask("@?K38.2");
        EXPECT_TRUE(reply.contains("K38.2=2\r\nOK.2\r\n")) << reply.constData();
        for (const QByteArray& piece : reply.split('\n'))
            EXPECT_TRUE(piece.isEmpty() || piece.endsWith('\r')) << reply.constData();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_EQ(line.Controllers()[0].data.params().K(99), 1);

    // Off for node 1, then for everyone: the line falls quiet.
    client.Ask("@K99.1=0");
    client.ReadFor(100);
    const QByteArray fromTwo = client.ReadFor(200);
    EXPECT_FALSE(fromTwo.contains(".1")) << fromTwo.constData();
    EXPECT_TRUE(fromTwo.contains("RUN.2") || fromTwo.contains("MSG.2") ||
                fromTwo.contains("END.2"));
    const QByteArray off = client.Ask("@K99=0", 2);
    EXPECT_TRUE(off.endsWith("OK.1\r\nOK.2\r\n")) << off.constData();
    const int sent = line.StatusLines();
    EXPECT_TRUE(client.ReadFor(200).isEmpty());
    EXPECT_EQ(line.StatusLines(), sent);
}

// A random fault plan over the line: every fault named in the log, NG faults answered, noise
// and pieces never inside a reply line.
TEST_F(SimulatedLineTest, RandomFaultsAreLoggedAndAnswered) {
    RandomFaults random;
    random.seed = 17;
    random.rate = 0.5;
    random.kinds = RandomFaults::Ng | RandomFaults::Noise | RandomFaults::Split;
    line.Log().Clear();
    line.SetRandomFaults(random);
    QList<QByteArray> replies;
    for (int i = 0; i < 20; ++i)
        replies << client.Ask("@?K38.1");
    line.ClearFaults();
    EXPECT_EQ(client.Ask("@?K38.1"), "K38.1=1\r\nOK.1\r\n");

    int ngs = 0;
    int events = 0;
    for (const TrafficEntry& entry : line.Log().Entries()) {
        if (entry.kind != TrafficEntry::Kind::Event)
            continue;
        ++events;
        EXPECT_TRUE(entry.bytes.contains("random (seed 17)")) << entry.bytes.constData();
        ngs += entry.bytes.contains(" NG ") ? 1 : 0;
    }
    EXPECT_GT(events, 0);
    // Cleaned of noise, the replies are whole lines: the value and OK, or a refusal. (A split
    // reply's last byte may reach the next Ask, so they are taken together.)
    QByteArray clean;
    for (const QByteArray& reply : replies) {
        for (char byte : reply) {
            const auto code = static_cast<unsigned char>(byte);
            if (code == '\r' || code == '\n' || (code >= 0x20 && code < 0x7f))
                clean += byte;
        }
    }
    const qsizetype refused = clean.count("NG.1=");
    clean.replace(QByteArray("NG.1=01\r\n"), "").replace("NG.1=02\r\n", "");
    clean.replace(QByteArray("NG.1=03\r\n"), "").replace("NG.1=10\r\n", "");
    clean.replace(QByteArray("NG.1=2f\r\n"), "");
    EXPECT_EQ(clean, QByteArray("K38.1=1\r\nOK.1\r\n").repeated(20 - refused));
    EXPECT_EQ(refused, ngs);
}
