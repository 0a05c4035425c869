// Whole-data transfer against the paced simulator: a full read of a controller with every point
// in use, then a write of the identical record. Prints wall time against wire time (bytes both
// ways at 10 bits a byte) and the commands the identical write sent.
#include "comm/ControllerSession.h"
#include "data/DataStore.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

struct Figures {
    double wallMs = 0;
    double wireMs = 0;
    int commands = 0;
};

SimController FullController() {
    SimController controller = MakeDemoController(1, QStringLiteral("KQ-A"));
    for (int n = 1; n <= kPointCount; ++n) {
        PointRecord& point = controller.data.points[static_cast<std::size_t>(n - 1)];
        if (point.inUse())
            continue;
        point.number = n;
        point.runType = 1 + n % 8;
        point.position = n * 1000;
        point.speed = 100 + n;
        point.accel = 30;
        point.decel = 30;
        point.timer = n % 50;
    }
    return controller;
}

template <typename Step> Figures Measure(SimulatedLine& line, int baud, Step step) {
    const int64_t bytesBefore = line.BytesReceived() + line.BytesSent();
    const int commandsBefore = line.CommandCount();
    QElapsedTimer timer;
    timer.start();
    if (!step())
        std::fprintf(stderr, "step failed\n");
    Figures figures;
    figures.wallMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const int64_t bytes = line.BytesReceived() + line.BytesSent() - bytesBefore;
    figures.wireMs = static_cast<double>(bytes) * 10.0 * 1000.0 / baud;
    figures.commands = line.CommandCount() - commandsBefore;
    return figures;
}

void Print(const char* what, int baud, const Figures& f) {
    std::printf("%-22s %6d baud  wall %8.1f ms  wire %8.1f ms  ratio %5.2f  commands %d\n", what,
                baud, f.wallMs, f.wireMs, f.wireMs > 0 ? f.wallMs / f.wireMs : 0.0, f.commands);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (const int baud : {38400, 115200}) {
        SimulatedLine line({FullController()});
        // Timed exchanges without the search's @K99=0: no status streaming.
        SimBehaviour quiet;
        quiet.streaming = false;
        line.SetBehaviour(quiet);
        line.SetBaudRate(baud);
        QString error;
        if (!line.Start(-1, &error)) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
            return 1;
        }
        CControllerSession window;
        if (!window.OpenDevice(line.LinkPath(), baud)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(line.LinkPath()));
            return 1;
        }
        CDataStore store;
        ControllerDataSlot current;
        ControllerDataSlot copy;
        store.CreateControllerData(current);
        store.CreateControllerData(copy);
        current->params().K(38) = 1;

        const Figures read =
            Measure(line, baud, [&] { return window.ReadControllerData(*current, true, true); });
        Print("read, 255 points", baud, read);

        CopyControllerData(*copy, *current);
        const Figures write =
            Measure(line, baud, [&] { return window.WriteControllerData(*copy, *current, true); });
        Print("identical write", baud, write);
        line.Stop();
    }
    return 0;
}
