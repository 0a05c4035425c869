#include "comm/Keywords.h"

#include <array>

namespace {

constexpr std::array<const char*, kKeyCount> kKeywords = {
    "K",        "M",        "P",         "S",        "AC",        "DC",        "Q",
    "ZL",       "ZH",       "N",         "J",        "F",         "C",         "T",
    "INB",      "IN",       "OUTB",      "OUT",      "OPTB",      "OPT",       "WIN",
    "WOUT",     "IO",       "WIO",       "D",        "MSG",       "ALM",       "WARN",
    "RECF",     "RECT",     "RECP",      "RECS",     "RECM",      "RECN",      "RECC",
    "RECV",     "RECI",     "RECO",      "REC",      "PNT",       "CONT",      "IF",
    "ROBOT",    "VER",      "VER2",      "H",        "COMR",      "SETID",     "TYPE",
    "COPY",     "DEL",      "INIT PNT",  "INIT REC", "INIT TRIP", "INIT TIME", "INIT COMW",
    "READ PNT", "READ PRM", "READ HPRM", "READ REC", "START",     "ORG",       "JOG+",
    "JOG-",     "INCH+",    "INCH-",     "TEACH",    "STOP",      "SRVO",      "BRK",
    "RESET"};

} // namespace

QString KeywordText(int index, bool query) {
    if (index < 0 || index >= kKeyCount)
        return QStringLiteral("???");
    if (index == kKeyComText && !query)
        return QStringLiteral("COMW");
    return QString::fromLatin1(kKeywords[static_cast<std::size_t>(index)]);
}

QString BuildKeyword(int index, bool query) {
    return (query ? QStringLiteral("@?") : QStringLiteral("@")) + KeywordText(index, query);
}
