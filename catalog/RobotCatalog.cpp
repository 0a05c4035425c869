#include "catalog/CatalogData.h"
#include "catalog/RobotCatalogApi.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Catalog names are plain ASCII; any other unit cannot match, so it reads as no name.
std::optional<std::string> narrowName(const RcChar* text) {
    std::string name;
    for (int i = 0;; ++i) {
        if (i >= RC_NAME_CAPACITY)
            return std::nullopt;
        const RcChar unit = text[i];
        if (unit == 0)
            return name;
        if (unit > 0x7f)
            return std::nullopt;
        name.push_back(static_cast<char>(unit));
    }
}

// Writes `text` and its zero when they fit; false (nothing written) otherwise.
bool writeText(std::string_view text, RcChar* target, int32_t capacity) {
    if (target == nullptr || capacity <= 0 || text.size() >= static_cast<size_t>(capacity))
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        target[i] = static_cast<unsigned char>(text[i]);
    target[text.size()] = 0;
    return true;
}

} // namespace

extern "C" {

int32_t RobotCatalog_GetControllerListCount(void) {
    return static_cast<int32_t>(catalog::Controllers().size());
}

int32_t RobotCatalog_GetControllerNames(ControllerNamePair* pairs, int32_t capacity) {
    const auto controllers = catalog::Controllers();
    const auto count = static_cast<int32_t>(controllers.size());
    if (pairs == nullptr || capacity < count)
        return -1;
    for (int32_t i = 0; i < count; ++i) {
        ControllerNamePair pair{};
        writeText(controllers[i].name, pair.controllerName, RC_NAME_CAPACITY);
        writeText(controllers[i].modelCode, pair.modelCode, RC_NAME_CAPACITY);
        pairs[i] = pair;
    }
    return count;
}

int32_t RobotCatalog_GetRobotNames(int32_t controllerIndex, RcChar* text, int32_t capacity) {
    const auto controllers = catalog::Controllers();
    if (text == nullptr || controllerIndex < 0 ||
        controllerIndex >= static_cast<int32_t>(controllers.size()))
        return -1;
    const std::string names = catalog::RobotNamesOf(controllers[controllerIndex]);
    if (!writeText(names, text, capacity))
        return -2;
    return static_cast<int32_t>(names.size());
}

int32_t RobotCatalog_GetStrokeData(const RcChar* robotName, StrokeTable* table) {
    if (table == nullptr)
        return -1;
    if (robotName == nullptr || robotName[0] == 0) {
        // Release: nothing is held outside the table, so emptying it is all there is to do.
        const int32_t kind = table->tableKind;
        *table = StrokeTable{};
        table->tableKind = kind;
        return 0;
    }
    if (table->tableKind != RC_STROKE_TABLE_KIND)
        return -1;
    const auto name = narrowName(robotName);
    const catalog::RobotEntry* robot = name ? catalog::FindRobot(*name) : nullptr;
    if (robot == nullptr)
        return -2;
    StrokeTable built{};
    built.tableKind = table->tableKind;
    if (!catalog::BuildStrokeTable(*robot, built))
        return -2;
    *table = built;
    return 0;
}

int32_t RobotCatalog_GetInitParameter(const RcChar* controllerName, const RcChar* robotName,
                                      RcRobotParameters* parameters) {
    if (controllerName == nullptr || robotName == nullptr || parameters == nullptr)
        return -1;
    const auto controllerText = narrowName(controllerName);
    const catalog::ControllerEntry* controller =
        controllerText ? catalog::FindController(*controllerText) : nullptr;
    if (controller == nullptr)
        return -2;
    const auto robotText = narrowName(robotName);
    const catalog::RobotEntry* robot = robotText ? catalog::FindRobot(*robotText) : nullptr;
    if (robot == nullptr || !catalog::ControllerOffers(*controller, *robot))
        return -3;
    RcRobotParameters result{};
    writeText(robot->name, result.robotName, RC_NAME_CAPACITY);
    result.reserved = parameters->reserved;
    const catalog::ParameterValues values = catalog::InitialParameters(*controller, *robot);
    std::copy(values.begin(), values.end(), result.values);
    *parameters = result;
    return 0;
}

int32_t RobotCatalog_GetDatabaseVersion(RcChar* text, int32_t capacity) {
    return writeText(catalog::kDatabaseVersion, text, capacity) ? 0 : -1;
}

} // extern "C"
