#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

class CCommandChannel;

// One slot of a controller's alarm history.
struct AlarmRecord {
    uint8_t code = 0;     // F
    uint32_t time = 0;    // T, minutes
    int32_t position = 0; // P, scaled by 10^K72
    int32_t speed = 0;    // S, scaled by 100
    int8_t runStatus = 0; // M
    uint8_t runPoint = 0; // N
    int16_t current = 0;  // C, percent
    int16_t voltage = 0;  // V, scaled by 10
    uint16_t input = 0;   // I
    uint16_t output = 0;  // O
    QString name;         // from the alarm text table; empty when unknown

    bool operator==(const AlarmRecord&) const = default;
};

// Parses the text after the "=" of an alarm slot reply ("F8E,T1505,P12345,...").
void ParseAlarmRecord(QStringView text, AlarmRecord& record);

// "@?REC<slot>.<node>"; true when the query succeeded. An empty payload leaves the record as
// it was.
bool ReadAlarmRecord(CCommandChannel& channel, int node, int slot, AlarmRecord& record);
