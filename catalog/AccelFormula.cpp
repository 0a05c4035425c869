#include "catalog/AccelFormula.h"

#include <algorithm>
#include <cmath>

namespace catalog {

// The acceleration falls from K48 (no payload) to K49 (full load) along a curve:
//
//   x = clamp((payload - K55) / K56, 0, 1)   K55: payload in kg carried at full acceleration,
//                                            K56: payload span in kg over which it falls (>= 1)
//   K50 = 0: w = 1 - x                       linear
//   K50 = 1: w = (1 - x)^2                   falls fast at light payloads
//   other:   w = (1 - x) / (1 + k x)         k = K57 / 100 (>= 0), a bent hyperbola
//   result  = K49 + floor((K48 - K49) * w)
//
// w never grows with x and stays within 0..1, so the result never grows with the payload and
// stays within K49..K48. Negative coefficients count as 0 (K56 as 1). K58 is held for the
// controller and not used here. When K49 exceeds K48 the limits contradict and the lower, safe
// K48 is returned.
int32_t MaxAccelerationForPayload(int32_t payloadKg, int32_t maxAccel, int32_t minAccel,
                                  int32_t pattern, int32_t knee, int32_t span, int32_t bend,
                                  int32_t reserved) {
    (void)reserved;
    if (minAccel >= maxAccel)
        return maxAccel;
    const double kneeKg = std::max<int32_t>(knee, 0);
    const double spanKg = std::max<int32_t>(span, 1);
    const double x = std::clamp((static_cast<double>(payloadKg) - kneeKg) / spanKg, 0.0, 1.0);
    double w = 1.0 - x;
    if (pattern == 1) {
        w = w * w;
    } else if (pattern != 0) {
        const double k = std::max<int32_t>(bend, 0) / 100.0;
        w = w / (1.0 + k * x);
    }
    w = std::clamp(w, 0.0, 1.0);
    const double range = static_cast<double>(maxAccel) - static_cast<double>(minAccel);
    const double result = static_cast<double>(minAccel) + std::floor(range * w);
    return static_cast<int32_t>(
        std::clamp(result, static_cast<double>(minAccel), static_cast<double>(maxAccel)));
}

} // namespace catalog
