#include "data/RobotCatalogInterface.h"

#include "platform/LibraryLoader.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <optional>
#include <vector>

namespace RobotCatalogInterface {

namespace {

QString& directoryOverride() {
    static QString directory;
    return directory;
}

// A library of the library directory. Only an absolute path is ever handed to the loader,
// so neither the library search path nor the current directory can supply it.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* fileName) {
        const QString directory = LibraryDirectory();
        if (!directory.isEmpty() && QDir::isAbsolutePath(directory))
            loader.emplace(QDir::cleanPath(directory + QLatin1Char('/') + QLatin1String(fileName)));
    }

    template <typename Function> Function function(const char* name) {
        return loader ? loader->function<Function>(name) : nullptr;
    }

private:
    std::optional<LibraryLoader> loader;
};

// A catalog text from a fixed array: up to the first zero, never past the array.
QString fromCatalogText(const RcChar* text, int capacity) {
    const RcChar* end = std::find(text, text + capacity, RcChar{0});
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), end - text);
}

// A zero-terminated copy for the catalog's name arguments.
std::vector<RcChar> toCatalogText(const QString& text) {
    std::vector<RcChar> units(text.size() + 1, 0);
    std::copy(text.utf16(), text.utf16() + text.size(), units.begin());
    return units;
}

constexpr int32_t kFirstNamesCapacity = 4096;
constexpr int32_t kLargestNamesCapacity = 1 << 20;

} // namespace

QString LibraryDirectory() {
    if (!directoryOverride().isEmpty())
        return directoryOverride();
    return QDir::cleanPath(LibraryLoader::ProgramDirectory());
}

void SetLibraryDirectoryForTests(const QString& directory) {
    directoryOverride() = directory;
}

bool GetControllerList(QList<ControllerName>& list) {
    LoadedLibrary library(kCatalogFileName);
    const auto getCount = library.function<RobotCatalog_GetControllerListCount_t>(
        "RobotCatalog_GetControllerListCount");
    const auto getNames =
        library.function<RobotCatalog_GetControllerNames_t>("RobotCatalog_GetControllerNames");
    if (getCount == nullptr || getNames == nullptr)
        return false;
    const int32_t count = getCount();
    if (count <= 0)
        return false;
    std::vector<ControllerNamePair> pairs(static_cast<size_t>(count));
    const int32_t filled = getNames(pairs.data(), count);
    if (filled <= 0)
        return false;
    QList<ControllerName> result;
    for (int32_t i = 0; i < std::min(filled, count); ++i) {
        result.append({fromCatalogText(pairs[i].controllerName, RC_NAME_CAPACITY),
                       fromCatalogText(pairs[i].modelCode, RC_NAME_CAPACITY)});
    }
    list = result;
    return true;
}

bool GetRobotNames(int controllerIndex, QString& names) {
    LoadedLibrary library(kCatalogFileName);
    const auto getRobotNames =
        library.function<RobotCatalog_GetRobotNames_t>("RobotCatalog_GetRobotNames");
    if (getRobotNames == nullptr)
        return false;
    // Grow the buffer while the catalog says it is too small.
    for (int32_t capacity = kFirstNamesCapacity; capacity <= kLargestNamesCapacity; capacity *= 2) {
        std::vector<RcChar> buffer(static_cast<size_t>(capacity), 0);
        const int32_t written = getRobotNames(controllerIndex, buffer.data(), capacity);
        if (written == -2)
            continue;
        if (written < 0)
            return false;
        names = fromCatalogText(buffer.data(), std::min(written + 1, capacity));
        return true;
    }
    return false;
}

QStringList SplitRobotNames(const QString& names) {
    return names.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString RobotModelOf(const QString& robotName) {
    const qsizetype dash = robotName.indexOf(QLatin1Char('-'));
    return dash < 0 ? robotName : robotName.left(dash);
}

StrokeTable EmptyStrokeTable() {
    StrokeTable table{};
    table.tableKind = RC_STROKE_TABLE_KIND;
    return table;
}

bool GetStrokeData(const QString& robotName, StrokeTable& table) {
    table.tableKind = RC_STROKE_TABLE_KIND;
    LoadedLibrary library(kCatalogFileName);
    const auto getStrokeData =
        library.function<RobotCatalog_GetStrokeData_t>("RobotCatalog_GetStrokeData");
    if (getStrokeData == nullptr) {
        table = EmptyStrokeTable();
        return false;
    }
    bool filledOk = false;
    StrokeTable filled = EmptyStrokeTable();
    // An empty name is the release call, not a robot.
    if (!robotName.isEmpty()) {
        const std::vector<RcChar> name = toCatalogText(robotName);
        filledOk =
            getStrokeData(name.data(), &filled) == 0 && filled.entryCount <= RC_MAX_STROKE_ENTRIES;
    }
    if (filledOk) {
        // Never trust counts beyond the arrays.
        for (int i = 0; i < filled.entryCount; ++i)
            filled.entries[i].overrideCount =
                std::min<uint8_t>(filled.entries[i].overrideCount, RC_MAX_STROKE_OVERRIDES);
        table = filled;
    } else {
        table = EmptyStrokeTable();
    }
    // The catalog gets its table back before it is unloaded, whatever the request gave.
    const RcChar emptyName[1] = {0};
    getStrokeData(emptyName, &filled);
    return filledOk;
}

void ReleaseStrokeData(StrokeTable& table) {
    {
        LoadedLibrary library(kCatalogFileName);
        const auto getStrokeData =
            library.function<RobotCatalog_GetStrokeData_t>("RobotCatalog_GetStrokeData");
        if (getStrokeData != nullptr) {
            const RcChar emptyName[1] = {0};
            getStrokeData(emptyName, &table);
        }
    }
    table = EmptyStrokeTable();
}

bool GetInitParameter(const QString& controllerName, const QString& robotName,
                      RobotParameters& parameters) {
    LoadedLibrary library(kCatalogFileName);
    const auto getInitParameter =
        library.function<RobotCatalog_GetInitParameter_t>("RobotCatalog_GetInitParameter");
    if (getInitParameter == nullptr)
        return false;
    const std::vector<RcChar> controller = toCatalogText(controllerName);
    const std::vector<RcChar> robot = toCatalogText(robotName);
    RcRobotParameters block{};
    if (getInitParameter(controller.data(), robot.data(), &block) != 0)
        return false;
    parameters.robotName = fromCatalogText(block.robotName, RC_NAME_CAPACITY);
    std::copy(std::begin(block.values), std::end(block.values), parameters.values.begin());
    return true;
}

bool GetDatabaseVersion(QString& version) {
    LoadedLibrary library(kCatalogFileName);
    const auto getVersion =
        library.function<RobotCatalog_GetDatabaseVersion_t>("RobotCatalog_GetDatabaseVersion");
    if (getVersion == nullptr)
        return false;
    RcChar text[RC_DATABASE_VERSION_CAPACITY] = {};
    if (getVersion(text, RC_DATABASE_VERSION_CAPACITY) != 0)
        return false;
    version = fromCatalogText(text, RC_DATABASE_VERSION_CAPACITY);
    return true;
}

bool DllAccCalc(int32_t payloadKg, const std::array<int32_t, 7>& accelInputs, int32_t& result) {
    LoadedLibrary library(kMotionFileName);
    const auto accCalc = library.function<DllAccCalc_t>("DllAccCalc");
    if (accCalc == nullptr)
        return false;
    result = accCalc(payloadKg, accelInputs[0], accelInputs[1], accelInputs[2], accelInputs[3],
                     accelInputs[4], accelInputs[5], accelInputs[6]);
    return true;
}

} // namespace RobotCatalogInterface
