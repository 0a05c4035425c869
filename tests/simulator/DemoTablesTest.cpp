#include "data/ParamInfoTable.h"
#include "data/RobotCatalogInterface.h"
#include "simulator/DemoControllers.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

ParamInfoTableSlot loadTable(const char* name) {
    ParamInfoTableSlot slot;
    QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/resources/TEXT/") + QLatin1String(name));
    if (file.open(QIODevice::ReadOnly))
        LoadParamInfoTableFromBytes(slot, file.readAll());
    return slot;
}

} // namespace

// Every demo value is one the controller's parameter table accepts.
TEST(DemoControllers, ValuesLieInsideTheParameterTables) {
    const ParamInfoTableSlot standard = loadTable("191");
    const ParamInfoTableSlot pulseTrain = loadTable("195");
    // The tables are part of the source tree: a missing one is a fault, not a skip.
    ASSERT_TRUE(standard) << "parameter table 191 did not load";
    ASSERT_TRUE(pulseTrain) << "parameter table 195 did not load";
    const QStringList models = {"KQ-A", "KQ-A2", "KQ-B", "KQ-B2", "KQ-C", "KQ-E", "KQ-F"};
    for (const QString& model : models) {
        const SimController controller = MakeDemoController(4, model);
        const ParamInfoTable& table = controller.data.isPulseTrainModel() ? *pulseTrain : *standard;
        for (int i = 1; i <= kParamCount; ++i) {
            const ParamInfo& info = ParamInfoFor(table, i, 0);
            const int32_t value = controller.data.params().values[i - 1];
            if (info.isEmpty()) {
                EXPECT_EQ(value, 0) << qPrintable(model) << " #" << i;
                continue;
            }
            if (info.valueType == 1)
                EXPECT_TRUE(info.itemValues.contains(value))
                    << qPrintable(model) << " #" << i << " " << qPrintable(info.name) << " = "
                    << value;
            else
                EXPECT_TRUE(value >= info.minValue && value <= info.maxValue)
                    << qPrintable(model) << " #" << i << " " << qPrintable(info.name) << " = "
                    << value << " not in " << info.minValue << ".." << info.maxValue;
        }
    }
}

// Each demo controller holds a robot the catalog offers for it, under the very name the
// catalog's initial data carries, so new data for it matches the controller's robot.
TEST(DemoControllers, HoldRobotsTheCatalogKnows) {
    QList<RobotCatalogInterface::ControllerName> catalog;
    ASSERT_TRUE(RobotCatalogInterface::GetControllerList(catalog));
    for (const SimController& controller : MakeDemoControllers(7)) {
        const QString& name = controller.data.controllerName;
        qsizetype index = 0;
        while (index < catalog.size() && catalog[index].controllerName != name)
            ++index;
        ASSERT_LT(index, catalog.size()) << qPrintable(name);
        QString robots;
        ASSERT_TRUE(RobotCatalogInterface::GetRobotNames(static_cast<int>(index), robots));
        EXPECT_TRUE(
            RobotCatalogInterface::SplitRobotNames(robots).contains(controller.data.robotName))
            << qPrintable(name) << " " << qPrintable(controller.data.robotName);
        RobotParameters fresh;
        ASSERT_TRUE(
            RobotCatalogInterface::GetInitParameter(name, controller.data.robotName, fresh));
        EXPECT_EQ(fresh.robotName, controller.data.robotName);
    }
}
