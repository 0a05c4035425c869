#include "data/ItemPresentation.h"

#include "data/Conversions.h"

#include <QStringList>

namespace {

int8_t PlacesOf(int32_t places) {
    return places < 0 || places > 9 ? int8_t{0} : static_cast<int8_t>(places);
}

QString PointText(const PointRecord& point) {
    if (!point.inUse())
        return {};
    QStringList fields;
    for (int f = 1; f < kPointFieldCount; ++f)
        fields << QLatin1String(kPointFieldTags[f]) + QString::number(point.field(f));
    return fields.join(QLatin1Char(','));
}

QString Dotted(const QString& hex) {
    QString dotted;
    return hex.isEmpty() || IpHexToText(hex, dotted) != 0 ? hex : dotted;
}

void PresentParam(const ControllerData& data, const ParamInfoTable* table, int number,
                  ItemText& text) {
    const int32_t value = data.params().values[number - 1];
    text.value = QString::number(value);
    if (!table)
        return;
    const ParamInfo& info = ParamInfoFor(*table, number, 0);
    text.name = info.name;
    text.unit = info.unit;
    if (info.valueType == 1) {
        for (qsizetype i = 0; i < info.itemLabels.size(); ++i) {
            const int32_t choice = i < info.itemValues.size() ? info.itemValues[i] : int32_t(i);
            if (choice == value)
                text.value = info.itemLabels[i];
        }
        return;
    }
    const int32_t places = info.decimals < 0 ? data.params().K(kDecimalsParam) : info.decimals;
    text.value = FormatScaled(value, PlacesOf(places));
}

} // namespace

ItemText PresentItem(const ControllerData& data, const ParamInfoTable* table, const QString& item) {
    ItemText text{item, {}, {}, {}};
    bool ok = false;
    if (item.startsWith(QLatin1String("PNT"))) {
        const int number = item.mid(3).toInt(&ok);
        if (ok && number >= 1 && number <= kPointCount)
            text.value = PointText(data.points[number - 1]);
        return text;
    }
    if (item.size() > 1 && (item[0] == QLatin1Char('K') || item[0] == QLatin1Char('H'))) {
        const int n = item.mid(1).toInt(&ok);
        const int number = item[0] == QLatin1Char('K') ? n : kHParamIndex + 1 + n;
        if (ok && number >= 1 && number <= kParamCount &&
            (item[0] == QLatin1Char('K') ? n <= kKParamCount : n >= 0)) {
            PresentParam(data, table, number, text);
            return text;
        }
    }
    const struct {
        const char* key;
        QString ControllerData::*field;
        bool address;
    } texts[] = {{"CONT", &ControllerData::controllerName, false},
                 {"USER", &ControllerData::userName, false},
                 {"ROBOT", &ControllerData::robotName, false},
                 {"IF", &ControllerData::interfaceInfo, false},
                 {"VER", &ControllerData::version, false},
                 {"DBVER", &ControllerData::dbVersion, false},
                 {"IPADDR", &ControllerData::ipAddress, true},
                 {"MASK", &ControllerData::subnetMask, true},
                 {"GATEWAY", &ControllerData::gateway, true}};
    for (const auto& t : texts) {
        if (item == QLatin1String(t.key))
            text.value = t.address ? Dotted(data.*t.field) : data.*t.field;
    }
    return text;
}
