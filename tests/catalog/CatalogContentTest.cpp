#include "data/RobotCatalogInterface.h"

#include <gtest/gtest.h>

#include <QMap>
#include <QSet>

using namespace RobotCatalogInterface;

namespace {

const QStringList kModels = {"KQ-A", "KQ-A2", "KQ-B", "KQ-B2", "KQ-C", "KQ-E", "KQ-F"};

QList<ControllerName> controllers() {
    QList<ControllerName> list;
    EXPECT_TRUE(GetControllerList(list));
    return list;
}

QStringList robotsOf(int controllerIndex) {
    QString names;
    EXPECT_TRUE(GetRobotNames(controllerIndex, names));
    return SplitRobotNames(names);
}

int32_t overrideOf(const StrokeEntry& entry, int parameterNumber, int32_t otherwise) {
    for (int i = 0; i < entry.overrideCount; ++i) {
        if (entry.overrides[i].parameterNumber == parameterNumber)
            return entry.overrides[i].value;
    }
    return otherwise;
}

} // namespace

TEST(CatalogContent, SevenControllersWhoseCodesAreTheirNames) {
    const QList<ControllerName> list = controllers();
    ASSERT_EQ(list.size(), kModels.size());
    for (int i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].controllerName, kModels[i]);
        EXPECT_EQ(list[i].modelCode, kModels[i]);
        // Only the pulse-train models carry the "B" that the program tests for.
        EXPECT_EQ(list[i].modelCode.contains(QLatin1Char('B')),
                  kModels[i] == "KQ-B" || kModels[i] == "KQ-B2");
    }
}

TEST(CatalogContent, EveryControllerOffersSeveralModelsOfSeveralRobots) {
    for (int c = 0; c < kModels.size(); ++c) {
        SCOPED_TRACE(kModels[c].toStdString());
        QString raw;
        ASSERT_TRUE(GetRobotNames(c, raw));
        EXPECT_TRUE(raw.endsWith(QLatin1Char('\n')));
        const QStringList robots = SplitRobotNames(raw);
        EXPECT_EQ(QSet<QString>(robots.begin(), robots.end()).size(), robots.size());
        QMap<QString, int> robotsPerModel;
        for (const QString& robot : robots) {
            const qsizetype dash = robot.indexOf(QLatin1Char('-'));
            ASSERT_GT(dash, 0) << robot.toStdString();
            EXPECT_LT(dash, robot.size() - 1) << robot.toStdString();
            ++robotsPerModel[RobotModelOf(robot)];
        }
        EXPECT_GE(robotsPerModel.size(), 2);
        for (auto it = robotsPerModel.begin(); it != robotsPerModel.end(); ++it)
            EXPECT_GE(it.value(), 2) << it.key().toStdString();
    }
    QString untouched = "kept";
    EXPECT_FALSE(GetRobotNames(int(kModels.size()), untouched));
    EXPECT_FALSE(GetRobotNames(-1, untouched));
    EXPECT_EQ(untouched, "kept");
}

TEST(CatalogContent, StrokeTablesAscendWithSpeedFallingForLongStrokes) {
    for (int c = 0; c < kModels.size(); ++c) {
        for (const QString& robot : robotsOf(c)) {
            SCOPED_TRACE(robot.toStdString());
            StrokeTable table{};
            ASSERT_TRUE(GetStrokeData(robot, table));
            EXPECT_EQ(table.tableKind, RC_STROKE_TABLE_KIND);
            ASSERT_GE(table.entryCount, 3);
            int32_t previousSpeed = INT32_MAX;
            for (int i = 0; i < table.entryCount; ++i) {
                const StrokeEntry& entry = table.entries[i];
                if (i > 0) {
                    EXPECT_GT(entry.strokeLimit, table.entries[i - 1].strokeLimit);
                }
                ASSERT_GE(entry.overrideCount, 1);
                for (int o = 0; o < entry.overrideCount; ++o) {
                    EXPECT_GE(entry.overrides[o].parameterNumber, 1);
                    EXPECT_LE(entry.overrides[o].parameterNumber, 138);
                }
                const int32_t speed = overrideOf(entry, 44, -1);
                ASSERT_GT(speed, 0);
                EXPECT_LE(speed, previousSpeed);
                previousSpeed = speed;
            }
            EXPECT_LT(overrideOf(table.entries[table.entryCount - 1], 44, 0),
                      overrideOf(table.entries[0], 44, 0));
            ReleaseStrokeData(table);
            EXPECT_EQ(table.entryCount, 0);
        }
    }
}

TEST(CatalogContent, UnknownRobotGivesAnEmptyStrokeTable) {
    StrokeTable table{};
    ASSERT_TRUE(GetStrokeData("LX20-L06", table));
    EXPECT_FALSE(GetStrokeData("NOPE-1", table));
    EXPECT_EQ(table.entryCount, 0);
    EXPECT_FALSE(GetStrokeData(QString(), table));
    EXPECT_EQ(table.entryCount, 0);
}

TEST(CatalogContent, InitialParametersFitTheRobotAndItsStrokeTable) {
    for (int c = 0; c < kModels.size(); ++c) {
        for (const QString& robot : robotsOf(c)) {
            SCOPED_TRACE((kModels[c] + " " + robot).toStdString());
            RobotParameters params;
            params.reserved = 5;
            ASSERT_TRUE(GetInitParameter(kModels[c], robot, params));
            EXPECT_EQ(params.robotName, robot);
            EXPECT_EQ(params.reserved, 5);
            EXPECT_EQ(params.K(2), params.K(43));
            EXPECT_GE(params.K(38), 1);
            EXPECT_LE(params.K(38), 16);
            EXPECT_EQ(params.K(72), kModels[c] == "KQ-E" ? 3 : 2);
            EXPECT_GT(params.K(47), 0);
            EXPECT_LE(params.K(49), params.K(48));
            EXPECT_EQ(params.K(76), params.K(78));
            EXPECT_EQ(params.K(77), params.K(79));

            // The initial speed is the one the stroke table gives for the initial stroke.
            StrokeTable table{};
            ASSERT_TRUE(GetStrokeData(robot, table));
            ASSERT_GE(static_cast<uint32_t>(params.K(43)), table.entries[0].strokeLimit);
            int chosen = 0;
            for (int i = 0; i < table.entryCount; ++i) {
                if (table.entries[i].strokeLimit <= static_cast<uint32_t>(params.K(43)))
                    chosen = i;
            }
            EXPECT_EQ(params.K(44), overrideOf(table.entries[chosen], 44, -1));

            // The registered payload's acceleration is the motion library's answer.
            int32_t accel = -1;
            ASSERT_TRUE(DllAccCalc(params.K(76),
                                   {params.K(48), params.K(49), params.K(50), params.K(55),
                                    params.K(56), params.K(57), params.K(58)},
                                   accel));
            EXPECT_EQ(params.K(77), accel);
        }
    }
}

TEST(CatalogContent, PairsTheCatalogDoesNotOfferAreRefusedWithoutChange) {
    RobotParameters params;
    params.robotName = "before";
    params.values.fill(9);
    // A KQ-C robot on a KQ-A, an unknown controller, an unknown robot, a wrong case.
    EXPECT_FALSE(GetInitParameter("KQ-A", "BT60-B54", params));
    EXPECT_FALSE(GetInitParameter("KQ-Z", "LX20-L06", params));
    EXPECT_FALSE(GetInitParameter("KQ-A", "LX20-L99", params));
    EXPECT_FALSE(GetInitParameter("kq-a", "LX20-L06", params));
    EXPECT_FALSE(GetInitParameter("KQ-A", QString(), params));
    EXPECT_EQ(params.robotName, "before");
    for (int32_t value : params.values)
        EXPECT_EQ(value, 9);
}

TEST(CatalogContent, DatabaseVersion) {
    QString version;
    ASSERT_TRUE(GetDatabaseVersion(version));
    EXPECT_FALSE(version.isEmpty());
    EXPECT_FALSE(version.contains(QLatin1Char('\0')));
}

TEST(CatalogContent, SplittingNamesAndModels) {
    EXPECT_EQ(SplitRobotNames("A-100\nA-200\n\nB\n"), QStringList({"A-100", "A-200", "B"}));
    EXPECT_EQ(RobotModelOf("A-100-X"), "A");
    EXPECT_EQ(RobotModelOf("B"), "B");
    EXPECT_EQ(RobotModelOf("-1"), "");
}
