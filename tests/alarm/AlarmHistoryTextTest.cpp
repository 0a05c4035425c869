// The alarm history text: run status names, record lines and the file layout.
#include "alarm/AlarmHistoryText.h"
#include "data/ControllerData.h"
#include "platform/ResourceLibrary.h"

#include <gtest/gtest.h>

namespace {

// The resource library is loaded once for the whole run (main.cpp).
class AlarmHistoryTextTest : public ::testing::Test {};

AlarmRecord Record(uint8_t code, const QString& name) {
    AlarmRecord record;
    record.code = code;
    record.name = name;
    return record;
}

std::tm Moment(int year, int month, int day, int hour, int minute, int second) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    return when;
}

} // namespace

TEST_F(AlarmHistoryTextTest, RunStatusNamesEveryKnownValueAndNothingElse) {
    using AlarmHistoryText::RunStatusText;
    EXPECT_EQ(RunStatusText(0), "Hold");
    const char* types[] = {"ABS",      "INC",      "ABS Merge",     "INC Merge",
                           "ABS Push", "INC Push", "ABS Dec. Push", "INC Dec. Push"};
    for (int s = 1; s <= 8; ++s)
        EXPECT_EQ(RunStatusText(s), QStringLiteral("Running (%1)").arg(types[s - 1])) << s;
    EXPECT_EQ(RunStatusText(9), "Pulse train");
    // The byte 0xFF as the signed run status.
    EXPECT_EQ(RunStatusText(static_cast<int8_t>(0xFF)), "Origin Search in progress");
    for (int s : {10, -2, 127, -128})
        EXPECT_EQ(RunStatusText(s), "") << s;
}

TEST_F(AlarmHistoryTextTest, RecordLineScalesAndPadsEachField) {
    AlarmRecord record = Record(0x8E, "OVER CURRENT");
    record.time = 1505;
    record.position = 12345;
    record.speed = 5050;
    record.runStatus = 3;
    record.runPoint = 200;
    record.current = -35;
    record.voltage = 241;
    record.input = 10;
    record.output = 0xBEEF;
    EXPECT_EQ(AlarmHistoryText::FormatRecordLine(record, 2),
              "8E\tOVER CURRENT\t1:01:05\t123.45\t50.50\tRunning (ABS Merge)\t200\t-35\t24.1\t"
              "000a\tbeef\t\n");

    // A one-digit code is padded with a space; an unknown name stays an empty field.
    AlarmRecord small = Record(0x05, "");
    small.position = -7;
    small.runStatus = static_cast<int8_t>(0xFF);
    EXPECT_EQ(AlarmHistoryText::FormatRecordLine(small, 3),
              " 5\t\t0:00:00\t-0.007\t0.00\tOrigin Search in progress\t0\t0\t0.0\t0000\t0000\t\n");
}

TEST_F(AlarmHistoryTextTest, RecordLineSurvivesAnImplausiblePlaceCount) {
    AlarmRecord record = Record(0x41, "SERVO OFF");
    record.position = 1234;
    for (int32_t places : {-1, 300, 1000000}) {
        const QStringList fields = AlarmHistoryText::FormatRecordLine(record, places).split('\t');
        ASSERT_EQ(fields.size(), 12) << places;
        EXPECT_EQ(fields[3], "1234") << places;
    }
}

TEST_F(AlarmHistoryTextTest, ReadTimeUsesEnglishNamesAndFixedWidths) {
    const QString format = ResourceLibrary::LoadString(10139);
    ASSERT_EQ(format, "%b %d, %Y %H:%M:%S");
    EXPECT_EQ(AlarmHistoryText::FormatReadTime(Moment(2026, 3, 7, 9, 5, 4), format),
              "Mar 07, 2026 09:05:04");
    EXPECT_EQ(AlarmHistoryText::FormatReadTime(Moment(2025, 12, 31, 23, 59, 59), format),
              "Dec 31, 2025 23:59:59");
    // A library whose format asks for more than the reader keeps gives no time at all.
    EXPECT_EQ(AlarmHistoryText::FormatReadTime(Moment(2026, 1, 1, 0, 0, 0), QString(130, 'x')), "");
    EXPECT_EQ(AlarmHistoryText::FormatReadTime(Moment(2026, 1, 1, 0, 0, 0), ""), "");
}

TEST_F(AlarmHistoryTextTest, BuildPutsSixHeaderLinesBeforeTheRecordsInOrder) {
    ControllerData data;
    data.robotParams.resize(1);
    data.controllerName = "KQ-C";
    data.robotName = "LX50-200";
    data.interfaceInfo = "NPN";
    data.version = "V2.10";
    data.params().K(72) = 1;
    AlarmRecord first = Record(0xC1, "EMERGENCY STOP");
    first.position = 995;
    AlarmRecord second = Record(0x07, "");
    second.time = 1440;

    EXPECT_EQ(AlarmHistoryText::Build("Jan 02, 2026 03:04:05", data, {first, second}),
              "//Jan 02, 2026 03:04:05\n"
              "//CONT=KQ-C\n"
              "//ROBOT=LX50-200\n"
              "//IF=NPN\n"
              "//VER=V2.10\n"
              "//DBVER=\n"
              "C1\tEMERGENCY STOP\t0:00:00\t99.5\t0.00\tHold\t0\t0\t0.0\t0000\t0000\t\n"
              " 7\t\t1:00:00\t0.0\t0.00\tHold\t0\t0\t0.0\t0000\t0000\t\n");
    EXPECT_EQ(AlarmHistoryText::Build("", data, {}).count('\n'), 6);
}
