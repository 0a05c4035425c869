#include "data/ParamInfoTable.h"
#include "platform/ResourceLibrary.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<int> range(int from, int to) {
    std::set<int> out;
    for (int n = from; n <= to; ++n)
        out.insert(n);
    return out;
}

std::set<int> join(std::initializer_list<std::set<int>> parts) {
    std::set<int> out;
    for (const auto& part : parts)
        out.insert(part.begin(), part.end());
    return out;
}

int countRecords(const QByteArray& bytes) {
    int count = 0;
    for (const QByteArray& line : bytes.split('\n'))
        count += line.trimmed().isEmpty() ? 0 : 1;
    return count;
}

struct Expected {
    int which;
    int id;
    int records;
    std::set<int> missing;
    std::set<std::pair<int, int>> variants;
    std::map<char, std::set<int>> kinds;
};

class ShippedTables : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ResourceLibrary::Load(LANGRES_DIR));
        ASSERT_TRUE(LoadParamInfoTable(standard, 0));
        ASSERT_TRUE(LoadParamInfoTable(pulseTrain, 1));
    }
    void TearDown() override {
        FreeParamInfoTable(standard);
        FreeParamInfoTable(pulseTrain);
        ResourceLibrary::Unload();
    }
    ParamInfoTableSlot standard;
    ParamInfoTableSlot pulseTrain;
};

void checkTable(const ParamInfoTable& table, const Expected& e) {
    EXPECT_EQ(countRecords(ResourceLibrary::LoadCustom("TEXT", e.id)), e.records);
    std::set<std::pair<int, int>> variants;
    std::set<int> missing;
    std::set<int> minusOne;
    std::map<char, std::set<int>> kinds;
    int records = 0;
    for (int n = 1; n <= 146; ++n) {
        const ParamInfo& head = table.entries[n - 1];
        if (head.isEmpty()) {
            missing.insert(n);
            continue;
        }
        EXPECT_EQ(head.variant, 0) << n;
        for (const ParamInfo* p = &head; p != nullptr; p = p->nextVariant.get()) {
            ++records;
            SCOPED_TRACE(n);
            EXPECT_EQ(p->kind, head.kind);
            if (p->variant != 0)
                variants.insert({n, p->variant});
            if (p->decimals == -1)
                minusOne.insert(n);
            if (p->valueType == 1) {
                EXPECT_EQ(p->itemLabels.size(), p->maxValue);
                EXPECT_TRUE(p->itemValues.contains(p->defaultValue));
            } else if (p->valueType != 0) {
                EXPECT_LE(p->minValue, p->defaultValue);
                EXPECT_LE(p->defaultValue, p->maxValue);
            }
        }
        kinds[head.kind].insert(n);
    }
    EXPECT_EQ(records, e.records);
    EXPECT_EQ(missing, e.missing);
    EXPECT_EQ(variants, e.variants);
    EXPECT_EQ(minusOne, (std::set<int>{1, 2, 3, 7, 8, 11, 16, 54}));
    EXPECT_EQ(kinds, e.kinds);
}

TEST_F(ShippedTables, StandardTableFacts) {
    checkTable(*standard, {0,
                           191,
                           155,
                           join({{39}, range(83, 88), {93, 137}}),
                           {{66, 1},
                            {66, 2},
                            {66, 3},
                            {72, 1},
                            {74, 1},
                            {81, 4},
                            {81, 5},
                            {82, 4},
                            {82, 5},
                            {123, 6},
                            {123, 8},
                            {123, 10},
                            {124, 6},
                            {124, 8},
                            {124, 10},
                            {125, 6},
                            {125, 8},
                            {125, 10}},
                           {{'M', range(1, 20)},
                            {'I', range(21, 38)},
                            {'C', join({range(40, 79), range(89, 92), range(100, 136), {138}})},
                            {'O', join({range(80, 82), range(94, 99)})},
                            {'H', range(139, 146)}}});
}

TEST_F(ShippedTables, PulseTrainTableFacts) {
    checkTable(*pulseTrain,
               {1,
                195,
                147,
                {19, 39, 93, 137},
                {{81, 4}, {82, 4}, {123, 7}, {124, 7}, {125, 7}},
                {{'M', join({range(1, 18), {20}})},
                 {'I', range(21, 38)},
                 {'C', join({range(40, 79), {86}, range(89, 92), range(100, 136), {138}})},
                 {'O', join({range(80, 85), {87, 88}, range(94, 99)})},
                 {'H', range(139, 146)}}});
}

TEST_F(ShippedTables, ExampleRecordsAreVerbatim) {
    const QByteArray text = ResourceLibrary::LoadCustom("TEXT", 191);
    EXPECT_TRUE(text.contains("\r\nM|14|0|Origin dir.|Specifies the return-to-origin "
                              "direction.||0|7967|1|0|0||2|CCW|0|CW|1|\r\n"));
    EXPECT_TRUE(
        text.contains("\r\nC|72|1|Number of decimal places|||32768|7696|1|0|2||2|2|2|3|3|\r\n"));
}

TEST_F(ShippedTables, ListsTheDialogsUse) {
    const ParamInfo& node = ParamInfoFor(*standard, 38, 0);
    EXPECT_EQ(node.name, "Node (Controller)");
    ASSERT_EQ(node.itemLabels.size(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(node.itemLabels[i], QString::number(i + 1));
        EXPECT_EQ(node.itemValues[i], i + 1);
    }
    EXPECT_EQ(ParamInfoFor(*standard, 66, 2).itemLabels, QStringList{"Torque"});
    EXPECT_EQ(ParamInfoFor(*standard, 66, 7).itemLabels, (QStringList{"Torque", "Sensor", "Mark"}));
    EXPECT_EQ(ParamInfoFor(*standard, 72, 0).valueType, 2);
    EXPECT_EQ(ParamInfoFor(*standard, 72, 1).itemLabels, (QStringList{"2", "3"}));
    const ParamInfo& pulsePlaces = ParamInfoFor(*pulseTrain, 72, 1);
    EXPECT_EQ(pulsePlaces.variant, 0);
    EXPECT_EQ(pulsePlaces.itemLabels, (QStringList{"2", "3"}));
    EXPECT_EQ(ParamInfoFor(*pulseTrain, 83, 0).itemValues, (QList<int32_t>{0, 1, 2, 3, 5, 6, 7}));
    const ParamInfo& filter = ParamInfoFor(*pulseTrain, 87, 0);
    EXPECT_EQ(filter.itemLabels[filter.itemValues.indexOf(2)], "500kpps or less(LD standard)");
    EXPECT_EQ(filter.itemLabels[filter.itemValues.indexOf(4)], "100kpps or less(OC standard)");
    EXPECT_EQ(ParamInfoFor(*pulseTrain, 84, 0).defaultValue, 20480);
    EXPECT_EQ(ParamInfoFor(*standard, 20, 0).itemValues, (QList<int32_t>{0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(ParamInfoFor(*standard, 80, 0).itemLabels,
              (QStringList{"Disable", "Enable", "Enable(Gateway)"}));
    EXPECT_EQ(ParamInfoFor(*standard, 139, 0).number, 0);
    EXPECT_EQ(ParamInfoFor(*standard, 146, 0).number, 7);
    EXPECT_EQ(ParamInfoFor(*standard, 13, 0).description.count(QChar(0xB1)), 1);
}

TEST_F(ShippedTables, RestartAttributeOnLinkAndOriginSettings) {
    for (int n : {34, 35, 36, 37, 38, 15, 66, 71, 72, 74, 80, 81, 82})
        EXPECT_TRUE(ParamInfoFor(*standard, n, 0).attributes & kRestartAttribute) << n;
    for (int n : {1, 2, 14, 20, 44, 48})
        EXPECT_FALSE(ParamInfoFor(*standard, n, 0).attributes & kRestartAttribute) << n;
}

} // namespace
