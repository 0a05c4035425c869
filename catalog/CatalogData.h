#pragma once

#include "catalog/RobotCatalogApi.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The catalog compiled into libRobotCatalog.so: controllers, the robot series each drives,
// the robots of every series with their stroke tables and initial parameters.
namespace catalog {

using ParameterValues = std::array<int32_t, RC_PARAMETER_COUNT>;

struct ControllerEntry {
    std::string_view name;
    std::string_view modelCode;
    std::array<std::string_view, 3> series; // robot models (the part of a name before "-")
    bool pulseTrain;
    int32_t decimalPlaces; // K72
    int32_t originMethod;  // K66
    int32_t absSetting;    // K74
    int32_t lcdSetting;    // K75
};

struct RobotEntry {
    std::string_view name;
    int32_t lead;       // K46, travel per motor turn, 0.01 mm
    int32_t maxSpeed;   // K44 up to the critical stroke, 0.01 mm/s
    int32_t maxPayload; // K47, kg
    int32_t maxAccel;   // K48, 0.01 m/s^2
    int32_t minAccel;   // K49, 0.01 m/s^2
    int32_t accelPattern;
    std::array<int32_t, 4> accelCoefficients; // K55..K58
    int32_t minStroke;                        // mm
    int32_t maxStroke;                        // mm
    int32_t defaultStroke;                    // mm
};

inline constexpr std::string_view kDatabaseVersion = "2.14";

std::span<const ControllerEntry> Controllers();
std::span<const RobotEntry> Robots();

const ControllerEntry* FindController(std::string_view name);
const RobotEntry* FindRobot(std::string_view name);
// The model of a robot name: the part before the first "-", or the whole name.
std::string_view ModelOf(std::string_view robotName);
bool ControllerOffers(const ControllerEntry& controller, const RobotEntry& robot);

// Robot names of a controller, each ended by "\n", in catalog order.
std::string RobotNamesOf(const ControllerEntry& controller);
// False when the table cannot hold the robot's bands (never for the compiled catalog).
bool BuildStrokeTable(const RobotEntry& robot, StrokeTable& table);
ParameterValues InitialParameters(const ControllerEntry& controller, const RobotEntry& robot);

} // namespace catalog
