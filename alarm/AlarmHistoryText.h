#pragma once

#include "comm/AlarmRecord.h"

#include <QList>
#include <QString>

#include <ctime>

struct ControllerData;

// The text of an alarm history file, built from one node's identity and its alarm records.
// Lines end in a bare line feed here; the file writer turns each into CR LF. QtCore only.
namespace AlarmHistoryText {

// The most characters a read time may have; a longer result counts as not formattable.
inline constexpr int kMaxReadTimeLength = 127;

// Text of a record's run status: "Hold", "Running (ABS)" ... "Running (INC Dec. Push)",
// "Pulse train", "Origin Search in progress"; empty for any other value.
QString RunStatusText(int runStatus);

// `when` formatted with the strftime-style `format`, always with English month and day names
// whatever the user's locale; empty when the result would be empty or too long.
QString FormatReadTime(const std::tm& when, const QString& format);
// The local time now in the format of string 10139; empty when it cannot be converted.
QString CurrentReadTime();

// One record line: eleven fields, each followed by a TAB, then "\n". `places` is K72.
QString FormatRecordLine(const AlarmRecord& record, int32_t places);

// The six header lines ("//<readTime>", "//CONT=...", "//ROBOT=...", "//IF=...", "//VER=...",
// "//DBVER=...") followed by one line per record in the order given.
QString Build(const QString& readTime, const ControllerData& data,
              const QList<AlarmRecord>& records);

} // namespace AlarmHistoryText
