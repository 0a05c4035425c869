#include "newdata/NewDataRules.h"

#include "data/Conversions.h"
#include "data/DataStore.h"
#include "data/ParamInfoTable.h"
#include "data/RobotCatalogInterface.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace NewDataRules {

namespace {

constexpr int32_t kAccelOptimizationBit = 2;

bool IsOneOf(const QString& modelCode, std::initializer_list<const char*> models) {
    return std::any_of(models.begin(), models.end(), [&modelCode](const char* model) {
        return modelCode == QLatin1String(model);
    });
}

// The stroke text as a number, read with the given separator and nothing else.
double ReadDecimal(const QString& text, QChar decimalSeparator) {
    QString plain = text.trimmed();
    if (!decimalSeparator.isNull() && decimalSeparator != QLatin1Char('.'))
        plain.replace(decimalSeparator, QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace

bool IsPulseTrainModel(const QString& modelCode) {
    return IsOneOf(modelCode, {"KQ-B", "KQ-B2"});
}

bool IsFirstFamily(const QString& modelCode) {
    return IsOneOf(modelCode, {"KQ-A", "KQ-A2", "KQ-B", "KQ-B2", "KQ-F"});
}

bool SettingHasRow(int setting, bool pulseTrain) {
    if (setting < 0 || setting >= kSettingCount || setting == kSettingIoType)
        return false;
    if (pulseTrain)
        return setting <= kSettingPayload ||
               (setting >= kSettingPulseInputType && setting <= kSettingEGear2) ||
               setting == kSettingOrgSearchDir || setting == kSettingOrgMethod;
    return setting < kSettingIoType || setting > kSettingEGear2;
}

std::array<int, kSettingCount> RowsOfSettings(bool pulseTrain) {
    std::array<int, kSettingCount> rows{};
    int next = 0;
    for (int setting = 0; setting < kSettingCount; ++setting)
        rows[setting] = SettingHasRow(setting, pulseTrain) ? next++ : -1;
    return rows;
}

QString InsertBeforeUnit(const QString& label, const QString& insertion) {
    const qsizetype at = std::max<qsizetype>(0, label.size() - 4);
    QString result = label;
    result.insert(at, insertion);
    return result;
}

bool ScaleByDecimalPlaces(const ParamInfoTable& table, ControllerData& data, int32_t places) {
    RobotParameters& parameters = data.params();
    const auto placeCount = static_cast<int8_t>(std::clamp<int32_t>(places, -128, 127));
    for (int i = 1; i <= kParamCount; ++i) {
        const ParamInfo* entry = &table.entries[static_cast<std::size_t>(i - 1)];
        if (entry->variant != 0) {
            if (const ParamInfo* base = FindVariant(entry, 0))
                entry = base;
        }
        if (entry->decimals != -1)
            continue;
        int32_t& value = parameters.values[static_cast<std::size_t>(i - 1)];
        const int64_t scaled = ScaleToInteger(value / 1000.0, placeCount);
        // A table asking for more places than 32 bits can hold must not wrap the value.
        value = static_cast<int32_t>(std::clamp<int64_t>(
            scaled, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }
    return true;
}

int ChooseStrokeEntry(const StrokeTable& table, uint32_t strokeThousandths) {
    const int count = std::min<int>(table.entryCount, RC_MAX_STROKE_ENTRIES);
    if (count <= 0)
        return -1;
    int leading = 0;
    while (leading < count && table.entries[leading].strokeLimit <= strokeThousandths)
        ++leading;
    return leading > 0 ? leading - 1 : 0;
}

bool ApplyStrokeOverrides(const StrokeTable& table, uint32_t strokeThousandths,
                          RobotParameters& parameters) {
    const int chosen = ChooseStrokeEntry(table, strokeThousandths);
    if (chosen < 0)
        return false;
    const StrokeEntry& entry = table.entries[chosen];
    const int overrides = std::min<int>(entry.overrideCount, RC_MAX_STROKE_OVERRIDES);
    for (int i = 0; i < overrides; ++i) {
        const StrokeOverride& change = entry.overrides[i];
        if (change.parameterNumber >= 1 && change.parameterNumber <= kKParamCount)
            parameters.K(change.parameterNumber) = change.value;
    }
    return true;
}

uint32_t StrokeTextToThousandths(const QString& text, QChar decimalSeparator) {
    const double thousandths = ReadDecimal(text, decimalSeparator) * 1000.0;
    if (!(thousandths > 0.0))
        return 0;
    if (thousandths >= static_cast<double>(std::numeric_limits<uint32_t>::max()))
        return std::numeric_limits<uint32_t>::max();
    // The text has at most 3 decimals: the small allowance only absorbs representation error
    // (100.001 * 1000 = 100000.99999...).
    return static_cast<uint32_t>(thousandths + 1e-6);
}

int32_t StrokeTextDigits(const QString& text, QChar decimalSeparator) {
    QString digits = text;
    if (!decimalSeparator.isNull())
        digits.remove(decimalSeparator);
    return ParseStandardInteger(digits);
}

int32_t PointTypeK71(bool custom) {
    return custom ? 1 : 2;
}

int32_t WithAccelOptimization(int32_t k71, bool on) {
    return on ? (k71 | kAccelOptimizationBit) : (k71 & 1);
}

int OriginMethodVariant(const QString& modelCode, int32_t k67) {
    if (modelCode == QLatin1String("KQ-E"))
        return k67 != 0 ? 2 : 1;
    if (IsOneOf(modelCode, {"KQ-A2", "KQ-F"}))
        return 1;
    if (IsFirstFamily(modelCode))
        return 3;
    return 0;
}

int32_t PulseInputCode(int inputType, int signalType) {
    if (signalType == 0)
        return 0;
    return signalType + 4 * inputType;
}

int32_t PulseInputFilter(int inputType) {
    return inputType == 1 ? 2 : 4;
}

QStringList PulseInputTypeItems(int uiLanguage) {
    if (uiLanguage == 0)
        return {QStringLiteral("オープンコレクタ"), QStringLiteral("ラインドライバ")};
    return {QStringLiteral("Open collector"), QStringLiteral("Line driver")};
}

QStringList PulseSignalTypeItems(int uiLanguage) {
    if (uiLanguage == 0)
        return {QStringLiteral("無効"), QStringLiteral("CW/CCW"), QStringLiteral("パルス/符号"),
                QStringLiteral("A相/B相")};
    return {QStringLiteral("Disable"), QStringLiteral("CW/CCW input"),
            QStringLiteral("Pulse train/code input"), QStringLiteral("Phase A/phase B")};
}

QStringList ModelsOfRobotNames(const QStringList& robotNames) {
    QStringList models;
    for (const QString& name : robotNames) {
        if (name.isEmpty())
            continue;
        if (name.contains(QLatin1Char('-'))) {
            const QString model = RobotCatalogInterface::RobotModelOf(name);
            if (!models.contains(model))
                models << model;
        } else {
            models << name;
        }
    }
    return models;
}

QStringList RobotsOfModel(const QStringList& robotNames, const QString& model) {
    QStringList robots;
    for (const QString& name : robotNames) {
        if (name.isEmpty() || RobotCatalogInterface::RobotModelOf(name) != model)
            continue;
        if (!robots.contains(name))
            robots << name;
    }
    return robots;
}

std::array<int32_t, 7> AccelInputsOf(const RobotParameters& p) {
    return {p.K(48), p.K(49), p.K(50), p.K(55), p.K(56), p.K(57), p.K(58)};
}

bool ApplyCatalogRobot(const CDataStore& store, ControllerData& data, const QString& controllerName,
                       const QString& robotName) {
    if (data.robotParams.empty())
        data.robotParams.resize(static_cast<std::size_t>(std::max(store.blockCount, 1)));
    data.controllerName = controllerName;
    data.robotName = robotName;
    data.interfaceInfo = QStringLiteral("----");
    RobotParameters fresh = data.params();
    if (!RobotCatalogInterface::GetInitParameter(controllerName, robotName, fresh))
        return false;
    data.params().values = fresh.values;
    data.robotName = fresh.robotName;
    data.params().robotName = fresh.robotName;
    QString version;
    if (RobotCatalogInterface::GetDatabaseVersion(version))
        data.dbVersion = version;
    return true;
}

} // namespace NewDataRules
