#include "data/ParamInfoTable.h"
#include "data/RobotCatalogInterface.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cmath>

using namespace RobotCatalogInterface;

namespace {

// The shipped parameter tables, straight from the source tree.
ParamInfoTableSlot loadTable(int id) {
    QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/resources/TEXT/%1").arg(id));
    ParamInfoTableSlot slot;
    if (file.open(QIODevice::ReadOnly))
        LoadParamInfoTableFromBytes(slot, file.readAll());
    return slot;
}

// Lengths come in thousandths of a millimetre; the controller holds them with K72 places.
int64_t inControllerUnits(const ParamInfo& info, int32_t value, int32_t decimalPlaces) {
    if (info.decimals != -1)
        return value;
    return std::llround(value / std::pow(10.0, 3 - decimalPlaces));
}

// Empty when `value` suits parameter `number` (1..146), else what is wrong with it.
std::string problemWith(const ParamInfo& info, int number, int64_t value) {
    const std::string where = "entry " + std::to_string(number) + " (" + info.name.toStdString() +
                              ") = " + std::to_string(value);
    if (info.isEmpty() || info.valueType == 0)
        return value == 0 ? std::string() : where + ": no parameter, expected 0";
    if (info.valueType == 1) {
        return info.itemValues.contains(value) ? std::string() : where + ": not a list value";
    }
    if (value < info.minValue || value > info.maxValue)
        return where + ": outside " + std::to_string(info.minValue) + ".." +
               std::to_string(info.maxValue);
    return {};
}

const ParamInfo& baseEntry(const ParamInfoTable& table, int number) {
    const ParamInfo& head = table.entries[number - 1];
    const ParamInfo* base = FindVariant(&head, 0);
    return base != nullptr ? *base : head;
}

// The "ORG method" descriptions offered per model.
int originVariantFor(const QString& model, int32_t semiAbs) {
    if (model == "KQ-E")
        return semiAbs != 0 ? 2 : 1;
    if (model == "KQ-A2" || model == "KQ-F")
        return 1;
    if (model == "KQ-C")
        return 0;
    return 3;
}

class InitialParameterRanges : public ::testing::Test {
protected:
    void SetUp() override {
        standard = loadTable(191);
        pulseTrain = loadTable(195);
        // The tables are part of the source tree: a missing one is a fault, not a skip.
        ASSERT_TRUE(standard) << "parameter table 191 did not load";
        ASSERT_TRUE(pulseTrain) << "parameter table 195 did not load";
    }

    const ParamInfoTable& tableFor(const ControllerName& controller) const {
        return controller.modelCode.contains(QLatin1Char('B')) ? *pulseTrain : *standard;
    }

    ParamInfoTableSlot standard;
    ParamInfoTableSlot pulseTrain;
};

} // namespace

TEST_F(InitialParameterRanges, EveryInitialValueOfEveryPairFitsItsTable) {
    QList<ControllerName> controllers;
    ASSERT_TRUE(GetControllerList(controllers));
    std::vector<std::string> problems;
    int pairs = 0;
    for (int c = 0; c < controllers.size(); ++c) {
        const ParamInfoTable& table = tableFor(controllers[c]);
        QString names;
        ASSERT_TRUE(GetRobotNames(c, names));
        for (const QString& robot : SplitRobotNames(names)) {
            RobotParameters params;
            ASSERT_TRUE(GetInitParameter(controllers[c].controllerName, robot, params));
            ++pairs;
            const std::string pair = (controllers[c].controllerName + " " + robot).toStdString();
            for (int n = 1; n <= kParamCount; ++n) {
                const ParamInfo& info = baseEntry(table, n);
                const int64_t value = inControllerUnits(info, params.values[n - 1], params.K(72));
                const std::string problem = problemWith(info, n, value);
                if (!problem.empty())
                    problems.push_back(pair + ": " + problem);
            }
            const ParamInfo& origin =
                ParamInfoFor(table, 66, originVariantFor(controllers[c].modelCode, params.K(67)));
            const std::string problem = problemWith(origin, 66, params.K(66));
            if (!problem.empty())
                problems.push_back(pair + ": model's origin method: " + problem);
        }
    }
    EXPECT_GT(pairs, 40);
    for (const std::string& problem : problems)
        ADD_FAILURE() << problem;
}

TEST_F(InitialParameterRanges, StrokeOverridesAndPayloadAccelerationsFitTheirTables) {
    QList<ControllerName> controllers;
    ASSERT_TRUE(GetControllerList(controllers));
    for (int c = 0; c < controllers.size(); ++c) {
        const ParamInfoTable& table = tableFor(controllers[c]);
        QString names;
        ASSERT_TRUE(GetRobotNames(c, names));
        for (const QString& robot : SplitRobotNames(names)) {
            SCOPED_TRACE((controllers[c].controllerName + " " + robot).toStdString());
            RobotParameters params;
            ASSERT_TRUE(GetInitParameter(controllers[c].controllerName, robot, params));
            StrokeTable strokes{};
            ASSERT_TRUE(GetStrokeData(robot, strokes));
            for (int e = 0; e < strokes.entryCount; ++e) {
                const StrokeEntry& entry = strokes.entries[e];
                EXPECT_EQ(problemWith(baseEntry(table, 43), 43, entry.strokeLimit), "");
                for (int o = 0; o < entry.overrideCount; ++o) {
                    const int n = entry.overrides[o].parameterNumber;
                    const ParamInfo& info = baseEntry(table, n);
                    EXPECT_EQ(problemWith(
                                  info, n,
                                  inControllerUnits(info, entry.overrides[o].value, params.K(72))),
                              "");
                }
            }
            // Every payload the page accepts gives an acceleration the controller takes.
            for (int32_t payload = 0; payload <= params.K(47); ++payload) {
                int32_t accel = 0;
                ASSERT_TRUE(DllAccCalc(payload,
                                       {params.K(48), params.K(49), params.K(50), params.K(55),
                                        params.K(56), params.K(57), params.K(58)},
                                       accel));
                EXPECT_EQ(problemWith(baseEntry(table, 77), 77, accel), "");
                EXPECT_EQ(problemWith(baseEntry(table, 76), 76, payload), "");
            }
        }
    }
}
