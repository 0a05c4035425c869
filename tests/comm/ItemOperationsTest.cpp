#include "ScriptedHub.h"

#include "comm/AlarmRecord.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "data/ControllerData.h"

#include <gtest/gtest.h>

namespace {

TEST(Keywords, TableHasItsSeventyOneEntries) {
    EXPECT_EQ(BuildKeyword(0, false), "@K");
    EXPECT_EQ(BuildKeyword(13, true), "@?T");
    EXPECT_EQ(BuildKeyword(23, false), "@WIO");
    EXPECT_EQ(BuildKeyword(37, false), "@RECO");
    EXPECT_EQ(BuildKeyword(38, true), "@?REC");
    EXPECT_EQ(BuildKeyword(44, true), "@?VER2");
    EXPECT_EQ(BuildKeyword(46, true), "@?COMR");
    EXPECT_EQ(BuildKeyword(46, false), "@COMW");
    EXPECT_EQ(BuildKeyword(55, false), "@INIT COMW");
    EXPECT_EQ(BuildKeyword(58, false), "@READ HPRM");
    EXPECT_EQ(BuildKeyword(70, false), "@RESET");
    EXPECT_EQ(BuildKeyword(71, false), "@???");
    EXPECT_EQ(BuildKeyword(-1, true), "@????");
}

struct LineCase {
    const char* sent;
    std::function<bool(ScriptedLine&)> run;
};

// Each write operation sends exactly its line and reports the controller's verdict.
TEST(ItemOperations, WritesSendTheirExactLines) {
    const std::vector<LineCase> cases = {
        {"@S12.3=50", [](ScriptedLine& l) { return WritePointField(l.channel, 3, 12, 3, 50); }},
        {"@T255.16=-1",
         [](ScriptedLine& l) { return WritePointField(l.channel, 16, 255, 13, -1); }},
        {"@DEL7.3", [](ScriptedLine& l) { return DeletePoints(l.channel, 3, 7, 0); }},
        {"@DEL7-9.3", [](ScriptedLine& l) { return DeletePoints(l.channel, 3, 7, 9); }},
        {"@K20.3=2", [](ScriptedLine& l) { return WriteK(l.channel, 3, 20, 2); }},
        {"@H2.3=-5", [](ScriptedLine& l) { return WriteH(l.channel, 3, 2, -5); }},
        {"@COMW9.3=c0a80001",
         [](ScriptedLine& l) { return WriteTextItem(l.channel, 3, 9, "c0a80001"); }},
        {"@ROBOT.3=RX-10 A",
         [](ScriptedLine& l) { return WriteRobotName(l.channel, 3, "RX-10 A"); }},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.sent);
        ScriptedLine ok;
        ok.hub.OnLine(c.sent, {{3, "OK.3\r\nOK.16\r\n"}});
        EXPECT_TRUE(c.run(ok));
        EXPECT_EQ(ok.hub.sent, QStringList{c.sent});

        ScriptedLine refused;
        refused.hub.OnLine(c.sent, {{3, "NG.3=2f\r\nNG.16=2f\r\n"}});
        EXPECT_FALSE(c.run(refused));
        EXPECT_TRUE(refused.channel.lastError.startsWith("NG."));
    }
}

TEST(ItemOperations, PointFieldOutsideOneToThirteenSendsNothing) {
    ScriptedLine line;
    EXPECT_FALSE(WritePointField(line.channel, 3, 1, 14, 0));
    EXPECT_FALSE(WritePointField(line.channel, 3, 1, 0, 0));
    EXPECT_TRUE(line.hub.sent.isEmpty());
}

TEST(ItemOperations, ReadKAndHTakeTheValueAfterTheEquals) {
    ScriptedLine line;
    line.hub.OnLine("@?K20.3", {{3, "K20.3=-1234\r\nOK.3\r\n"}});
    line.hub.OnLine("@?H2.3", {{3, "@?H2.3\r\nH2.3=15\r\nOK.3\r\n"}}); // with echo
    int32_t k = 0;
    int32_t h = 0;
    EXPECT_TRUE(ReadK(line.channel, 3, 20, k));
    EXPECT_EQ(k, -1234);
    EXPECT_TRUE(ReadH(line.channel, 3, 2, h));
    EXPECT_EQ(h, 15);

    // A time-out hands the failure text on, which reads as 0.
    k = 5;
    EXPECT_FALSE(ReadK(line.channel, 3, 21, k));
    EXPECT_EQ(k, 0);
    // An answer without "=" is an empty value: false and untouched.
    line.hub.OnLine("@?K22.3", {{3, "OK.3\r\n"}});
    k = 5;
    EXPECT_FALSE(ReadK(line.channel, 3, 22, k));
    EXPECT_EQ(k, 5);
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::BadAnswer);
}

TEST(ItemOperations, IdentityAndTextItems) {
    ScriptedLine line;
    line.hub.OnLine("@?CONT.3", {{3, "CONT.3=KQ-A\r\nOK.3\r\n"}});
    line.hub.OnLine("@?VER2.3", {{3, "VER2.3=1.20=b\r\nOK.3\r\n"}});
    line.hub.OnLine("@?COMR9.3", {{3, "COMR9.3=c0a80001\r\nOK.3\r\n"}});
    line.hub.OnLine("@?COMR2.3", {{3, "COMR2.3=\r\nOK.3\r\n"}});
    // A controller ending its lines in CR alone, and one with noise before every line.
    line.hub.OnLine("@?CONT.4", {{3, "CONT.4=KQ-C\rOK.4\r"}});
    const QString ff(QChar(0xFF));
    line.hub.OnLine("@?ROBOT.4",
                    {{3, ff + "@?ROBOT.4\r" + ff + "ROBOT.4=RX-10\r" + ff + "OK.4\r"}});
    QString value = "old";
    EXPECT_TRUE(ReadIdentityItem(line.channel, 3, kKeyCont, value));
    EXPECT_EQ(value, "KQ-A");
    EXPECT_TRUE(ReadIdentityItem(line.channel, 3, kKeyVer2, value));
    EXPECT_EQ(value, "1.20=b");
    EXPECT_TRUE(ReadIdentityItem(line.channel, 4, kKeyCont, value));
    EXPECT_EQ(value, "KQ-C");
    EXPECT_TRUE(ReadIdentityItem(line.channel, 4, kKeyRobot, value));
    EXPECT_EQ(value, "RX-10");
    QString text;
    EXPECT_TRUE(ReadTextItem(line.channel, 3, 9, text));
    EXPECT_EQ(text, "c0a80001");
    text = "x";
    EXPECT_TRUE(ReadTextItem(line.channel, 3, 2, text));
    EXPECT_EQ(text, "");
    // A refused text query hands its failure text to the caller.
    line.hub.OnLine("@?COMR7.3", {{3, "NG.3=12\r\n"}});
    EXPECT_FALSE(ReadTextItem(line.channel, 3, 7, text));
    EXPECT_EQ(text, "Error!");
    EXPECT_EQ(line.channel.lastError, "NG.3=12");
}

TEST(ItemOperations, ListReadsReturnTheDataLinesWithoutEchoAndOk) {
    ScriptedLine line;
    line.hub.OnLine("@READ PRM.2",
                    {{3, "@READ PRM.2\r\nK1=10\r\n"}, {20, "K2=15000\r\n"}, {40, "OK.2\r\n"}});
    QString answer;
    EXPECT_TRUE(ReadParameterList(line.channel, 2, answer));
    EXPECT_EQ(answer, "K1=10\r\nK2=15000\r\n");

    // An empty parameter list is no answer; an empty point list is a controller without points.
    line.hub.OnLine("@READ HPRM.2", {{3, "OK.2\r\n"}});
    answer = "kept";
    EXPECT_FALSE(ReadHParameterList(line.channel, 2, answer));
    EXPECT_EQ(answer, "kept");
    EXPECT_EQ(line.channel.lastFailure.kind, ChannelFailure::Kind::BadAnswer);
    line.hub.OnLine("@READ PNT.3", {{3, "OK.3\r\n"}});
    EXPECT_TRUE(ReadPointList(line.channel, 3, answer));
    EXPECT_EQ(answer, "");

    line.hub.OnLine("@READ PNT.2", {{3, "PNT1=M1,P0\r\nOK.2\r\n"}});
    EXPECT_TRUE(ReadPointList(line.channel, 2, answer));
    EXPECT_EQ(answer, "PNT1=M1,P0\r\n");
}

TEST(ItemOperations, LateLineFeedOfThePreviousReplyIsNoPartOfTheAnswer) {
    ScriptedLine line;
    // The LF of "OK.2\r\n" is still on the wire when the next command goes out.
    line.hub.OnLine("@DEL1.2", {{3, "OK.2\r"}});
    line.hub.OnLine("@READ PRM.2", {{1, "\n"}, {5, "K1=10\r\nOK.2\r\n"}});
    line.hub.OnLine("@?CONT", {{1, "\n"}, {5, "CONT.2=KQ-A\r\nOK.2\r\n"}});
    EXPECT_TRUE(DeletePoints(line.channel, 2, 1, 0));
    QString answer;
    EXPECT_TRUE(ReadParameterList(line.channel, 2, answer));
    EXPECT_EQ(answer, "K1=10\r\n");
    EXPECT_TRUE(DeletePoints(line.channel, 2, 1, 0));
    EXPECT_TRUE(QueryAllControllers(line.channel, answer));
    EXPECT_EQ(answer, "CONT.2=KQ-A\r\nOK.2\r\n");
}

TEST(ItemOperations, ReadPointParsesTheTaggedFields) {
    ScriptedLine line;
    line.hub.OnLine("@?PNT12.3",
                    {{3, "PNT12.3=M2,P-10000,S100,AC90,DC80,Q5,ZL-10,ZH10,N3,J4,F1,C2,T7\r\n"
                         "OK.3\r\n"}});
    line.hub.OnLine("@?PNT13.3", {{3, "PNT13.3=M0,P5\r\nOK.3\r\n"}});
    PointRecord point;
    EXPECT_TRUE(ReadPoint(line.channel, 3, 12, point));
    EXPECT_EQ(point.number, 12);
    EXPECT_EQ(point.runType, 2);
    EXPECT_EQ(point.position, -10000);
    EXPECT_EQ(point.accel, 90);
    EXPECT_EQ(point.zoneMinus, -10);
    EXPECT_EQ(point.timer, 7);
    // M 0: the record stays as it was, the query still succeeded.
    const PointRecord before = point;
    EXPECT_TRUE(ReadPoint(line.channel, 3, 13, point));
    EXPECT_EQ(point, before);
    // A time-out leaves it too.
    EXPECT_FALSE(ReadPoint(line.channel, 3, 14, point));
    EXPECT_EQ(point, before);
}

TEST(ItemOperations, PrepareLineSendsLineEndThenK99ToAll) {
    ScriptedLine line;
    line.hub.OnLine("@K99=0", {{3, "OK.1\r\n"}, {10, "OK.2\r\n"}});
    const qint64 start = line.clock.now;
    EXPECT_TRUE(PrepareLine(line.hub, line.channel));
    EXPECT_EQ(line.hub.sent, (QStringList{"", "@K99=0"}));
    // A setting to all controllers waits until the line has been quiet for a period.
    EXPECT_GE(line.clock.now - start, 2010);

    line.hub.OnLine("@K75=0", {{3, "OK.1\r\n"}, {10, "NG.2=10\r\n"}});
    EXPECT_FALSE(line.channel.SetValue(kKeyK, 0, 75, 0));
    EXPECT_FALSE(line.channel.SetValue(kKeyK, 0, 76, 0)); // nobody answers
}

TEST(ItemOperations, BroadcastQueriesCollectEveryController) {
    ScriptedLine line;
    line.hub.OnLine("@?CONT", {{5, "CONT.1=KQ-A\r\nOK.1\r\n"},
                               {40, "CONT.2=KQ-B\r\n"},
                               {45, "OK.2\r\n"},
                               {1500, "CONT.16=KQ-C\r\nOK.16\r\n"}});
    QString answer;
    EXPECT_TRUE(QueryAllControllers(line.channel, answer));
    EXPECT_EQ(answer, "CONT.1=KQ-A\r\nOK.1\r\nCONT.2=KQ-B\r\nOK.2\r\nCONT.16=KQ-C\r\nOK.16\r\n");

    line.hub.OnLine("@?COMR2", {{5, "COMR2.1=A\r\nOK.1\r\n"}, {9, "COMR2.4=B\r\nOK.4\r\n"}});
    EXPECT_TRUE(line.channel.QueryNumbered(kKeyComText, 0, 2, answer));
    EXPECT_EQ(answer, "COMR2.1=A\r\nOK.1\r\nCOMR2.4=B\r\nOK.4\r\n");

    // Nobody there: false, and the empty answer fails the controller query.
    ScriptedLine empty;
    EXPECT_FALSE(QueryAllControllers(empty.channel, answer));
}

TEST(ItemOperations, AssignNodeNumbersNeedsOneOk) {
    ScriptedLine line;
    line.hub.OnLine("@SETID", {{50, "OK.1\r\n"}, {80, "OK.2\r\n"}});
    EXPECT_TRUE(AssignNodeNumbers(line.channel));
    EXPECT_EQ(line.hub.sent, QStringList{"@SETID"});
    ScriptedLine silent;
    EXPECT_FALSE(AssignNodeNumbers(silent.channel));
}

TEST(AlarmRecords, SlotReplyIsParsedIntoItsFieldWidths) {
    ScriptedLine line;
    line.hub.OnLine("@?REC1.3", {{3, "REC1.3=F0000008E,T1505,P12345,S-250,M-1,N300,C-40,"
                                     "V241,I10,O65537\r\nOK.3\r\n"}});
    line.hub.OnLine("@?REC2.3", {{3, "OK.3\r\n"}});
    AlarmRecord record;
    ASSERT_TRUE(ReadAlarmRecord(line.channel, 3, 1, record));
    EXPECT_EQ(record.code, 0x8E);
    EXPECT_EQ(record.time, 1505u);
    EXPECT_EQ(record.position, 12345);
    EXPECT_EQ(record.speed, -250);
    EXPECT_EQ(record.runStatus, -1);
    EXPECT_EQ(record.runPoint, 300 & 0xFF);
    EXPECT_EQ(record.current, -40);
    EXPECT_EQ(record.voltage, 241);
    EXPECT_EQ(record.input, 10);
    EXPECT_EQ(record.output, 1);

    AlarmRecord empty;
    EXPECT_TRUE(ReadAlarmRecord(line.channel, 3, 2, empty));
    EXPECT_EQ(empty, AlarmRecord{});
    EXPECT_FALSE(ReadAlarmRecord(line.channel, 3, 3, empty));
    EXPECT_EQ(line.channel.lastError, "TimeOut");

    AlarmRecord odd;
    ParseAlarmRecord(u"Fzz1234567a5,T1", odd); // last eight: "234567a5"; z counts as 0
    EXPECT_EQ(odd.code, 0xA5);
    EXPECT_EQ(odd.time, 1u);
}

} // namespace
