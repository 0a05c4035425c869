#pragma once

#include <QMutex>
#include <QString>
#include <QStringView>

#include <functional>

class CPortHub;
class ChannelClock;
class QEvent;

enum class ChannelStatus {
    Ok,
    Ng,
    NoVerdict,
    TimedOut,
    Running,
    Loading,
    Busy,
    Sent,
    Received,
    SendFailed,
};

// Why the last command failed, for the decisions and messages that depend on it.
struct ChannelFailure {
    enum class Kind {
        None,
        TimedOut,   // no complete reply within the time-out
        Refused,    // an NG reply; `ngCode` holds its code
        LineError,  // the line broke (NG code 0x49)
        BadAnswer,  // an answer that is incomplete or cannot be read
        SendFailed, // the port manager did not take the command line, or the port closed
        NotTaken,   // a whole-data write ended with items the controller did not take
    };
    Kind kind = Kind::None;
    int ngCode = -1;

    bool StopsTransfer() const {
        return kind == Kind::TimedOut || kind == Kind::LineError || kind == Kind::SendFailed;
    }
};

// The command protocol over one port manager: sends one command line at a time, collects the
// reply lines the port manager reports and decides on them. Runs on the thread that owns the
// port manager and its attached object; any thread with an event loop will do. A wait sleeps
// in that thread's event dispatcher and ends once the port manager's notifications brought in
// a complete line or the time-out passed; the thread's other events (the user's input on the GUI
// thread) are delivered meanwhile.
class CCommandChannel {
public:
    explicit CCommandChannel(CPortHub* hub = nullptr);
    ~CCommandChannel();
    CCommandChannel(const CCommandChannel&) = delete;
    CCommandChannel& operator=(const CCommandChannel&) = delete;

    // Receive half.
    void AppendIncoming();
    void InjectLinkError(int code);
    ChannelStatus ReceiveLines(QString& text);
    ChannelStatus ClassifyReply(QString text);
    // The matchers only look: ClassifyReply records what an NG reply says.
    bool IsOkReply(QStringView line) const;
    // `ngStart` (optional) receives where the NG text starts in `line`.
    bool IsNgReply(QStringView line, qsizetype* ngStart = nullptr) const;
    bool IsRunReply(QStringView line) const;
    bool IsEndReply(QStringView line) const;
    bool IsLoadingReply(QStringView line) const;
    // The two-digit hexadecimal code after the "=" of an NG text; -1 when it has none.
    static int NgCodeOf(QStringView errorText);
    static void PumpPendingMessages(int maxCount);

    // Send half.
    ChannelStatus SendLine(const QString& line);
    bool SendAndWait(int node, const QString& line);
    bool SendBroadcast(const QString& line);
    bool CollectBroadcast(const QString& line, QString& answer);
    bool QueryNode(int node, const QString& line, QString& answer);
    bool ExtractPayload(const QString& command, QString& answer);

    // Generic command operations; `kind` is an index of the keyword table.
    bool SendNumbered(int kind, int node, int number);
    bool SendRange(int kind, int node, int first, int last);
    bool SetValue(int kind, int node, int number, int value);
    bool SetText(int kind, int node, const QString& text);
    bool SetNumberedText(int kind, int node, int number, const QString& text);
    bool QueryKeyword(int kind, int node, QString& answer, bool query);
    bool QueryNumbered(int kind, int node, int number, QString& answer);
    bool AssignNodeNumbers();

    // The port closes under a command that waits for its reply: the wait ends at once and the
    // command fails as one the port did not take. Nothing happens while no command runs.
    void EndWaitForClosedPort();
    // Delivers the thread's events, sleeping between them, until `done` holds or `timeoutMs`
    // passed; true when `done` holds.
    bool WaitFor(const std::function<bool()>& done, int timeoutMs);

    // The caller found the answer of the last command incomplete or unreadable.
    void NoteBadAnswer() { lastFailure = {ChannelFailure::Kind::BadAnswer, -1}; }

    // A copy of the text not yet consumed by a command.
    QString PendingText() const;
    void setClock(ChannelClock* clock);

    CPortHub* portHub = nullptr;
    bool busy = false;
    QString lastError;
    // The kind of the last failure; None after a command that succeeded.
    ChannelFailure lastFailure;
    int replyNode = 0;
    int replyTimeoutMs = 0;

private:
    enum class Gate { Go, Fail, Shortcut };
    // The common checks of the generic operations: busy, link state 3, node rule.
    Gate check(int node, int lowestNode, QString* answer);
    bool matches(QStringView line, const char* keyword, qsizetype* matchStart = nullptr) const;
    // The buffer holds a line ending in CR that a wait may take.
    bool holdsCompleteLine() const;
    // The next lines received, classified; a time-out or nothing yet passes through as is.
    ChannelStatus NextReplyStatus();

    // Each channel has its own lock: the buffer belongs to one line, and channels on lines
    // of their own run on threads of their own without waiting for each other.
    mutable QMutex bufferMutex;
    // A command whose lines decide nothing for this many reply time-outs has timed out, however
    // much else the line carries (a controller that streams status lines, endless noise). The
    // allowance is far above what the longest list answer needs at the slowest line speed.
    static constexpr int kUndecidedPeriods = 15;
    qint64 undecidedLimitMs = 0; // counts only while `busy`
    // The port closed while the command in progress waited; cleared as the next command starts.
    bool portClosedUnderCommand = false;

    QString receiveBuffer;
    ChannelClock* clock;
};

// Routes a port manager notification to the channel: text received or line error.
// False when `event` is not a port manager notification.
bool DispatchPortHubEvent(QEvent* event, CCommandChannel& channel);

// Failure texts of the query operations.
inline constexpr const char* kTextCommandInProgress = "Command in progress";
inline constexpr const char* kTextInvalidNode = "Invalid Node No.";
inline constexpr const char* kTextError = "Error!";
inline constexpr const char* kTextTimeOut = "time out";
inline constexpr const char* kTextPortClosed = "port closed";
inline constexpr const char* kTextOkNotFound = "OK not found";
inline constexpr int kLinkErrorCode = 0x49;
