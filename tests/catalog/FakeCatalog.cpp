// Stand-ins for the catalog library, to see how the program copes with a broken one.
// FAKE_PARTIAL: only the count and the database version exist.
// FAKE_REFUSING: every function exists, scribbles into what it was given, and fails.
#include "catalog/RobotCatalogApi.h"

#include <cstring>

extern "C" {

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetControllerListCount(void) {
#ifdef FAKE_PARTIAL
    return 3;
#else
    return 0;
#endif
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetDatabaseVersion(RcChar* text, int32_t capacity) {
    const char version[] = "9.99";
    if (capacity < static_cast<int32_t>(sizeof version))
        return -1;
    for (size_t i = 0; i < sizeof version; ++i)
        text[i] = static_cast<RcChar>(version[i]);
#ifdef FAKE_PARTIAL
    return 0;
#else
    return -1;
#endif
}

#ifdef FAKE_REFUSING
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetControllerNames(ControllerNamePair* pairs,
                                                             int32_t capacity) {
    if (capacity > 0)
        std::memset(pairs, 0x41, sizeof(ControllerNamePair));
    return 0;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetRobotNames(int32_t, RcChar* text, int32_t capacity) {
    if (capacity > 2) {
        text[0] = 'X';
        text[1] = 0;
    }
    return -1;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetStrokeData(const RcChar* robotName,
                                                        StrokeTable* table) {
    if (robotName == nullptr || robotName[0] == 0)
        return -1;
    table->entryCount = 200; // more than the table holds
    table->entries[0].strokeLimit = 12345;
    return -2;
}

ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetInitParameter(const RcChar*, const RcChar*,
                                                           RcRobotParameters* parameters) {
    parameters->robotName[0] = 'X';
    parameters->values[0] = 777;
    return -3;
}
#endif

} // extern "C"
