// A catalog that lists two robots for its one controller but has initial parameters and a
// stroke table for the first only, to see that the dialog does not pass off the second as
// composed. With SPARSE_CATALOG_LOG set it appends its stroke table calls to that file, since
// the library is unloaded between calls.
#include "catalog/RobotCatalogApi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kController[] = "KQ-A";
const char kKnownRobot[] = "LX20-L06";
const char kRobotNames[] = "LX20-L06\nLX20-L12\n";

void Widen(const char* text, RcChar* out) {
    for (std::size_t i = 0;; ++i) {
        out[i] = static_cast<RcChar>(text[i]);
        if (text[i] == 0)
            return;
    }
}

bool Equals(const RcChar* text, const char* expected) {
    for (std::size_t i = 0;; ++i) {
        if (text[i] != static_cast<RcChar>(expected[i]))
            return false;
        if (expected[i] == 0)
            return true;
    }
}

void Log(const char* line) {
    const char* path = std::getenv("SPARSE_CATALOG_LOG");
    if (path == nullptr)
        return;
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fputs(line, file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

} // namespace

extern "C" {

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetControllerListCount(void) {
    return 1;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetControllerNames(ControllerNamePair* pairs,
                                                             int32_t capacity) {
    if (pairs == nullptr || capacity < 1)
        return -1;
    Widen(kController, pairs[0].controllerName);
    Widen(kController, pairs[0].modelCode);
    return 1;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetRobotNames(int32_t controllerIndex, RcChar* text,
                                                        int32_t capacity) {
    if (controllerIndex != 0 || text == nullptr)
        return -1;
    if (capacity < static_cast<int32_t>(sizeof kRobotNames))
        return -2;
    Widen(kRobotNames, text);
    return static_cast<int32_t>(sizeof kRobotNames) - 1;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetStrokeData(const RcChar* robotName,
                                                        StrokeTable* table) {
    if (table == nullptr)
        return -1;
    if (robotName == nullptr || robotName[0] == 0) {
        Log("release");
        std::memset(table, 0, sizeof *table);
        return 0;
    }
    if (!Equals(robotName, kKnownRobot) || table->tableKind != RC_STROKE_TABLE_KIND)
        return -2;
    Log("fill");
    table->entryCount = 1;
    table->entries[0].strokeLimit = 50000;
    table->entries[0].overrideCount = 1;
    table->entries[0].overrides[0].parameterNumber = 44;
    table->entries[0].overrides[0].value = 20000;
    return 0;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetInitParameter(const RcChar* controllerName,
                                                           const RcChar* robotName,
                                                           RcRobotParameters* parameters) {
    if (!Equals(controllerName, kController))
        return -2;
    if (!Equals(robotName, kKnownRobot))
        return -3;
    std::memset(parameters, 0, sizeof *parameters);
    Widen(kKnownRobot, parameters->robotName);
    parameters->values[2 - 1] = 100000;  // K2 (+) soft limit, thousandths
    parameters->values[43 - 1] = 100000; // K43 stroke
    parameters->values[44 - 1] = 15000;  // K44 max speed
    parameters->values[47 - 1] = 10;     // K47 max payload
    parameters->values[71 - 1] = 2;      // K71 standard point type
    parameters->values[72 - 1] = 2;      // K72 decimal places
    parameters->values[76 - 1] = 10;     // K76 payload
    return 0;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetDatabaseVersion(RcChar* text, int32_t capacity) {
    if (text == nullptr || capacity < 5)
        return -1;
    Widen("1.00", text);
    return 0;
}

} // extern "C"
