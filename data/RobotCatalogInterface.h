#pragma once

#include "catalog/RobotCatalogApi.h"
#include "data/ControllerData.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The program's side of the robot catalog (libRobotCatalog.so) and the motion library
// (libKinetaLib.so). Each call loads its library by absolute path from the program directory,
// looks its function up, calls it and unloads the library again; the current directory and
// the library search path are never consulted. A missing library or function fails only that
// call. Every call returns true on success and leaves its outputs as they were on failure,
// except GetStrokeData, whose table is empty after a failure.
namespace RobotCatalogInterface {

inline constexpr const char* kCatalogFileName = "libRobotCatalog.so";
inline constexpr const char* kMotionFileName = "libKinetaLib.so";

struct ControllerName {
    QString controllerName;
    QString modelCode;
    bool operator==(const ControllerName&) const = default;
};

// The folder the libraries are loaded from: the program directory.
QString LibraryDirectory();
// For tests only: load from `directory` instead (an empty text restores the program directory).
// A relative directory is refused at each call, since it would depend on the current directory.
void SetLibraryDirectoryForTests(const QString& directory);

// The controllers in catalog order. Fails when the library or a function is missing, the count
// is not positive or the names call fails.
bool GetControllerList(QList<ControllerName>& list);

// The robot names of controller `controllerIndex` (0-based in catalog order), separated by "\n".
bool GetRobotNames(int controllerIndex, QString& names);
// The names split at "\n", empty pieces skipped.
QStringList SplitRobotNames(const QString& names);
// A robot's model: the part before the first "-", or the whole name when it has none.
QString RobotModelOf(const QString& robotName);

// Sets `table.tableKind` to 21 and fills the table of `robotName` with a copy of the catalog's;
// the catalog's own table is then handed back (the call with the empty name) whenever the
// function exists. On failure the table is empty.
bool GetStrokeData(const QString& robotName, StrokeTable& table);
// Hands the table back to the catalog (the call with the empty name) when the library and its
// function are there; the table is empty afterwards in any case.
void ReleaseStrokeData(StrokeTable& table);
// An empty table (kind 21, no entries).
StrokeTable EmptyStrokeTable();

// `robotName` and the 146 values of `parameters` from the catalog (lengths in thousandths of a
// millimetre); `reserved` is not touched. Nothing changes on failure.
bool GetInitParameter(const QString& controllerName, const QString& robotName,
                      RobotParameters& parameters);

bool GetDatabaseVersion(QString& version);

// The motion library's maximum acceleration for `payloadKg`; `accelInputs` holds K48, K49, K50,
// K55, K56, K57, K58 in this order. `result` is unchanged on failure.
bool DllAccCalc(int32_t payloadKg, const std::array<int32_t, 7>& accelInputs, int32_t& result);

} // namespace RobotCatalogInterface
