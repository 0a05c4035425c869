#pragma once

#include <QtGlobal>

#include <functional>

// The millisecond clock of the channel's waits and the wait itself; tests replace it with a
// clock of their own so that time-outs pass without real waiting.
class ChannelClock {
public:
    virtual ~ChannelClock();
    // Monotonic milliseconds.
    virtual qint64 NowMs() = 0;
    // Delivers the calling thread's events until `arrived` holds or the clock reaches
    // `deadlineMs`, whichever comes first. Blocks between events instead of polling.
    virtual void WaitUntil(qint64 deadlineMs, const std::function<bool()>& arrived) = 0;

    // The steady system clock; its wait sleeps in the thread's event dispatcher.
    static ChannelClock& System();
};
