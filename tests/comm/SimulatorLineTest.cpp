// The channel and the port manager over a real pseudo-terminal against the simulated line.
#include "comm/AlarmRecord.h"
#include "comm/CommandChannel.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "data/DataStore.h"
#include "porthub/PortHub.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class Window : public QObject {
public:
    explicit Window(CCommandChannel& target) : channel(target) {}
    bool event(QEvent* event) override {
        return DispatchPortHubEvent(event, channel) || QObject::event(event);
    }

private:
    CCommandChannel& channel;
};

// A communication window's setup: hub attached, channel bound, port opened by COM number.
class SimulatorLine : public ::testing::Test {
protected:
    void start(QList<SimController> controllers, int timeoutMs = 300) {
        line = std::make_unique<SimulatedLine>(std::move(controllers));
        // The channel is driven without the search's @K99=0, so no status streaming.
        SimBehaviour quiet;
        quiet.streaming = false;
        line->SetBehaviour(quiet);
        QString error;
        ASSERT_TRUE(line->Start(-1, &error)) << error.toStdString();
        hub.Initialize();
        hub.AttatchWnd(&window);
        channel.replyTimeoutMs = timeoutMs;
        commsettag settings;
        hub.GetCommSet(&settings);
        settings.comPort = static_cast<uint16_t>(line->ComNumber());
        hub.SetCommSet(&settings);
        ASSERT_NE(hub.Open(), 0) << hub.lastOpenError().toStdString();
    }
    void TearDown() override {
        hub.DetatchWnd();
        hub.Close();
        if (line)
            line->Stop();
    }
    SimController controller(int index) const { return line->Controllers().at(index); }

    CPortHub hub;
    CCommandChannel channel{&hub};
    Window window{channel};
    std::unique_ptr<SimulatedLine> line;
};

TEST_F(SimulatorLine, SearchCommandsReachEveryController) {
    start(MakeDemoControllers(3));
    EXPECT_TRUE(PrepareLine(hub, channel));
    QString answer;
    ASSERT_TRUE(QueryAllControllers(channel, answer));
    for (int i = 0; i < 3; ++i) {
        const SimController c = controller(i);
        EXPECT_TRUE(answer.contains(
            QStringLiteral("CONT.%1=%2\r\nOK.%1\r\n").arg(c.node()).arg(c.data.controllerName)))
            << answer.toStdString();
    }
    ASSERT_TRUE(channel.QueryNumbered(kKeyComText, 0, 2, answer));
    EXPECT_EQ(answer.count(QLatin1String("OK.")), 3);
}

TEST_F(SimulatorLine, IdentityAndTextItemsOfOneNode) {
    start(MakeDemoControllers(2));
    const SimController c = controller(1);
    const int node = c.node();
    QString value;
    ASSERT_TRUE(ReadIdentityItem(channel, node, kKeyCont, value));
    EXPECT_EQ(value, c.data.controllerName);
    ASSERT_TRUE(ReadIdentityItem(channel, node, kKeyType, value));
    EXPECT_EQ(value, c.data.modelCode);
    ASSERT_TRUE(ReadIdentityItem(channel, node, kKeyRobot, value));
    EXPECT_EQ(value, c.data.robotName);
    ASSERT_TRUE(ReadIdentityItem(channel, node, kKeyIf, value));
    EXPECT_EQ(value, c.data.interfaceInfo);
    ASSERT_TRUE(ReadIdentityItem(channel, node, kKeyVer2, value));
    EXPECT_EQ(value, c.data.version);

    ASSERT_TRUE(WriteK(channel, node, 20, 2)); // writes need Debug Mode
    ASSERT_TRUE(WriteRobotName(channel, node, "RX-20 \u00e9"));
    ASSERT_TRUE(ReadIdentityItem(channel, node, kKeyRobot, value));
    EXPECT_EQ(value, QStringLiteral("RX-20 \u00e9"));

    ASSERT_TRUE(WriteTextItem(channel, node, 9, "c0a80102"));
    QString text;
    ASSERT_TRUE(ReadTextItem(channel, node, 9, text));
    EXPECT_EQ(text, "c0a80102");
    ASSERT_TRUE(ReadTextItem(channel, node, 2, text));
    EXPECT_EQ(text, c.text(2));
}

TEST_F(SimulatorLine, ParametersAndPointsOfOneNode) {
    start(MakeDemoControllers(2));
    const SimController c = controller(0);
    const int node = c.node();
    int32_t value = 0;
    ASSERT_TRUE(ReadK(channel, node, 20, value));
    EXPECT_EQ(value, c.data.params().K(20));
    ASSERT_TRUE(WriteK(channel, node, 20, 2));
    ASSERT_TRUE(ReadK(channel, node, 20, value));
    EXPECT_EQ(value, 2);
    ASSERT_TRUE(WriteH(channel, node, 3, -7));
    ASSERT_TRUE(ReadH(channel, node, 3, value));
    EXPECT_EQ(value, -7);
    EXPECT_FALSE(ReadK(channel, node, 200, value)); // refused by the controller
    EXPECT_TRUE(channel.lastError.startsWith(QStringLiteral("NG.%1=").arg(node)));

    ASSERT_TRUE(WritePointField(channel, node, 40, 1, 1));
    ASSERT_TRUE(WritePointField(channel, node, 40, 2, -123456));
    ASSERT_TRUE(WritePointField(channel, node, 40, 13, 9));
    PointRecord point;
    ASSERT_TRUE(ReadPoint(channel, node, 40, point));
    EXPECT_EQ(point.number, 40);
    EXPECT_EQ(point.runType, 1);
    EXPECT_EQ(point.position, -123456);
    EXPECT_EQ(point.timer, 9);

    ASSERT_TRUE(DeletePoints(channel, node, 40, 0));
    PointRecord untouched;
    untouched.speed = 77;
    EXPECT_TRUE(ReadPoint(channel, node, 40, untouched));
    EXPECT_EQ(untouched.speed, 77);
    EXPECT_EQ(untouched.number, 0);
    EXPECT_TRUE(DeletePoints(channel, node, 41, 45));
}

TEST_F(SimulatorLine, WholeListsMatchTheControllersData) {
    start(MakeDemoControllers(2), 500);
    const SimController c = controller(1);
    const int node = c.node();
    CDataStore store;
    ControllerDataSlot slot;
    ASSERT_TRUE(store.CreateControllerData(slot));
    ControllerData& data = *slot;

    QString answer;
    ASSERT_TRUE(ReadPointList(channel, node, answer));
    for (const QString& l : answer.split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
        store.ParsePointLine(data, l);
    ASSERT_TRUE(ReadParameterList(channel, node, answer));
    for (const QString& l : answer.split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
        store.ParseKLine(data, l);
    ASSERT_TRUE(ReadHParameterList(channel, node, answer));
    for (const QString& l : answer.split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
        store.ParseHLine(data, l);
    EXPECT_EQ(data.points, c.data.points);
    EXPECT_EQ(data.params().values, c.data.params().values);
}

TEST_F(SimulatorLine, AlarmRecordsOfOneNode) {
    start(MakeDemoControllers(1));
    const SimController c = controller(0);
    ASSERT_FALSE(c.alarms.isEmpty());
    AlarmRecord record;
    ASSERT_TRUE(ReadAlarmRecord(channel, c.node(), 1, record));
    const SimAlarm& alarm = c.alarms.first();
    EXPECT_EQ(record.code, alarm.code);
    EXPECT_EQ(record.time, alarm.time);
    EXPECT_EQ(record.position, alarm.position);
    EXPECT_EQ(record.speed, alarm.speed);
    EXPECT_EQ(record.runStatus, alarm.runStatus);
    EXPECT_EQ(record.runPoint, alarm.runPoint);
    EXPECT_EQ(record.current, alarm.current);
    EXPECT_EQ(record.voltage, alarm.voltage);
    EXPECT_EQ(record.input, alarm.input);
    EXPECT_EQ(record.output, alarm.output);
}

TEST_F(SimulatorLine, DuplicateNodesAreRenumbered) {
    QList<SimController> controllers = MakeDemoControllers(3);
    controllers[2].setNode(controllers[0].node());
    start(controllers);
    QString answer;
    ASSERT_TRUE(QueryAllControllers(channel, answer));
    EXPECT_EQ(answer.count(QStringLiteral("OK.%1\r\n").arg(controllers[0].node())), 2);
    ASSERT_TRUE(AssignNodeNumbers(channel));
    ASSERT_TRUE(QueryAllControllers(channel, answer));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(answer.count(QStringLiteral("OK.%1\r\n").arg(n)), 1) << answer.toStdString();
}

TEST_F(SimulatorLine, SilencedControllerTimesOutMidList) {
    start(MakeDemoControllers(1), 200);
    FaultRule silence;
    silence.kind = FaultRule::Kind::Silence;
    silence.pattern = QStringLiteral("@?K*");
    silence.fromCommand = 3;
    line->AddFault(silence);
    const int node = controller(0).node();
    int32_t value = 0;
    EXPECT_TRUE(ReadK(channel, node, 1, value));
    EXPECT_TRUE(ReadK(channel, node, 2, value));
    EXPECT_FALSE(ReadK(channel, node, 3, value));
    EXPECT_EQ(channel.lastError, "TimeOut");
    EXPECT_FALSE(channel.busy);
}

TEST_F(SimulatorLine, LineErrorEndsTheCommandAsNg49) {
    start(MakeDemoControllers(1), 2000);
    FaultRule hangUp;
    hangUp.kind = FaultRule::Kind::LineError;
    hangUp.pattern = QStringLiteral("@?K*");
    line->AddFault(hangUp);
    int32_t value = 0;
    EXPECT_FALSE(ReadK(channel, controller(0).node(), 1, value));
    EXPECT_EQ(channel.lastError, QStringLiteral("NG.%1=49").arg(controller(0).node()));
}

} // namespace
