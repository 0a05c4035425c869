#include "ScriptedHub.h"

#include "comm/ItemOperations.h"
#include "comm/Keywords.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using Chunk = ScriptedHub::Chunk;

// Lets scripted text arrive while no command is in progress.
void idleFor(ScriptedLine& line, int ms) {
    for (int i = 0; i < ms; ++i)
        line.clock.SleepMs(1);
    QCoreApplication::processEvents();
}

TEST(ChannelTimeOut, EndsAfterOneQuietPeriod) {
    ScriptedLine line;
    const qint64 start = line.clock.now;
    EXPECT_FALSE(line.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_EQ(line.channel.lastError, "TimeOut");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::TimedOut);
    EXPECT_GE(line.clock.now - start, 2000);
    EXPECT_LT(line.clock.now - start, 2010);
    EXPECT_FALSE(line.channel.busy);
    EXPECT_EQ(line.channel.replyNode, 0);
}

TEST(ChannelTimeOut, TextWithoutLineEndExtendsTheWaitOnce) {
    ScriptedLine line;
    line.hub.OnLine("@DEL5.1", {{1500, "OK"}});
    const qint64 start = line.clock.now;
    EXPECT_FALSE(line.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_EQ(line.channel.lastError, "TimeOut");
    EXPECT_GE(line.clock.now - start, 4000);
    EXPECT_LT(line.clock.now - start, 4010);
}

TEST(ChannelTimeOut, ReplyStillArrivingKeepsTheCommandAlive) {
    ScriptedLine line;
    // Each piece comes within a period of the previous deadline; the whole takes 5 s.
    line.hub.OnLine("@DEL5.1", {{1500, "O"}, {3500, "K"}, {5000, ".1\r\n"}});
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_EQ(line.channel.lastError, "");
}

// A controller that keeps sending lines that decide nothing (status lines of a streaming
// controller), or bytes that never end a line, cannot hold a command for ever.
TEST(ChannelTimeOut, LinesThatDecideNothingEndInATimeOut) {
    for (const QString& piece : {QStringLiteral("RUN.1\r\n"), QStringLiteral("~")}) {
        ScriptedLine line;
        std::vector<Chunk> endless;
        for (qint64 at = 1000; at <= 120000; at += 1000)
            endless.push_back({at, piece});
        line.hub.OnLine("@DEL5.1", endless);
        const qint64 start = line.clock.now;
        EXPECT_FALSE(line.channel.SendNumbered(kKeyDel, 1, 5));
        EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::TimedOut);
        EXPECT_GE(line.clock.now - start, 30000);
        EXPECT_LT(line.clock.now - start, 32010);
    }
}

TEST(ChannelReceive, CrAsFirstCharacterDoesNotEndTheWait) {
    ScriptedLine line;
    line.hub.OnLine("@DEL5.1", {{10, "\r"}, {50, "OK.1\r\n"}});
    const qint64 start = line.clock.now;
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_GE(line.clock.now - start, 50);

    ScriptedLine lone;
    lone.hub.OnLine("@DEL5.1", {{10, "\r"}});
    EXPECT_FALSE(lone.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_EQ(lone.channel.lastError, "TimeOut");
}

TEST(ChannelReceive, VerdictIsThatOfTheLastDecidingLine) {
    ScriptedLine line;
    line.hub.OnLine("@K20.3=2", {{5, "LOADING.3\r\nOK.3\r\n"}});
    EXPECT_TRUE(line.channel.SetValue(kKeyK, 3, 20, 2));

    line.hub.OnLine("@K20.3=4", {{5, "OK.3\r\nNG.3=10\r\n"}});
    EXPECT_FALSE(line.channel.SetValue(kKeyK, 3, 20, 4));
    EXPECT_EQ(line.channel.lastError, "NG.3=10");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::Refused);
    EXPECT_EQ(line.channel.lastFailure.ngCode, 0x10);

    // LOADING alone keeps waiting for the verdict that follows.
    line.hub.OnLine("@K20.3=5", {{5, "LOADING.3\r\n"}, {900, "OK.3\r\n"}});
    const qint64 start = line.clock.now;
    EXPECT_TRUE(line.channel.SetValue(kKeyK, 3, 20, 5));
    EXPECT_GE(line.clock.now - start, 900);
    EXPECT_EQ(line.channel.lastError, "");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::None);

    // Noise at turn-around does not hide a reply, whatever bytes it is made of.
    for (const char16_t noise : {char16_t(0), char16_t(0xFF), char16_t(0x20AC), char16_t(0x1B)}) {
        line.hub.OnLine("@K20.3=6", {{5, QString(QChar(noise)) + "OK.3\r"}});
        EXPECT_TRUE(line.channel.SetValue(kKeyK, 3, 20, 6)) << int(noise);
        line.hub.OnLine("@K20.3=7", {{5, QString(QChar(noise)) + "NG.3=2f\r\n"}});
        EXPECT_FALSE(line.channel.SetValue(kKeyK, 3, 20, 7)) << int(noise);
        EXPECT_EQ(line.channel.lastError, "NG.3=2f");
    }
}

TEST(ChannelReceive, RunAndEndKeepTheCommandWaiting) {
    ScriptedLine line;
    line.hub.OnLine("@DEL1.2", {{5, "RUN.2\r\n"}, {20, "END.2\r\n"}, {300, "OK.2\r\n"}});
    const qint64 start = line.clock.now;
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 2, 1));
    EXPECT_GE(line.clock.now - start, 300);

    line.hub.OnLine("@DEL2.2", {{5, "END.2\r\n"}});
    EXPECT_FALSE(line.channel.SendNumbered(kKeyDel, 2, 2));
    EXPECT_EQ(line.channel.lastError, "TimeOut");
}

TEST(ChannelReceive, TextOutsideACommandIsNotTakenIn) {
    ScriptedLine line;
    line.hub.At(line.clock.now + 1, "NG.1=10\r\n");
    idleFor(line, 5);
    EXPECT_GT(line.window.received, 0);
    EXPECT_EQ(line.channel.PendingText(), "");
    // Nor does the stale refusal decide the next command.
    line.hub.OnLine("@DEL5.1", {{20, "OK.1\r\n"}});
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 5));
}

TEST(ChannelReceive, PartialLineIsCarriedIntoTheNextCommand) {
    ScriptedLine line;
    line.hub.OnLine("@DEL5.1", {{5, "OK.1\r\nOK"}});
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_EQ(line.channel.PendingText(), "OK");
    // The rest of the line completes the carried part: "OK" + ".1\r\n".
    line.hub.OnLine("@DEL6.1", {{5, ".1\r\n"}});
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 6));
    EXPECT_EQ(line.channel.PendingText(), "");
}

TEST(ChannelReceive, RepliesAreMatchedToTheExactNode) {
    ScriptedLine line;
    line.hub.OnLine("@DEL5.1", {{5, "OK.12\r\n"}, {10, "NG.12=10\r\n"}, {40, "OK.1\r\n"}});
    const qint64 start = line.clock.now;
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 5));
    EXPECT_GE(line.clock.now - start, 40);

    line.channel.replyNode = 1;
    EXPECT_TRUE(line.channel.IsOkReply(u"OK.1"));
    EXPECT_TRUE(line.channel.IsOkReply(u"OK.1 "));
    EXPECT_FALSE(line.channel.IsOkReply(u"OK.12"));
    EXPECT_FALSE(line.channel.IsNgReply(u"NG.12=10"));
    EXPECT_FALSE(line.channel.IsRunReply(u"RUN.10"));
    EXPECT_FALSE(line.channel.IsEndReply(u"END.16"));
    EXPECT_FALSE(line.channel.IsLoadingReply(u"LOADING.11"));
    EXPECT_TRUE(line.channel.IsLoadingReply(u"LOADING.1"));
    // A data text that merely contains the reply letters is no reply.
    EXPECT_FALSE(line.channel.IsOkReply(u"COMR2.1=LOCK.1"));
    EXPECT_TRUE(line.channel.IsNgReply(u"xx NG.1=2f"));
    // Matching only looks; classifying records the NG text and its code.
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::None);
    EXPECT_EQ(line.channel.lastError, "");
    EXPECT_EQ(line.channel.ClassifyReply("xx NG.1=2f\r"), ChannelStatus::Ng);
    EXPECT_EQ(line.channel.lastError, "NG.1=2f");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::Refused);
    EXPECT_EQ(line.channel.lastFailure.ngCode, 0x2f);

    line.channel.replyNode = 0;
    EXPECT_TRUE(line.channel.IsOkReply(u"OK.12"));
    EXPECT_TRUE(line.channel.IsNgReply(u"NG.7=10"));
    EXPECT_FALSE(line.channel.IsNgReply(u"LOADING.7"));
    EXPECT_TRUE(line.channel.IsEndReply(u"END.3"));
    EXPECT_FALSE(line.channel.IsOkReply(u"OK"));
}

TEST(ChannelReceive, ClassifyDropsLfAfterCrAndClearsErrorWithoutNg) {
    ScriptedLine line;
    line.channel.lastError = "NG.1=10";
    EXPECT_EQ(line.channel.ClassifyReply("PNT1=M1\rOK.1\r"), ChannelStatus::Ok);
    EXPECT_EQ(line.channel.lastError, "");
    EXPECT_EQ(line.channel.ClassifyReply("RUN.2\r\n"), ChannelStatus::Running);
    EXPECT_EQ(line.channel.ClassifyReply("garbage\r\n"), ChannelStatus::NoVerdict);
    EXPECT_EQ(line.channel.ClassifyReply("NG.4=0a\r\nEND.4\r\n"), ChannelStatus::Ng);
    EXPECT_EQ(line.channel.lastError, "NG.4=0a");
    // Text after the last CR is not a line yet.
    EXPECT_EQ(line.channel.ClassifyReply("K1=0\r\nOK.1"), ChannelStatus::NoVerdict);
}

TEST(ChannelLinkError, LineErrorMidCommandEndsItAsNg49) {
    ScriptedLine line;
    line.hub.OnLine("@?K20.3", {{5, "K20."}});
    line.hub.LineErrorAt(line.clock.now + 100);
    int32_t value = 99;
    EXPECT_FALSE(ReadK(line.channel, 3, 20, value));
    EXPECT_EQ(line.channel.lastError, "NG.3=49");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::LineError);
    EXPECT_EQ(value, 0); // the failure text reads as 0
    EXPECT_EQ(line.hub.linkState, kLinkBroken);
    EXPECT_FALSE(line.channel.busy);

    // The next command on the dead line ends the same way instead of waiting out the time-out.
    const qint64 start = line.clock.now;
    EXPECT_FALSE(line.channel.SetValue(kKeyK, 0, 99, 0));
    EXPECT_EQ(line.channel.lastError, "NG.=49");
    EXPECT_LT(line.clock.now - start, 100);
}

TEST(ChannelLinkError, IgnoredWhileNoCommandRuns) {
    ScriptedLine line;
    line.channel.InjectLinkError(0x149);
    EXPECT_EQ(line.channel.PendingText(), "");
    line.channel.busy = true;
    line.channel.replyNode = 4;
    line.channel.InjectLinkError(0x149);
    EXPECT_EQ(line.channel.PendingText(), "NG.4=49\r\n");
    line.channel.busy = false;
}

TEST(ChannelBusy, SecondCommandDuringAWaitFailsWithoutDisturbingTheFirst) {
    ScriptedLine line;
    line.hub.OnLine("@?K20.3", {{100, "K20.3=2\r\nOK.3\r\n"}});
    QString nestedAnswer;
    bool nestedResult = true;
    bool nestedRan = false;
    line.clock.listeners.push_back([&](qint64 now) {
        if (!nestedRan && line.channel.busy && now > 1010) {
            nestedRan = true;
            nestedResult = line.channel.QueryNumbered(kKeyK, 5, 1, nestedAnswer);
        }
    });
    int32_t value = 0;
    EXPECT_TRUE(ReadK(line.channel, 3, 20, value));
    EXPECT_EQ(value, 2);
    ASSERT_TRUE(nestedRan);
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(nestedAnswer, "Command in progress");
    EXPECT_EQ(line.hub.sent, QStringList{"@?K20.3"});
}

TEST(ChannelGates, LinkState3SucceedsWithoutTraffic) {
    ScriptedLine line;
    line.hub.linkState = kLinkOffline;
    QString answer = "untouched";
    EXPECT_TRUE(line.channel.SendNumbered(kKeyDel, 1, 2));
    EXPECT_TRUE(line.channel.SendRange(kKeyDel, 1, 2, 3));
    EXPECT_TRUE(line.channel.SetValue(kKeyK, 0, 99, 0));
    EXPECT_TRUE(line.channel.SetText(kKeyRobot, 1, "R"));
    EXPECT_TRUE(line.channel.SetNumberedText(kKeyComText, 1, 2, "N"));
    EXPECT_TRUE(line.channel.QueryKeyword(kKeyCont, 0, answer, true));
    EXPECT_TRUE(line.channel.QueryNumbered(kKeyK, 2, 20, answer));
    EXPECT_TRUE(line.channel.AssignNodeNumbers());
    EXPECT_EQ(answer, "untouched");
    EXPECT_TRUE(line.hub.sent.isEmpty());
    // The reading operations see an empty answer and fail.
    int32_t value = 7;
    EXPECT_FALSE(ReadK(line.channel, 1, 20, value));
    EXPECT_EQ(value, 7);
}

TEST(ChannelGates, NodeOutsideTheRuleIsRefusedWithoutSending) {
    ScriptedLine line;
    QString answer;
    EXPECT_FALSE(line.channel.QueryNumbered(kKeyK, -1, 20, answer));
    EXPECT_EQ(answer, "Invalid Node No.");
    answer.clear();
    EXPECT_FALSE(line.channel.QueryKeyword(kKeyCont, 17, answer, true));
    EXPECT_EQ(answer, "Invalid Node No.");
    EXPECT_FALSE(line.channel.SendNumbered(kKeyDel, 0, 1));
    EXPECT_FALSE(line.channel.SetText(kKeyRobot, 0, "R"));
    EXPECT_FALSE(line.channel.SetValue(kKeyK, -2, 1, 1));
    EXPECT_TRUE(line.hub.sent.isEmpty());
}

TEST(ChannelGates, RefusedLineReportsCommandInProgressAndFreesTheChannel) {
    ScriptedLine line;
    line.hub.refuseWrites = true;
    QString answer;
    EXPECT_FALSE(line.channel.QueryNumbered(kKeyK, 1, 20, answer));
    EXPECT_EQ(answer, "Command in progress");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::SendFailed);
    EXPECT_FALSE(line.channel.busy);
    line.hub.Close();
    EXPECT_FALSE(line.channel.SendNumbered(kKeyDel, 1, 1));
}

} // namespace
