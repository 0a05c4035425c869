#pragma once

#include <cstdint>

namespace catalog {

// Maximum acceleration for a payload; see AccelFormula.cpp for the curve.
int32_t MaxAccelerationForPayload(int32_t payloadKg, int32_t maxAccel, int32_t minAccel,
                                  int32_t pattern, int32_t knee, int32_t span, int32_t bend,
                                  int32_t reserved);

} // namespace catalog
