#pragma once

#include "transfer/TransportProcedure.h"

#include <QString>

// The alarm history transfer without widgets: connect, choose a node, confirm, read the
// node's identity, K72 and alarm history and save it as an alarm history file. The dialog
// CDlgTransportAlarmV2 and the command-line tool run this one procedure.
class CAlarmTransferProcedure : public CTransportProcedure {
public:
    CAlarmTransferProcedure(CControllerSession& window, NodeChooser& chooser, BusyIndicator& busy,
                            QObject* messageParent = nullptr);

    // The whole attempt on one port; true after the completion message.
    bool RunTransferProcedure(const PortTarget& port);

    // Reads node `node` and writes transferFileName; no message of its own.
    bool SaveAlarmHistoryFile(CControllerSession& window, int node);

    // The confirmation shown before anything is read.
    QString ConfirmationText(const QString& controllerName, int comPort, int node) const;
};
