// Reads a controller's lists and single parameters from the simulated line, paced at the
// line's baud rate, and prints how close each read comes to the time the bytes need on the
// wire and how much processor time the program's thread spends while it waits. Then works two
// lines at once, each channel on a thread of its own, against each line alone. Checks the
// limits the waits are built to: single queries within 1.05 of the line alone, a quiet wait
// under 0.5 % of a core, two lines at once within 1.10 of the slower line alone.
#include "comm/CommandChannel.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "porthub/PortHub.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kQueryLimit = 1.05;
constexpr double kIdleCpuLimitPercent = 0.5;
constexpr double kTwoLinesLimit = 1.10;

bool withinLimit(const char* what, double value, double limit) {
    const bool ok = value <= limit;
    std::printf("  %-40s %7.3f  limit %5.2f  %s\n", what, value, limit, ok ? "ok" : "MISSED");
    return ok;
}

class Window : public QObject {
public:
    explicit Window(CCommandChannel& target) : channel(target) {}
    bool event(QEvent* event) override {
        return DispatchPortHubEvent(event, channel) || QObject::event(event);
    }

private:
    CCommandChannel& channel;
};

// A port manager and its channel on a simulated line, set up as the communication window sets
// them up; all of it lives on the thread that makes it.
struct ChannelOnLine {
    ChannelOnLine(int comNumber, int baud) {
        hub.Initialize();
        hub.AttatchWnd(&window);
        channel.replyTimeoutMs = 2000;
        commsettag settings;
        hub.GetCommSet(&settings);
        settings.comPort = static_cast<uint16_t>(comNumber);
        settings.baudRate = baud;
        hub.SetCommSet(&settings);
        opened = hub.Open() != 0;
    }
    ~ChannelOnLine() {
        hub.DetatchWnd();
        hub.Close();
    }
    CPortHub hub;
    CCommandChannel channel{&hub};
    Window window{channel};
    bool opened = false;
};

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    double wallSeconds = 0;
    double wireSeconds = 0;
    double cpuSeconds = 0;
    bool ok = true;
};

Figures measure(SimulatedLine& line, int baud, const std::function<bool()>& work) {
    const int64_t bytesBefore = line.BytesReceived() + line.BytesSent();
    const double cpuBefore = threadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    Figures figures;
    figures.ok = work();
    figures.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuSeconds = threadCpuSeconds() - cpuBefore;
    const int64_t bytes = line.BytesReceived() + line.BytesSent() - bytesBefore;
    figures.wireSeconds = static_cast<double>(bytes) * 10.0 / baud;
    return figures;
}

void print(const char* what, int baud, const Figures& f) {
    std::printf("%-22s %6d  %9.1f  %9.1f  %6.3f  %6.2f %%  %s\n", what, baud, f.wallSeconds * 1000,
                f.wireSeconds * 1000, f.wallSeconds / f.wireSeconds,
                100.0 * f.cpuSeconds / f.wallSeconds, f.ok ? "ok" : "FAILED");
}

// The same exchanges with a plain blocking reader and no channel, on the device opened once as
// the channel has it: what the simulated line itself costs over the wire time, for comparison.
class RawLine {
public:
    explicit RawLine(const QString& device)
        : fd(::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        termios raw{};
        if (fd >= 0 && tcgetattr(fd, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(fd, TCSANOW, &raw);
        }
    }
    ~RawLine() {
        if (fd >= 0)
            ::close(fd);
    }
    RawLine(const RawLine&) = delete;
    RawLine& operator=(const RawLine&) = delete;

    bool Exchange(const QByteArray& command, const QByteArray& end) {
        bool ok = fd >= 0 && ::write(fd, command.constData(),
                                     static_cast<size_t>(command.size())) == command.size();
        QByteArray received;
        char buffer[4096];
        while (ok && !received.endsWith(end)) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                ok = false;
            const ssize_t n = ok ? ::read(fd, buffer, sizeof buffer) : -1;
            if (n <= 0)
                ok = false;
            else
                received.append(buffer, n);
        }
        return ok;
    }

private:
    const int fd;
};

bool runAt(int baud) {
    Figures lineAlone;
    double idleCpuPercent = 0;
    SimulatedLine line(MakeDemoControllers(1));
    // Timed exchanges without the search's @K99=0: no status streaming.
    SimBehaviour quiet;
    quiet.streaming = false;
    line.SetBehaviour(quiet);
    QString error;
    if (!line.Start(-1, &error)) {
        std::fprintf(stderr, "simulated line: %s\n", qPrintable(error));
        return false;
    }
    line.SetBaudRate(baud);
    // A full point table: every one of the 255 points in use.
    line.UpdateControllers([](QList<SimController>& controllers) {
        std::vector<PointRecord>& points = controllers.first().data.points;
        for (std::size_t i = 0; i < points.size(); ++i) {
            PointRecord& point = points[i];
            point.number = static_cast<int32_t>(i + 1);
            point.runType = 1 + static_cast<int32_t>(i % 8);
            point.position = static_cast<int32_t>(i * 1000);
            point.speed = 100;
            point.accel = 100;
            point.decel = 100;
        }
    });
    {
        const int node = line.Controllers().first().node();
        const QByteArray end = QStringLiteral("OK.%1\r\n").arg(node).toLatin1();
        print("line alone: point list", baud, measure(line, baud, [&] {
                  RawLine raw(line.DevicePath());
                  return raw.Exchange(QStringLiteral("@READ PNT.%1\r\n").arg(node).toLatin1(), end);
              }));
        lineAlone = measure(line, baud, [&] {
            RawLine raw(line.DevicePath());
            for (int k = 1; k <= 100; ++k) {
                if (!raw.Exchange(QStringLiteral("@?K%1.%2\r\n").arg(k).arg(node).toLatin1(), end))
                    return false;
            }
            return true;
        });
        print("line alone: 100 K", baud, lineAlone);
    }
    ChannelOnLine link(line.ComNumber(), baud);
    CPortHub& hub = link.hub;
    CCommandChannel& channel = link.channel;
    if (!link.opened) {
        std::fprintf(stderr, "open: %s\n", qPrintable(hub.lastOpenError()));
        return false;
    }
    const int node = line.Controllers().first().node();
    QString answer;
    bool allOk = true;
    Figures lastReported;
    const auto report = [&](const char* what, const Figures& f) {
        print(what, baud, f);
        lastReported = f;
        if (!f.ok)
            std::printf("    %lld lines, last error \"%s\"\n",
                        static_cast<long long>(answer.count(u'\n')), qPrintable(channel.lastError));
        if (!f.ok)
            std::printf("    first: %s\n    last: %s\n",
                        qPrintable(answer.left(60).toHtmlEscaped()), qPrintable(answer.right(60)));
        allOk = allOk && f.ok;
    };
    report("point list (255)", measure(line, baud, [&] {
               return ReadPointList(channel, node, answer) && answer.count(u'\n') == 255;
           }));
    report("K list (138)", measure(line, baud, [&] {
               return ReadParameterList(channel, node, answer) && answer.count(u'\n') == 138;
           }));
    report("H list (8)", measure(line, baud, [&] {
               return ReadHParameterList(channel, node, answer) && answer.count(u'\n') == 8;
           }));
    report("100 single K queries", measure(line, baud, [&] {
               int32_t value = 0;
               for (int k = 1; k <= 100; ++k) {
                   if (!ReadK(channel, node, k, value))
                       return false;
               }
               return true;
           }));
    const Figures queries = lastReported;
    {
        // Nothing but waiting: a node that is not on the line, one full reply time-out.
        const double cpuBefore = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        int32_t value = 0;
        const bool timedOut = !ReadK(channel, node == 9 ? 10 : 9, 1, value) &&
                              channel.lastFailure.kind == ChannelFailure::Kind::TimedOut;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        idleCpuPercent = 100.0 * (threadCpuSeconds() - cpuBefore) / wall;
        std::printf("%-22s %6d  %9.1f  %9s  %6s  %6.2f %%  %s\n", "idle wait (time-out)", baud,
                    wall * 1000, "-", "-", idleCpuPercent, timedOut ? "ok" : "FAILED");
        allOk = allOk && timedOut;
    }
    hub.DetatchWnd();
    hub.Close();
    line.Stop();
    allOk = withinLimit("100 K: channel / line alone", queries.wallSeconds / lineAlone.wallSeconds,
                        kQueryLimit) &&
            allOk;
    allOk = withinLimit("idle wait: % of one core", idleCpuPercent, kIdleCpuLimitPercent) && allOk;
    return allOk;
}

// One line's work on a thread of its own, as a session per line does it: the port manager, the
// channel and the object that takes the notifications all live on that thread.
class LineWorker : public QThread {
public:
    LineWorker(const SimulatedLine& line, int lineBaud)
        : comNumber(line.ComNumber()), node(line.Controllers().first().node()), baud(lineBaud) {}
    double seconds = 0;
    bool ok = false;

protected:
    void run() override {
        ChannelOnLine link(comNumber, baud);
        ok = link.opened;
        QElapsedTimer timer;
        timer.start();
        QString answer;
        for (int round = 0; ok && round < 2; ++round) {
            for (int k = 1; ok && k <= 100; ++k)
                ok = link.channel.QueryNumbered(kKeyK, node, k, answer);
        }
        seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }

private:
    const int comNumber;
    const int node;
    const int baud;
};

// Runs the workers given at the same time; the wall time until the last one finished.
double runTogether(const std::vector<LineWorker*>& workers) {
    QElapsedTimer timer;
    timer.start();
    for (LineWorker* worker : workers)
        worker->start();
    for (LineWorker* worker : workers)
        worker->wait();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

bool runTwoLines(int baud) {
    SimulatedLine first(MakeDemoControllers(1));
    SimulatedLine second(MakeDemoControllers(1));
    QString error;
    if (!first.Start(-1, &error) || !second.Start(-1, &error)) {
        std::fprintf(stderr, "simulated line: %s\n", qPrintable(error));
        return false;
    }
    first.SetBaudRate(baud);
    second.SetBaudRate(baud);
    LineWorker firstAlone(first, baud);
    LineWorker secondAlone(second, baud);
    const double firstSeconds = runTogether({&firstAlone});
    const double secondSeconds = runTogether({&secondAlone});
    LineWorker firstShared(first, baud);
    LineWorker secondShared(second, baud);
    const double bothSeconds = runTogether({&firstShared, &secondShared});
    const bool ok = firstAlone.ok && secondAlone.ok && firstShared.ok && secondShared.ok;
    const double slower = std::max(firstSeconds, secondSeconds);
    std::printf("%-22s %6d  %9.1f\n", "line 1 alone: 200 K", baud, firstSeconds * 1000);
    std::printf("%-22s %6d  %9.1f\n", "line 2 alone: 200 K", baud, secondSeconds * 1000);
    std::printf("%-22s %6d  %9.1f  %s\n", "both lines at once", baud, bothSeconds * 1000,
                ok ? "ok" : "FAILED");
    first.Stop();
    second.Stop();
    return withinLimit("two lines: at once / slower alone", bothSeconds / slower, kTwoLinesLimit) &&
           ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("%-22s %6s  %9s  %9s  %6s  %8s\n", "read", "baud", "wall ms", "wire ms", "ratio",
                "cpu");
    bool ok = true;
    for (const int baud : {38400, 115200})
        ok = runAt(baud) && ok;
    ok = runTwoLines(115200) && ok;
    return ok ? 0 : 1;
}
