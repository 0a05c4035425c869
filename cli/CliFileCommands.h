#pragma once

#include "data/ControllerData.h"
#include "data/ParamInfoTable.h"

#include <QStringList>

#include <cstdio>

// velmora-cli commands that read data files only (show, diff), and their listing of differences.
namespace CliFileCommands {

// True when `arguments` (without the program name) name one of these commands.
bool Handles(const QStringList& arguments);
// The exit status: 0 done (diff: nothing differs), 1 some items differ, 2 a usage error or a file
// that cannot be read.
int Run(const QStringList& arguments, FILE* out, FILE* err);
// Prints `items` with A's value then B's, as text or one JSON document; true when any.
bool ReportDifferences(const ControllerData& a, const ControllerData& b,
                       const ParamInfoTable* table, const QStringList& items, bool json, FILE* out);
// The same under the parameter table of `a`'s model (a controller's record).
bool ReportDifferencesOfModel(const ControllerData& a, const ControllerData& b,
                              const QStringList& items, bool json, FILE* out);

} // namespace CliFileCommands
