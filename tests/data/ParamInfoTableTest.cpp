#include "data/ParamInfoTable.h"

#include "platform/ResourceLibrary.h"

#include <gtest/gtest.h>

namespace {

// A table of our own: lists, variant chains, H entries and malformed records.
const QByteArray kTable =
    "M|14|0|Origin dir.|Specifies the return-to-origin direction.||0|7967|1|0|0||2|CCW|0|CW|1|\r\n"
    "I|38|0|Node (Controller)|||4|7696|1|0|1||16|1|1|2|2|3|3|4|4|5|5|6|6|7|7|8|8|9|9|10|10|11|11|"
    "12|12|13|13|14|14|15|15|16|16|\r\n"
    "\r\n"
    "C|66|0|ORG method|||32768|7696|1|0|0||3|Torque|0|Sensor|1|Mark|2|\r\n"
    "C|66|1|ORG method|||32768|7696|1|0|0||2|Torque|0|Sensor|1|\r\n"
    "C|66|2|ORG method|||32768|7696|1|0|0||1|Torque|0|\r\n"
    "C|66|3|ORG method|||32768|7696|1|0|0||1|Torque|0|\r\n"
    "C|72|0|Number of decimal places|||32768|7696|2|0|2|1|3|\r\n"
    "C|72|1|Number of decimal places|||32768|7696|1|0|2||2|2|2|3|3|\r\n"
    "M|1|0|(-) soft limit|Line one_crlf_line "
    "two|mm|32768|7967|3|-1|-0050000|-99999999999|0050000|\r\n"
    "O|80|0|Short list|||4|0|1|0|0||5|Disable|0|Enable|\r\n"
    "O|81|0|Huge list|||0|0|1|0|0||2000000000|a|1|b|2|\r\n"
    "C|90|0|Integer with items|||0|0|2|0|0|0|9|x|1|\r\n"
    "H|139|0|H zero|||0|0|2|0|100|0|1000|\r\n"
    "H|139|1|H zero variant|||0|0|2|0|5|0|10|\r\n"
    "H|146|0|H seven|||0|0|2|0|0|0|1|\r\n"
    "X|0|0|Zero|||0|0|2|0|0|0|0|\r\n"
    "X|147|0|Too far|||0|0|2|0|0|0|0|\r\n"
    "X|abc|0|Not a number|\r\n"
    "C|92|0|Unterminated|||0|0|2|0|7|1|9";

class ParamTable : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadParamInfoTableFromBytes(slot, kTable)); }
    void TearDown() override { FreeParamInfoTable(slot); }

    const ParamInfo& entry(int number) const { return slot->entries[number - 1]; }

    ParamInfoTableSlot slot;
};

} // namespace

TEST_F(ParamTable, ListRecordsGiveTheirItems) {
    const ParamInfo& k14 = entry(14);
    EXPECT_EQ(k14.kind, 'M');
    EXPECT_EQ(k14.number, 14);
    EXPECT_EQ(k14.name, QStringLiteral("Origin dir."));
    EXPECT_EQ(k14.attributes, 0);
    EXPECT_EQ(k14.accessMask, 7967);
    EXPECT_EQ(k14.valueType, 1);
    EXPECT_EQ(k14.maxValue, 2);
    EXPECT_EQ(k14.itemLabels, (QStringList{"CCW", "CW"}));
    EXPECT_EQ(k14.itemValues, (QList<int32_t>{0, 1}));

    const ParamInfo& k38 = entry(38);
    ASSERT_EQ(k38.itemLabels.size(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(k38.itemLabels[i], QString::number(i + 1));
        EXPECT_EQ(k38.itemValues[i], i + 1);
    }
    EXPECT_TRUE(k38.attributes & kRestartAttribute);
}

TEST_F(ParamTable, NumbersAndScaledFields) {
    const ParamInfo& k1 = entry(1);
    EXPECT_EQ(k1.decimals, -1);
    EXPECT_EQ(k1.unit, QStringLiteral("mm"));
    EXPECT_EQ(k1.description, QStringLiteral("Line one_crlf_line two"));
    EXPECT_EQ(k1.defaultValue, -50000);
    EXPECT_EQ(k1.minValue, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(k1.maxValue, 50000);
    EXPECT_TRUE(k1.itemLabels.isEmpty());
    // Item fields on a record that is not a list are ignored.
    EXPECT_TRUE(entry(90).itemLabels.isEmpty());
    EXPECT_EQ(entry(90).maxValue, 9);
    // The last record needs no line end and its last field no terminator.
    EXPECT_EQ(entry(92).maxValue, 9);
    EXPECT_EQ(entry(92).defaultValue, 7);
}

TEST_F(ParamTable, ShortListsKeepTheAnnouncedCountButOnlyThePresentItems) {
    const ParamInfo& k80 = entry(80);
    EXPECT_EQ(k80.maxValue, 5);
    EXPECT_EQ(k80.itemLabels, (QStringList{"Disable", "Enable"}));
    EXPECT_EQ(k80.itemValues, (QList<int32_t>{0, 0}));

    const ParamInfo& k81 = entry(81);
    EXPECT_EQ(k81.maxValue, 2000000000);
    EXPECT_EQ(k81.itemLabels, (QStringList{"a", "b"}));
    EXPECT_EQ(k81.itemValues, (QList<int32_t>{1, 2}));
}

TEST_F(ParamTable, HEntriesAndNumbersOutsideTheTable) {
    EXPECT_EQ(entry(139).kind, 'H');
    EXPECT_EQ(entry(139).number, 0);
    EXPECT_EQ(entry(139).name, QStringLiteral("H zero"));
    EXPECT_EQ(entry(146).number, 7);
    // A second record for H0 chains behind the head instead of replacing it.
    const ParamInfo* variant = FindVariant(&entry(139), 1);
    ASSERT_NE(variant, nullptr);
    EXPECT_EQ(variant->name, QStringLiteral("H zero variant"));
    EXPECT_EQ(variant->number, 0);

    EXPECT_TRUE(entry(39).isEmpty());
    EXPECT_EQ(entry(39).number, 0);
    EXPECT_EQ(entry(39).valueType, 0);
    for (const ParamInfo& e : slot->entries)
        EXPECT_NE(e.name, QStringLiteral("Too far"));
}

TEST_F(ParamTable, VariantLookupFallsBackToTheHead) {
    EXPECT_EQ(ParamInfoFor(*slot, 66, 2).itemLabels, QStringList{"Torque"});
    EXPECT_EQ(ParamInfoFor(*slot, 66, 2).variant, 2);
    const ParamInfo& fallback = ParamInfoFor(*slot, 66, 7);
    EXPECT_EQ(&fallback, &entry(66));
    EXPECT_EQ(fallback.itemLabels, (QStringList{"Torque", "Sensor", "Mark"}));
    EXPECT_EQ(ParamInfoFor(*slot, 72, 1).itemLabels, (QStringList{"2", "3"}));
    EXPECT_EQ(ParamInfoFor(*slot, 72, 0).valueType, 2);
    EXPECT_TRUE(ParamInfoFor(*slot, 39, 0).isEmpty());
    EXPECT_TRUE(ParamInfoFor(*slot, 0, 0).isEmpty());
    EXPECT_TRUE(ParamInfoFor(*slot, 147, 0).isEmpty());

    EXPECT_EQ(FindVariant(&entry(66), 3)->variant, 3);
    EXPECT_EQ(FindVariant(&entry(66), 4), nullptr);
    EXPECT_EQ(FindVariant(FindVariant(&entry(66), 2), 1), nullptr); // searches onwards only
    EXPECT_EQ(FindVariant(nullptr, 0), nullptr);
}

TEST_F(ParamTable, SecondLoadIsRefusedAndFreeEmptiesTheSlot) {
    const ParamInfoTable* first = slot.get();
    EXPECT_FALSE(LoadParamInfoTableFromBytes(slot, "M|14|0|Other|||0|0|2|0|0|0|1|\r\n"));
    EXPECT_EQ(slot.get(), first);
    EXPECT_EQ(entry(14).name, QStringLiteral("Origin dir."));
    FreeParamInfoTable(slot);
    EXPECT_FALSE(slot);
    FreeParamInfoTable(slot);
    EXPECT_FALSE(slot);
}

TEST(ParamTableText, EmptyTextBareLineFeedsAndLongChains) {
    ParamInfoTableSlot slot;
    EXPECT_FALSE(LoadParamInfoTableFromBytes(slot, QByteArray()));
    EXPECT_FALSE(slot);

    ASSERT_TRUE(LoadParamInfoTableFromBytes(slot, "M|2|0|Two|\nM|3|0|Thr\xe9\x80|\n"));
    EXPECT_EQ(slot->entries[1].name, QStringLiteral("Two"));
    EXPECT_EQ(slot->entries[2].name, QStringLiteral("Thr\u00e9\u20ac"));
    FreeParamInfoTable(slot);

    // Hundreds of thousands of variants of one number: built and freed without recursion.
    QByteArray many;
    for (int i = 0; i < 300000; ++i)
        many += "C|5|" + QByteArray::number(i) + "|v|\r\n";
    ASSERT_TRUE(LoadParamInfoTableFromBytes(slot, many));
    EXPECT_EQ(ParamInfoFor(*slot, 5, 299999).variant, 299999);
    FreeParamInfoTable(slot);
}

TEST(ParamTableResource, LoadsFromTheResourceLibrary) {
    ParamInfoTableSlot slot;
    ResourceLibrary::Unload();
    EXPECT_FALSE(LoadParamInfoTable(slot, 0));
    EXPECT_FALSE(slot);

    ASSERT_TRUE(ResourceLibrary::LoadFile(QStringLiteral(TEST_TABLES_RCC)));
    EXPECT_FALSE(LoadParamInfoTable(slot, 1)); // this library holds no TEXT 195
    EXPECT_FALSE(LoadParamInfoTable(slot, 2));
    EXPECT_FALSE(slot);
    ASSERT_TRUE(LoadParamInfoTable(slot, 0));
    EXPECT_EQ(slot->entries[13].itemLabels, (QStringList{"CCW", "CW"}));
    EXPECT_EQ(ParamInfoFor(*slot, 72, 1).itemValues, (QList<int32_t>{2, 3}));
    EXPECT_FALSE(LoadParamInfoTable(slot, 0));
    ResourceLibrary::Unload();
}
