#include "catalog/CatalogData.h"

#include "catalog/AccelFormula.h"
#include "catalog/BaseParameters.h"

#include <algorithm>

namespace catalog {

namespace {

// Controllers in list order; the model code of every controller is its name.
constexpr ControllerEntry kControllers[] = {
    {"KQ-A", "KQ-A", {"LX20", "LX28", "RD16"}, false, 2, 0, 0, 0},
    {"KQ-A2", "KQ-A2", {"LX28", "LX40", "RD25"}, false, 2, 0, 0, 0},
    {"KQ-B", "KQ-B", {"PX15", "PX22", "PR12"}, true, 2, 0, 0, 0},
    {"KQ-B2", "KQ-B2", {"PX22", "PX30", "PR12"}, true, 2, 0, 0, 0},
    {"KQ-C", "KQ-C", {"GX30", "BT60", "LX40"}, false, 2, 0, 0, 1},
    {"KQ-E", "KQ-E", {"MX10", "RD16", "LX20"}, false, 3, 0, 0, 0},
    {"KQ-F", "KQ-F", {"FX33", "FX50", "RD25"}, false, 2, 0, 0, 0},
};

// Screw robots run their motor at up to 3000 rpm, so the top speed is 50 times the lead;
// payload falls and acceleration rises as the lead grows.
// name, K46, K44, K47, K48, K49, K50, K55..K58, stroke min, max, default (mm)
constexpr RobotEntry kRobots[] = {
    // Slider, 20 mm body.
    {"LX20-L03", 300, 15000, 12, 200, 50, 0, {2, 10, 0, 0}, 50, 400, 100},
    {"LX20-L06", 600, 30000, 8, 300, 80, 0, {1, 7, 0, 0}, 50, 400, 100},
    {"LX20-L12", 1200, 60000, 4, 400, 100, 1, {0, 4, 0, 0}, 50, 400, 100},
    // Slider, 28 mm body.
    {"LX28-L05", 500, 25000, 30, 200, 50, 0, {5, 25, 0, 0}, 50, 800, 200},
    {"LX28-L10", 1000, 50000, 20, 300, 80, 0, {3, 17, 0, 0}, 50, 800, 200},
    {"LX28-L20", 2000, 100000, 10, 500, 100, 1, {1, 9, 0, 0}, 50, 800, 200},
    // Slider, 40 mm body.
    {"LX40-L05", 500, 25000, 60, 200, 50, 0, {10, 50, 0, 0}, 100, 1000, 300},
    {"LX40-L10", 1000, 50000, 40, 300, 80, 2, {5, 35, 50, 0}, 100, 1000, 300},
    {"LX40-L20", 2000, 100000, 20, 500, 100, 2, {2, 18, 80, 0}, 100, 1000, 300},
    // Rod, 16 mm.
    {"RD16-L02", 200, 10000, 25, 200, 50, 0, {5, 20, 0, 0}, 50, 300, 50},
    {"RD16-L04", 400, 20000, 15, 250, 60, 0, {3, 12, 0, 0}, 50, 300, 50},
    {"RD16-L08", 800, 40000, 8, 300, 80, 1, {1, 7, 0, 0}, 50, 300, 50},
    // Rod, 25 mm.
    {"RD25-L03", 300, 15000, 50, 200, 50, 0, {10, 40, 0, 0}, 50, 400, 100},
    {"RD25-L06", 600, 30000, 30, 300, 60, 0, {5, 25, 0, 0}, 50, 400, 100},
    {"RD25-L12", 1200, 60000, 15, 400, 80, 2, {2, 13, 60, 0}, 50, 400, 100},
    // Pulse-train slider, 15 mm body.
    {"PX15-L03", 300, 15000, 6, 200, 50, 0, {1, 5, 0, 0}, 50, 300, 100},
    {"PX15-L06", 600, 30000, 4, 300, 80, 0, {0, 4, 0, 0}, 50, 300, 100},
    {"PX15-L12", 1200, 60000, 2, 400, 100, 1, {0, 2, 0, 0}, 50, 300, 100},
    // Pulse-train slider, 22 mm body.
    {"PX22-L05", 500, 25000, 20, 200, 50, 0, {4, 16, 0, 0}, 50, 600, 150},
    {"PX22-L10", 1000, 50000, 12, 300, 80, 0, {2, 10, 0, 0}, 50, 600, 150},
    {"PX22-L20", 2000, 100000, 6, 500, 100, 1, {1, 5, 0, 0}, 50, 600, 150},
    // Pulse-train slider, 30 mm body.
    {"PX30-L06", 600, 30000, 35, 250, 60, 0, {6, 29, 0, 0}, 100, 800, 200},
    {"PX30-L12", 1200, 60000, 20, 350, 80, 2, {3, 17, 40, 0}, 100, 800, 200},
    {"PX30-L24", 2400, 120000, 10, 500, 100, 1, {1, 9, 0, 0}, 100, 800, 200},
    // Pulse-train rod, 12 mm.
    {"PR12-L02", 200, 10000, 10, 200, 50, 0, {2, 8, 0, 0}, 30, 200, 50},
    {"PR12-L04", 400, 20000, 6, 250, 60, 0, {1, 5, 0, 0}, 30, 200, 50},
    {"PR12-L08", 800, 40000, 3, 300, 80, 1, {0, 3, 0, 0}, 30, 200, 50},
    // Gantry slider, 30 mm screw.
    {"GX30-L10", 1000, 50000, 80, 250, 50, 2, {15, 65, 60, 0}, 100, 1200, 400},
    {"GX30-L20", 2000, 100000, 50, 400, 80, 2, {8, 42, 80, 0}, 100, 1200, 400},
    {"GX30-L30", 3000, 150000, 30, 500, 100, 1, {4, 26, 0, 0}, 100, 1200, 400},
    // Belt, 60 mm wide; the figure is the travel per motor turn.
    {"BT60-B54", 5400, 180000, 15, 800, 200, 0, {2, 13, 0, 0}, 200, 2000, 600},
    {"BT60-B90", 9000, 300000, 10, 1000, 250, 0, {1, 9, 0, 0}, 200, 2000, 600},
    // Miniature slider, 10 mm body.
    {"MX10-L01", 100, 5000, 2, 150, 40, 0, {0, 2, 0, 0}, 25, 100, 50},
    {"MX10-L02", 200, 10000, 1, 200, 50, 0, {0, 1, 0, 0}, 25, 100, 50},
    {"MX10-L04", 400, 20000, 1, 250, 60, 1, {0, 1, 0, 0}, 25, 100, 50},
    // Heavy slider, 33 mm body.
    {"FX33-L06", 600, 30000, 45, 250, 50, 0, {8, 37, 0, 0}, 100, 1000, 300},
    {"FX33-L12", 1200, 60000, 30, 350, 80, 2, {5, 25, 50, 0}, 100, 1000, 300},
    {"FX33-L24", 2400, 120000, 15, 500, 100, 1, {2, 13, 0, 0}, 100, 1000, 300},
    // Heavy slider, 50 mm body.
    {"FX50-L10", 1000, 50000, 100, 250, 50, 2, {20, 80, 70, 0}, 200, 1500, 500},
    {"FX50-L20", 2000, 100000, 60, 400, 80, 2, {10, 50, 90, 0}, 200, 1500, 500},
    {"FX50-L40", 4000, 200000, 30, 600, 100, 1, {5, 25, 0, 0}, 200, 1500, 500},
};

constexpr int kBandCount = 5;

// A long screw whips, so the speed falls with the square of the length beyond a critical
// stroke of 60 % of the longest, down to no less than 30 % of the top speed. `end` is the
// longest stroke of the band in mm.
int32_t speedForStroke(const RobotEntry& robot, int32_t end) {
    const double critical = robot.maxStroke * 0.6;
    double factor = 1.0;
    if (end > critical)
        factor = std::max((critical / end) * (critical / end), 0.3);
    // Whole 5 mm/s steps, at least one.
    const int32_t step = 500;
    const int32_t speed = static_cast<int32_t>(robot.maxSpeed * factor) / step * step;
    return std::max(speed, step);
}

struct Band {
    int32_t start; // mm
    int32_t end;   // mm
};

std::array<Band, kBandCount> bandsOf(const RobotEntry& robot) {
    std::array<Band, kBandCount> bands{};
    // Bands start on whole 5 mm.
    const int32_t step = std::max((robot.maxStroke - robot.minStroke) / kBandCount / 5 * 5, 5);
    for (int i = 0; i < kBandCount; ++i) {
        bands[i].start = robot.minStroke + i * step;
        bands[i].end = i + 1 < kBandCount ? robot.minStroke + (i + 1) * step : robot.maxStroke;
    }
    return bands;
}

int32_t speedAtStroke(const RobotEntry& robot, int32_t strokeMm) {
    const auto bands = bandsOf(robot);
    Band chosen = bands[0];
    for (const Band& band : bands) {
        if (band.start <= strokeMm)
            chosen = band;
    }
    return speedForStroke(robot, chosen.end);
}

void copyName(std::string_view name, RcChar (&target)[RC_NAME_CAPACITY]) {
    std::fill(std::begin(target), std::end(target), RcChar{0});
    const size_t count = std::min(name.size(), size_t{RC_NAME_CAPACITY - 1});
    for (size_t i = 0; i < count; ++i)
        target[i] = static_cast<unsigned char>(name[i]);
}

} // namespace

std::span<const ControllerEntry> Controllers() {
    return kControllers;
}
std::span<const RobotEntry> Robots() {
    return kRobots;
}

const ControllerEntry* FindController(std::string_view name) {
    for (const ControllerEntry& controller : kControllers) {
        if (controller.name == name)
            return &controller;
    }
    return nullptr;
}

const RobotEntry* FindRobot(std::string_view name) {
    for (const RobotEntry& robot : kRobots) {
        if (robot.name == name)
            return &robot;
    }
    return nullptr;
}

std::string_view ModelOf(std::string_view robotName) {
    return robotName.substr(0, robotName.find('-'));
}

bool ControllerOffers(const ControllerEntry& controller, const RobotEntry& robot) {
    const std::string_view model = ModelOf(robot.name);
    return std::find(controller.series.begin(), controller.series.end(), model) !=
           controller.series.end();
}

std::string RobotNamesOf(const ControllerEntry& controller) {
    std::string text;
    for (const std::string_view series : controller.series) {
        for (const RobotEntry& robot : kRobots) {
            if (ModelOf(robot.name) == series) {
                text.append(robot.name);
                text.push_back('\n');
            }
        }
    }
    return text;
}

bool BuildStrokeTable(const RobotEntry& robot, StrokeTable& table) {
    static_assert(kBandCount <= RC_MAX_STROKE_ENTRIES);
    const int32_t kind = table.tableKind;
    table = StrokeTable{};
    table.tableKind = kind;
    copyName(robot.name, table.tableName);
    const auto bands = bandsOf(robot);
    for (int i = 0; i < kBandCount; ++i) {
        StrokeEntry& entry = table.entries[i];
        entry.entryId = static_cast<uint16_t>(i + 1);
        entry.strokeLimit = static_cast<uint32_t>(bands[i].start) * 1000u;
        const int32_t speed = speedForStroke(robot, bands[i].end);
        entry.overrides[entry.overrideCount++] = {44, speed};
        // A whipping screw also takes a gentler start.
        if (speed * 2 < robot.maxSpeed)
            entry.overrides[entry.overrideCount++] = {
                48, std::max(robot.maxAccel * 4 / 5, robot.minAccel)};
    }
    table.entryCount = kBandCount;
    return true;
}

ParameterValues InitialParameters(const ControllerEntry& controller, const RobotEntry& robot) {
    ParameterValues values = BaseParameters(controller.pulseTrain);
    auto K = [&values](int n) -> int32_t& { return values[n - 1]; };
    const int32_t stroke = robot.defaultStroke * 1000;
    K(2) = stroke;
    K(43) = stroke;
    K(44) = speedAtStroke(robot, robot.defaultStroke);
    // Rated speed from the top speed and the travel per turn: mm/s * 60 / mm = rpm.
    K(45) = robot.maxSpeed * 60 / robot.lead;
    K(46) = robot.lead;
    K(108) = K(45);
    K(47) = robot.maxPayload;
    K(48) = robot.maxAccel;
    K(49) = robot.minAccel;
    K(50) = robot.accelPattern;
    for (int i = 0; i < 4; ++i)
        K(55 + i) = robot.accelCoefficients[i];
    K(66) = controller.originMethod;
    K(72) = controller.decimalPlaces;
    K(74) = controller.absSetting;
    K(75) = controller.lcdSetting;
    // Registered payloads start at the full load, the safe side for acceleration.
    const int32_t accel = MaxAccelerationForPayload(
        robot.maxPayload, robot.maxAccel, robot.minAccel, robot.accelPattern,
        robot.accelCoefficients[0], robot.accelCoefficients[1], robot.accelCoefficients[2],
        robot.accelCoefficients[3]);
    K(76) = robot.maxPayload;
    K(77) = accel;
    K(78) = robot.maxPayload;
    K(79) = accel;
    return values;
}

} // namespace catalog
