#include "comm/ChannelClock.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

class SystemClock final : public ChannelClock {
public:
    SystemClock() { timer.start(); }
    qint64 NowMs() override { return timer.elapsed(); }
    void SleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer timer;
};

} // namespace

ChannelClock::~ChannelClock() = default;

ChannelClock& ChannelClock::System() {
    static SystemClock clock;
    return clock;
}
