#include "data/Conversions.h"
#include "data/DataStore.h"

namespace {

// The text before the first `separator`, removing it and the separator from `rest`; without a
// separator the whole text, leaving `rest` empty.
QStringView takeUntil(QStringView& rest, QStringView separator) {
    const qsizetype at = rest.indexOf(separator);
    if (at < 0) {
        const QStringView whole = rest;
        rest = {};
        return whole;
    }
    const QStringView first = rest.left(at);
    rest = rest.mid(at + separator.size());
    return first;
}

// Drops everything up to and including the first `tag`; nothing is left when it is missing.
void skipPast(QStringView& rest, QLatin1String tag) {
    const qsizetype at = rest.indexOf(tag);
    rest = at < 0 ? QStringView() : rest.mid(at + tag.size());
}

RobotParameters* firstBlock(ControllerData& data) {
    return data.robotParams.empty() ? nullptr : &data.robotParams[0];
}

// "K12=5" / "H3=7" with the key letter already checked: the number and the value text.
int32_t numberBeforeEquals(QStringView& rest) {
    return ParseStandardInteger(takeUntil(rest, u"="));
}

// A parameter line is "<letter><n>=<value>"; without its "=" it is no parameter line at all
// (read as one, "H5" would write a zero into H0 on restore).
bool parameterNumber(QStringView line, int32_t& n, QStringView& value) {
    value = line.mid(1);
    if (!value.contains(u'='))
        return false;
    n = numberBeforeEquals(value);
    return true;
}

} // namespace

bool ParsePointReply(PointRecord& point, int number, QStringView text) {
    QStringView rest = text;
    skipPast(rest, QLatin1String("M"));
    const int32_t runType = ParseStandardInteger(takeUntil(rest, u","));
    if (runType <= 0)
        return false;
    point.number = number;
    point.runType = runType;
    for (int index = 2; index < kPointFieldCount; ++index) {
        skipPast(rest, QLatin1String(kPointFieldTags[index]));
        point.field(index) = ParseStandardInteger(takeUntil(rest, u","));
    }
    return true;
}

void CDataStore::ParsePointLine(ControllerData& data, QStringView line) const {
    if (!line.startsWith(u"PNT"))
        return;
    QStringView rest = line.mid(3);
    const int32_t n = numberBeforeEquals(rest);
    if (n < 1 || n > kPointCount || static_cast<std::size_t>(n) > data.points.size())
        return;
    ParsePointReply(data.points[static_cast<std::size_t>(n - 1)], n, rest);
}

void CDataStore::ParseKLine(ControllerData& data, QStringView line) const {
    RobotParameters* block = firstBlock(data);
    if (!block || !line.startsWith(u'K'))
        return;
    int32_t n = 0;
    QStringView rest;
    if (!parameterNumber(line, n, rest) || n < 1 || n > kKParamCount)
        return;
    block->K(n) = ParseStandardInteger(rest);
}

void CDataStore::ParseHLine(ControllerData& data, QStringView line) const {
    RobotParameters* block = firstBlock(data);
    if (!block || !line.startsWith(u'H'))
        return;
    int32_t n = 0;
    QStringView rest;
    if (!parameterNumber(line, n, rest) || n < 0 || n > kParamCount - kHParamIndex - 1)
        return;
    block->H(n) = ParseStandardInteger(rest);
}
