#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// One entry of the alarm text table ALM 189 of the resource library.
struct AlarmText {
    uint8_t code = 0;
    QString name;
    QString cause;
    QString remedy;
};

inline constexpr int kAlarmEntrySize = 547;

// 0: found, `out` filled; -1: the library holds no table; -2: no entry has `code` (an empty
// table included), the name of `out` is string 40007. The table is read from the library and
// scanned from its start on every call.
int LookupAlarmText(uint8_t code, AlarmText& out);
// The same over the table's bytes.
int LookupAlarmTextIn(const QByteArray& table, uint8_t code, AlarmText& out);
