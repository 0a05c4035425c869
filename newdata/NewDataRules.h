#pragma once

#include "catalog/RobotCatalogApi.h"
#include "data/ControllerData.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class CDataStore;
struct ParamInfoTable;

// The rules behind the new data dialog and its pages, free of widgets so that they can be
// checked on their own: which summary rows a model shows, how catalog values become
// controller values, how the page choices map onto parameters.
namespace NewDataRules {

// The settings of the "Current Settings" summary, in row order.
enum Setting {
    kSettingController = 0,
    kSettingRobot,
    kSettingStroke,
    kSettingPayload,
    kSettingPointType,
    kSettingIoType,
    kSettingPulseInputType,
    kSettingPulseSignalType,
    kSettingEGear1,
    kSettingEGear2,
    kSettingAccelOptimization,
    kSettingDecimalPlaces,
    kSettingOrgSearchDir,
    kSettingOrgMethod,
    kSettingCoordPolar,
    kSettingAbsSetting,
    kSettingLcdSetting,
    kSettingCount
};

// String id of a setting's row label.
inline constexpr int kSettingLabelBase = 10100;

// "KQ-B" and "KQ-B2": pulse train input, second parameter table, option tab.
bool IsPulseTrainModel(const QString& modelCode);
// "KQ-A", "KQ-A2", "KQ-B", "KQ-B2", "KQ-F".
bool IsFirstFamily(const QString& modelCode);

bool SettingHasRow(int setting, bool pulseTrain);
// Row of every setting (consecutive in setting order), -1 for those without a row.
std::array<int, kSettingCount> RowsOfSettings(bool pulseTrain);
// "Payload [kg]" with "(JOG only)" put before its last 4 characters.
QString InsertBeforeUnit(const QString& label, const QString& insertion);

// Catalog thousandths to controller units for every parameter whose table entry (its variant 0)
// counts in the controller's own decimal places. Always true.
bool ScaleByDecimalPlaces(const ParamInfoTable& table, ControllerData& data, int32_t places);

// Index of the stroke table entry for a stroke in thousandths of a millimetre: the last of the
// leading entries whose limit does not exceed it, the first when none does; -1 for an empty
// table.
int ChooseStrokeEntry(const StrokeTable& table, uint32_t strokeThousandths);
// Writes the overrides of the chosen entry into `parameters`; false when nothing was chosen.
// Overrides naming no K parameter (0 or above K138) are skipped.
bool ApplyStrokeOverrides(const StrokeTable& table, uint32_t strokeThousandths,
                          RobotParameters& parameters);
// The stroke text read as a decimal number with `decimalSeparator`, times 1000, truncated and
// taken as unsigned (a negative or unreadable text gives 0).
uint32_t StrokeTextToThousandths(const QString& text, QChar decimalSeparator);
// The stroke text with the separator removed, read as an integer: the thousandths, since the
// stroke box always shows 3 decimals.
int32_t StrokeTextDigits(const QString& text, QChar decimalSeparator);

// K71 for the point type: 2 for "Standard" (with acceleration optimisation), 1 for "Custom".
int32_t PointTypeK71(bool custom);
// K71 with the acceleration optimisation bit (bit 1) switched.
int32_t WithAccelOptimization(int32_t k71, bool on);
// Variant of K66 whose items the ORG method list offers.
int OriginMethodVariant(const QString& modelCode, int32_t k67);

// K83 for pulse input type (0 open collector, 1 line driver) and signal type (0..3).
int32_t PulseInputCode(int inputType, int signalType);
// K87 for the pulse input type: 2 line driver, 4 open collector.
int32_t PulseInputFilter(int inputType);
// The fixed item texts of the pulse-train page: Japanese for language 0, English otherwise.
QStringList PulseInputTypeItems(int uiLanguage);
QStringList PulseSignalTypeItems(int uiLanguage);

// The models of a controller's robot names, in first-seen order: the part before the first
// "-", added once; a name without "-" is added as it stands.
QStringList ModelsOfRobotNames(const QStringList& robotNames);
// The robots whose model is exactly `model`, each once.
QStringList RobotsOfModel(const QStringList& robotNames, const QString& model);

// K48, K49, K50, K55, K56, K57, K58: the motion library's inputs.
std::array<int32_t, 7> AccelInputsOf(const RobotParameters& parameters);

// Names and "----" are set whatever the catalog says; the parameter block and dbVersion only
// when it answers. True when the initial parameters were obtained.
bool ApplyCatalogRobot(const CDataStore& store, ControllerData& data, const QString& controllerName,
                       const QString& robotName);

} // namespace NewDataRules
