#include "simulator/SimCommand.h"

#include <QStringList>

#include <algorithm>

namespace {

// Every keyword a controller knows, longest first so that "RECF" wins over "REC", "VER2" over
// "VER" and "DEL" over "D".
const QStringList& keywords() {
    static const QStringList list = [] {
        QStringList all = {
            "K",         "M",        "P",        "S",         "AC",       "DC",        "Q",
            "ZL",        "ZH",       "N",        "J",         "F",        "C",         "T",
            "INB",       "IN",       "OUTB",     "OUT",       "OPTB",     "OPT",       "WIN",
            "WOUT",      "IO",       "WIO",      "D",         "MSG",      "ALM",       "WARN",
            "RECF",      "RECT",     "RECP",     "RECS",      "RECM",     "RECN",      "RECC",
            "RECV",      "RECI",     "RECO",     "REC",       "PNT",      "CONT",      "IF",
            "ROBOT",     "VER",      "VER2",     "H",         "COMR",     "COMW",      "SETID",
            "TYPE",      "COPY",     "DEL",      "INIT PNT",  "INIT REC", "INIT TRIP", "INIT TIME",
            "INIT COMW", "READ PNT", "READ PRM", "READ HPRM", "READ REC", "START",     "ORG",
            "JOG+",      "JOG-",     "INCH+",    "INCH-",     "TEACH",    "STOP",      "SRVO",
            "BRK",       "RESET"};
        std::stable_sort(all.begin(), all.end(),
                         [](const QString& a, const QString& b) { return a.size() > b.size(); });
        return all;
    }();
    return list;
}

bool isLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads up to 10 digits at `pos`; false when there is none or the number is absurdly long.
bool readNumber(QStringView text, qsizetype& pos, int64_t& number) {
    const qsizetype start = pos;
    number = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        if (pos - start >= 10)
            return false;
        number = number * 10 + (text[pos].unicode() - u'0');
        ++pos;
    }
    return pos > start;
}

// The node a garbled line was meant for: the digits after the last "." before any "=".
int guessNode(QStringView line) {
    const qsizetype equals = line.indexOf(u'=');
    const QStringView head = equals < 0 ? line : line.left(equals);
    const qsizetype dot = head.lastIndexOf(u'.');
    if (dot < 0)
        return 0;
    qsizetype pos = dot + 1;
    int64_t node = 0;
    if (!readNumber(head, pos, node) || pos != head.size())
        return -1;
    return node >= 1 && node <= 16 ? static_cast<int>(node) : -1;
}

} // namespace

SimCommand SimCommand::Parse(QStringView line) {
    SimCommand command = ParseParts(line);
    if (command.form == Form::Malformed)
        command.node = guessNode(line);
    return command;
}

SimCommand SimCommand::ParseParts(QStringView line) {
    SimCommand command;
    if (!line.startsWith(u'@'))
        return command;
    command.form = Form::Malformed;
    qsizetype pos = 1;
    if (pos < line.size() && line[pos] == u'?') {
        command.query = true;
        ++pos;
    }
    const QStringView body = line.mid(pos);
    for (const QString& keyword : keywords()) {
        if (body.startsWith(keyword) &&
            (body.size() == keyword.size() || !isLetter(body[keyword.size()]))) {
            command.keyword = keyword;
            command.knownKeyword = true;
            break;
        }
    }
    if (!command.knownKeyword) {
        // Keep what stood there, so that the addressed controller can refuse it.
        qsizetype end = pos;
        while (end < line.size() && !isDigit(line[end]) && line[end] != u'.' && line[end] != u'=')
            ++end;
        command.keyword = line.mid(pos, end - pos).toString();
        if (command.keyword.isEmpty())
            return command;
    }
    pos += command.keyword.size();

    if (pos < line.size() && isDigit(line[pos])) {
        if (!readNumber(line, pos, command.number))
            return command;
        command.hasNumber = true;
        if (pos < line.size() && line[pos] == u'-') {
            ++pos;
            if (!readNumber(line, pos, command.last))
                return command;
            command.hasLast = true;
        }
    }
    if (pos < line.size() && line[pos] == u'.') {
        ++pos;
        int64_t node = 0;
        if (!readNumber(line, pos, node))
            return command;
        command.node = node >= 1 && node <= 16 ? static_cast<int>(node) : -1;
    }
    if (pos < line.size() && line[pos] == u'=') {
        command.hasValue = true;
        command.value = line.mid(pos + 1).toString();
        pos = line.size();
    }
    if (pos != line.size())
        return command;
    command.form = Form::Parsed;
    return command;
}
