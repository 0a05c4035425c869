#include "data/ControllerData.h"

#include <QtGlobal>

#include <algorithm>

const std::array<const char*, kPointFieldCount> kPointFieldTags = {
    "", "M", "P", "S", "AC", "DC", "Q", "ZL", "ZH", "N", "J", "F", "C", "T"};

namespace {

constexpr std::array<int32_t PointRecord::*, kPointFieldCount> kFields = {
    &PointRecord::number,    &PointRecord::runType,   &PointRecord::position,
    &PointRecord::speed,     &PointRecord::accel,     &PointRecord::decel,
    &PointRecord::push,      &PointRecord::zoneMinus, &PointRecord::zonePlus,
    &PointRecord::nearWidth, &PointRecord::jump,      &PointRecord::flag,
    &PointRecord::call,      &PointRecord::timer};

int checkedIndex(int index) {
    Q_ASSERT(index >= 0 && index < kPointFieldCount);
    return std::clamp(index, 0, kPointFieldCount - 1);
}

} // namespace

int32_t& PointRecord::field(int index) {
    return this->*kFields[checkedIndex(index)];
}

int32_t PointRecord::field(int index) const {
    return this->*kFields[checkedIndex(index)];
}
