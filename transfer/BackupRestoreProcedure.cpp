#include "transfer/BackupRestoreProcedure.h"

#include "comm/ControllerSession.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "transfer/TransferTexts.h"

using namespace TransferMessages;
using TransferTexts::Format;
using TransferTexts::Text;

namespace {

constexpr int kOptionEnableParam = 80;
constexpr int32_t kOptionGateway = 2;
constexpr int32_t kRunModeMask = 3;
constexpr int32_t kDebugMode = 2;

constexpr int kRunModeNames[] = {465, 466, 467, 0, 468, 469, 470}; // K20 0..6; 3 has none

} // namespace

CBackupRestoreProcedure::CBackupRestoreProcedure(CControllerSession& controllerSession,
                                                 NodeChooser& nodeChooser,
                                                 BusyIndicator& busyIndicator,
                                                 QObject* parentForMessages)
    : CTransportProcedure(controllerSession, nodeChooser, busyIndicator, parentForMessages) {
    CompatibleModels.emplace(QStringLiteral("KQ-A"), QStringLiteral("KQ-A2"));
    CompatibleModels.emplace(QStringLiteral("KQ-B"), QStringLiteral("KQ-B2"));
}

QString CBackupRestoreProcedure::RunModeName(int32_t runMode) {
    if (runMode < 0 || runMode > 6 || kRunModeNames[runMode] == 0)
        return QString();
    return Text(kRunModeNames[runMode]);
}

bool CBackupRestoreProcedure::IsDebugMode(int32_t runMode) {
    return (runMode & kRunModeMask) == kDebugMode;
}

bool CBackupRestoreProcedure::IsCompatible(const QString& source,
                                           const QString& destination) const {
    const auto [first, last] = CompatibleModels.equal_range(source);
    for (auto it = first; it != last; ++it) {
        if (it->second == destination)
            return true;
    }
    return false;
}

bool CBackupRestoreProcedure::RunTransferProcedure(const PortTarget& port) {
    NodeIdentity target;
    if (!ConnectAndIdentify(port, target))
        return false;
    const int node = target.node;

    int32_t fileOption = 0;
    if (!CheckRestoreTarget(port.comPort, target.controllerName, target.robotName, target.runMode,
                            node, fileOption))
        return false;

    const QString confirmation =
        ConfirmationText(target.controllerName, port.comPort, node, fileOption);
    if (ShowMessage(confirmation, MsgButtons::OkCancel,
                    saveToPc ? MsgIcon::Question : MsgIcon::Default) != MsgResult::Ok)
        return false;

    if (!ConfirmSameController(node, target.controllerName))
        return false;

    const bool moved = saveToPc ? BackupToFile(window, node) : RestoreFromFile(window, node);
    return ReportTransferEnd(moved, !saveToPc);
}

QString CBackupRestoreProcedure::ConfirmationText(const QString& controllerName, int comPort,
                                                  int node, int32_t fileOption) const {
    QString text =
        Format(Text(saveToPc ? kSaveTo : kSource), {TransferTexts::FileNamePart(transferFileName)});
    text += ControllerLine(controllerName, comPort, node);
    text += Text(saveToPc ? kConfirmBackup : kConfirmRestore);
    if (!saveToPc) {
        text += Text(kSafetyCaution);
        if (fileOption == kOptionGateway)
            text += QLatin1Char('\n') + Text(kGatewayCaution);
    }
    return text;
}

bool CBackupRestoreProcedure::CheckRestoreTarget(int, const QString& controllerName,
                                                 const QString& robotName, int32_t runMode, int,
                                                 int32_t& fileOption) {
    if (saveToPc)
        return true;

    QString fileController;
    QString fileRobot;
    QString reason;
    if (!ReadFileIdentity(fileController, fileRobot, fileOption, &reason)) {
        ShowMessage(Text(kOpenFileFailed) + Format(Text(kFileReadReason), {reason}));
        return false;
    }

    if (fileController != controllerName) {
        if (!IsCompatible(fileController, controllerName)) {
            ShowMessage(Format(Text(kControllerMismatch), {fileController, controllerName}));
            return false;
        }
        if (ShowMessage(Format(Text(kControllerMismatchQuestion), {fileController, controllerName}),
                        MsgButtons::YesNo) != MsgResult::Yes)
            return false;
    }
    if (fileRobot != robotName &&
        ShowMessage(Format(Text(kRobotMismatchQuestion), {fileRobot, robotName}),
                    MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    if (!IsDebugMode(runMode) && ShowMessage(Format(Text(kRunModeQuestion), {RunModeName(runMode)}),
                                             MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    return true;
}

bool CBackupRestoreProcedure::ReadFileIdentity(QString& controllerName, QString& robotName,
                                               int32_t& optionEnable, QString* reason) {
    controllerName.clear();
    robotName.clear();
    optionEnable = 0;
    const CDataStore& store = window.dataStore;
    ScopedControllerData data(store);
    if (!data)
        return false;
    const bool loaded = store.LoadDataFile(transferFileName, *data, false, true, reason);
    if (loaded) {
        const auto missing = [](const QString& value, int nameId) {
            return value.isEmpty() ? Text(nameId) : QString();
        };
        const QStringList names{missing(data->controllerName, kControllerName),
                                missing(data->robotName, kRobotName),
                                missing(data->interfaceInfo, kInterfaceInfo)};
        if (data->controllerName.isEmpty() || data->robotName.isEmpty() ||
            data->interfaceInfo.isEmpty())
            ShowMessage(Format(Text(kFileIdentityIncomplete), names));
    }
    controllerName = data->controllerName;
    robotName = data->robotName;
    optionEnable = data->params().K(kOptionEnableParam);
    return loaded;
}

bool CBackupRestoreProcedure::BackupToFile(CControllerSession& comm, int node) {
    const BusyScope panel(busy, Text(kSavingToFile), true);
    const CDataStore& store = comm.dataStore;
    ScopedControllerData data(store);
    if (!data)
        return false;
    data->params().K(kNodeParam) = node;
    if (!comm.ReadControllerData(*data, true, true))
        return false;
    // Written through a temporary file: a failed save leaves an existing file as it was.
    QString reason;
    if (!store.SaveDataFile(transferFileName, *data, true, true, &reason)) {
        SetFileFailure(reason);
        return false;
    }
    return true;
}

bool CBackupRestoreProcedure::RestoreFromFile(CControllerSession& comm, int node) {
    const BusyScope panel(busy, Text(kTransferringToController), false);
    const CDataStore& store = comm.dataStore;
    ScopedControllerData fileData(store);
    ScopedControllerData current(store);
    if (!fileData || !current)
        return false;
    current->params().K(kNodeParam) = node;
    if (!comm.ReadControllerData(*current, true, true))
        return false;
    // A parameter the file lacks keeps the controller's value.
    fileData->params().values = current->params().values;
    QString reason;
    if (!store.LoadDataFile(transferFileName, *fileData, true, true, &reason)) {
        SetFileFailure(reason, true);
        return false;
    }
    // The model code is the controller's own (a data file never holds it); it chooses the
    // parameter table of the restart test.
    fileData->modelCode = current->modelCode;
    return WriteWholeData(comm, *fileData, *current);
}
