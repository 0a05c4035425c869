#include "cli/CliCommands.h"

#include "alarm/AlarmTransferProcedure.h"
#include "cli/CliWriteReview.h"
#include "cli/FixedNodeChooser.h"
#include "comm/ControllerSession.h"
#include "data/Conversions.h"
#include "data/ParamInfoTable.h"
#include "platform/ComPortTable.h"
#include "platform/UserInteraction.h"
#include "transfer/BackupRestoreProcedure.h"
#include "transfer/TransferTexts.h"

#include <QDir>
#include <QFileInfo>

namespace {

void Print(FILE* out, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), out);
    std::fputs("\n", out);
    std::fflush(out);
}

// The tool's own complaints (not the workflow's message boxes) go to standard error as well.
void Complain(const QString& text) {
    UI().ShowMessage(nullptr, text);
}

PortTarget TargetOf(const CliOptions& options) {
    PortTarget target;
    target.comPort = static_cast<uint16_t>(options.comNumber);
    target.devicePath = options.devicePath;
    target.baudRate = options.baudRate;
    return target;
}

// The file chooser's rules: the extension (case included) and the length; an open chooser
// only hands out an existing file, a save chooser only a path in an existing folder, and only
// after the user agreed to replace a file already there.
bool CheckFile(const CliOptions& options, const QString& extension, bool mustExist) {
    const QFileInfo info(options.file);
    switch (TransferTexts::CheckChosenPath(options.file, extension, mustExist)) {
    case TransferTexts::ChosenPathProblem::None:
        break;
    case TransferTexts::ChosenPathProblem::BadName:
        Complain(TransferTexts::Text(TransferMessages::kFileNameTooLong));
        return false;
    case TransferTexts::ChosenPathProblem::NoSuchFile:
        Complain(QStringLiteral("%1: no such file.").arg(options.file));
        return false;
    case TransferTexts::ChosenPathProblem::NoSuchFolder:
        Complain(QStringLiteral("%1: no such folder.").arg(info.absolutePath()));
        return false;
    case TransferTexts::ChosenPathProblem::IsFolder:
        Complain(QStringLiteral("%1 is a folder.").arg(options.file));
        return false;
    }
    if (!mustExist && info.exists()) {
        const QString question =
            TransferTexts::Format(TransferTexts::Text(TransferMessages::kReplaceQuestion),
                                  {TransferTexts::FileNamePart(options.file)});
        if (UI().ShowMessage(nullptr, question, MsgButtons::YesNo) != MsgResult::Yes)
            return false;
    }
    return true;
}

// A window on the options' line settings.
void Configure(CControllerSession& window, const CliOptions& options) {
    window.channel.replyTimeoutMs = options.replyTimeoutMs;
}

} // namespace

namespace CliCommands {

int Ports(FILE* out) {
    QList<uint16_t> ports;
    ListOpenableComPorts(static_cast<uint16_t>(ComPortTable::kHighestPort), ports);
    for (const uint16_t port : ports)
        Print(out, QStringLiteral("COM%1\t%2").arg(port).arg(ComPortTable::DevicePath(port)));
    return 0;
}

int Search(const CliOptions& options, FILE* out) {
    CControllerSession window;
    Configure(window, options);
    if (!window.OpenDevice(options.devicePath, options.baudRate))
        return 1;
    NoBusyIndicator busy;
    if (!window.SearchControllers(busy))
        return 1;
    int found = 0;
    for (int n = 1; n <= kNodeCount; ++n) {
        const auto index = static_cast<std::size_t>(n - 1);
        if (!window.nodePresent[index])
            continue;
        ++found;
        Print(out, QStringLiteral("%1\t%2\t%3")
                       .arg(n, 2, 10, QLatin1Char('0'))
                       .arg(window.nodeModelName[index], window.nodeUserName[index]));
    }
    return found > 0 ? 0 : 1;
}

int BackupOrRestore(const CliOptions& options, FILE* out) {
    const bool backup = options.command == CliOptions::Command::Backup;
    if (!CheckFile(options, TransferTexts::Text(TransferMessages::kDataFileExtension), !backup))
        return 1;

    CControllerSession window;
    Configure(window, options);
    // The restart test of a restore reads the parameter tables of the resource library.
    std::array<ParamInfoTableSlot, 2> tables;
    if (!backup) {
        if (!LoadParamInfoTable(tables[0], 0) || !LoadParamInfoTable(tables[1], 1)) {
            Complain(
                QStringLiteral("The parameter tables of the resource library cannot be read."));
            return 1;
        }
        window.SetParamTables(tables[0].get(), tables[1].get());
    }

    CFixedNodeChooser chooser(options.node);
    NoBusyIndicator busy;
    CBackupRestoreProcedure procedure(window, chooser, busy);
    procedure.saveToPc = backup;
    procedure.transferFileName = options.file;
    CCliWriteReview review(options.dryRun, options.json, out);
    if (options.dryRun || options.verifyAfterWrite)
        procedure.review = &review;
    procedure.verifyAfterWrite = options.verifyAfterWrite;
    procedure.keepRollback = !options.noRollback;
    const bool done = procedure.RunTransferProcedure(TargetOf(options));
    window.SetParamTables(nullptr, nullptr);
    // A dry run ends at the write, declined once it has listed what the write would send.
    if (options.dryRun)
        return review.ReachedWrite() ? 0 : 1;
    return done ? 0 : 1;
}

int Alarms(const CliOptions& options) {
    if (!CheckFile(options, TransferTexts::Text(TransferMessages::kAlarmFileExtension), false))
        return 1;
    CControllerSession window;
    Configure(window, options);
    CFixedNodeChooser chooser(options.node);
    NoBusyIndicator busy;
    CAlarmTransferProcedure procedure(window, chooser, busy);
    procedure.transferFileName = options.file;
    return procedure.RunTransferProcedure(TargetOf(options)) ? 0 : 1;
}

} // namespace CliCommands
