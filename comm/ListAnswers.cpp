#include "comm/ListAnswers.h"

#include "comm/ReplyLines.h"
#include "data/DataStore.h"

#include <QLatin1StringView>

#include <vector>

namespace {

bool IsDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool IsUpperLetter(QChar c) {
    return c.unicode() >= u'A' && c.unicode() <= u'Z';
}

// Digits from `at` on; -1 when there are none or too many to be an item number.
int ReadNumber(QStringView text, qsizetype& at) {
    int value = 0;
    const qsizetype start = at;
    while (at < text.size() && IsDigit(text.at(at)) && at - start < 4)
        value = value * 10 + text.at(at++).digitValue();
    return at == start || (at < text.size() && IsDigit(text.at(at))) ? -1 : value;
}

// An optional sign, then digits to the end (trailing blanks allowed).
bool IsWholeInteger(QStringView text) {
    qsizetype at = 0;
    if (at < text.size() && (text.at(at) == u'-' || text.at(at) == u'+'))
        ++at;
    const qsizetype digits = at;
    while (at < text.size() && IsDigit(text.at(at)))
        ++at;
    if (at == digits)
        return false;
    while (at < text.size() && text.at(at) == u' ')
        ++at;
    return at == text.size();
}

// "<key><n>=" and what follows: the item number, -1 when the line has another shape.
int ItemNumber(QStringView line, QLatin1StringView key, QStringView& rest) {
    if (!line.startsWith(key))
        return -1;
    qsizetype at = key.size();
    const int n = ReadNumber(line, at);
    if (n < 0 || at >= line.size() || line.at(at) != u'=')
        return -1;
    rest = line.mid(at + 1);
    return n;
}

// Replies of the controller and the echo of a command: no part of the list.
bool IsReplyOrEcho(QStringView line) {
    static const QLatin1StringView kForms[] = {
        QLatin1StringView("OK."),  QLatin1StringView("NG."),      QLatin1StringView("RUN."),
        QLatin1StringView("END."), QLatin1StringView("LOADING."),
    };
    if (line.startsWith(u'@'))
        return true;
    for (const QLatin1StringView form : kForms) {
        if (line.startsWith(form))
            return true;
    }
    return false;
}

// "M1,P10000,S100,...": comma-separated tags, each of capital letters and an integer.
bool IsPointFields(QStringView fields) {
    if (fields.isEmpty())
        return false;
    for (const QStringView field : fields.tokenize(u',')) {
        qsizetype at = 0;
        while (at < field.size() && IsUpperLetter(field.at(at)))
            ++at;
        if (at == 0 || !IsWholeInteger(field.mid(at)))
            return false;
    }
    return true;
}

// Takes the numbered items of `key` from `answer`; each of first..last exactly once, and
// nothing else unless a reply or an echo.
template <typename Take>
bool TakeNumbered(const QString& answer, QLatin1StringView key, int first, int last,
                  bool allRequired, bool (*valid)(QStringView), Take take) {
    std::vector<bool> seen(static_cast<std::size_t>(last - first + 1), false);
    int count = 0;
    for (const QString& line : CutReplyLines(answer)) {
        QStringView rest;
        const int n = ItemNumber(line, key, rest);
        if (n < 0) {
            if (IsReplyOrEcho(line))
                continue;
            return false;
        }
        if (n < first || n > last || !valid(rest))
            return false;
        const auto slot = static_cast<std::size_t>(n - first);
        if (seen[slot])
            return false;
        seen[slot] = true;
        ++count;
        take(n, line);
    }
    return !allRequired || count == last - first + 1;
}

} // namespace

bool TakePointList(const CDataStore& store, ControllerData& data, const QString& answer) {
    return TakeNumbered(answer, QLatin1StringView("PNT"), 1, kPointCount, false, IsPointFields,
                        [&](int, const QString& line) { store.ParsePointLine(data, line); });
}

bool TakeKList(const CDataStore& store, ControllerData& data, const QString& answer) {
    return TakeNumbered(answer, QLatin1StringView("K"), 1, kKParamCount, true, IsWholeInteger,
                        [&](int n, const QString& line) {
                            if (n != kNodeParam)
                                store.ParseKLine(data, line);
                        });
}

bool TakeHList(const CDataStore& store, ControllerData& data, const QString& answer) {
    return TakeNumbered(answer, QLatin1StringView("H"), 0, kParamCount - kHParamIndex - 1, true,
                        IsWholeInteger,
                        [&](int, const QString& line) { store.ParseHLine(data, line); });
}
