#pragma once

#include "comm/ChannelClock.h"
#include "comm/CommandChannel.h"
#include "porthub/PortHub.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>
#include <vector>

// Virtual time: a wait moves the clock on a millisecond at a time, lets scripted events fall
// due and delivers their notifications, until one brought text in or the deadline is reached.
class TestClock : public ChannelClock {
public:
    qint64 NowMs() override { return now; }
    void WaitUntil(qint64 deadlineMs, const std::function<bool()>& arrived) override;
    // Moves the clock on without delivering anything.
    void SleepMs(int ms);

    qint64 now = 1000;
    std::vector<std::function<void(qint64)>> listeners;
};

// A port manager whose line is a script: replies fall due a given time after the command line
// that triggers them, or at fixed times.
class ScriptedHub : public CPortHub {
public:
    struct Chunk {
        qint64 delayMs;
        QString text; // empty with lineError set: a line error instead of text
        bool lineError = false;
    };

    explicit ScriptedHub(TestClock& clock);

    int Open() override;
    void Close() override;

    // Replies to the command line `line` (without CR LF).
    void OnLine(const QString& line, std::vector<Chunk> chunks);
    // Text (or a line error) at a fixed virtual time.
    void At(qint64 time, const QString& text);
    void LineErrorAt(qint64 time);

    QStringList sent; // command lines as sent, without CR LF
    bool refuseWrites = false;

protected:
    bool WriteToLine(const QByteArray& bytes) override;

private:
    struct Due {
        qint64 time;
        Chunk chunk;
    };
    void tick(qint64 now);

    TestClock& clock;
    QHash<QString, std::vector<Chunk>> script;
    std::vector<Due> pending;
};

// Stands in for the communication window: forwards notifications to the channel.
class ChannelForwarder : public QObject {
public:
    explicit ChannelForwarder(CCommandChannel& target) : channel(target) {}
    bool event(QEvent* event) override;
    int received = 0;

private:
    CCommandChannel& channel;
};

// A channel over a scripted hub in virtual time, as the communication window sets it up.
struct ScriptedLine {
    ScriptedLine();
    ~ScriptedLine();
    TestClock clock;
    ScriptedHub hub{clock};
    CCommandChannel channel{&hub};
    ChannelForwarder window{channel};
};
