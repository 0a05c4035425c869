#include "comm/AlarmRecord.h"

#include "comm/CommandChannel.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "data/Conversions.h"

namespace {

// Drops everything up to and including the first `tag`; the text stays when there is none.
void skipPast(QStringView& rest, QChar tag) {
    const qsizetype at = rest.indexOf(tag);
    if (at >= 0)
        rest = rest.mid(at + 1);
}

QStringView takeUntilComma(QStringView& rest) {
    const qsizetype comma = rest.indexOf(QLatin1Char(','));
    if (comma < 0) {
        const QStringView all = rest;
        rest = QStringView();
        return all;
    }
    const QStringView field = rest.left(comma);
    rest = rest.mid(comma + 1);
    return field;
}

// Hexadecimal from the last 8 characters; anything that is no hexadecimal digit counts as 0.
uint32_t lastEightAsHex(QStringView text) {
    const QStringView digits = text.size() > 8 ? text.right(8) : text;
    uint32_t value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        uint32_t digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        value = (value << 4) | digit;
    }
    return value;
}

int32_t field(QStringView& rest, QChar tag) {
    skipPast(rest, tag);
    return ParseStandardInteger(takeUntilComma(rest));
}

} // namespace

void ParseAlarmRecord(QStringView text, AlarmRecord& record) {
    QStringView rest = text;
    skipPast(rest, QLatin1Char('F'));
    record.code = static_cast<uint8_t>(lastEightAsHex(takeUntilComma(rest)) & 0xFF);
    record.time = static_cast<uint32_t>(field(rest, QLatin1Char('T')));
    record.position = field(rest, QLatin1Char('P'));
    record.speed = field(rest, QLatin1Char('S'));
    record.runStatus = static_cast<int8_t>(field(rest, QLatin1Char('M')));
    record.runPoint = static_cast<uint8_t>(field(rest, QLatin1Char('N')));
    record.current = static_cast<int16_t>(field(rest, QLatin1Char('C')));
    record.voltage = static_cast<int16_t>(field(rest, QLatin1Char('V')));
    record.input = static_cast<uint16_t>(field(rest, QLatin1Char('I')));
    record.output = static_cast<uint16_t>(field(rest, QLatin1Char('O')));
}

bool ReadAlarmRecord(CCommandChannel& channel, int node, int slot, AlarmRecord& record) {
    QString answer;
    const bool ok = channel.QueryNumbered(kKeyRec, node, slot, answer);
    if (!ok)
        return false;
    const QString payload = ValueTextOf(answer, true);
    if (!payload.isEmpty())
        ParseAlarmRecord(payload, record);
    return true;
}
