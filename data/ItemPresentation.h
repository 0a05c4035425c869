#pragma once

#include "data/ControllerData.h"
#include "data/ParamInfoTable.h"

#include <QString>

// One item of a record as every listing shows it: "K44 Max speed (default value) 150.00 mm/s".
struct ItemText {
    QString item; // "K44", "H0", "PNT3", or the data file's key ("ROBOT", "IPADDR", ...)
    QString name;
    QString unit;
    QString value; // "" for a point not in use
};

// `table` is the parameter information table of the record's model; without it parameters show
// their raw value. Lengths scale by the record's own K72.
ItemText PresentItem(const ControllerData& data, const ParamInfoTable* table, const QString& item);
