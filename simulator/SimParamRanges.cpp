#include "simulator/SimParamRanges.h"

#include "platform/LibraryLoader.h"
#include "platform/ResourceLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QResource>

#include <algorithm>
#include <mutex>

namespace {

// A root of its own, so that reading the tables never disturbs the library the program or a
// test has registered.
const QString kPrivateRoot = QStringLiteral("/velmora-sim-tables");

QByteArray readTable(int id) {
    QFile file(QStringLiteral(":%1/TEXT/%2").arg(kPrivateRoot).arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool inRange(const ParamInfo& entry, int64_t value) {
    if (entry.valueType == 1)
        return entry.itemValues.contains(static_cast<int32_t>(value));
    return value >= entry.minValue && value <= entry.maxValue;
}

} // namespace

const SimParamRanges* SimParamRanges::Shared(QString* error) {
    static SimParamRanges ranges;
    static QString failure;
    static std::once_flag once;
    std::call_once(once, [] {
        const QString path =
            LibraryLoader::ProgramDirectory() + QString::fromLatin1(ResourceLibrary::kFileName);
        ranges.LoadLibrary(path, &failure);
    });
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return nullptr;
    }
    return &ranges;
}

bool SimParamRanges::LoadLibrary(const QString& path, QString* error) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(absolute).isFile() || !QResource::registerResource(absolute, kPrivateRoot)) {
        if (error)
            *error = QStringLiteral("Cannot read the parameter tables: %1 is missing or not a "
                                    "resource library")
                         .arg(absolute);
        return false;
    }
    const QByteArray standard = readTable(191);
    const QByteArray pulseTrain = readTable(195);
    QResource::unregisterResource(absolute, kPrivateRoot);
    if (!LoadTexts(standard, pulseTrain)) {
        if (error)
            *error = QStringLiteral("Cannot read the parameter tables: TEXT 191 or 195 is missing "
                                    "from %1")
                         .arg(absolute);
        return false;
    }
    return true;
}

bool SimParamRanges::LoadTexts(const QByteArray& standard, const QByteArray& pulseTrain) {
    ParamInfoTableSlot loaded[2];
    if (!LoadParamInfoTableFromBytes(loaded[0], standard) ||
        !LoadParamInfoTableFromBytes(loaded[1], pulseTrain))
        return false;
    tables[0] = std::move(loaded[0]);
    tables[1] = std::move(loaded[1]);
    return true;
}

bool SimParamRanges::IsPulseTrainModel(const QString& modelCode) {
    return modelCode.contains(u'B');
}

const ParamInfoTable* SimParamRanges::tableFor(const QString& modelCode) const {
    return tables[IsPulseTrainModel(modelCode) ? 1 : 0].get();
}

bool SimParamRanges::Accepts(const QString& modelCode, int number, int32_t value,
                             int32_t k72) const {
    const ParamInfoTable* table = tableFor(modelCode);
    if (!table || number < 1 || number > static_cast<int>(table->entries.size()))
        return true;
    const ParamInfo& head = table->entries[static_cast<std::size_t>(number - 1)];
    if (head.isEmpty())
        return true;
    for (const ParamInfo* entry = &head; entry; entry = entry->nextVariant.get()) {
        if (entry->valueType == 0)
            return true;
        int64_t scaled = value;
        if (entry->decimals < 0) {
            for (int places = std::clamp(k72, 0, 3); places < 3; ++places)
                scaled *= 10;
        }
        if (inRange(*entry, scaled))
            return true;
    }
    return false;
}

int32_t SimParamRanges::Clamp(const QString& modelCode, int number, int32_t value) const {
    const ParamInfoTable* table = tableFor(modelCode);
    if (!table || number < 1 || number > static_cast<int>(table->entries.size()))
        return value;
    const ParamInfo& head = table->entries[static_cast<std::size_t>(number - 1)];
    if (head.valueType != 2 && head.valueType != 3)
        return value;
    return std::clamp(value, head.minValue, head.maxValue);
}
