#include "transfer/GenerationProcedure.h"

#include "comm/ControllerSession.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "transfer/BackupRestoreProcedure.h"
#include "transfer/TransferTexts.h"

using namespace TransferMessages;
using TransferTexts::Format;
using TransferTexts::Text;

namespace {

constexpr int kFirstKeptOption = 80; // option enable, then K81 and K82
constexpr int kLastKeptOption = 82;
constexpr int kConfirmGeneration = 10032;

const QString kEtherNetIp = QStringLiteral("EtherNet/IP");

// Releases the attempt's record on every exit path.
class PreparedDataRelease {
public:
    PreparedDataRelease(const CDataStore& dataStore, ControllerDataSlot& dataSlot)
        : store(dataStore), slot(dataSlot) {}
    ~PreparedDataRelease() {
        if (slot)
            store.FreeControllerData(slot);
    }
    PreparedDataRelease(const PreparedDataRelease&) = delete;
    PreparedDataRelease& operator=(const PreparedDataRelease&) = delete;

private:
    const CDataStore& store;
    ControllerDataSlot& slot;
};

} // namespace

CGenerationProcedure::CGenerationProcedure(CControllerSession& controllerSession,
                                           NodeChooser& nodeChooser, BusyIndicator& busyIndicator,
                                           DataComposer* dataComposer, QObject* parentForMessages)
    : CTransportProcedure(controllerSession, nodeChooser, busyIndicator, parentForMessages),
      composer(dataComposer) {}

CGenerationProcedure::~CGenerationProcedure() {
    ReleasePreparedData();
}

void CGenerationProcedure::ReleasePreparedData() {
    if (preparedData)
        window.dataStore.FreeControllerData(preparedData);
}

bool CGenerationProcedure::RunTransferProcedure(const PortTarget& port) {
    NodeIdentity target;
    if (!ConnectAndIdentify(port, target))
        return false;
    const int node = target.node;

    ReleasePreparedData();
    if (!window.dataStore.CreateControllerData(preparedData))
        return false;
    const PreparedDataRelease release(window.dataStore, preparedData);
    preparedData->controllerName = target.controllerName;
    preparedData->robotName = target.robotName;

    if (!composer || !composer->ComposeData(*preparedData))
        return false;
    if (!CheckGenerationTarget(port.comPort, target.controllerName, target.robotName,
                               target.runMode, node))
        return false;
    if (!ConfirmSameController(node, target.controllerName))
        return false;

    const bool written = WritePreparedData(window, node);
    ReleasePreparedData();
    return ReportTransferEnd(written, true);
}

bool CGenerationProcedure::CheckGenerationTarget(int comPort, const QString& controllerName,
                                                 const QString& robotName, int32_t runMode,
                                                 int node) {
    if (!preparedData)
        return false;
    const QString composedController = preparedData->controllerName;
    const QString composedRobot = preparedData->robotName;
    // No compatible pair here: initial data is made for exactly one model.
    if (composedController != controllerName) {
        ShowMessage(Format(Text(kControllerMismatch), {composedController, controllerName}));
        return false;
    }
    if (composedRobot != robotName &&
        ShowMessage(Format(Text(kRobotMismatchQuestion), {composedRobot, robotName}),
                    MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    if (!CBackupRestoreProcedure::IsDebugMode(runMode) &&
        ShowMessage(Format(Text(kRunModeQuestion), {CBackupRestoreProcedure::RunModeName(runMode)}),
                    MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    const QString confirmation = ControllerLine(controllerName, comPort, node) +
                                 Text(kConfirmGeneration) + Text(kSafetyCaution);
    return ShowMessage(confirmation, MsgButtons::OkCancel) == MsgResult::Ok;
}

bool CGenerationProcedure::WritePreparedData(CControllerSession& comm, int node) {
    if (!preparedData)
        return false;
    const BusyScope panel(busy, Text(kTransferringToController), false);
    const CDataStore& store = comm.dataStore;
    ControllerDataSlot current;
    if (!store.CreateControllerData(current))
        return false;
    const PreparedDataRelease release(store, current);
    current->params().K(kNodeParam) = node;
    const bool read = comm.ReadControllerData(*current, true, true);

    ControllerData& prepared = *preparedData;
    if (read) {
        for (int k = kFirstKeptOption; k <= kLastKeptOption; ++k)
            prepared.params().K(k) = current->params().K(k);
    }
    if (current->interfaceInfo == kEtherNetIp) {
        prepared.ipAddress = QString::fromLatin1(kDefaultIpAddress);
        prepared.subnetMask = QString::fromLatin1(kDefaultSubnetMask);
        prepared.gateway = QString::fromLatin1(kDefaultGateway);
    } else if (read) {
        // The composed record holds no addresses: without this the write would blank the
        // controller's own.
        prepared.ipAddress = current->ipAddress;
        prepared.subnetMask = current->subnetMask;
        prepared.gateway = current->gateway;
    }
    if (!read)
        return false;
    return WriteWholeData(comm, prepared, *current);
}
