#include "catalog/AccelFormula.h"
#include "catalog/RobotCatalogApi.h"

extern "C" int32_t DllAccCalc(int32_t payloadKg, int32_t k48, int32_t k49, int32_t k50, int32_t k55,
                              int32_t k56, int32_t k57, int32_t k58) {
    return catalog::MaxAccelerationForPayload(payloadKg, k48, k49, k50, k55, k56, k57, k58);
}
