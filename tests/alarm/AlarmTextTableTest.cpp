#include "alarm/AlarmTextTable.h"
#include "platform/ResourceLibrary.h"

#include <gtest/gtest.h>

namespace {

QByteArray entry(uint8_t code, const QByteArray& name) {
    QByteArray bytes(kAlarmEntrySize, '\0');
    bytes[0] = static_cast<char>(code);
    bytes.replace(1, name.size(), name);
    return bytes;
}

class ShippedAlarmTable : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResourceLibrary::LoadFile(LANGRES_PATH)); }
    void TearDown() override { ResourceLibrary::Unload(); }
};

TEST_F(ShippedAlarmTable, HoldsFortySevenEntries) {
    EXPECT_EQ(ResourceLibrary::LoadCustom("ALM", 189).size(), 25709);
}

TEST_F(ShippedAlarmTable, FindsFirstAndLastCodes) {
    AlarmText text;
    text.name = "stale";
    EXPECT_EQ(LookupAlarmText(0x00, text), 0);
    EXPECT_EQ(text.name, "");
    EXPECT_EQ(LookupAlarmText(0xF4, text), 0);
    EXPECT_EQ(text.code, 0xF4);
    EXPECT_EQ(text.name, "I/O ERROR");
    EXPECT_EQ(LookupAlarmText(0x94, text), 0);
    EXPECT_EQ(text.name, "MOTOR LINE DISCONNECTION");
    EXPECT_FALSE(text.cause.isEmpty());
    EXPECT_TRUE(text.remedy.isEmpty());
}

TEST_F(ShippedAlarmTable, UnknownCodeIsUndefinedError) {
    AlarmText text;
    EXPECT_EQ(LookupAlarmText(0x07, text), -2);
    EXPECT_EQ(text.name, "Undefined Error");
}

TEST(AlarmTable, MissingLibraryGivesMinusOneAndAnEmptyTableMinusTwo) {
    ResourceLibrary::Unload();
    AlarmText text;
    EXPECT_EQ(LookupAlarmText(0x01, text), -1);

    ASSERT_TRUE(ResourceLibrary::LoadFile(EMPTY_TABLE_LIBRARY));
    EXPECT_EQ(LookupAlarmText(0x00, text), -2);
    EXPECT_EQ(text.name, "Undefined Error");
    ResourceLibrary::Unload();
}

TEST(AlarmTable, FullLengthNameStopsAtTheField) {
    const QByteArray name(34, 'N');
    QByteArray table = entry(0x10, name);
    table[35] = 'C'; // cause field follows the name directly
    AlarmText text;
    ASSERT_EQ(LookupAlarmTextIn(table, 0x10, text), 0);
    EXPECT_EQ(text.name, QString(34, u'N'));
    EXPECT_EQ(text.cause, "C");
}

TEST(AlarmTable, FirstMatchWinsAndPartialEntryIsIgnored) {
    QByteArray table = entry(0x20, "FIRST") + entry(0x20, "SECOND");
    AlarmText text;
    ASSERT_EQ(LookupAlarmTextIn(table, 0x20, text), 0);
    EXPECT_EQ(text.name, "FIRST");
    table += entry(0x30, "CUT").left(100);
    EXPECT_EQ(LookupAlarmTextIn(table, 0x30, text), -2);
}

TEST(AlarmTable, NamesAreWindows1252) {
    AlarmText text;
    ASSERT_EQ(LookupAlarmTextIn(entry(0x01, "\x80 \xe9"), 0x01, text), 0);
    EXPECT_EQ(text.name, QString::fromUtf8("\u20ac \u00e9"));
}

} // namespace
