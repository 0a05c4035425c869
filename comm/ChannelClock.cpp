#include "comm/ChannelClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <climits>

namespace {

class SystemClock final : public ChannelClock {
public:
    SystemClock() { timer.start(); }
    qint64 NowMs() override { return timer.elapsed(); }
    void WaitUntil(qint64 deadlineMs, const std::function<bool()>& arrived) override;

private:
    QElapsedTimer timer;
};

void SystemClock::WaitUntil(qint64 deadlineMs, const std::function<bool()>& arrived) {
    const qint64 remaining = deadlineMs - NowMs();
    if (remaining <= 0 || arrived())
        return;
    if (!QCoreApplication::instance()) {
        // Without an application no notification can arrive; only the deadline ends the wait.
        QThread::msleep(static_cast<unsigned long>(remaining));
        return;
    }
    // Constructing the loop gives a thread without a dispatcher one; the loop itself is never
    // entered, so the loop level stays as it was and deferred deletions wait as before.
    QEventLoop events;
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, [&expired] { expired = true; });
    deadline.start(static_cast<int>(qMin<qint64>(remaining, INT_MAX)));
    while (!expired && !arrived()) {
        events.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // The port manager posts its notification while it reads the line in that pass;
        // deliver it now rather than one pass later.
        QCoreApplication::sendPostedEvents();
    }
}

} // namespace

ChannelClock::~ChannelClock() = default;

ChannelClock& ChannelClock::System() {
    static SystemClock clock;
    return clock;
}
