#include "cli/CliVerifyCommand.h"

#include "cli/CliFileCommands.h"
#include "comm/ControllerSession.h"
#include "data/DataStore.h"
#include "data/RecordCompare.h"
#include "platform/UserInteraction.h"

namespace CliCommands {

int Verify(const CliOptions& options, FILE* out) {
    CDataStore store;
    ControllerDataSlot file;
    ControllerDataSlot present;
    QString reason;
    if (!store.CreateControllerData(file) || !store.CreateControllerData(present) ||
        !store.LoadDataFile(options.file, *file, true, true, &reason)) {
        UI().ShowMessage(nullptr, QStringLiteral("Cannot read %1: %2").arg(options.file, reason));
        return 1;
    }
    CControllerSession window;
    window.channel.replyTimeoutMs = options.replyTimeoutMs;
    if (!window.OpenDevice(options.devicePath, options.baudRate))
        return 1;
    present->params().K(kNodeParam) = options.node;
    if (!window.ReadControllerData(*present, true, true)) {
        UI().ShowMessage(nullptr, QStringLiteral("Node %1 cannot be read.").arg(options.node));
        return 1;
    }
    // A restore keeps the controller's own node number.
    file->params().K(kNodeParam) = present->params().K(kNodeParam);
    const QStringList items = WholeWrite::WrittenItems(WholeWrite::Changes(*file, *present));
    return CliFileCommands::ReportDifferencesOfModel(*present, *file, items, options.json, out) ? 1
                                                                                                : 0;
}

} // namespace CliCommands
