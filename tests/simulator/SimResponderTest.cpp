#include "simulator/SimResponder.h"
#include "simulator/DemoControllers.h"

#include <gtest/gtest.h>

namespace {

// Without range checks: those need the tables, which StrictRules loads.
QString respond(QList<SimController>& line, const char* command, int forcedNg = -1) {
    return QString::fromLatin1(SimResponder::Respond(line, QString::fromLatin1(command), forcedNg));
}

// The whole literal, NUL bytes included.
template <std::size_t N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

} // namespace

TEST(SimResponder, DemoControllersHoldSensibleData) {
    const QList<SimController> line = MakeDemoControllers(3);
    ASSERT_EQ(line.size(), 3);
    const QStringList models = {"KQ-A", "KQ-C", "KQ-B"};
    for (int i = 0; i < 3; ++i) {
        const SimController& c = line[i];
        EXPECT_EQ(c.data.controllerName, models[i]);
        EXPECT_EQ(c.node(), i + 1);
        EXPECT_EQ(c.data.params().K(20), 0);
        EXPECT_GE(c.data.params().K(72), 1);
        EXPECT_LE(c.data.params().K(72), 3);
        EXPECT_FALSE(c.text(2).isEmpty());
        EXPECT_EQ(c.text(9).size(), 8);
        for (const PointRecord& point : c.data.points)
            EXPECT_EQ(point.inUse(), point.runType > 0);
    }
    EXPECT_FALSE(line[0].alarms.isEmpty());
    EXPECT_NE(line[2].data.params().K(84), 0); // pulse-train option values
}

TEST(SimResponder, QueriesAnswerInTheReplyForms) {
    QList<SimController> line = MakeDemoControllers(2);
    line[1].data.points[11] = PointRecord{12, 2, -5000, 50, 100, 90, 0, 10, 20, 10, 0, 1, 0, 0};
    EXPECT_EQ(respond(line, "@?K38.2"), "K38.2=2\r\nOK.2\r\n");
    EXPECT_EQ(respond(line, "@?H0.1"), "H0.1=100\r\nOK.1\r\n");
    EXPECT_EQ(respond(line, "@?PNT12.2"),
              "PNT12.2=M2,P-5000,S50,AC100,DC90,Q0,ZL10,ZH20,N10,J0,F1,C0,T0\r\nOK.2\r\n");
    EXPECT_EQ(respond(line, "@?PNT200.2"),
              "PNT200.2=M0,P0,S0,AC0,DC0,Q0,ZL0,ZH0,N0,J0,F0,C0,T0\r\nOK.2\r\n");
    EXPECT_EQ(respond(line, "@?CONT.1"), "CONT.1=KQ-A\r\nOK.1\r\n");
    EXPECT_EQ(respond(line, "@?TYPE.2"), "TYPE.2=KQ-C\r\nOK.2\r\n");
    EXPECT_EQ(respond(line, "@?COMR9.1"), "COMR9.1=c0a8000b\r\nOK.1\r\n");
    EXPECT_EQ(respond(line, "@?REC1.1"), "REC1.1=F8E,T1505,P12345,S2500,M3,N5,C180,V241,I10,O3\r\n"
                                         "OK.1\r\n");
    // An empty slot reads as code 0.
    EXPECT_TRUE(respond(line, "@?REC50.1").startsWith("REC50.1=F00,T0,"));
    EXPECT_EQ(respond(line, "@?K20.9"), ""); // nobody on node 9
}

TEST(SimResponder, ListsUseTheDataFileLineForms) {
    QList<SimController> line = MakeDemoControllers(1);
    line[0].data.points.assign(kPointCount, PointRecord{});
    line[0].data.points[4] = PointRecord{5, 1, 100, 10, 100, 100, 100, 0, 0, 10, 0, 0, 0, 0};
    line[0].data.points[254] = PointRecord{255, 3, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(respond(line, "@READ PNT.1"),
              "PNT5=M1,P100,S10,AC100,DC100,Q100,ZL0,ZH0,N10,J0,F0,C0,T0\r\n"
              "PNT255=M3,P7,S1,AC1,DC1,Q1,ZL1,ZH1,N1,J1,F1,C1,T1\r\nOK.1\r\n");
    const QStringList prm = respond(line, "@READ PRM.1").split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(prm.size(), kKParamCount + 1);
    EXPECT_EQ(prm[37], "K38=1");
    EXPECT_EQ(prm[71], "K72=2");
    EXPECT_EQ(prm.last(), "OK.1");
    const QStringList hprm = respond(line, "@READ HPRM.1").split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(hprm.size(), 9);
    EXPECT_EQ(hprm[0], "H0=100");
    EXPECT_EQ(hprm[7], "H7=70");
}

TEST(SimResponder, WritesChangeWhatLaterQueriesRead) {
    QList<SimController> line = MakeDemoControllers(1);
    EXPECT_EQ(respond(line, "@K20.1=2"), "OK.1\r\n");
    EXPECT_EQ(line[0].data.params().K(20), 2);
    EXPECT_EQ(respond(line, "@H3.1=-2427"), "OK.1\r\n");
    EXPECT_EQ(line[0].data.params().H(3), -2427);
    EXPECT_EQ(respond(line, "@ROBOT.1=PT40-S150"), "OK.1\r\n");
    EXPECT_EQ(respond(line, "@?ROBOT.1"), "ROBOT.1=PT40-S150\r\nOK.1\r\n");
    EXPECT_EQ(respond(line, "@COMW9.1=C0A80105"), "OK.1\r\n");
    EXPECT_EQ(line[0].text(9), "c0a80105");
    EXPECT_EQ(respond(line, "@COMW2.1=Axis 7"), "OK.1\r\n");
    EXPECT_EQ(respond(line, "@?COMR2.1"), "COMR2.1=Axis 7\r\nOK.1\r\n");

    // A new point comes into use with its run type; fields written before stay.
    EXPECT_EQ(respond(line, "@P40.1=1234"), "OK.1\r\n");
    EXPECT_FALSE(line[0].data.points[39].inUse());
    EXPECT_EQ(respond(line, "@M40.1=2"), "OK.1\r\n");
    EXPECT_EQ(line[0].data.points[39].number, 40);
    EXPECT_EQ(line[0].data.points[39].position, 1234);
    EXPECT_EQ(respond(line, "@C40.1=3"), "OK.1\r\n");
    EXPECT_EQ(line[0].data.points[39].call, 3);

    EXPECT_EQ(respond(line, "@DEL1.1"), "OK.1\r\n");
    EXPECT_FALSE(line[0].data.points[0].inUse());
    EXPECT_TRUE(line[0].data.points[1].inUse());
    EXPECT_EQ(respond(line, "@DEL2-40.1"), "OK.1\r\n");
    for (int i = 1; i < 40; ++i)
        EXPECT_FALSE(line[0].data.points[i].inUse()) << i;
}

TEST(SimResponder, RefusalsNameTheNodeAndACode) {
    QList<SimController> line = MakeDemoControllers(2);
    line[0].data.params().K(20) = 2;
    const SimController before = line[0];
    EXPECT_EQ(respond(line, "@?K139.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@?K0.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@?H8.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@?PNT256.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@S0.1=5"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@DEL9-5.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@?REC51.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@?COMR10.1"), "NG.1=02\r\n");
    EXPECT_EQ(respond(line, "@K20.1=3"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@K38.1=17"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@K72.1=0"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@K5.1=abc"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@K5.1=99999999999"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@M3.1=9"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@COMW9.1=192.168.0.1"), "NG.1=03\r\n");
    EXPECT_EQ(respond(line, "@?XYZ.1"), "NG.1=01\r\n");
    EXPECT_EQ(respond(line, "@CONT.1=KQ-F"), "NG.1=01\r\n");
    EXPECT_EQ(respond(line, "@?START.1"), "NG.1=01\r\n");
    EXPECT_EQ(respond(line, "@K20x.1=1"), "NG.1=04\r\n");
    // Every controller refuses a broadcast it cannot carry out.
    EXPECT_EQ(respond(line, "@?XYZ"), "NG.1=01\r\nNG.2=01\r\n");
    EXPECT_EQ(respond(line, "@?K20.2", 0x2f), "NG.2=2f\r\n");
    EXPECT_EQ(line[0].data.params().values, before.data.params().values);
    EXPECT_EQ(line[0].data.points, before.data.points);
}

TEST(SimResponder, BroadcastsAnswerInNodeOrder) {
    QList<SimController> line = MakeDemoControllers(3);
    // Line positions 0, 1, 2 carry nodes 5, 2, 9.
    line[0].setNode(5);
    line[1].setNode(2);
    line[2].setNode(9);
    EXPECT_EQ(respond(line, "@?CONT"),
              "CONT.2=KQ-C\r\nOK.2\r\nCONT.5=KQ-A\r\nOK.5\r\nCONT.9=KQ-B\r\nOK.9\r\n");
    EXPECT_EQ(respond(line, "@K99=0"), "OK.2\r\nOK.5\r\nOK.9\r\n");
    EXPECT_EQ(respond(line, "@K75=0"), "OK.2\r\nOK.5\r\nOK.9\r\n");
    for (const SimController& c : line)
        EXPECT_EQ(c.data.params().K(75), 0);
}

TEST(SimResponder, SharedNodeNumbersAnswerTogetherUntilRenumbered) {
    QList<SimController> line = MakeDemoControllers(4);
    line[1].setNode(1); // positions 0 and 1 on node 1
    line[3].setNode(3); // positions 2 and 3 on node 3
    EXPECT_EQ(respond(line, "@?CONT.1"), "CONT.1=KQ-A\r\nOK.1\r\nCONT.1=KQ-C\r\nOK.1\r\n");

    // The first of each number keeps it, the others take the lowest free numbers.
    EXPECT_EQ(respond(line, "@SETID"), "OK.1\r\nOK.2\r\nOK.3\r\nOK.4\r\n");
    EXPECT_EQ(line[0].node(), 1);
    EXPECT_EQ(line[1].node(), 2);
    EXPECT_EQ(line[2].node(), 3);
    EXPECT_EQ(line[3].node(), 4);

    QList<SimController> sparse = MakeDemoControllers(3);
    sparse[0].setNode(7);
    sparse[1].setNode(7);
    sparse[2].setNode(1);
    SimResponder::AssignNodeNumbers(sparse);
    EXPECT_EQ(sparse[0].node(), 7);
    EXPECT_EQ(sparse[1].node(), 2);
    EXPECT_EQ(sparse[2].node(), 1);
}

TEST(SimResponder, RepliesEndAsTheDelimiterParameterSays) {
    QList<SimController> line = MakeDemoControllers(2);
    line[0].data.params().K(20) = 2;
    line[1].data.params().K(kDelimiterParam) = kDelimiterCr;
    EXPECT_EQ(respond(line, "@?K38"), "K38.1=1\r\nOK.1\r\nK38.2=2\rOK.2\r");
    // A controller switched to CR alone answers that very command in its old form already.
    EXPECT_EQ(respond(line, "@K37.1=0"), "OK.1\r\n");
    EXPECT_EQ(respond(line, "@?K37.1"), "K37.1=0\rOK.1\r");
}

// The rules a real controller enforces, one command at a time on a fresh demo line of a
// standard (node 1) and a pulse-train (node 3) controller.
TEST(SimResponder, StrictRulesRefuseWhatARealControllerWould) {
    QString error;
    const SimParamRanges* ranges = SimParamRanges::Shared(&error);
    ASSERT_NE(ranges, nullptr) << qPrintable(error);
    SimRules strict;
    strict.ranges = ranges;
    SimRules lax;
    lax.debugModeForWrites = false;

    struct Case {
        int runMode;
        const char* command;
        const char* reply;
        const SimRules& rules;
    };
    const Case cases[] = {
        // Outside Debug Mode only the mode switch, LCD, streaming and numbering are taken.
        {0, "@K5.1=100", "NG.1=05\r\n", strict},
        {1, "@K5.1=100", "NG.1=05\r\n", strict},
        {0, "@H3.1=1", "NG.1=05\r\n", strict},
        {0, "@P4.1=100", "NG.1=05\r\n", strict},
        {0, "@DEL1.1", "NG.1=05\r\n", strict},
        {0, "@ROBOT.1=LX20-L03", "NG.1=05\r\n", strict},
        {0, "@COMW9.1=c0a80001", "NG.1=05\r\n", strict},
        {0, "@INIT PNT.1", "NG.1=05\r\n", strict},
        {0, "@K20.1=2", "OK.1\r\n", strict},
        {0, "@K75.1=0", "OK.1\r\n", strict},
        {0, "@K99.1=0", "OK.1\r\n", strict},
        {0, "@SETID", "OK.1\r\nOK.3\r\n", strict},
        {0, "@?K5.1", "K5.1=100\r\nOK.1\r\n", strict},
        {0, "@READ HPRM.1",
         "H0=100\r\nH1=10\r\nH2=20\r\nH3=30\r\nH4=40\r\nH5=50\r\nH6=60\r\n"
         "H7=70\r\nOK.1\r\n",
         strict},
        {6, "@K5.1=100", "OK.1\r\n", strict}, // Debug Mode (SAFETY)
        {0, "@K5.1=100", "OK.1\r\n", lax},
        // Ranges of the model's table, every variant counting.
        {2, "@K5.1=9999", "OK.1\r\n", strict},
        {2, "@K5.1=10000", "NG.1=03\r\n", strict},
        {2, "@K14.1=2", "NG.1=03\r\n", strict},
        {2, "@K81.1=0", "OK.1\r\n", strict}, // the DeviceNet form starts at 0
        {2, "@H0.1=-32768", "OK.1\r\n", strict},
        {2, "@H0.1=40000", "NG.1=03\r\n", strict},
        {2, "@K5.1=10000", "OK.1\r\n", lax},
        // Lengths in the controller's own decimal places (K72 = 2) against a table range in
        // thousandths: 9999.999 mm at most.
        {2, "@K1.1=-999999", "OK.1\r\n", strict},
        {2, "@K1.1=-1000000", "NG.1=03\r\n", strict},
        // E-gear: 1..32767 on a pulse-train model; the standard table has no record of it.
        {2, "@K84.3=40000", "NG.3=03\r\n", strict},
        {2, "@K84.3=32767", "OK.3\r\n", strict},
        {2, "@K84.1=40000", "OK.1\r\n", strict},
    };
    for (const Case& c : cases) {
        QList<SimController> line = MakeDemoControllers(3);
        line.removeAt(1);
        for (SimController& controller : line)
            controller.data.params().K(20) = c.runMode;
        const QList<SimController> before = line;
        const QString reply = QString::fromLatin1(
            SimResponder::Respond(line, QString::fromLatin1(c.command), -1, c.rules));
        EXPECT_EQ(reply, QLatin1String(c.reply)) << c.command << " in mode " << c.runMode;
        if (reply.startsWith(QLatin1String("NG"))) {
            EXPECT_EQ(line[0].data.params().values, before[0].data.params().values) << c.command;
            EXPECT_EQ(line[0].data.points, before[0].data.points) << c.command;
            EXPECT_EQ(line[0].data.robotName, before[0].data.robotName) << c.command;
            EXPECT_EQ(line[0].texts, before[0].texts) << c.command;
        }
    }
}

// Writing a payload or the filter type brings the values that follow it along, so the
// read-back of a whole-data write finds the controller's own.
TEST(SimResponder, PayloadAndFilterWritesRecomputeWhatFollows) {
    QList<SimController> line = MakeDemoControllers(1);
    RobotParameters& p = line[0].data.params();
    p.K(20) = 2;
    p.K(48) = 300; // acceleration without payload
    p.K(49) = 30;  // with full payload
    p.K(55) = 2;   // full acceleration up to 2 kg
    p.K(56) = 10;  // falling over 10 kg
    EXPECT_EQ(respond(line, "@K76.1=0"), "OK.1\r\n");
    EXPECT_EQ(p.K(77), 300);
    EXPECT_EQ(respond(line, "@K78.1=50"), "OK.1\r\n");
    EXPECT_EQ(p.K(79), 30);
    // In between, less the heavier the payload.
    EXPECT_EQ(respond(line, "@K76.1=6"), "OK.1\r\n");
    const int32_t six = p.K(77);
    EXPECT_EQ(respond(line, "@K76.1=8"), "OK.1\r\n");
    EXPECT_LT(p.K(77), six);
    EXPECT_GT(p.K(77), 30);
    EXPECT_LT(six, 300);
    // A write of the follower itself stands until the payload is written again.
    EXPECT_EQ(respond(line, "@K77.1=123"), "OK.1\r\n");
    EXPECT_EQ(p.K(77), 123);

    EXPECT_EQ(respond(line, "@K89.1=3"), "OK.1\r\n");
    EXPECT_EQ(respond(line, "@?K90.1"), "K90.1=500\r\nOK.1\r\n");
    EXPECT_GT(p.K(91), 0);
    EXPECT_GT(p.K(92), 0);
    EXPECT_EQ(respond(line, "@K89.1=0"), "OK.1\r\n");
    EXPECT_EQ(QList<int32_t>({p.K(90), p.K(91), p.K(92)}), QList<int32_t>({0, 0, 0}));

    SimRules still;
    still.followUps = false;
    SimResponder::Respond(line, "@K89.1=1", -1, still);
    EXPECT_EQ(p.K(90), 0);
}

// LOADING before list replies, noise before every line.
TEST(SimResponder, LoadingLineAndNoiseDecorateReplies) {
    QList<SimController> line = MakeDemoControllers(1);
    line[0].data.points.assign(kPointCount, PointRecord{});
    SimRules rules;
    rules.loadingLine = true;
    rules.noise = QByteArray("\0\xff", 2);
    EXPECT_EQ(SimResponder::Respond(line, "@READ PNT.1", -1, rules),
              bytes("\0\xffLOADING.1\r\n\0\xffOK.1\r\n"));
    EXPECT_EQ(SimResponder::Respond(line, "@?K38.1", -1, rules),
              bytes("\0\xffK38.1=1\r\n\0\xffOK.1\r\n"));
}
