#include "alarm/AlarmTransferProcedure.h"

#include "alarm/AlarmMessages.h"
#include "alarm/DlgAlarm.h"
#include "comm/ControllerSession.h"
#include "comm/ItemOperations.h"
#include "transfer/TransferTexts.h"

using namespace AlarmMessages;
using namespace TransferMessages;
using TransferTexts::Format;
using TransferTexts::Text;

CAlarmTransferProcedure::CAlarmTransferProcedure(CControllerSession& controllerSession,
                                                 NodeChooser& nodeChooser,
                                                 BusyIndicator& busyIndicator,
                                                 QObject* parentForMessages)
    : CTransportProcedure(controllerSession, nodeChooser, busyIndicator, parentForMessages) {}

QString CAlarmTransferProcedure::ConfirmationText(const QString& controllerName, int comPort,
                                                  int node) const {
    return Format(Text(kSaveTo), {TransferTexts::FileNamePart(transferFileName)}) +
           ControllerLine(controllerName, comPort, node) + Text(kConfirmAlarmHistory);
}

bool CAlarmTransferProcedure::RunTransferProcedure(const PortTarget& port) {
    int node = 0;
    if (!ConnectAndSelectNode(port, node))
        return false;
    const QString controllerName = window.nodeModelName[static_cast<std::size_t>(node - 1)];

    if (ShowMessage(ConfirmationText(controllerName, port.comPort, node), MsgButtons::OkCancel) !=
        MsgResult::Ok)
        return false;
    if (!ConfirmSameController(node, controllerName))
        return false;

    const bool saved = SaveAlarmHistoryFile(window, node);
    window.portHub.Close();

    if (saved) {
        ShowMessage(Text(kSaveCompleted), MsgButtons::Ok, MsgIcon::Information);
        return true;
    }
    ShowMessage(FailureMessage(kSaveFileFailed), MsgButtons::Ok, MsgIcon::Error);
    return false;
}

bool CAlarmTransferProcedure::SaveAlarmHistoryFile(CControllerSession& comm, int node) {
    const BusyScope panel(busy, Text(kSavingAlarmHistory), true);
    const CDataStore& store = comm.dataStore;
    ScopedControllerData data(store);
    if (!data)
        return false;
    data->params().K(kNodeParam) = node;
    if (!comm.ReadControllerData(*data, false, false))
        return false;
    if (!ReadK(comm.channel, node, kDecimalsParam, data->params().K(kDecimalsParam)))
        return false;

    CDlgAlarm reader;
    if (reader.ReadAlarmHistory(*data, comm.portHub, comm.channel, node).isEmpty())
        return false;
    // A line error cut the history short: saving the rest would pass it off as complete.
    if (CControllerSession::IsLinkError(comm.channel.lastFailure))
        return false;
    QString reason;
    if (!reader.SaveAlarmHistory(transferFileName, &reason)) {
        SetFileFailure(reason);
        return false;
    }
    return true;
}
