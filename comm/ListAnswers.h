#pragma once

#include <QString>

class CDataStore;
struct ControllerData;

// Taking a controller's list answers (READ PNT, READ PRM, READ HPRM) into a record through the
// data file's line parsers. Each is all or nothing in what it reports: false when a line cannot
// be read or an item is missing or repeated, so that a damaged answer never passes for the
// controller's data. Reply lines and the command's echo are skipped.

// Every line a point line "PNT<n>=<tag><value>,..." with n 1..255, each point once. An empty
// answer is a controller without points.
bool TakePointList(const CDataStore& store, ControllerData& data, const QString& answer);
// Each of K1..K138 exactly once as "K<n>=<value>"; K38 is counted but not taken: the record
// keeps the node number it was read through.
bool TakeKList(const CDataStore& store, ControllerData& data, const QString& answer);
// Each of H0..H7 exactly once as "H<n>=<value>".
bool TakeHList(const CDataStore& store, ControllerData& data, const QString& answer);
