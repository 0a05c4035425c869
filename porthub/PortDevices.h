#pragma once

#include "porthub/PortHubExport.h"

#include <QMap>
#include <QString>

// What the system tells of a serial device (Qt's serial port information, from udev or sysfs):
// for a USB adapter the maker's and the product's names, its serial number and USB ids. Empty
// texts and zero ids where the system knows nothing.
struct PortDeviceFacts {
    QString manufacturer;
    QString product;
    QString serialNumber;
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool hasUsbIds = false;
};

// The serial devices attached now, by the COM number the port table gives them; devices outside
// the table are left out.
PORTHUB_EXPORT QMap<int, PortDeviceFacts> AttachedPortDevices();
