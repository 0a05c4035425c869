// velmora-cli: backup, restore, alarm history, search and port listing from a terminal, over
// the same workflow code as the GUI. Runs on a core application: it needs no display.
#include "cli/CliCommands.h"
#include "cli/CliFileCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliVerifyCommand.h"
#include "cli/LineCommands.h"
#include "platform/ResourceLibrary.h"
#include "platform/TerminalUserInteraction.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Standard error carries the workflow's messages and nothing else: scripts compare it. Qt's own
// notes (a runtime folder that is not set, say) stay out of it; only critical errors pass.
QtMessageHandler defaultHandler = nullptr;

void KeepStandardErrorForMessages(QtMsgType type, const QMessageLogContext& context,
                                  const QString& message) {
    if ((type == QtCriticalMsg || type == QtFatalMsg) && defaultHandler)
        defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(KeepStandardErrorForMessages);
    QCoreApplication app(argc, argv);

    const QStringList arguments = app.arguments().mid(1);
    if (CliFileCommands::Handles(arguments)) {
        // Parameter names come from the resource library; without it items show by number.
        ResourceLibrary::Load(QCoreApplication::applicationDirPath());
        const int status = CliFileCommands::Run(arguments, stdout, stderr);
        ResourceLibrary::Unload();
        return status;
    }
    CliOptions options;
    QString error;
    if (!CliOptions::Parse(app.arguments().mid(1), options, error)) {
        std::fprintf(stderr, "%s\n\n%s", error.toLocal8Bit().constData(),
                     CliOptions::Usage().toLocal8Bit().constData());
        return 2;
    }
    if (options.help) {
        std::fputs(CliOptions::Usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.command == CliOptions::Command::Ports)
        return CliCommands::Ports(stdout);

    if (!ResourceLibrary::Load(QCoreApplication::applicationDirPath())) {
        std::fprintf(stderr, "Failed to load %s from %s.\n", ResourceLibrary::kFileName,
                     QCoreApplication::applicationDirPath().toLocal8Bit().constData());
        return 1;
    }
    TerminalUserInteraction terminal(options.assumeYes);
    InstallUserInteraction(&terminal);

    int status = 1;
    switch (options.command) {
    case CliOptions::Command::Search:
        status = CliCommands::Search(options, stdout);
        break;
    case CliOptions::Command::Backup:
    case CliOptions::Command::Restore:
        status = CliCommands::BackupOrRestore(options, stdout);
        break;
    case CliOptions::Command::Alarms:
        status = CliCommands::Alarms(options);
        break;
    case CliOptions::Command::BackupAll:
        status = LineCommands::BackupAll(options);
        break;
    case CliOptions::Command::RestoreAll:
        status = LineCommands::RestoreAll(options);
        break;
    case CliOptions::Command::Verify:
        status = CliCommands::Verify(options, stdout);
        break;
    case CliOptions::Command::Ports:
    case CliOptions::Command::None:
        break;
    }
    InstallUserInteraction(nullptr);
    ResourceLibrary::Unload();
    return status;
}
