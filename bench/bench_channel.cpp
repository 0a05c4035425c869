// Reads a controller's lists and single parameters from the simulated line, paced at the
// line's baud rate, and prints how close each read comes to the time the bytes need on the
// wire and how much processor time the program's thread spends while it waits.
#include "comm/CommandChannel.h"
#include "comm/ItemOperations.h"
#include "porthub/PortHub.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QCoreApplication>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

class Window : public QObject {
public:
    explicit Window(CCommandChannel& target) : channel(target) {}
    bool event(QEvent* event) override {
        return DispatchPortHubEvent(event, channel) || QObject::event(event);
    }

private:
    CCommandChannel& channel;
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

// The same exchange with a plain blocking reader and no channel: what the simulated line
// itself costs over the wire time, for comparison.
bool rawExchange(const QString& device, const QByteArray& command, const QByteArray& end) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    bool ok =
        ::write(fd, command.constData(), static_cast<size_t>(command.size())) == command.size();
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
    ::close(fd);
    return ok;
}

bool runAt(int baud) {
    SimulatedLine line(MakeDemoControllers(1));
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
                  return rawExchange(line.DevicePath(),
                                     QStringLiteral("@READ PNT.%1\r\n").arg(node).toLatin1(), end);
              }));
        print("line alone: 100 K", baud, measure(line, baud, [&] {
                  for (int k = 1; k <= 100; ++k) {
                      if (!rawExchange(line.DevicePath(),
                                       QStringLiteral("@?K%1.%2\r\n").arg(k).arg(node).toLatin1(),
                                       end))
                          return false;
                  }
                  return true;
              }));
    }
    CPortHub hub;
    CCommandChannel channel(&hub);
    Window window(channel);
    hub.Initialize();
    hub.AttatchWnd(&window);
    channel.replyTimeoutMs = 2000;
    commsettag settings;
    hub.GetCommSet(&settings);
    settings.comPort = static_cast<uint16_t>(line.ComNumber());
    settings.baudRate = baud;
    hub.SetCommSet(&settings);
    if (!hub.Open()) {
        std::fprintf(stderr, "open: %s\n", qPrintable(hub.lastOpenError()));
        return false;
    }
    const int node = line.Controllers().first().node();
    QString answer;
    bool allOk = true;
    const auto report = [&](const char* what, const Figures& f) {
        print(what, baud, f);
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
    {
        // Nothing but waiting: a node that is not on the line, one full reply time-out.
        const double cpuBefore = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        int32_t value = 0;
        const bool timedOut = !ReadK(channel, node == 9 ? 10 : 9, 1, value) &&
                              channel.lastError == QLatin1String("TimeOut");
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-22s %6d  %9.1f  %9s  %6s  %6.2f %%  %s\n", "idle wait (time-out)", baud,
                    wall * 1000, "-", "-", 100.0 * (threadCpuSeconds() - cpuBefore) / wall,
                    timedOut ? "ok" : "FAILED");
        allOk = allOk && timedOut;
    }
    hub.DetatchWnd();
    hub.Close();
    line.Stop();
    return allOk;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("%-22s %6s  %9s  %9s  %6s  %8s\n", "read", "baud", "wall ms", "wire ms", "ratio",
                "cpu");
    bool ok = true;
    for (const int baud : {38400, 115200})
        ok = runAt(baud) && ok;
    return ok ? 0 : 1;
}
