#include "transfer/TransportProcedure.h"

#include "comm/ControllerSession.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "data/RecordCompare.h"
#include "transfer/RollbackPoint.h"
#include "transfer/TransferTexts.h"
#include "transfer/WriteReview.h"

#include <QDir>
#include <QFileInfo>

using namespace TransferMessages;
using TransferTexts::Format;
using TransferTexts::Text;

namespace {

constexpr int kRollbackSaved = 10480;   // "\n\nThe controller's data before this write ..."
constexpr int kWriteStopped = 10481;    // "\n\nThe transfer stopped after %d item(s) ..."
constexpr int kRestoreRollback = 10482; // "\nTo bring back its data from before this ..."
constexpr int kRollbackFailed = 10483;  // "\n\nThe controller's present data could not ..."
constexpr int kReadBackDiffers = 10484; // "\n\nRead back after writing, the controller ..."

} // namespace

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

QString CTransportProcedure::LineName(const PortTarget& port) {
    if (port.comPort != 0 || port.devicePath.isEmpty())
        return QStringLiteral("COM%1").arg(port.comPort);
    return QFileInfo(port.devicePath).fileName();
}

bool CTransportProcedure::OpenPort(const PortTarget& port) {
    lineName = LineName(port);
    if (!port.devicePath.isEmpty())
        return window.OpenDevice(port.devicePath, port.baudRate);
    return window.OpenPort(CControllerSession::kSerialPortKind, port.comPort);
}

QString CTransportProcedure::FailureMessage(int messageId) const {
    if (fileFailure.isEmpty())
        return window.FailureText(messageId) + afterReason;
    return Text(messageId) + fileFailure + afterReason;
}

void CTransportProcedure::ClearFailure() {
    fileFailure.clear();
    afterReason.clear();
    rollbackFile.clear();
    writeDeclined = false;
}

void CTransportProcedure::SetFileFailure(const QString& systemReason, bool reading) {
    fileFailure = Format(Text(reading ? kFileReadReason : kFileWriteReason), {systemReason});
}

bool CTransportProcedure::ConnectAndSelectNode(const PortTarget& port, int& node) {
    node = 0;
    ClearFailure(); // every attempt starts here
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
    if (writeDeclined)
        return false;
    if (!moved) {
        ShowMessage(FailureMessage(kTransferFailed), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    QString text = Text(kTransferCompleted);
    if (mayNeedRestart && window.restartRequired)
        text += Text(kRestartController);
    if (!rollbackFile.isEmpty())
        text += Format(Text(kRollbackSaved), {QDir::toNativeSeparators(rollbackFile)});
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

QString CTransportProcedure::WriteStoppedText(const CControllerSession& comm) const {
    if (!comm.writeBegan)
        return QString();
    // A refused item ends the write as a whole, run mode restored; only a write cut short
    // leaves the controller half-written and in Debug Mode.
    QString text;
    if (comm.channel.lastFailure.kind != ChannelFailure::Kind::NotTaken)
        text = Format(Text(kWriteStopped), {QString::number(comm.itemsWritten)});
    return text + RollbackText();
}

QString CTransportProcedure::RollbackText() const {
    if (rollbackFile.isEmpty())
        return QString();
    return Format(Text(kRestoreRollback), {QDir::toNativeSeparators(rollbackFile)});
}

bool CTransportProcedure::WriteWholeData(CControllerSession& comm, ControllerData& wanted,
                                         ControllerData& present) {
    writeDeclined = false;
    rollbackFile.clear();
    afterReason.clear();
    if (review) {
        // The list is the user's to read: the transfer's panel would stand over it.
        busy.Close();
        if (!review->ConfirmWrite(present, wanted, WholeWrite::Changes(wanted, present))) {
            writeDeclined = true;
            return false;
        }
        busy.Show(Text(kTransferringToController), false);
    }
    if (keepRollback) {
        const QString folder = RollbackPoint::Folder();
        QString reason;
        if (!RollbackPoint::Save(comm.dataStore, present, lineName, folder, rollbackFile,
                                 &reason)) {
            SetFailureReason(
                Format(Text(kRollbackFailed), {QDir::toNativeSeparators(folder), reason}));
            return false;
        }
    }
    if (!comm.WriteControllerData(wanted, present, true)) {
        afterReason = WriteStoppedText(comm);
        return false;
    }
    if (!verifyAfterWrite)
        return true;

    ScopedControllerData readBack(comm.dataStore);
    if (!readBack)
        return false;
    readBack->params().K(kNodeParam) = present.params().K(kNodeParam);
    // The write is done either way: whatever the read-back finds, the way back is the same.
    afterReason = RollbackText();
    if (!comm.ReadControllerData(*readBack, true, true))
        return false;
    const QList<WholeWrite::Change> differences =
        WholeWrite::WrittenChanges(WholeWrite::Changes(wanted, *readBack));
    if (review) {
        busy.Close();
        review->ShowVerifyResult(*readBack, wanted, differences);
    }
    if (!differences.isEmpty()) {
        SetFailureReason(
            Format(Text(kReadBackDiffers),
                   {WholeWrite::WrittenItems(differences).join(QStringLiteral(", "))}));
        return false;
    }
    afterReason.clear();
    return true;
}
