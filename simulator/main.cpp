#include "simulator/SimOptions.h"
#include "simulator/SimulatedLine.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <pthread.h>

int main(int argc, char* argv[]) {
    // SIGINT and SIGTERM are taken by sigwait below; blocked before the line's thread starts so
    // that only this thread sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    SimOptions options;
    QString error;
    if (!SimOptions::Parse(app.arguments().mid(1), options, error)) {
        err << "velmora-sim: " << error << "\n\n" << SimOptions::Usage();
        return 2;
    }
    if (options.help) {
        out << SimOptions::Usage();
        return 0;
    }
    QList<SimController> controllers;
    if (!options.BuildControllers(controllers, error)) {
        err << "velmora-sim: " << error << "\n";
        return 2;
    }

    SimulatedLine line(controllers);
    if (!options.logFile.isEmpty() && !line.Log().WriteTo(options.logFile)) {
        err << "velmora-sim: cannot write the log file " << options.logFile << "\n";
        return 2;
    }
    line.SetBaudRate(options.baud);
    line.SetReplyDelayMs(options.replyDelayMs);
    line.SetBehaviour(options.behaviour);
    if (options.randomFaults)
        line.SetRandomFaults(options.random);
    for (const FaultRule& rule : options.faults)
        line.AddFault(rule);
    if (!line.Start(options.line, &error)) {
        err << "velmora-sim: " << error << "\n";
        if (options.behaviour.rangeChecks && error.contains(QLatin1String("parameter tables")))
            err << "velmora-sim: --no-range-check starts the line without them\n";
        return 1;
    }
    out << "COM" << line.ComNumber() << ' ' << line.DevicePath() << Qt::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    line.Stop();
    return 0;
}
