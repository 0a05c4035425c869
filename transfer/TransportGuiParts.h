#pragma once

#include "comm/PanelBusyIndicator.h"
#include "transfer/TransportProcedure.h"

#include <QPointer>
#include <QWidget>

// The node selection of the transfer dialogs: CDlgSerialConnect in its "Node Select" form with
// "Research" enabled, filled afresh from the session's last search for every round.
class CDialogNodeChooser : public NodeChooser {
public:
    explicit CDialogNodeChooser(QWidget* dialog) : parent(dialog) {}
    NodeChoice ChooseNode(const CControllerSession& session) override;

private:
    QPointer<QWidget> parent;
};
