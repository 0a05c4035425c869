#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

inline constexpr int kPointCount = 255;
inline constexpr int kParamCount = 146; // K1..K138 then H0..H7
inline constexpr int kKParamCount = 138;
inline constexpr int kHParamIndex = 138; // values[138 + n] is H n
inline constexpr int kPointFieldCount = 14;
// Parameters the workflows read by number.
inline constexpr int kRunModeParam = 20;  // K20, the run mode; its two low bits 2 = debug
inline constexpr int kNodeParam = 38;     // K38, the node number
inline constexpr int kDecimalsParam = 72; // K72, decimal places of positions

// One point: 14 signed 32-bit fields, in the order of the controller's tags.
struct PointRecord {
    int32_t number = 0;    // 1..255 when in use, 0 when not
    int32_t runType = 0;   // M
    int32_t position = 0;  // P
    int32_t speed = 0;     // S
    int32_t accel = 0;     // AC
    int32_t decel = 0;     // DC
    int32_t push = 0;      // Q
    int32_t zoneMinus = 0; // ZL
    int32_t zonePlus = 0;  // ZH
    int32_t nearWidth = 0; // N
    int32_t jump = 0;      // J
    int32_t flag = 0;      // F
    int32_t call = 0;      // C
    int32_t timer = 0;     // T

    // Field 0 is `number`, 1..13 are the tagged fields M..T.
    int32_t& field(int index);
    int32_t field(int index) const;
    bool inUse() const { return number != 0; }
    bool operator==(const PointRecord&) const = default;
};

// Tags of fields 1..13 ("M", "P", ..., "T"); index 0 is empty.
extern const std::array<const char*, kPointFieldCount> kPointFieldTags;

struct RobotParameters {
    QString robotName;
    int32_t reserved = 0;
    std::array<int32_t, kParamCount> values{};

    int32_t& K(int n) { return values[n - 1]; }
    int32_t K(int n) const { return values[n - 1]; }
    int32_t& H(int n) { return values[kHParamIndex + n]; }
    int32_t H(int n) const { return values[kHParamIndex + n]; }
};

struct ControllerData {
    QString controllerName; // CONT
    QString userName;       // USER
    QString robotName;      // ROBOT
    QString interfaceInfo;  // IF
    QString version;        // VER
    QString dbVersion;      // DBVER
    QString ipAddress;      // 8 lower-case hex digits, or empty
    QString subnetMask;
    QString gateway;
    QString modelCode;                        // never stored in a data file
    std::vector<PointRecord> points;          // exactly kPointCount
    std::vector<RobotParameters> robotParams; // blockCount blocks; block 0 is used

    RobotParameters& params() { return robotParams[0]; }
    const RobotParameters& params() const { return robotParams[0]; }
    bool isPulseTrainModel() const { return modelCode.contains(QLatin1Char('B')); }
};

// An owner slot: empty (null) or holding one record.
using ControllerDataSlot = std::unique_ptr<ControllerData>;
