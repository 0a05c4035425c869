#include "transfer/LineBackup.h"

#include "comm/ControllerSession.h"
#include "transfer/LineProgress.h"
#include "transfer/TransferTexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

CLineBackup::CLineBackup(CControllerSession& session, NodeChooser& nodeChooser,
                         BusyIndicator& busyIndicator, LineProgress& lineProgress)
    : CBackupRestoreProcedure(session, nodeChooser, busyIndicator), progress(lineProgress) {}

bool CLineBackup::Connect(const PortTarget& port) {
    window.ClosePort();
    return OpenPort(port) && window.SearchControllers(busy, messageParent);
}

bool CLineBackup::BackupLine(const PortTarget& port, const QString& dir,
                             QList<ManifestEntry>& entries) {
    saveToPc = true;
    if (!Connect(port))
        return false;
    int found = 0;
    for (const bool present : window.nodePresent)
        found += present ? 1 : 0;
    progress.LineSearched(LineName(port), found);
    bool all = true;
    for (int node = 1; node <= kNodeCount; ++node) {
        if (!window.nodePresent[node - 1])
            continue;
        ManifestEntry entry;
        entry.line = LineName(port);
        entry.device = port.devicePath;
        entry.node = node;
        entry.controller = window.nodeModelName[node - 1];
        entry.user = window.nodeUserName[node - 1];
        all = BackupNode(node, dir, entry) && all;
        entries.append(entry);
    }
    window.ClosePort();
    return all;
}

bool CLineBackup::BackupNode(int node, const QString& dir, ManifestEntry& entry) {
    QElapsedTimer clock;
    clock.start();
    progress.ControllerStarted(entry.line, node, entry.controller);
    ClearFailure();
    const QString name = Manifest::BackupFileName(entry.line, node, entry.controller);
    transferFileName = QDir(dir).filePath(name);
    int32_t runMode = 0;
    entry.ok = ReadNodeIdentity(node, entry.robot, runMode) &&
               ConfirmSameController(node, entry.controller) && BackupToFile(window, node);
    if (entry.ok) {
        entry.file = name;
        entry.size = QFileInfo(transferFileName).size();
        entry.sha256 = Manifest::FileHash(transferFileName);
    } else {
        entry.reason = FailureMessage(TransferMessages::kTransferFailed).trimmed();
    }
    progress.ControllerEnded(entry.line, node, entry.controller, entry.ok, entry.reason,
                             clock.elapsed() / 1000.0);
    return entry.ok;
}

bool CLineBackup::RestoreLine(const PortTarget& port, const QString& dir,
                              QList<ManifestEntry>& entries, const QList<int>& nodes) {
    saveToPc = false;
    if (!Connect(port))
        return false;
    const auto restored = [&nodes](const ManifestEntry& entry) {
        return entry.ok && (nodes.isEmpty() || nodes.contains(entry.node));
    };
    progress.LineSearched(
        LineName(port), static_cast<int>(std::count_if(entries.begin(), entries.end(), restored)));
    bool all = true;
    for (ManifestEntry& entry : entries) {
        if (restored(entry))
            all = RestoreNode(dir, entry) && all;
    }
    window.ClosePort();
    return all;
}

bool CLineBackup::RestoreNode(const QString& dir, ManifestEntry& entry) {
    QElapsedTimer clock;
    clock.start();
    const int node = entry.node;
    progress.ControllerStarted(entry.line, node, entry.controller);
    ClearFailure();
    transferFileName = QDir(dir).filePath(entry.file);
    QString robot;
    int32_t runMode = 0;
    int32_t fileOption = 0;
    const bool present = node >= 1 && node <= kNodeCount && window.nodePresent[node - 1];
    // A controller of another name on the node is refused before anything is written.
    entry.ok = present && window.nodeModelName[node - 1] == entry.controller &&
               ReadNodeIdentity(node, robot, runMode) &&
               CheckRestoreTarget(0, entry.controller, robot, runMode, node, fileOption) &&
               ConfirmSameController(node, entry.controller) && RestoreFromFile(window, node);
    entry.reason.clear();
    if (!entry.ok) {
        entry.reason = !present ? TransferTexts::Text(TransferMessages::kReconnectFailed)
                       : window.nodeModelName[node - 1] != entry.controller
                           ? TransferTexts::Text(TransferMessages::kControllerChanged)
                           : FailureMessage(TransferMessages::kTransferFailed);
        entry.reason = entry.reason.trimmed();
    } else if (window.restartRequired) {
        // What the single restore's completion adds, said for this controller.
        entry.reason = TransferTexts::Text(TransferMessages::kRestartController).trimmed();
    }
    progress.ControllerEnded(entry.line, node, entry.controller, entry.ok, entry.reason,
                             clock.elapsed() / 1000.0);
    return entry.ok;
}
