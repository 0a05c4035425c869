#include "data/Conversions.h"

#include "platform/ComPortTable.h"

bool ListOpenableComPorts(uint16_t highest, QList<uint16_t>& ports) {
    ports.clear();
    // One pass: each port is opened exclusively and closed at once.
    for (uint32_t number = 1; number <= highest; ++number) {
        if (ComPortTable::ProbePort(static_cast<int>(number)))
            ports.append(static_cast<uint16_t>(number));
    }
    return !ports.isEmpty();
}
