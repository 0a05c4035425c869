#pragma once

#include "transfer/Manifest.h"
#include "transfer/TransportProcedure.h"

#include <QList>
#include <QString>

class LineProgress;
class QObject;
struct ParamInfoTable;

// Whole-line runs over backup set folders: the command-line tool and the dialogs call these.
namespace LineRun {

struct Settings {
    int replyTimeoutMs = 0; // 0: the session's default
    // The restart test of a restore (not owned; null: none).
    const ParamInfoTable* standardTable = nullptr;
    const ParamInfoTable* pulseTrainTable = nullptr;
    // The parent of the run's message boxes (not owned; null: none).
    QObject* messageParent = nullptr;
};

// Backs up every controller of every line in `ports` into `dir` (created when missing), each
// line in a session on a thread of its own, at the same time; then writes the manifest. The
// progress is called from those threads. True when every line was searched and every
// controller saved; `reason` says why the folder or the manifest could not be written.
bool BackupLines(const QList<PortTarget>& ports, const QString& dir, const Settings& settings,
                 LineProgress& progress, Manifest& manifest, QString* reason = nullptr);

// The same for one line on the calling thread, whose waits let its events through: the dialogs
// run it so, and its questions are asked there.
bool BackupLine(const PortTarget& port, const QString& dir, const Settings& settings,
                LineProgress& progress, Manifest& manifest, QString* reason = nullptr);

// The question asked once before a backup of whole lines into `dir`.
QString BackupQuestion(const QString& dir);
// The question asked once before `entries` of the set in `dir` are restored onto `port`'s line:
// one line per controller.
QString RestoreQuestion(const QString& dir, const PortTarget& port,
                        const QList<ManifestEntry>& entries);

// Reads `dir`'s manifest and checks every file against its hash before the line is touched;
// false with `reason` when either fails.
bool LoadSet(const QString& dir, Manifest& manifest, QString* reason = nullptr);

// The saved controllers of the manifest that RestoreLine restores onto `port`'s line: those of
// that line (of any line when the set holds one only), of the nodes in `nodes` (all when
// empty), in the manifest's order.
QList<ManifestEntry> EntriesFor(const Manifest& manifest, const PortTarget& port,
                                const QList<int>& nodes);

// LoadSet, then EntriesFor; false with `reason` when the set fails its check or lists nothing
// to restore onto `port`'s line.
bool LoadEntries(const QString& dir, const PortTarget& port, const QList<int>& nodes,
                 Manifest& manifest, QList<ManifestEntry>& entries, QString* reason);

// Restores the controllers the manifest lists for `port`'s line (the nodes in `nodes`, all
// when empty) on the calling thread; the manifest's entries get each node's result.
bool RestoreLine(const PortTarget& port, const QString& dir, const QList<int>& nodes,
                 const Settings& settings, LineProgress& progress, Manifest& manifest);

} // namespace LineRun
