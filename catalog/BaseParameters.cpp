#include "catalog/BaseParameters.h"

#include <utility>

namespace catalog {

namespace {

// K number (139..146 for H0..H7) and value; every parameter not listed starts at 0. Lengths
// are in thousandths of a millimetre; the robot's own figures are set over these later.
constexpr std::pair<int, int32_t> kCommonValues[] = {
    {1, -300},   // (-) soft limit: 0.3 mm behind the origin
    {3, 100},    // in-position width 0.1 mm
    {4, 2000},   // push speed 20.00 mm/s
    {5, 100},    // push judge time, ms
    {6, 50},     // push current limit, %
    {9, 2000},   // origin speed 20.00 mm/s
    {10, 30000}, // origin search time-out, ms
    {12, 10},    // jog speed, %
    {13, 100},   // speed override, %
    {16, 1000},  // near width 1 mm
    {23, 2},     // input filter time, ms
    {34, 2},     // 38400 bps
    {37, 1},     // replies end with CR LF
    {38, 1},     // node 1
    {40, 30},    // position gain
    {41, 50},    // speed gain
    {42, 200},   // speed integral time 20.0 ms
    {51, 100},   // rated current, %
    {52, 100},   // current limit, %
    {53, 3000},  // overload time, ms
    {54, 5000},  // position error limit 5 mm
    {59, 8192},  // encoder pulses per turn
    {71, 2},     // standard points with acceleration optimisation
    {73, 80},    // controller temperature limit, degree C
    {81, 1},     // network node
    {100, 100},  // current loop gain
    {101, 100},  // current loop integral
    {107, 100},  // torque limit, %
    {109, 120},  // overspeed level, %
    {110, 200},  // low voltage level 20.0 V
    {111, 400},  // over voltage level 40.0 V
    {112, 90},   // motor temperature limit, degree C
    {113, 50},   // fan start temperature, degree C
    {114, 10},   // PWM frequency, kHz
    {116, 50},   // pole search current, %
    {117, 500},  // pole search time, ms
    {118, 100},  // brake hold time, ms
    {121, 50},   // stop current, %
    {122, 50},   // hold current, %
    {126, 30},   // battery alarm level 3.0 V
    {127, 100},  // load inertia ratio, %
};

constexpr std::pair<int, int32_t> kStandardValues[] = {
    {19, 100}, // brake release delay, ms
};

// The pulse-train controllers have no brake release delay but take a pulse train input.
constexpr std::pair<int, int32_t> kPulseTrainValues[] = {
    {83, 0},     // pulse train input off
    {84, 20480}, // electronic gear 1
    {85, 20480}, // electronic gear 2
    {86, 10000}, // pulse deviation limit
    {87, 4},     // input filter for open collector
};

template <size_t N> void apply(ParameterValues& values, const std::pair<int, int32_t> (&list)[N]) {
    for (const auto& [number, value] : list)
        values[number - 1] = value;
}

} // namespace

ParameterValues BaseParameters(bool pulseTrain) {
    ParameterValues values{};
    apply(values, kCommonValues);
    if (pulseTrain)
        apply(values, kPulseTrainValues);
    else
        apply(values, kStandardValues);
    return values;
}

} // namespace catalog
