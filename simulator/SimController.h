#pragma once

#include "data/ControllerData.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// One entry of a controller's alarm history, as the controller reports it.
struct SimAlarm {
    uint8_t code = 0;
    uint32_t time = 0; // minutes
    int32_t position = 0;
    int32_t speed = 0;
    int8_t runStatus = 0;
    uint8_t runPoint = 0;
    int16_t current = 0;
    int16_t voltage = 0;
    uint16_t input = 0;
    uint16_t output = 0;

    bool operator==(const SimAlarm&) const = default;
};

inline constexpr int kAlarmSlots = 50;
inline constexpr int kTextItems = 9; // COMR/COMW 1..9

// K37, the reply line delimiter: 0 "CR", 1 "CR LF".
inline constexpr int kDelimiterParam = 37;
inline constexpr int32_t kDelimiterCr = 0;
inline constexpr int32_t kDelimiterCrLf = 1;

// Everything one simulated controller holds. Its node number is K38.
struct SimController {
    ControllerData data;                   // identity texts, points, K and H values
    std::array<QString, kTextItems> texts; // text items 1..9 (2 user name, 7 gateway, 8 mask, 9 IP)
    QList<SimAlarm> alarms;                // slot 1 first, at most kAlarmSlots
    QString shortVersion;                  // answer of VER (VER2 answers data.version)
    // Writes acknowledged but not kept ("K44" -> value): the next single read of the item
    // answers the value once (SimRules::ignoredWrites).
    QHash<QString, int32_t> unkeptWrites;

    SimController();

    int node() const { return data.params().K(kNodeParam); }
    void setNode(int node) { data.params().K(kNodeParam) = node; }
    QString& text(int item) { return texts[static_cast<std::size_t>(item - 1)]; }
    const QString& text(int item) const { return texts[static_cast<std::size_t>(item - 1)]; }
    // CR alone or CR LF, as K37 says.
    QByteArray lineEnd() const;

    // Builds a controller from a data file's contents: identity, network texts, points, K, H.
    // The node number and the user name of the record are taken over as well.
    static SimController FromData(const ControllerData& data);
};

// "F8E,T1505,P12345,S100,M3,N5,C50,V241,I10,O0": the value part of an alarm record reply.
QString FormatAlarmPayload(const SimAlarm& alarm);
