#include "newdata/NewDataRules.h"
#include "app/VelmoraApp.h"
#include "data/DataStore.h"
#include "data/ParamInfoTable.h"
#include "data/RobotCatalogInterface.h"

#include <gtest/gtest.h>

using namespace NewDataRules;

namespace {

const ParamInfoTable& StandardTable() {
    return *CVelmoraApp::instance()->paramTables[0];
}

ControllerData FreshRecord() {
    ControllerData data;
    data.robotParams.resize(1);
    data.points.resize(kPointCount);
    return data;
}

// Three entries from 100, 200 and 400 mm, each overriding K44 with its own value.
StrokeTable ThreeBandTable() {
    StrokeTable table = RobotCatalogInterface::EmptyStrokeTable();
    const uint32_t limits[] = {100000, 200000, 400000};
    for (int i = 0; i < 3; ++i) {
        table.entries[i].entryId = static_cast<uint16_t>(i + 1);
        table.entries[i].strokeLimit = limits[i];
        table.entries[i].overrideCount = 2;
        table.entries[i].overrides[0] = {44, 1000 * (i + 1)};
        table.entries[i].overrides[1] = {48, 10 * (i + 1)};
    }
    table.entryCount = 3;
    return table;
}

} // namespace

TEST(SummaryRows, StandardModelsSkipThePulseRowsAndIoType) {
    const auto rows = RowsOfSettings(false);
    const std::array<int, kSettingCount> expected = {0,  1, 2, 3, 4, -1, -1, -1, -1,
                                                     -1, 5, 6, 7, 8, 9,  10, 11};
    EXPECT_EQ(rows, expected);
}

TEST(SummaryRows, PulseTrainModelsShowPulseAndOriginRowsOnly) {
    const auto rows = RowsOfSettings(true);
    const std::array<int, kSettingCount> expected = {0, 1,  2,  3, -1, -1, 4,  5, 6,
                                                     7, -1, -1, 8, 9,  -1, -1, -1};
    EXPECT_EQ(rows, expected);
    EXPECT_FALSE(SettingHasRow(kSettingIoType, true));
    EXPECT_FALSE(SettingHasRow(kSettingIoType, false));
    EXPECT_FALSE(SettingHasRow(kSettingCount, false));
}

TEST(SummaryRows, JogOnlyGoesBeforeTheUnit) {
    EXPECT_EQ(InsertBeforeUnit("Payload [kg]", "(JOG only)"), "Payload (JOG only)[kg]");
    EXPECT_EQ(InsertBeforeUnit("kg", "x"), "xkg");
}

TEST(ScaleByDecimalPlaces, LengthsFollowTheControllersPlaces) {
    ControllerData data = FreshRecord();
    RobotParameters& p = data.params();
    p.K(2) = 50000;  // 50 mm in thousandths
    p.K(1) = -1234;  // -1.234 mm
    p.K(54) = 1500;  // near width 1.5 mm
    p.K(43) = 50000; // the stroke is no length of this kind
    p.K(44) = 25000;

    ControllerData three = data;
    EXPECT_TRUE(ScaleByDecimalPlaces(StandardTable(), three, 3));
    EXPECT_EQ(three.params().K(2), 50000);
    EXPECT_EQ(three.params().K(1), -1234);

    EXPECT_TRUE(ScaleByDecimalPlaces(StandardTable(), data, 2));
    EXPECT_EQ(p.K(2), 5000);
    EXPECT_EQ(p.K(1), -123);
    EXPECT_EQ(p.K(54), 150);
    EXPECT_EQ(p.K(43), 50000);
    EXPECT_EQ(p.K(44), 25000);
}

TEST(ScaleByDecimalPlaces, AVariantEntryDefersToItsVariantZero) {
    auto table = std::make_unique<ParamInfoTable>();
    // K5 heads with variant 1 (no own place rule) but its variant 0 counts in K72.
    ParamInfo& k5 = table->entries[4];
    k5.kind = 'C';
    k5.number = 5;
    k5.variant = 1;
    k5.decimals = 0;
    k5.nextVariant = std::make_unique<ParamInfo>();
    k5.nextVariant->kind = 'C';
    k5.nextVariant->number = 5;
    k5.nextVariant->variant = 0;
    k5.nextVariant->decimals = -1;
    // K6 heads with variant 2 and has no variant 0: its own rule counts.
    ParamInfo& k6 = table->entries[5];
    k6.kind = 'C';
    k6.number = 6;
    k6.variant = 2;
    k6.decimals = -1;
    // K7 heads with variant 0 without the rule, though a later variant has it.
    ParamInfo& k7 = table->entries[6];
    k7.kind = 'C';
    k7.number = 7;
    k7.decimals = 0;
    k7.nextVariant = std::make_unique<ParamInfo>();
    k7.nextVariant->variant = 1;
    k7.nextVariant->decimals = -1;

    ControllerData data = FreshRecord();
    data.params().K(5) = 7000;
    data.params().K(6) = 7000;
    data.params().K(7) = 7000;
    ScaleByDecimalPlaces(*table, data, 1);
    EXPECT_EQ(data.params().K(5), 70);
    EXPECT_EQ(data.params().K(6), 70);
    EXPECT_EQ(data.params().K(7), 7000);
}

TEST(ScaleByDecimalPlaces, AbsurdPlacesDoNotWrapAround) {
    ControllerData data = FreshRecord();
    data.params().K(2) = 2000000000;
    ScaleByDecimalPlaces(StandardTable(), data, 9);
    EXPECT_EQ(data.params().K(2), std::numeric_limits<int32_t>::max());
}

TEST(StrokeTable, TheLastEntryReachedIsChosen) {
    const StrokeTable table = ThreeBandTable();
    EXPECT_EQ(ChooseStrokeEntry(table, 50000), 0); // below every limit: the first
    EXPECT_EQ(ChooseStrokeEntry(table, 100000), 0);
    EXPECT_EQ(ChooseStrokeEntry(table, 199999), 0);
    EXPECT_EQ(ChooseStrokeEntry(table, 200000), 1);
    EXPECT_EQ(ChooseStrokeEntry(table, 250000), 1);
    EXPECT_EQ(ChooseStrokeEntry(table, 500000), 2);
    EXPECT_EQ(ChooseStrokeEntry(RobotCatalogInterface::EmptyStrokeTable(), 500000), -1);
}

TEST(StrokeTable, OverridesOfTheChosenEntryAreWritten) {
    const StrokeTable table = ThreeBandTable();
    RobotParameters p;
    for (const auto& [stroke, k44, k48] :
         {std::tuple{50000u, 1000, 10}, {250000u, 2000, 20}, {500000u, 3000, 30}}) {
        p.K(44) = -1;
        p.K(48) = -1;
        EXPECT_TRUE(ApplyStrokeOverrides(table, stroke, p));
        EXPECT_EQ(p.K(44), k44) << stroke;
        EXPECT_EQ(p.K(48), k48) << stroke;
    }
    p.K(44) = 77;
    EXPECT_FALSE(ApplyStrokeOverrides(RobotCatalogInterface::EmptyStrokeTable(), 50000, p));
    EXPECT_EQ(p.K(44), 77);
}

TEST(StrokeTable, OverridesOutsideTheKParametersAreSkipped) {
    StrokeTable table = ThreeBandTable();
    table.entries[0].overrideCount = 3;
    table.entries[0].overrides[0] = {0, 5};
    table.entries[0].overrides[1] = {139, 5};
    table.entries[0].overrides[2] = {138, 5};
    RobotParameters p;
    p.values.fill(0);
    ApplyStrokeOverrides(table, 0, p);
    EXPECT_EQ(p.K(138), 5);
    EXPECT_EQ(p.H(0), 0);
    EXPECT_EQ(std::count(p.values.begin(), p.values.end(), 5), 1);
}

TEST(StrokeText, ReadAsThousandths) {
    EXPECT_EQ(StrokeTextToThousandths("250.000", '.'), 250000u);
    EXPECT_EQ(StrokeTextToThousandths("100.001", '.'), 100001u);
    EXPECT_EQ(StrokeTextToThousandths("12,5", ','), 12500u);
    EXPECT_EQ(StrokeTextToThousandths("-3.000", '.'), 0u);
    EXPECT_EQ(StrokeTextToThousandths("", '.'), 0u);
    EXPECT_EQ(StrokeTextDigits("150.000", '.'), 150000);
    EXPECT_EQ(StrokeTextDigits("9999,999", ','), 9999999);
}

TEST(PointTypeRules, AccelerationOptimisationIsBitOne) {
    EXPECT_EQ(PointTypeK71(false), 2);
    EXPECT_EQ(PointTypeK71(true), 1);
    EXPECT_EQ(WithAccelOptimization(2, false), 0);
    EXPECT_EQ(WithAccelOptimization(1, true), 3);
    EXPECT_EQ(WithAccelOptimization(3, false), 1);
    EXPECT_EQ(WithAccelOptimization(0, true), 2);
}

TEST(OriginMethod, VariantByModel) {
    EXPECT_EQ(OriginMethodVariant("KQ-E", 0), 1);
    EXPECT_EQ(OriginMethodVariant("KQ-E", 1), 2);
    EXPECT_EQ(OriginMethodVariant("KQ-A2", 1), 1);
    EXPECT_EQ(OriginMethodVariant("KQ-F", 0), 1);
    EXPECT_EQ(OriginMethodVariant("KQ-A", 0), 3);
    EXPECT_EQ(OriginMethodVariant("KQ-B", 0), 3);
    EXPECT_EQ(OriginMethodVariant("KQ-B2", 0), 3);
    EXPECT_EQ(OriginMethodVariant("KQ-C", 1), 0);
}

TEST(PulseInput, CodeAndFilter) {
    for (int input = 0; input < 2; ++input)
        EXPECT_EQ(PulseInputCode(input, 0), 0);
    EXPECT_EQ(PulseInputCode(0, 1), 1);
    EXPECT_EQ(PulseInputCode(0, 3), 3);
    EXPECT_EQ(PulseInputCode(1, 1), 5);
    EXPECT_EQ(PulseInputCode(1, 2), 6);
    EXPECT_EQ(PulseInputCode(1, 3), 7);
    EXPECT_EQ(PulseInputFilter(1), 2);
    EXPECT_EQ(PulseInputFilter(0), 4);
}

TEST(PulseInput, ItemsByLanguage) {
    EXPECT_EQ(PulseInputTypeItems(1), QStringList({"Open collector", "Line driver"}));
    EXPECT_EQ(PulseSignalTypeItems(1).at(2), "Pulse train/code input");
    EXPECT_EQ(PulseInputTypeItems(0).at(1), QStringLiteral("ラインドライバ"));
    EXPECT_EQ(PulseSignalTypeItems(0).size(), 4);
    EXPECT_EQ(PulseSignalTypeItems(2), PulseSignalTypeItems(1));
}

TEST(RobotNames, ModelsAndRobotsOfAModel) {
    const QStringList names = {"A-100", "A-200", "B"};
    EXPECT_EQ(ModelsOfRobotNames(names), QStringList({"A", "B"}));
    EXPECT_EQ(RobotsOfModel(names, "A"), QStringList({"A-100", "A-200"}));
    EXPECT_EQ(RobotsOfModel(names, "B"), QStringList({"B"}));
    EXPECT_EQ(RobotsOfModel({"A-100", "A-100", "AB-1"}, "A"), QStringList({"A-100"}));
}

TEST(CatalogRobot, AppliesNamesParametersAndVersion) {
    CDataStore store;
    ControllerData data = FreshRecord();
    data.params().values.fill(-7);
    EXPECT_TRUE(ApplyCatalogRobot(store, data, "KQ-A", "LX20-L06"));
    EXPECT_EQ(data.controllerName, "KQ-A");
    EXPECT_EQ(data.robotName, "LX20-L06");
    EXPECT_EQ(data.interfaceInfo, "----");
    EXPECT_EQ(data.params().K(47), 8);
    EXPECT_EQ(data.params().K(46), 600);
    EXPECT_EQ(data.dbVersion, "2.14");
}

TEST(CatalogRobot, ARefusedPairKeepsTheParameters) {
    CDataStore store;
    ControllerData data = FreshRecord();
    data.params().values.fill(-7);
    data.dbVersion = "old";
    EXPECT_FALSE(ApplyCatalogRobot(store, data, "KQ-A", "PX15-L03"));
    EXPECT_EQ(data.controllerName, "KQ-A");
    EXPECT_EQ(data.robotName, "PX15-L03");
    EXPECT_EQ(data.interfaceInfo, "----");
    EXPECT_EQ(data.params().K(47), -7);
    EXPECT_EQ(data.dbVersion, "old");
}
