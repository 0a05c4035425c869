#include "simulator/SimOptions.h"
#include "data/DataStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool parse(const QStringList& arguments, SimOptions& options, QString& error) {
    return SimOptions::Parse(arguments, options, error);
}

} // namespace

TEST(SimOptions, ParsesLineSettingsAndFaults) {
    SimOptions options;
    QString error;
    ASSERT_TRUE(parse({"--controllers", "3", "--line", "4", "--baud", "38400", "--log", "/tmp/x",
                       "--silence-from", "7", "--ng", "2f:@K20.*", "--line-error-at", "3",
                       "--garbage", "\\x00ab\\r", "--split", "5:30", "--echo"},
                      options, error))
        << qPrintable(error);
    EXPECT_EQ(options.controllers, 3);
    EXPECT_EQ(options.line, 4);
    EXPECT_EQ(options.baud, 38400);
    EXPECT_EQ(options.logFile, "/tmp/x");
    ASSERT_EQ(options.faults.size(), 6);
    EXPECT_EQ(options.faults[0].kind, FaultRule::Kind::Silence);
    EXPECT_EQ(options.faults[0].fromCommand, 7);
    EXPECT_EQ(options.faults[1].kind, FaultRule::Kind::Ng);
    EXPECT_EQ(options.faults[1].ngCode, 0x2f);
    EXPECT_EQ(options.faults[1].pattern, "@K20.*");
    EXPECT_EQ(options.faults[2].kind, FaultRule::Kind::LineError);
    EXPECT_EQ(options.faults[2].count, 1);
    EXPECT_EQ(options.faults[3].garbage, QByteArray("\x00"
                                                    "ab\r",
                                                    4));
    EXPECT_EQ(options.faults[4].pieceBytes, 5);
    EXPECT_EQ(options.faults[4].pauseMs, 30);
    EXPECT_EQ(options.faults[5].kind, FaultRule::Kind::Echo);
    // A real controller's behaviour unless turned off.
    EXPECT_TRUE(options.behaviour.debugModeForWrites);
    EXPECT_TRUE(options.behaviour.rangeChecks);
    EXPECT_TRUE(options.behaviour.streaming);
    EXPECT_FALSE(options.behaviour.loadingLine);
    EXPECT_FALSE(options.randomFaults);

    ASSERT_TRUE(parse({"--no-debug-check",
                       "--no-range-check",
                       "--no-follow-ups",
                       "--no-streaming",
                       "--loading",
                       "--noise",
                       "\\x00\\xff",
                       "--cr-only",
                       "2",
                       "--stream-interval",
                       "40",
                       "--fault-seed",
                       "77",
                       "--fault-rate",
                       "0.5",
                       "--fault-max-delay",
                       "900",
                       "--fault-kinds",
                       "ng,split",
                       "--ignore-write",
                       "K138",
                       "--ignore-write",
                       "H7"},
                      options, error))
        << qPrintable(error);
    EXPECT_FALSE(options.behaviour.debugModeForWrites);
    EXPECT_FALSE(options.behaviour.rangeChecks);
    EXPECT_FALSE(options.behaviour.followUps);
    EXPECT_FALSE(options.behaviour.streaming);
    EXPECT_TRUE(options.behaviour.loadingLine);
    EXPECT_EQ(options.behaviour.noise, QByteArray("\0\xff", 2));
    EXPECT_EQ(options.behaviour.streamIntervalMs, 40);
    EXPECT_EQ(options.behaviour.ignoredWrites, (QStringList{"K138", "H7"}));
    EXPECT_EQ(options.crOnlyNodes, QList<int>{2});
    EXPECT_TRUE(options.randomFaults);
    EXPECT_EQ(options.random.seed, 77u);
    EXPECT_EQ(options.random.rate, 0.5);
    EXPECT_EQ(options.random.maxDelayMs, 900);
    EXPECT_EQ(options.random.kinds, unsigned(RandomFaults::Ng | RandomFaults::Split));
    QList<SimController> controllers;
    options.controllers = 2;
    ASSERT_TRUE(options.BuildControllers(controllers, error)) << qPrintable(error);
    EXPECT_EQ(controllers[1].lineEnd(), "\r");
    EXPECT_EQ(controllers[0].lineEnd(), "\r\n");
}

TEST(SimOptions, RefusesWhatItCannotTake) {
    SimOptions options;
    QString error;
    for (const QStringList& bad : {QStringList{"--controllers", "17"},
                                   {"--controllers"},
                                   {"--node", "0=x.kqd"},
                                   {"--node", "3"},
                                   {"--line", "32"},
                                   {"--ng", "zz:@K*"},
                                   {"--ng", "10"},
                                   {"--split", "4"},
                                   {"--frobnicate", "1"},
                                   {"--cr-only", "17"},
                                   {"--fault-rate", "1.5"},
                                   {"--fault-seed", "x"},
                                   {"--fault-kinds", "ng,thunder"},
                                   {"--ignore-write", "K139"},
                                   {"--ignore-write", "PNT1"},
                                   {"stray"}}) {
        error.clear();
        EXPECT_FALSE(parse(bad, options, error)) << qPrintable(bad.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SimOptions, BuildsControllersFromDemosFilesAndModels) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CDataStore store;
    ControllerDataSlot slot;
    store.CreateControllerData(slot);
    slot->controllerName = "KQ-E";
    slot->userName = "From file";
    slot->robotName = "LX30-S200";
    slot->ipAddress = "0a000001";
    slot->points[2] = PointRecord{3, 1, 500, 20, 100, 100, 100, 0, 0, 10, 0, 0, 0, 0};
    slot->params().K(38) = 9; // the option's node wins
    slot->params().K(72) = 3;
    const QString path = dir.filePath("e.kqd");
    ASSERT_TRUE(store.SaveDataFile(path, *slot, true, true));

    SimOptions options;
    QString error;
    ASSERT_TRUE(parse({"--controllers", "2", "--node", QString("2=%1").arg(path), "--model",
                       "1=KQ-A2", "--model", "4=KQ-F", "--cont", "1=XX-9", "--set-node", "3=1"},
                      options, error));
    QList<SimController> line;
    ASSERT_TRUE(options.BuildControllers(line, error)) << qPrintable(error);
    ASSERT_EQ(line.size(), 3);
    EXPECT_EQ(line[0].data.controllerName, "XX-9");
    EXPECT_EQ(line[0].data.modelCode, "KQ-A2");
    EXPECT_EQ(line[1].node(), 2);
    EXPECT_EQ(line[1].data.controllerName, "KQ-E");
    EXPECT_EQ(line[1].data.modelCode, "KQ-E");
    EXPECT_EQ(line[1].text(2), "From file");
    EXPECT_EQ(line[1].text(9), "0a000001");
    EXPECT_EQ(line[1].data.params().K(72), 3);
    EXPECT_EQ(line[1].data.points[2].position, 500);
    EXPECT_EQ(line[2].data.modelCode, "KQ-F");
    EXPECT_EQ(line[2].node(), 1); // moved by --set-node

    ASSERT_TRUE(parse({"--node", "2=" + dir.filePath("missing.kqd")}, options, error));
    EXPECT_FALSE(options.BuildControllers(line, error));
    EXPECT_TRUE(error.contains("missing.kqd"));
}
