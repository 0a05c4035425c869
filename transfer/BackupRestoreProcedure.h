#pragma once

#include "transfer/TransportProcedure.h"

#include <QString>

#include <cstdint>
#include <map>

// Backup (controller to PC: read every datum of one node and save a data file) and restore
// (PC to controller: check that the file fits the node, then write only what differs), step by
// step, without widgets: the dialog CDlgTransportV2 and the command-line tool run this one
// procedure.
class CBackupRestoreProcedure : public CTransportProcedure {
public:
    CBackupRestoreProcedure(CControllerSession& window, NodeChooser& chooser, BusyIndicator& busy,
                            QObject* messageParent = nullptr);

    // true = backup (Controller to PC), false = restore (PC to Controller).
    bool saveToPc = true;
    // Source model -> destination model a restore accepts after a question.
    std::multimap<QString, QString> CompatibleModels;

    // The whole attempt on one port; true after the completion message.
    bool RunTransferProcedure(const PortTarget& port);

    // Restore only (a backup returns true at once and sets nothing): the file's controller and
    // robot against the node's, and the run mode; each question in its order, stopping at the
    // first refusal. `fileOption` receives the file's K80.
    bool CheckRestoreTarget(int comPort, const QString& controllerName, const QString& robotName,
                            int32_t runMode, int node, int32_t& fileOption);
    // The identity of transferFileName; warns (and goes on) when one of the three names is empty.
    // False, with the names empty and `reason` (optional) saying why, when it cannot be read.
    bool ReadFileIdentity(QString& controllerName, QString& robotName, int32_t& optionEnable,
                          QString* reason = nullptr);

    bool BackupToFile(CControllerSession& window, int node);
    // Reads the node, loads the file over its data and writes what differs, with the review,
    // the rollback point and the read-back of WriteWholeData.
    bool RestoreFromFile(CControllerSession& window, int node);

    // Text of a K20 value: "Normal Mode" ... "Debug Mode(SAFETY)"; empty for any other value.
    static QString RunModeName(int32_t runMode);
    // The two low bits of K20 are 2.
    static bool IsDebugMode(int32_t runMode);
    // A (source, destination) pair CompatibleModels holds.
    bool IsCompatible(const QString& source, const QString& destination) const;

private:
    QString ConfirmationText(const QString& controllerName, int comPort, int node,
                             int32_t fileOption) const;
};
