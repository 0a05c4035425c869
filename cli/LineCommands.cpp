#include "cli/LineCommands.h"

#include "data/ParamInfoTable.h"
#include "platform/TerminalUserInteraction.h"
#include "platform/UserInteraction.h"
#include "transfer/LineProgress.h"
#include "transfer/LineRun.h"
#include "transfer/TransferTexts.h"

#include <QDir>
#include <QMutex>

#include <array>
#include <cstdio>

namespace {

constexpr int kConfirmLineBackup = 10463;
constexpr int kConfirmLineRestore = 10464;

// One line per controller on standard error as it ends; on a terminal, the controller being
// read on a status line that the next report overwrites.
class StderrProgress : public LineProgress {
public:
    void ControllerStarted(const QString& line, int node, const QString& controller) override {
        QMutexLocker lock(&mutex);
        if (!terminal)
            return;
        ++started;
        Write(QStringLiteral("\r\033[K[%1] %2 node %3 %4 ...")
                  .arg(started)
                  .arg(line)
                  .arg(node, 2, 10, QLatin1Char('0'))
                  .arg(controller));
    }
    void ControllerEnded(const QString& line, int node, const QString& controller, bool ok,
                         const QString& reason, double seconds) override {
        QMutexLocker lock(&mutex);
        QString text = QStringLiteral("%1\t%2\t%3\t%4\t%5")
                           .arg(line)
                           .arg(node, 2, 10, QLatin1Char('0'))
                           .arg(controller, ok ? QStringLiteral("ok") : QStringLiteral("failed"))
                           .arg(seconds, 0, 'f', 1);
        if (!ok)
            text +=
                QLatin1Char('\t') + QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' '));
        Write((terminal ? QStringLiteral("\r\033[K") : QString()) + text + QLatin1Char('\n'));
    }

private:
    static void Write(const QString& text) {
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
    QMutex mutex;
    const bool terminal = TerminalUserInteraction::ErrorIsTerminal();
    int started = 0;
};

PortTarget TargetOf(const CliOptions::Line& line, const CliOptions& options) {
    return PortTarget{static_cast<uint16_t>(line.comNumber), line.devicePath, options.baudRate};
}

// The question a single transfer asks before data moves, asked once for the whole run.
bool Confirm(int id, const QString& dir) {
    return UI().ShowMessage(
               nullptr,
               TransferTexts::Format(TransferTexts::Text(id), {QDir::toNativeSeparators(dir)}),
               MsgButtons::OkCancel, MsgIcon::Question) == MsgResult::Ok;
}

} // namespace

namespace LineCommands {

int BackupAll(const CliOptions& options) {
    if (!Confirm(kConfirmLineBackup, options.dir))
        return 1;
    QList<PortTarget> ports;
    for (const CliOptions::Line& line : options.lines)
        ports << TargetOf(line, options);
    LineRun::Settings settings;
    settings.replyTimeoutMs = options.replyTimeoutMs;
    StderrProgress progress;
    Manifest manifest;
    QString reason;
    const bool done =
        LineRun::BackupLines(ports, options.dir, settings, progress, manifest, &reason);
    if (!reason.isEmpty())
        UI().ShowMessage(nullptr, reason);
    return done ? 0 : 1;
}

int RestoreAll(const CliOptions& options) {
    Manifest manifest;
    QString reason;
    if (!LineRun::LoadSet(options.dir, manifest, &reason)) {
        UI().ShowMessage(nullptr, reason);
        return 1;
    }
    if (!Confirm(kConfirmLineRestore, options.dir))
        return 1;
    // The restart test of a restore reads the parameter tables of the resource library.
    std::array<ParamInfoTableSlot, 2> tables;
    if (!LoadParamInfoTable(tables[0], 0) || !LoadParamInfoTable(tables[1], 1)) {
        UI().ShowMessage(nullptr, QStringLiteral("The parameter tables of the resource library "
                                                 "cannot be read."));
        return 1;
    }
    LineRun::Settings settings;
    settings.replyTimeoutMs = options.replyTimeoutMs;
    settings.standardTable = tables[0].get();
    settings.pulseTrainTable = tables[1].get();
    StderrProgress progress;
    const bool done = LineRun::RestoreLine(TargetOf(options.lines.first(), options), options.dir,
                                           options.nodes, settings, progress, manifest);
    return done ? 0 : 1;
}

} // namespace LineCommands
