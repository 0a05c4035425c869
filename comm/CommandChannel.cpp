#include "comm/CommandChannel.h"

#include "comm/ChannelClock.h"
#include "comm/Keywords.h"
#include "comm/ReplyLines.h"
#include "data/Conversions.h"
#include "porthub/PortHub.h"

#include <QCoreApplication>
#include <QMutexLocker>

namespace {

constexpr QChar kCr(13);
constexpr QChar kLf(10);
const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kHighestNode = 16;

QStringView textWithoutTrailingSpace(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

// Index of the first "OK." that starts a word, -1 when there is none.
qsizetype indexOfOkReply(const QString& text) {
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(QLatin1String("OK."), from);
        if (at < 0)
            return -1;
        if (at == 0 || !text.at(at - 1).isLetterOrNumber())
            return at;
        from = at + 1;
    }
}

} // namespace

CCommandChannel::CCommandChannel(CPortHub* hub) : portHub(hub), clock(&ChannelClock::System()) {}

CCommandChannel::~CCommandChannel() = default;

void CCommandChannel::setClock(ChannelClock* newClock) {
    clock = newClock ? newClock : &ChannelClock::System();
}

QString CCommandChannel::PendingText() const {
    QMutexLocker lock(&bufferMutex);
    return receiveBuffer;
}

void CCommandChannel::AppendIncoming() {
    if (!busy || !portHub)
        return;
    const QString text = portHub->GetInBuffAtOnce();
    QMutexLocker lock(&bufferMutex);
    receiveBuffer += text;
}

void CCommandChannel::InjectLinkError(int code) {
    if (!busy)
        return;
    const QString line =
        replyNode <= 0 ? QStringLiteral("NG.=%1\r\n").arg(code & 0xFF, 2, 16, QLatin1Char('0'))
                       : QStringLiteral("NG.%1=%2\r\n")
                             .arg(replyNode)
                             .arg(code & 0xFF, 2, 16, QLatin1Char('0'));
    QMutexLocker lock(&bufferMutex);
    receiveBuffer = line;
}

void CCommandChannel::PumpPendingMessages(int maxCount) {
    Q_UNUSED(maxCount);
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The port manager reads the line inside that pass and posts its notification; deliver
    // it now rather than one poll later.
    QCoreApplication::sendPostedEvents();
}

void CCommandChannel::EndWaitForClosedPort() {
    if (busy)
        portClosedUnderCommand = true;
}

bool CCommandChannel::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    clock->WaitUntil(clock->NowMs() + qMax(timeoutMs, 0), done);
    return done();
}

bool CCommandChannel::holdsCompleteLine() const {
    QMutexLocker lock(&bufferMutex);
    // A CR as the very first character does not complete a line yet.
    return receiveBuffer.lastIndexOf(kCr) > 0;
}

ChannelStatus CCommandChannel::ReceiveLines(QString& text) {
    QString snapshot;
    // The allowance of the command in progress; none outside a command.
    const qint64 undecidedLimit = busy ? undecidedLimitMs : 0;
    qint64 deadline = clock->NowMs() + replyTimeoutMs;
    if (undecidedLimit > 0)
        deadline = qMin(deadline, undecidedLimit);
    while (!holdsCompleteLine()) {
        if (portClosedUnderCommand) {
            lastError = QLatin1String(kTextPortClosed);
            lastFailure = {ChannelFailure::Kind::SendFailed, -1};
            return ChannelStatus::SendFailed;
        }
        const qint64 now = clock->NowMs();
        if (now >= deadline) {
            const QString copy = PendingText();
            const bool undecidedTooLong = undecidedLimit > 0 && now >= undecidedLimit;
            if (copy == snapshot || copy.isEmpty() || undecidedTooLong) {
                lastError = QStringLiteral("TimeOut");
                lastFailure = {ChannelFailure::Kind::TimedOut, -1};
                return ChannelStatus::TimedOut;
            }
            // Text is still coming in: give it another period.
            snapshot = copy;
            deadline = now + replyTimeoutMs;
            if (undecidedLimit > 0)
                deadline = qMin(deadline, undecidedLimit);
        }
        // Sleeps through the notifications of a line still arriving; wakes for its end.
        clock->WaitUntil(deadline,
                         [this] { return portClosedUnderCommand || holdsCompleteLine(); });
    }
    QMutexLocker lock(&bufferMutex);
    const qsizetype position = receiveBuffer.lastIndexOf(kCr);
    text = receiveBuffer.left(position + 1);
    receiveBuffer.remove(0, position + 1);
    if (receiveBuffer.startsWith(kLf))
        receiveBuffer.remove(0, 1);
    return ChannelStatus::Received;
}

bool CCommandChannel::matches(QStringView line, const char* keyword, qsizetype* matchStart) const {
    const QString pattern =
        replyNode <= 0 ? QString::fromLatin1(keyword) + QLatin1Char('.')
                       : QStringLiteral("%1.%2").arg(QLatin1String(keyword)).arg(replyNode);
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = line.indexOf(pattern, from);
        if (at < 0)
            return false;
        from = at + 1;
        // A reply word starts the match ("LOCK.1" holds no OK reply) ...
        if (at > 0 && line.at(at - 1).isLetterOrNumber())
            continue;
        // ... and a node's number ends it: node 12's reply is not node 1's.
        const qsizetype end = at + pattern.size();
        if (replyNode > 0 && end < line.size() && line.at(end).isDigit())
            continue;
        if (matchStart)
            *matchStart = at;
        return true;
    }
}

bool CCommandChannel::IsOkReply(QStringView line) const {
    return matches(line, "OK");
}

bool CCommandChannel::IsNgReply(QStringView line, qsizetype* ngStart) const {
    return matches(line, "NG", ngStart);
}

int CCommandChannel::NgCodeOf(QStringView errorText) {
    const qsizetype equals = errorText.indexOf(QLatin1Char('='));
    const QStringView code = errorText.mid(equals + 1, 2);
    int value = 0;
    int digits = 0;
    for (const QChar c : code) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
        ++digits;
    }
    return digits > 0 ? value : -1;
}

bool CCommandChannel::IsRunReply(QStringView line) const {
    return matches(line, "RUN");
}

bool CCommandChannel::IsEndReply(QStringView line) const {
    return matches(line, "END");
}

bool CCommandChannel::IsLoadingReply(QStringView line) const {
    return matches(line, "LOADING");
}

ChannelStatus CCommandChannel::ClassifyReply(QString text) {
    ChannelStatus result = ChannelStatus::NoVerdict;
    // Only complete lines decide; the rest is still on its way.
    for (const QString& line : CutReplyLines(text, PartialLine::Drop)) {
        qsizetype ngStart = 0;
        if (IsLoadingReply(line)) {
            result = ChannelStatus::Loading;
        } else if (IsNgReply(line, &ngStart)) {
            result = ChannelStatus::Ng;
            lastError = line.mid(ngStart);
            const int code = NgCodeOf(lastError);
            lastFailure = {code == kLinkErrorCode ? ChannelFailure::Kind::LineError
                                                  : ChannelFailure::Kind::Refused,
                           code};
        } else if (IsEndReply(line)) {
            continue;
        } else if (IsOkReply(line)) {
            result = ChannelStatus::Ok;
        } else if (IsRunReply(line)) {
            result = ChannelStatus::Running;
        }
    }
    if (result != ChannelStatus::Ng) {
        lastError.clear();
        lastFailure = {};
    }
    return result;
}

ChannelStatus CCommandChannel::SendLine(const QString& line) {
    if (busy)
        return ChannelStatus::Busy;
    if (!portHub) {
        lastFailure = {ChannelFailure::Kind::SendFailed, -1};
        return ChannelStatus::SendFailed;
    }
    busy = true;
    portClosedUnderCommand = false;
    // Text that arrived while no command ran belongs to no command.
    (void)portHub->GetInBuffAtOnce();
    if (portHub->SendData(line)) {
        lastFailure = {};
        undecidedLimitMs = clock->NowMs() + kUndecidedPeriods * qMax(replyTimeoutMs, 1);
        return ChannelStatus::Sent;
    }
    busy = false;
    lastFailure = {ChannelFailure::Kind::SendFailed, -1};
    return ChannelStatus::SendFailed;
}

ChannelStatus CCommandChannel::NextReplyStatus() {
    QString text;
    ChannelStatus status = ReceiveLines(text);
    if (status == ChannelStatus::Received)
        status = ClassifyReply(text);
    // A line that decides (or promises) the answer gives the command a fresh allowance; lines
    // that decide nothing, such as a controller's unsolicited status lines, do not.
    if (status == ChannelStatus::Ok || status == ChannelStatus::Loading)
        undecidedLimitMs = clock->NowMs() + kUndecidedPeriods * qMax(replyTimeoutMs, 1);
    return status;
}

bool CCommandChannel::SendAndWait(int node, const QString& line) {
    if (SendLine(line + kLineEnd) != ChannelStatus::Sent)
        return false;
    replyNode = node;
    bool result = false;
    for (;;) {
        const ChannelStatus status = NextReplyStatus();
        if (status == ChannelStatus::Ok) {
            result = true;
            break;
        }
        if (status == ChannelStatus::Ng || status == ChannelStatus::TimedOut ||
            status == ChannelStatus::SendFailed)
            break;
    }
    busy = false;
    replyNode = 0;
    return result;
}

bool CCommandChannel::SendBroadcast(const QString& line) {
    // The same wait as a collecting broadcast; only the answers are not wanted.
    QString unused;
    return CollectBroadcast(line, unused);
}

bool CCommandChannel::CollectBroadcast(const QString& line, QString& answer) {
    if (SendLine(line + kLineEnd) != ChannelStatus::Sent)
        return false;
    bool result = false;
    for (;;) {
        const ChannelStatus status = NextReplyStatus();
        if (status == ChannelStatus::Ok) {
            result = true;
            continue;
        }
        if (status == ChannelStatus::Ng || status == ChannelStatus::SendFailed) {
            busy = false;
            return false;
        }
        if (status == ChannelStatus::TimedOut)
            break;
    }
    busy = false;
    answer = JoinReplyLines(CutReplyLines(portHub->GetInBuff()));
    // The quiet period that ends a broadcast is no failure once a controller answered.
    if (result)
        lastFailure = {};
    return result;
}

bool CCommandChannel::QueryNode(int node, const QString& line, QString& answer) {
    if (SendLine(line + kLineEnd) != ChannelStatus::Sent) {
        answer = QLatin1String(kTextCommandInProgress);
        return false;
    }
    replyNode = node;
    bool result = false;
    for (;;) {
        const ChannelStatus status = NextReplyStatus();
        if (status == ChannelStatus::Ok) {
            QString payload;
            result = ExtractPayload(line, payload);
            answer = payload;
            break;
        }
        if (status == ChannelStatus::Ng) {
            answer = QLatin1String(kTextError);
            break;
        }
        if (status == ChannelStatus::TimedOut) {
            answer = QLatin1String(kTextTimeOut);
            break;
        }
        if (status == ChannelStatus::SendFailed) {
            answer = QLatin1String(kTextPortClosed);
            break;
        }
    }
    busy = false;
    replyNode = 0;
    return result;
}

bool CCommandChannel::ExtractPayload(const QString& command, QString& answer) {
    QStringList lines = CutReplyLines(portHub ? portHub->GetInBuff() : QString());
    // The controller's echo of the command line is no part of the answer.
    if (!lines.isEmpty() && textWithoutTrailingSpace(lines.first()) == command)
        lines.removeFirst();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (indexOfOkReply(lines.at(i)) >= 0) {
            answer = JoinReplyLines(lines.first(i));
            return true;
        }
    }
    answer = QLatin1String(kTextOkNotFound);
    lastFailure = {ChannelFailure::Kind::BadAnswer, -1};
    return false;
}

CCommandChannel::Gate CCommandChannel::check(int node, int lowestNode, QString* answer) {
    if (busy) {
        if (answer)
            *answer = QLatin1String(kTextCommandInProgress);
        return Gate::Fail;
    }
    if (portHub && portHub->linkState == kLinkOffline)
        return Gate::Shortcut;
    if (node < lowestNode || node > kHighestNode) {
        if (answer)
            *answer = QLatin1String(kTextInvalidNode);
        return Gate::Fail;
    }
    return Gate::Go;
}

bool CCommandChannel::SendNumbered(int kind, int node, int number) {
    const Gate gate = check(node, 1, nullptr);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    return SendAndWait(
        node, QStringLiteral("%1%2.%3").arg(BuildKeyword(kind, false)).arg(number).arg(node));
}

bool CCommandChannel::SendRange(int kind, int node, int first, int last) {
    const Gate gate = check(node, 1, nullptr);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    return SendAndWait(
        node,
        QStringLiteral("%1%2-%3.%4").arg(BuildKeyword(kind, false)).arg(first).arg(last).arg(node));
}

bool CCommandChannel::SetValue(int kind, int node, int number, int value) {
    const Gate gate = check(node, 0, nullptr);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    const QString keyword = BuildKeyword(kind, false);
    if (node == 0)
        return SendBroadcast(QStringLiteral("%1%2=%3").arg(keyword).arg(number).arg(value));
    return SendAndWait(node,
                       QStringLiteral("%1%2.%3=%4").arg(keyword).arg(number).arg(node).arg(value));
}

bool CCommandChannel::SetText(int kind, int node, const QString& text) {
    const Gate gate = check(node, 1, nullptr);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    return SendAndWait(node, BuildKeyword(kind, false) + QStringLiteral(".%1=").arg(node) + text);
}

bool CCommandChannel::SetNumberedText(int kind, int node, int number, const QString& text) {
    const Gate gate = check(node, 1, nullptr);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    return SendAndWait(node, BuildKeyword(kind, false) +
                                 QStringLiteral("%1.%2=").arg(number).arg(node) + text);
}

bool CCommandChannel::QueryKeyword(int kind, int node, QString& answer, bool query) {
    const Gate gate = check(node, 0, &answer);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    const QString keyword = BuildKeyword(kind, query);
    if (node == 0)
        return CollectBroadcast(keyword, answer);
    return QueryNode(node, keyword + QStringLiteral(".%1").arg(node), answer);
}

bool CCommandChannel::QueryNumbered(int kind, int node, int number, QString& answer) {
    const Gate gate = check(node, 0, &answer);
    if (gate != Gate::Go)
        return gate == Gate::Shortcut;
    const QString keyword = BuildKeyword(kind, true);
    if (node == 0)
        return CollectBroadcast(keyword + QString::number(number), answer);
    return QueryNode(node, keyword + QStringLiteral("%1.%2").arg(number).arg(node), answer);
}

bool CCommandChannel::AssignNodeNumbers() {
    if (portHub && portHub->linkState == kLinkOffline)
        return true;
    QString answer;
    return CollectBroadcast(BuildKeyword(kKeySetId, false), answer);
}

bool DispatchPortHubEvent(QEvent* event, CCommandChannel& channel) {
    if (!event || event->type() != CPortHubEvent::EventType())
        return false;
    switch (static_cast<CPortHubEvent*>(event)->code) {
    case kNotifyTextReceived:
        channel.AppendIncoming();
        break;
    case kNotifyLineError:
        channel.InjectLinkError(kLinkErrorCode);
        break;
    default:
        break;
    }
    return true;
}
