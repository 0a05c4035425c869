/*
 * The robot catalog library (libRobotCatalog.so) and the motion library (libKinetaLib.so):
 * plain C functions and records, shared by the libraries and the program.
 *
 * Nothing owned crosses the boundary. Every record is a fixed-size value that the caller
 * allocates; texts are zero-terminated UTF-16 in caller arrays of a stated capacity. The
 * libraries keep no state between calls, so the program may unload them right after each use.
 * A text that does not fit its capacity fails the call instead of being cut short.
 */
#ifndef VELMORA_ROBOT_CATALOG_API_H
#define VELMORA_ROBOT_CATALOG_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ROBOT_CATALOG_EXPORT __attribute__((visibility("default")))
#else
#define ROBOT_CATALOG_EXPORT
#endif

/* One UTF-16 code unit. */
typedef uint16_t RcChar;

#define RC_NAME_CAPACITY 64        /* controller, model code, robot and table names */
#define RC_PARAMETER_COUNT 146     /* K1..K138, then H0..H7 */
#define RC_MAX_STROKE_ENTRIES 32   /* entries of one stroke table */
#define RC_MAX_STROKE_OVERRIDES 16 /* parameter overrides of one stroke entry */
#define RC_STROKE_TABLE_KIND 21    /* the caller sets tableKind to this before the call */
#define RC_DATABASE_VERSION_CAPACITY 32

typedef struct ControllerNamePair {
    RcChar controllerName[RC_NAME_CAPACITY];
    RcChar modelCode[RC_NAME_CAPACITY];
} ControllerNamePair;

typedef struct StrokeOverride {
    uint8_t parameterNumber; /* K number 1..138 */
    int32_t value;
} StrokeOverride;

typedef struct StrokeEntry {
    uint16_t entryId;
    uint32_t strokeLimit; /* thousandths of a millimetre: the entry holds from this stroke on */
    uint8_t overrideCount;
    StrokeOverride overrides[RC_MAX_STROKE_OVERRIDES];
} StrokeEntry;

typedef struct StrokeTable {
    int32_t tableKind;
    RcChar tableName[RC_NAME_CAPACITY];
    uint8_t entryCount;
    StrokeEntry entries[RC_MAX_STROKE_ENTRIES]; /* ascending by strokeLimit */
} StrokeTable;

/* Laid out as the program's parameter block: name, reserved word, the 146 values. */
typedef struct RcRobotParameters {
    RcChar robotName[RC_NAME_CAPACITY];
    int32_t reserved;
    int32_t values[RC_PARAMETER_COUNT]; /* lengths in thousandths of a millimetre */
} RcRobotParameters;

/* > 0: the number of controllers. */
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetControllerListCount(void);

/* Fills `pairs` (room for `capacity` pairs) in list order. > 0: the number filled; -1 when
 * `pairs` is null or has less room than the list needs (nothing written then). */
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetControllerNames(ControllerNamePair* pairs,
                                                             int32_t capacity);

/* The robot names of controller `controllerIndex` (0-based), each ended by "\n", into `text`
 * (room for `capacity` units including the terminating zero). >= 0: the number of units written
 * before the zero; -1 unknown index or null text; -2 too small (nothing written then). */
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetRobotNames(int32_t controllerIndex, RcChar* text,
                                                        int32_t capacity);

/* 0: `table` filled for robot `robotName`. With an empty (or null) name the call releases
 * `table`: it is emptied and 0 is returned. -1 null table or tableKind other than
 * RC_STROKE_TABLE_KIND; -2 unknown robot. A failed call leaves the table as it was. */
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetStrokeData(const RcChar* robotName,
                                                        StrokeTable* table);

/* 0: `parameters` filled with the initial data of the robot on the controller. -1 null
 * argument; -2 unknown controller; -3 the robot is not offered for that controller. A failed
 * call writes nothing. */
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetInitParameter(const RcChar* controllerName,
                                                           const RcChar* robotName,
                                                           RcRobotParameters* parameters);

/* 0: the version text in `text` (room for `capacity` units including the zero); -1 null text
 * or too small (nothing written then). */
ROBOT_CATALOG_EXPORT int32_t RobotCatalog_GetDatabaseVersion(RcChar* text, int32_t capacity);

/* Motion library: the highest acceleration (units of K48) for a payload in kg, from the robot's
 * maximum and minimum acceleration (K48, K49), acceleration pattern (K50) and acceleration
 * coefficients (K55..K58). Never above K48, never below K49 (K48 when the two contradict), and
 * never higher for a heavier payload. */
ROBOT_CATALOG_EXPORT int32_t DllAccCalc(int32_t payloadKg, int32_t k48, int32_t k49, int32_t k50,
                                        int32_t k55, int32_t k56, int32_t k57, int32_t k58);

/* Signatures for dynamic lookup. */
typedef int32_t (*RobotCatalog_GetControllerListCount_t)(void);
typedef int32_t (*RobotCatalog_GetControllerNames_t)(ControllerNamePair*, int32_t);
typedef int32_t (*RobotCatalog_GetRobotNames_t)(int32_t, RcChar*, int32_t);
typedef int32_t (*RobotCatalog_GetStrokeData_t)(const RcChar*, StrokeTable*);
typedef int32_t (*RobotCatalog_GetInitParameter_t)(const RcChar*, const RcChar*,
                                                   RcRobotParameters*);
typedef int32_t (*RobotCatalog_GetDatabaseVersion_t)(RcChar*, int32_t);
typedef int32_t (*DllAccCalc_t)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                int32_t);

#ifdef __cplusplus
}
#endif

#endif
