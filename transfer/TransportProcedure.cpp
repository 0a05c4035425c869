#include "transfer/TransportProcedure.h"

#include "comm/ControllerSession.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "transfer/TransferTexts.h"

using namespace TransferMessages;
using TransferTexts::Format;
using TransferTexts::Text;

BusyScope::BusyScope(BusyIndicator& busyIndicator, const QString& message, bool towardsPc)
    : indicator(busyIndicator) {
    indicator.Show(message, towardsPc);
}

BusyScope::~BusyScope() {
    indicator.Close();
}

CTransportProcedure::CTransportProcedure(CControllerSession& controllerSession,
                                         NodeChooser& nodeChooser, BusyIndicator& busyIndicator,
                                         QObject* parentForMessages)
    : window(controllerSession), chooser(nodeChooser), busy(busyIndicator),
      messageParent(parentForMessages) {}

CTransportProcedure::~CTransportProcedure() = default;

MsgResult CTransportProcedure::ShowMessage(const QString& text, MsgButtons buttons,
                                           MsgIcon icon) const {
    return UI().ShowMessage(messageParent, text, buttons, icon);
}

bool CTransportProcedure::OpenPort(const PortTarget& port) {
    if (!port.devicePath.isEmpty())
        return window.OpenDevice(port.devicePath, port.baudRate);
    return window.OpenPort(CControllerSession::kSerialPortKind, port.comPort);
}

QString CTransportProcedure::FailureMessage(int messageId) const {
    if (fileFailure.isEmpty())
        return window.FailureText(messageId);
    return Text(messageId) + fileFailure;
}

void CTransportProcedure::SetFileFailure(const QString& systemReason, bool reading) {
    fileFailure = Format(Text(reading ? kFileReadReason : kFileWriteReason), {systemReason});
}

bool CTransportProcedure::ConnectAndSelectNode(const PortTarget& port, int& node) {
    node = 0;
    fileFailure.clear(); // every attempt starts here
    devicePath = port.devicePath;
    window.portHub.Close();
    if (!OpenPort(port))
        return false;
    if (!window.SearchControllers(busy, messageParent))
        return false;
    for (;;) {
        const NodeChoice choice = chooser.ChooseNode(window);
        switch (choice.kind) {
        case NodeChoice::Kind::Cancel:
            return false;
        case NodeChoice::Kind::Research:
            if (!window.SearchControllers(busy, messageParent))
                return false;
            continue;
        case NodeChoice::Kind::Node:
            // A chooser can only offer what the search found; anything else is no choice.
            if (choice.node < 1 || choice.node > kNodeCount ||
                !window.nodePresent[static_cast<std::size_t>(choice.node - 1)])
                return false;
            node = choice.node;
            return true;
        }
    }
}

bool CTransportProcedure::ReadNodeIdentity(int node, QString& robotName, int32_t& runMode) {
    window.portHub.AttatchWnd(window.window());
    if (!ReadIdentityItem(window.channel, node, kKeyRobot, robotName) ||
        !ReadK(window.channel, node, kRunModeParam, runMode)) {
        ShowMessage(Text(kReconnectFailed));
        return false;
    }
    return true;
}

bool CTransportProcedure::ConnectAndIdentify(const PortTarget& port, NodeIdentity& target) {
    if (!ConnectAndSelectNode(port, target.node))
        return false;
    target.controllerName = window.nodeModelName[static_cast<std::size_t>(target.node - 1)];
    return ReadNodeIdentity(target.node, target.robotName, target.runMode);
}

bool CTransportProcedure::ReportTransferEnd(bool moved, bool mayNeedRestart) {
    window.portHub.Close();
    if (!moved) {
        ShowMessage(FailureMessage(kTransferFailed), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    QString text = Text(kTransferCompleted);
    if (mayNeedRestart && window.restartRequired)
        text += Text(kRestartController);
    ShowMessage(text, MsgButtons::Ok, MsgIcon::Information);
    return true;
}

bool CTransportProcedure::ConfirmSameController(int node, const QString& controllerName) {
    QString reply;
    if (!ReadIdentityItem(window.channel, node, kKeyCont, reply)) {
        ShowMessage(Text(kReconnectFailed));
        return false;
    }
    if (reply != controllerName) {
        ShowMessage(Text(kControllerChanged));
        return false;
    }
    return true;
}

QString CTransportProcedure::ControllerLine(const QString& controllerName, int comPort,
                                            int node) const {
    if (comPort == 0 && !devicePath.isEmpty())
        return Format(Text(kControllerLineDevice),
                      {controllerName, devicePath, QString::number(node)});
    return Format(Text(kControllerLine),
                  {controllerName, QString::number(comPort), QString::number(node)});
}
