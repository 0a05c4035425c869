#include "data/DataStore.h"

#include <algorithm>

CDataStore::CDataStore() = default;

bool CDataStore::CreateControllerData(ControllerDataSlot& slot) const {
    if (slot)
        return false;
    auto data = std::make_unique<ControllerData>();
    data->points.assign(kPointCount, PointRecord{});
    // Every reader and writer uses block 0, so there is always at least one.
    data->robotParams.resize(static_cast<std::size_t>(std::max(1, blockCount)));
    slot = std::move(data);
    return true;
}

bool CDataStore::FreeControllerData(ControllerDataSlot& slot) const {
    if (!slot)
        return false;
    slot.reset();
    return true;
}

bool CopyControllerData(ControllerData& destination, const ControllerData& source) {
    destination.controllerName = source.controllerName;
    destination.robotName = source.robotName;
    destination.interfaceInfo = source.interfaceInfo;
    destination.version = source.version;
    destination.dbVersion = source.dbVersion;
    destination.modelCode = source.modelCode;
    destination.ipAddress = source.ipAddress;
    destination.subnetMask = source.subnetMask;
    destination.gateway = source.gateway;
    // userName stays the destination's own.
    destination.points = source.points;
    destination.points.resize(kPointCount);
    if (destination.robotParams.empty())
        destination.robotParams.resize(1);
    if (!source.robotParams.empty()) {
        // reserved stays the destination's own.
        destination.params().robotName = source.params().robotName;
        destination.params().values = source.params().values;
    }
    return true;
}
