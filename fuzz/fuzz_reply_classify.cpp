// Any bytes as received reply text: cutting lines, classifying them and extracting a payload
// must neither crash nor hang, and must keep every received character accounted for.
#include "comm/ChannelClock.h"
#include "comm/CommandChannel.h"
#include "data/CodePage.h"
#include "porthub/PortHub.h"

#include <cstddef>
#include <cstdint>

namespace {

class ReplayHub : public CPortHub {
public:
    QString text;
    QString GetInBuffAtOnce() override { return std::exchange(text, QString()); }
    QString GetInBuff() override { return received; }
    QString received;
};

// Every look at the clock moves it on, so each wait ends.
class RunningClock : public ChannelClock {
public:
    qint64 NowMs() override { return now += 1; }
    void WaitUntil(qint64 deadlineMs, const std::function<bool()>&) override { now = deadlineMs; }
    qint64 now = 0;
};

bool exactMatchIn(const QString& line, const QString& pattern, bool nodeGiven) {
    for (qsizetype at = line.indexOf(pattern); at >= 0; at = line.indexOf(pattern, at + 1)) {
        const qsizetype end = at + pattern.size();
        if (!nodeGiven || end == line.size() || !line.at(end).isDigit())
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int node = data[0] % 17;
    const QString text = CodePage::FromAnsi(reinterpret_cast<const char*>(data + 1),
                                            static_cast<qsizetype>(size - 1));

    ReplayHub hub;
    RunningClock clock;
    CCommandChannel channel(&hub);
    channel.setClock(&clock);
    channel.replyNode = node;
    channel.replyTimeoutMs = 5;

    const ChannelStatus status = channel.ClassifyReply(text);
    if (status == ChannelStatus::Ng) {
        if (!channel.lastError.startsWith(QLatin1String("NG.")))
            __builtin_trap();
    } else if (!channel.lastError.isEmpty()) {
        __builtin_trap();
    }
    for (const QString& line : text.split(QChar(13))) {
        const QString pattern =
            node > 0 ? QStringLiteral("OK.%1").arg(node) : QStringLiteral("OK.");
        if (channel.IsOkReply(line) && !exactMatchIn(line, pattern, node > 0))
            __builtin_trap();
    }

    // Lines cut from the buffer plus what stays must be what arrived (less one LF after them).
    hub.text = text;
    channel.busy = true;
    channel.AppendIncoming();
    QString lines;
    const ChannelStatus received = channel.ReceiveLines(lines);
    const QString rest = channel.PendingText();
    if (received == ChannelStatus::Received) {
        if (!lines.endsWith(QChar(13)))
            __builtin_trap();
        if (lines + rest != text && lines + QChar(10) + rest != text)
            __builtin_trap();
    } else if (received != ChannelStatus::TimedOut || rest != text) {
        __builtin_trap();
    }
    channel.busy = false;

    hub.received = text;
    QString answer;
    if (channel.ExtractPayload(QStringLiteral("@?K20.1"), answer) && !text.contains(answer))
        __builtin_trap();
    return 0;
}
