#include "transfer/TransportGuiParts.h"

#include "comm/DlgSerialConnect.h"

NodeChoice CDialogNodeChooser::ChooseNode(const CControllerSession& session) {
    CDlgSerialConnect dialog(parent);
    dialog.nodeSelectMode = true;
    dialog.researchAllowed = true;
    dialog.selectedNode = 0;
    dialog.CopyNodeTable(session);
    if (dialog.exec() != QDialog::Accepted)
        return {NodeChoice::Kind::Cancel, 0};
    if (dialog.researchRequested)
        return {NodeChoice::Kind::Research, 0};
    return {NodeChoice::Kind::Node, dialog.selectedNode};
}
