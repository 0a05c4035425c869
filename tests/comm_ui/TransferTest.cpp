#include "LineFixture.h"
#include "tests/support/QtPrinters.h"

#include "data/DataStore.h"
#include "data/ParamInfoTable.h"

namespace {

constexpr int kNode = 1;

QStringList RunModeRoundTrip(int from, int to) {
    QStringList commands{QStringLiteral("@?K20.1")};
    if ((from & 3) != 2)
        commands << QStringLiteral("@K20.1=2");
    commands << QStringLiteral("@?K20.1");
    if (to != 2)
        commands << QStringLiteral("@K20.1=%1").arg(to) << QStringLiteral("@?K20.1");
    return commands;
}

} // namespace

class TransferTest : public LineFixture {
protected:
    void SetUp() override {
        LineFixture::SetUp();
        StartDemoLine(2);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        ASSERT_TRUE(store.CreateControllerData(current));
        ASSERT_TRUE(store.CreateControllerData(fresh));
        current->params().K(kNodeParam) = kNode;
        ASSERT_TRUE(window->ReadControllerData(*current, true, true));
        ASSERT_TRUE(CopyControllerData(*fresh, *current));
        window->SetParamTables(nullptr, nullptr);
        TakeCommands();
    }

    SimController Node1() { return sim->Controllers()[0]; }

    CDataStore store;
    ControllerDataSlot current;
    ControllerDataSlot fresh;
};

TEST_F(TransferTest, ReadingWithoutListsSendsEightQueries) {
    ControllerDataSlot data;
    ASSERT_TRUE(store.CreateControllerData(data));
    data->params().K(kNodeParam) = 2;
    ASSERT_TRUE(window->ReadControllerData(*data, false, false));
    EXPECT_EQ(TakeCommands(), (QStringList{"@?CONT.2", "@?TYPE.2", "@?ROBOT.2", "@?IF.2",
                                           "@?VER2.2", "@?COMR9.2", "@?COMR8.2", "@?COMR7.2"}));
    const SimController node2 = sim->Controllers()[1];
    EXPECT_EQ(data->controllerName, node2.data.controllerName);
    EXPECT_EQ(data->modelCode, node2.data.modelCode);
    EXPECT_EQ(data->robotName, node2.data.robotName);
    EXPECT_EQ(data->params().robotName, node2.data.robotName);
    EXPECT_EQ(data->ipAddress, node2.text(9));
    EXPECT_EQ(data->gateway, node2.text(7));
}

TEST_F(TransferTest, ReadingEverythingMatchesTheController) {
    const SimController node1 = Node1();
    EXPECT_EQ(current->controllerName, node1.data.controllerName);
    EXPECT_EQ(current->version, node1.data.version);
    EXPECT_EQ(current->interfaceInfo, node1.data.interfaceInfo);
    EXPECT_EQ(current->subnetMask, node1.text(8));
    EXPECT_EQ(current->points, node1.data.points);
    EXPECT_EQ(current->params().values, node1.data.params().values);
    int used = 0;
    for (const PointRecord& point : current->points)
        used += point.inUse() ? 1 : 0;
    EXPECT_GT(used, 0);
}

TEST_F(TransferTest, ReadingStopsAtTheFirstTimeOut) {
    FaultRule silence;
    silence.kind = FaultRule::Kind::Silence;
    silence.pattern = QStringLiteral("@?ROBOT.1");
    sim->AddFault(silence);
    ControllerDataSlot data;
    ASSERT_TRUE(store.CreateControllerData(data));
    data->params().K(kNodeParam) = kNode;
    EXPECT_FALSE(window->ReadControllerData(*data, true, true));
    EXPECT_EQ(TakeCommands(), (QStringList{"@?CONT.1", "@?TYPE.1", "@?ROBOT.1"}));
    EXPECT_EQ(data->controllerName, Node1().data.controllerName);
    EXPECT_EQ(window->channel.lastError, QStringLiteral("TimeOut"));
}

TEST_F(TransferTest, IdenticalRecordSendsOnlyTheRunModeSwitch) {
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_EQ(TakeCommands(), RunModeRoundTrip(current->params().K(kRunModeParam),
                                               current->params().K(kRunModeParam)));
    EXPECT_FALSE(window->restartRequired);
}

TEST_F(TransferTest, OnlyRunModeDifferingEndsInTheNewMode) {
    ASSERT_EQ(current->params().K(kRunModeParam), 0);
    fresh->params().K(kRunModeParam) = 1;
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_EQ(TakeCommands(), RunModeRoundTrip(0, 1));
    EXPECT_EQ(Node1().data.params().K(kRunModeParam), 1);
}

TEST_F(TransferTest, NodeNumberIsNeverWritten) {
    fresh->params().K(kNodeParam) = 9;
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    for (const QString& command : TakeCommands())
        EXPECT_FALSE(command.startsWith(QLatin1String("@K38"))) << command.toStdString();
    EXPECT_EQ(Node1().node(), kNode);
}

TEST_F(TransferTest, CommunicationSettingIsTakenFromTheController) {
    const int32_t controllerValue = current->params().K(35);
    fresh->params().K(35) = controllerValue + 1;
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    const QStringList commands = TakeCommands();
    EXPECT_TRUE(commands.contains(QStringLiteral("@?K35.1")));
    for (const QString& command : commands)
        EXPECT_FALSE(command.startsWith(QLatin1String("@K35"))) << command.toStdString();
    EXPECT_EQ(fresh->params().K(35), controllerValue);
    EXPECT_EQ(Node1().data.params().K(35), controllerValue);
}

TEST_F(TransferTest, PointUnusedInTheNewRecordIsDeleted) {
    int slot = -1;
    for (int i = 0; i < kPointCount && slot < 0; ++i)
        if (current->points[i].inUse())
            slot = i;
    ASSERT_GE(slot, 0);
    const int number = slot + 1;
    fresh->points[slot] = PointRecord{};

    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    const QStringList commands = TakeCommands();
    const qsizetype del = commands.indexOf(QStringLiteral("@DEL%1.1").arg(number));
    ASSERT_GE(del, 0) << commands.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(commands.value(del + 1), QStringLiteral("@?PNT%1.1").arg(number));
    EXPECT_FALSE(fresh->points[slot].inUse());
    EXPECT_FALSE(Node1().data.points[slot].inUse());
}

TEST_F(TransferTest, PointDifferingOnlyInCallIsRewrittenInThatField) {
    int slot = -1;
    for (int i = 0; i < kPointCount && slot < 0; ++i)
        if (current->points[i].inUse())
            slot = i;
    ASSERT_GE(slot, 0);
    const int number = slot + 1;
    fresh->points[slot].call = current->points[slot].call + 7;

    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    QStringList commands = TakeCommands();
    const QStringList runMode = RunModeRoundTrip(0, 0);
    // Between the switch to debug mode and the way back: one field write and its read-back.
    EXPECT_EQ(commands.mid(2, 2),
              (QStringList{QStringLiteral("@C%1.1=%2").arg(number).arg(fresh->points[slot].call),
                           QStringLiteral("@?PNT%1.1").arg(number)}));
    EXPECT_EQ(commands.size(), runMode.size() + 2);
    EXPECT_EQ(Node1().data.points[slot], fresh->points[slot]);
}

TEST_F(TransferTest, ChangedRobotNameRequiresARestart) {
    fresh->robotName = QStringLiteral("LX20-S300");
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_TRUE(TakeCommands().contains(QStringLiteral("@ROBOT.1=LX20-S300")));
    EXPECT_TRUE(window->restartRequired);
    EXPECT_EQ(Node1().data.robotName, QStringLiteral("LX20-S300"));

    // The next write starts afresh.
    ControllerDataSlot again;
    ASSERT_TRUE(store.CreateControllerData(again));
    ASSERT_TRUE(CopyControllerData(*again, *fresh));
    ASSERT_TRUE(window->WriteControllerData(*again, *fresh, true));
    EXPECT_FALSE(window->restartRequired);
}

TEST_F(TransferTest, RestartAttributeOfAWrittenParameterRequiresARestart) {
    ParamInfoTableSlot table;
    ASSERT_TRUE(LoadParamInfoTable(table, 0));
    window->SetParamTables(table.get(), nullptr);
    int withRestart = 0;
    int withoutRestart = 0;
    for (int k = 40; k <= 70 && (!withRestart || !withoutRestart); ++k) {
        const bool restart = ParamInfoFor(*table, k, 0).attributes & kRestartAttribute;
        if (restart && !withRestart)
            withRestart = k;
        if (!restart && !withoutRestart)
            withoutRestart = k;
    }
    ASSERT_TRUE(withRestart && withoutRestart);

    fresh->params().K(withoutRestart) += 1;
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_FALSE(window->restartRequired);
    EXPECT_EQ(Node1().data.params().K(withoutRestart), fresh->params().K(withoutRestart));

    ASSERT_TRUE(CopyControllerData(*current, *fresh));
    fresh->params().K(withRestart) += 1;
    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_TRUE(window->restartRequired);
}

// A refused write does not stop the others, but the write as a whole is no success: the
// controller does not hold the record it was given, and the items it refused are named.
TEST_F(TransferTest, RefusedWritesKeepTheControllersValuesGoOnAndFailByName) {
    const int32_t before = current->params().K(44);
    const QString addressBefore = current->ipAddress;
    fresh->params().K(44) = before + 10;
    fresh->params().K(45) = current->params().K(45) + 1;
    fresh->ipAddress = QStringLiteral("c0a80063");
    for (const char* pattern : {"@K44.1=*", "@COMW9.1=*"}) {
        FaultRule refuse;
        refuse.kind = FaultRule::Kind::Ng;
        refuse.pattern = QLatin1String(pattern);
        sim->AddFault(refuse);
    }

    EXPECT_FALSE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_EQ(fresh->params().K(44), before);
    EXPECT_EQ(fresh->ipAddress, addressBefore);
    EXPECT_EQ(Node1().data.params().K(44), before);
    EXPECT_EQ(Node1().data.params().K(45), fresh->params().K(45));
    EXPECT_EQ(window->itemsNotTaken, (QStringList{"IPADDR", "K44"}));
    EXPECT_EQ(window->channel.lastFailure.kind, ChannelFailure::Kind::NotTaken);
    EXPECT_TRUE(window->FailureText(10048).contains(": IPADDR, K44."));
    // The run mode still went back to the record's.
    EXPECT_EQ(Node1().data.params().K(kRunModeParam), fresh->params().K(kRunModeParam));
}

TEST_F(TransferTest, RefusedReadBackDoesNotStoreTheRefusal) {
    const int32_t wanted = current->params().K(44) + 10;
    fresh->params().K(44) = wanted;
    FaultRule refuse;
    refuse.kind = FaultRule::Kind::Ng;
    refuse.pattern = QStringLiteral("@?K44.1");
    sim->AddFault(refuse);

    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_EQ(Node1().data.params().K(44), wanted);
    EXPECT_EQ(fresh->params().K(44), wanted);
}

TEST_F(TransferTest, ControllerAlreadyInADebugModeIsNotSwitched) {
    sim->UpdateControllers(
        [](QList<SimController>& controllers) { controllers[0].data.params().K(20) = 6; });
    ASSERT_EQ(fresh->params().K(kRunModeParam), 0);

    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    EXPECT_EQ(TakeCommands(), RunModeRoundTrip(6, 0));
    EXPECT_EQ(Node1().data.params().K(kRunModeParam), 0);
}

TEST_F(TransferTest, DerivedParametersAreReadAfterTheirSourceAndComparedFresh) {
    fresh->params().K(76) = current->params().K(76) + 1;
    fresh->params().K(89) = current->params().K(89) + 1;
    // What the controller derives from the new sources, and the new record holds already.
    SimController node1 = Node1();
    for (int source : {76, 89}) {
        node1.data.params().K(source) = fresh->params().K(source);
        SimResponder::RecomputeFollowUps(node1, source, nullptr);
    }
    const int32_t accel = node1.data.params().K(77);
    const int32_t filter1 = node1.data.params().K(90);
    fresh->params().K(77) = accel;
    for (int k = 90; k <= 92; ++k)
        fresh->params().K(k) = node1.data.params().K(k);
    // The record read earlier holds stale derived values; the new one the controller's own.
    current->params().K(77) = accel + 5;
    current->params().K(90) = filter1 + 3;

    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));
    const QStringList commands = TakeCommands();
    const QString payloadWrite = QStringLiteral("@K76.1=%1").arg(fresh->params().K(76));
    const qsizetype payload = commands.indexOf(payloadWrite);
    ASSERT_GE(payload, 0) << commands.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(commands.mid(payload, 3),
              (QStringList{payloadWrite, QStringLiteral("@?K76.1"), QStringLiteral("@?K77.1")}));
    const QString filterWrite = QStringLiteral("@K89.1=%1").arg(fresh->params().K(89));
    const qsizetype filter = commands.indexOf(filterWrite);
    ASSERT_GE(filter, 0) << commands.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(commands.mid(filter, 5),
              (QStringList{filterWrite, QStringLiteral("@?K89.1"), QStringLiteral("@?K90.1"),
                           QStringLiteral("@?K91.1"), QStringLiteral("@?K92.1")}));
    for (const QString& command : commands) {
        EXPECT_FALSE(command.startsWith(QLatin1String("@K77.1="))) << command.toStdString();
        EXPECT_FALSE(command.startsWith(QLatin1String("@K90.1="))) << command.toStdString();
    }
    EXPECT_EQ(current->params().K(77), accel);
    EXPECT_EQ(current->params().K(90), filter1);
}

TEST_F(TransferTest, TimeOutStopsTheWrite) {
    fresh->params().K(44) += 10;
    fresh->params().K(2) += 10;
    FaultRule silence;
    silence.kind = FaultRule::Kind::Silence;
    silence.pattern = QStringLiteral("@K44.1=*");
    sim->AddFault(silence);

    EXPECT_FALSE(window->WriteControllerData(*fresh, *current, true));
    const QStringList commands = TakeCommands();
    ASSERT_FALSE(commands.isEmpty());
    EXPECT_TRUE(commands.last().startsWith(QLatin1String("@K44.1=")));
    EXPECT_EQ(window->FailureText(10048),
              QStringLiteral("Data transfer failed.\n\nConnection is closed. Please retry after "
                             "checking the connection and power supply to the controller."));
}

TEST_F(TransferTest, WholeWriteLeavesTheControllerAsTheResultSays) {
    // Another controller's record, written into node 1.
    ControllerDataSlot other;
    ASSERT_TRUE(store.CreateControllerData(other));
    other->params().K(kNodeParam) = 2;
    ASSERT_TRUE(window->ReadControllerData(*other, true, true));
    ASSERT_TRUE(CopyControllerData(*fresh, *other));
    fresh->params().K(kNodeParam) = kNode;
    fresh->points[200].number = 201;
    fresh->points[200].runType = 1;
    fresh->points[200].position = 12345;
    fresh->points[200].speed = 50;
    fresh->ipAddress = QStringLiteral("c0a8010a");
    fresh->params().K(kRunModeParam) = 1;

    ASSERT_TRUE(window->WriteControllerData(*fresh, *current, true));

    ControllerDataSlot after;
    ASSERT_TRUE(store.CreateControllerData(after));
    after->params().K(kNodeParam) = kNode;
    ASSERT_TRUE(window->ReadControllerData(*after, true, true));
    EXPECT_EQ(after->points, fresh->points);
    for (int i = 0; i < kParamCount; ++i)
        EXPECT_EQ(after->params().values[i], fresh->params().values[i]) << "value index " << i;
    EXPECT_EQ(after->robotName, fresh->robotName);
    EXPECT_EQ(after->ipAddress, QStringLiteral("c0a8010a"));
    EXPECT_EQ(after->params().K(kRunModeParam), 1);
    EXPECT_EQ(after->params().K(kNodeParam), kNode);
}

TEST_F(TransferTest, ClosedPortTransfersNothing) {
    window->portHub.Close();
    EXPECT_FALSE(window->ReadControllerData(*fresh, true, true));
    EXPECT_FALSE(window->WriteControllerData(*fresh, *current, true));
}
