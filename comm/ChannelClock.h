#pragma once

#include <QtGlobal>

// The millisecond clock and the sleep of the channel's waits; tests replace it with a clock of
// their own so that time-outs pass without real waiting.
class ChannelClock {
public:
    virtual ~ChannelClock();
    // Monotonic milliseconds.
    virtual qint64 NowMs() = 0;
    virtual void SleepMs(int ms) = 0;

    // The steady system clock and a real sleep.
    static ChannelClock& System();
};
