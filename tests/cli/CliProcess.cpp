#include "CliProcess.h"

#include <QProcess>

QStringList WithShortReplyTimeout(const QStringList& arguments) {
    if (!arguments.contains(QStringLiteral("--port")) ||
        arguments.contains(QStringLiteral("--reply-timeout")))
        return arguments;
    return arguments + QStringList{QStringLiteral("--reply-timeout"), QStringLiteral("300")};
}

CliRun RunCli(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELMORA_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
