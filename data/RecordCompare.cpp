#include "data/RecordCompare.h"

namespace WholeWrite {

namespace {

constexpr int kSecondDecimalsParam = 102;

QString ParamItem(int k) {
    return QStringLiteral("K%1").arg(k);
}

} // namespace

const QList<int>& ParamOrder() {
    static const QList<int> order = [] {
        QList<int> keys{kDecimalsParam, kSecondDecimalsParam};
        for (int k = kRunModeParam + 1; k <= kKParamCount; ++k) {
            if (k != kNodeParam && k != kDecimalsParam && k != kSecondDecimalsParam)
                keys << k;
        }
        for (int k = 1; k < kRunModeParam; ++k)
            keys << k;
        return keys;
    }();
    return order;
}

// K34 to K37 carry the link itself, K39 and K99 are the controller's own.
bool IsReadOnlyParam(int k) {
    return (k >= 34 && k <= 37) || k == 39 || k == 99;
}

bool NameWritten(const ControllerData& wanted, const ControllerData& present) {
    return wanted.robotName != present.robotName && !wanted.robotName.isEmpty();
}

bool PointDeleted(const PointRecord& wanted, const PointRecord& present) {
    return !wanted.inUse() && present.inUse();
}

bool PointChanged(const PointRecord& wanted, const PointRecord& present) {
    return wanted.inUse() && wanted != present;
}

QList<Change> Changes(const ControllerData& wanted, const ControllerData& present) {
    QList<Change> written;
    QList<Change> never;
    const RobotParameters& fresh = wanted.params();
    const RobotParameters& held = present.params();
    for (const int k : ParamOrder()) {
        if (fresh.K(k) != held.K(k))
            (IsReadOnlyParam(k) ? never : written) << Change{ParamItem(k), IsReadOnlyParam(k)};
    }
    for (int h = 0; h < kParamCount - kKParamCount; ++h) {
        if (fresh.H(h) != held.H(h))
            written << Change{QStringLiteral("H%1").arg(h)};
    }
    if (NameWritten(wanted, present))
        written << Change{QStringLiteral("ROBOT")};
    else if (wanted.robotName != present.robotName)
        never << Change{QStringLiteral("ROBOT"), true};
    for (int slot = 0; slot < kPointCount; ++slot) {
        if (PointDeleted(wanted.points[slot], present.points[slot]))
            written << Change{QStringLiteral("PNT%1").arg(slot + 1), false, true};
    }
    for (int slot = 0; slot < kPointCount; ++slot) {
        if (PointChanged(wanted.points[slot], present.points[slot]))
            written << Change{QStringLiteral("PNT%1").arg(slot + 1)};
    }
    const struct {
        const char* key;
        QString ControllerData::*field;
    } texts[] = {{"IPADDR", &ControllerData::ipAddress}, {"MASK", &ControllerData::subnetMask},
                 {"GATEWAY", &ControllerData::gateway},  {"CONT", &ControllerData::controllerName},
                 {"USER", &ControllerData::userName},    {"IF", &ControllerData::interfaceInfo},
                 {"VER", &ControllerData::version},      {"DBVER", &ControllerData::dbVersion}};
    for (const auto& text : texts) {
        if (wanted.*text.field == present.*text.field)
            continue;
        // Only the three addresses are sent; identity texts are the controller's own.
        const bool isAddress = text.field == &ControllerData::ipAddress ||
                               text.field == &ControllerData::subnetMask ||
                               text.field == &ControllerData::gateway;
        (isAddress ? written : never) << Change{QLatin1String(text.key), !isAddress};
    }
    if (fresh.K(kRunModeParam) != held.K(kRunModeParam))
        written << Change{ParamItem(kRunModeParam)};
    if (fresh.K(kNodeParam) != held.K(kNodeParam))
        never << Change{ParamItem(kNodeParam), true};
    return written + never;
}

QList<Change> WrittenChanges(const QList<Change>& changes) {
    QList<Change> written;
    for (const Change& change : changes) {
        if (!change.neverWritten)
            written << change;
    }
    return written;
}

QStringList WrittenItems(const QList<Change>& changes) {
    QStringList items;
    for (const Change& change : WrittenChanges(changes))
        items << change.item;
    return items;
}

QStringList ItemsNotTaken(const ControllerData& asked, const ControllerData& written) {
    QStringList items;
    const auto compareText = [&](const char* key, const QString& a, const QString& b) {
        if (a != b)
            items << QLatin1String(key);
    };
    compareText("ROBOT", asked.robotName, written.robotName);
    compareText("IPADDR", asked.ipAddress, written.ipAddress);
    compareText("MASK", asked.subnetMask, written.subnetMask);
    compareText("GATEWAY", asked.gateway, written.gateway);
    for (int slot = 0; slot < kPointCount; ++slot) {
        if (asked.points[slot] != written.points[slot])
            items << QStringLiteral("PNT%1").arg(slot + 1);
    }
    for (int k = 1; k <= kKParamCount; ++k) {
        if (k != kNodeParam && !IsReadOnlyParam(k) && asked.params().K(k) != written.params().K(k))
            items << ParamItem(k);
    }
    for (int h = 0; h < kParamCount - kKParamCount; ++h) {
        if (asked.params().H(h) != written.params().H(h))
            items << QStringLiteral("H%1").arg(h);
    }
    return items;
}

} // namespace WholeWrite
