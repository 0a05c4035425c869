#include "comm/ReplyLines.h"

namespace {

constexpr char16_t kCr = 13;
constexpr char16_t kLf = 10;

bool IsAsciiLetterOrDigit(char16_t u) {
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// False for the bytes dropped at the start of a line.
bool CanBeginReplyLine(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 && u < 0x7F;
}

// A line with no ASCII letter and no digit: line noise that carries nothing.
bool IsJunkLine(QStringView line) {
    for (const QChar c : line) {
        if (IsAsciiLetterOrDigit(c.unicode()))
            return false;
    }
    return true;
}

} // namespace

QStringList CutReplyLines(QStringView text, PartialLine partial) {
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype at = 0;
    while (at < size) {
        // Noise before the line; a CR here ends an empty line.
        while (at < size && text.at(at).unicode() != kCr && !CanBeginReplyLine(text.at(at)))
            ++at;
        const qsizetype cr = text.indexOf(QChar(kCr), at);
        if (cr < 0) {
            if (partial == PartialLine::Keep && at < size) {
                const QStringView line = text.mid(at);
                if (!IsJunkLine(line))
                    lines.append(line.toString());
            }
            break;
        }
        const QStringView line = text.mid(at, cr - at);
        if (!line.isEmpty() && !IsJunkLine(line))
            lines.append(line.toString());
        at = cr + 1;
        if (at < size && text.at(at).unicode() == kLf)
            ++at;
    }
    return lines;
}

QString JoinReplyLines(const QStringList& lines) {
    QString text;
    qsizetype length = 0;
    for (const QString& line : lines)
        length += line.size() + 2;
    text.reserve(length);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}
