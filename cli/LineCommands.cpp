#include "cli/LineCommands.h"

#include "data/ParamInfoTable.h"
#include "platform/TerminalUserInteraction.h"
#include "platform/UserInteraction.h"
#include "transfer/LineBackup.h"
#include "transfer/LineProgress.h"
#include "transfer/LineRun.h"
#include "transfer/TransferTexts.h"

#include <QMutex>

#include <array>
#include <cstdio>

namespace {

constexpr int kBarWidth = 20;

// One line per controller on standard error as it ends; on a terminal, below them a bar of the
// controllers done out of those the searches found, with the controller being read, which the
// next report overwrites.
class StderrProgress : public LineProgress {
public:
    void LineSearched(const QString&, int controllers) override {
        QMutexLocker lock(&mutex);
        total += controllers;
        if (terminal && ended < total)
            Write(Bar());
    }
    void ControllerStarted(const QString& line, int node, const QString& controller) override {
        QMutexLocker lock(&mutex);
        current = QStringLiteral("%1 node %2 %3")
                      .arg(line)
                      .arg(node, 2, 10, QLatin1Char('0'))
                      .arg(controller);
        if (terminal)
            Write(Bar());
    }
    void ControllerEnded(const QString& line, int node, const QString& controller, bool ok,
                         const QString& reason, double seconds) override {
        QMutexLocker lock(&mutex);
        ++ended;
        QString text = QStringLiteral("%1\t%2\t%3\t%4\t%5")
                           .arg(line)
                           .arg(node, 2, 10, QLatin1Char('0'))
                           .arg(controller, ok ? QStringLiteral("ok") : QStringLiteral("failed"))
                           .arg(seconds, 0, 'f', 1);
        // A failure's reason, or what a controller that took its data still needs.
        if (!reason.isEmpty())
            text +=
                QLatin1Char('\t') + QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += QLatin1Char('\n');
        // The bar stays below the finished lines while controllers remain.
        if (terminal)
            text = QStringLiteral("\r\033[K") + text + (ended < total ? Bar() : QString());
        Write(text);
    }

private:
    // "[#####...............] 4/16 COM97 node 05 KQ-A", after a carriage return and a clearing
    // of the line.
    QString Bar() const {
        const int filled = total > 0 ? qBound(0, ended * kBarWidth / total, kBarWidth) : 0;
        return QStringLiteral("\r\033[K[%1%2] %3/%4 %5")
            .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
            .arg(ended)
            .arg(total)
            .arg(current);
    }
    static void Write(const QString& text) {
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
    QMutex mutex;
    const bool terminal = TerminalUserInteraction::ErrorIsTerminal();
    int total = 0;
    int ended = 0;
    QString current;
};

PortTarget TargetOf(const CliOptions::Line& line, const CliOptions& options) {
    return PortTarget{static_cast<uint16_t>(line.comNumber), line.devicePath, options.baudRate};
}

// The question a single transfer asks before data moves, asked once for the whole run.
bool Confirm(const QString& question) {
    return UI().ShowMessage(nullptr, question, MsgButtons::OkCancel, MsgIcon::Question) ==
           MsgResult::Ok;
}

} // namespace

namespace LineCommands {

int BackupAll(const CliOptions& options) {
    if (!Confirm(LineRun::BackupQuestion(options.dir)))
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
    const PortTarget port = TargetOf(options.lines.first(), options);
    Manifest manifest;
    QList<ManifestEntry> entries;
    QString reason;
    // A set that fails its check, or lists nothing for the line, leaves the line untouched.
    if (!LineRun::LoadEntries(options.dir, port, options.nodes, manifest, entries, &reason)) {
        UI().ShowMessage(nullptr, reason);
        return 1;
    }
    if (!Confirm(LineRun::RestoreQuestion(options.dir, port, entries)))
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
    const bool done =
        LineRun::RestoreLine(port, options.dir, options.nodes, settings, progress, manifest);
    return done ? 0 : 1;
}

} // namespace LineCommands
