#pragma once

#include "transfer/BackupRestoreProcedure.h"
#include "transfer/Manifest.h"

#include <QList>
#include <QString>

class LineProgress;

// Every controller of one line at once: one search, then each node found, in node order, read
// (or written) with the single-node backup and restore steps. Questions a single transfer asks
// once are the caller's, asked once per run. Runs on the thread of `session`.
class CLineBackup : public CBackupRestoreProcedure {
public:
    CLineBackup(CControllerSession& session, NodeChooser& chooser, BusyIndicator& busy,
                LineProgress& progress);

    // Backs up every node of the line into `dir`; one entry per node found (none when the line
    // could not be opened or searched: false then).
    bool BackupLine(const PortTarget& port, const QString& dir, QList<ManifestEntry>& entries);
    // Restores the entries of `line` (nodes in `nodes`, all when empty) from `dir`, whose
    // files the caller has checked against the manifest. Entries get their result and reason.
    bool RestoreLine(const PortTarget& port, const QString& dir, QList<ManifestEntry>& entries,
                     const QList<int>& nodes);

private:
    bool Connect(const PortTarget& port);
    bool BackupNode(int node, const QString& dir, ManifestEntry& entry);
    bool RestoreNode(const QString& dir, ManifestEntry& entry);

    LineProgress& progress;
};
