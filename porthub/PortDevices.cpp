#include "porthub/PortDevices.h"

#include "platform/ComPortTable.h"

#include <QSerialPortInfo>

QMap<int, PortDeviceFacts> AttachedPortDevices() {
    QMap<int, PortDeviceFacts> devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        const int com = ComPortTable::ComNumberOf(port.systemLocation());
        if (com <= 0)
            continue;
        PortDeviceFacts facts;
        facts.manufacturer = port.manufacturer().trimmed();
        facts.product = port.description().trimmed();
        facts.serialNumber = port.serialNumber().trimmed();
        facts.hasUsbIds = port.hasVendorIdentifier() && port.hasProductIdentifier();
        if (facts.hasUsbIds) {
            facts.vendorId = port.vendorIdentifier();
            facts.productId = port.productIdentifier();
        }
        devices.insert(com, facts);
    }
    return devices;
}
