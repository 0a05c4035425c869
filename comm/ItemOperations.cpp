#include "comm/ItemOperations.h"

#include "comm/CommandChannel.h"
#include "comm/Keywords.h"
#include "comm/ReplyLines.h"
#include "data/Conversions.h"
#include "data/DataStore.h"
#include "porthub/PortHub.h"

namespace {

// An accepted query whose answer holds no value is a failure with a reason of its own.
QString valueOrNote(CCommandChannel& channel, const QString& answer, bool ok) {
    const QString text = ValueTextOf(answer, ok);
    if (ok && text.isEmpty())
        channel.NoteBadAnswer();
    return text;
}

// `mayBeEmpty`: an empty list is a valid answer (a controller without points).
bool readList(CCommandChannel& channel, int kind, int node, QString& answer, bool mayBeEmpty) {
    QString payload;
    const bool ok = channel.QueryKeyword(kind, node, payload, false);
    if (payload.isEmpty() && !(ok && mayBeEmpty)) {
        if (ok)
            channel.NoteBadAnswer();
        return false;
    }
    answer = payload;
    return ok;
}

bool readNumber(CCommandChannel& channel, int kind, int node, int number, int32_t& value) {
    QString answer;
    const bool ok = channel.QueryNumbered(kind, node, number, answer);
    const QString text = valueOrNote(channel, answer, ok);
    if (text.isEmpty())
        return false;
    value = ParseStandardInteger(text);
    return ok;
}

} // namespace

QString ValueTextOf(const QString& answer, bool queryOk) {
    if (!queryOk)
        return answer;
    const QStringList lines = CutReplyLines(answer);
    if (lines.isEmpty())
        return QString();
    const QString& first = lines.first();
    const qsizetype equals = first.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : first.mid(equals + 1);
}

bool PrepareLine(CPortHub& hub, CCommandChannel& channel) {
    (void)hub.SendData(QStringLiteral("\r\n"));
    return channel.SetValue(kKeyK, 0, 99, 0);
}

bool QueryAllControllers(CCommandChannel& channel, QString& answer) {
    const bool ok = channel.QueryKeyword(kKeyCont, 0, answer, true);
    return ok && !answer.isEmpty();
}

bool ReadIdentityItem(CCommandChannel& channel, int node, int item, QString& value) {
    QString answer;
    const bool ok = channel.QueryKeyword(item, node, answer, true);
    const QString text = valueOrNote(channel, answer, ok);
    if (text.isEmpty())
        return false;
    value = text;
    return ok;
}

bool ReadPointList(CCommandChannel& channel, int node, QString& answer) {
    return readList(channel, kKeyReadPnt, node, answer, true);
}

bool ReadParameterList(CCommandChannel& channel, int node, QString& answer) {
    return readList(channel, kKeyReadPrm, node, answer, false);
}

bool ReadHParameterList(CCommandChannel& channel, int node, QString& answer) {
    return readList(channel, kKeyReadHprm, node, answer, false);
}

bool ReadPoint(CCommandChannel& channel, int node, int number, PointRecord& point) {
    QString answer;
    const bool ok = channel.QueryNumbered(kKeyPnt, node, number, answer);
    const QString text = valueOrNote(channel, answer, ok);
    if (text.isEmpty())
        return false;
    // A point not in use (M not above 0) leaves the caller's record as it was.
    ParsePointReply(point, number, text);
    return ok;
}

bool WritePointField(CCommandChannel& channel, int node, int number, int field, int32_t value) {
    if (field < kKeyPointFirst || field > kKeyPointLast)
        return false;
    return channel.SetValue(field, node, number, value);
}

bool DeletePoints(CCommandChannel& channel, int node, int first, int last) {
    if (last <= 0)
        return channel.SendNumbered(kKeyDel, node, first);
    return channel.SendRange(kKeyDel, node, first, last);
}

bool ReadK(CCommandChannel& channel, int node, int number, int32_t& value) {
    return readNumber(channel, kKeyK, node, number, value);
}

bool ReadH(CCommandChannel& channel, int node, int number, int32_t& value) {
    return readNumber(channel, kKeyH, node, number, value);
}

bool WriteK(CCommandChannel& channel, int node, int number, int32_t value) {
    return channel.SetValue(kKeyK, node, number, value);
}

bool WriteH(CCommandChannel& channel, int node, int number, int32_t value) {
    return channel.SetValue(kKeyH, node, number, value);
}

bool ReadTextItem(CCommandChannel& channel, int node, int number, QString& text) {
    QString answer;
    const bool ok = channel.QueryNumbered(kKeyComText, node, number, answer);
    text = ValueTextOf(answer, ok);
    return ok;
}

bool WriteTextItem(CCommandChannel& channel, int node, int number, const QString& text) {
    return channel.SetNumberedText(kKeyComText, node, number, text);
}

bool WriteRobotName(CCommandChannel& channel, int node, const QString& name) {
    return channel.SetText(kKeyRobot, node, name);
}

bool AssignNodeNumbers(CCommandChannel& channel) {
    return channel.AssignNodeNumbers();
}
