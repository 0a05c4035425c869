#include "cli/CliOptions.h"

#include "platform/ComPortTable.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

using Command = CliOptions::Command;

struct CommandRule {
    Command command;
    bool port;        // --port required, --baud and --reply-timeout allowed
    bool node;        // --node required
    bool file;        // --file required
    bool yes;         // --yes allowed
    bool dir = false; // --dir required
    QString repeat;   // the option that may be given more than once
};

const QHash<QString, CommandRule>& Rules() {
    static const QHash<QString, CommandRule> rules{
        {QStringLiteral("ports"), {Command::Ports, false, false, false, false, false, {}}},
        {QStringLiteral("search"), {Command::Search, true, false, false, true, false, {}}},
        {QStringLiteral("backup"), {Command::Backup, true, true, true, true, false, {}}},
        {QStringLiteral("restore"), {Command::Restore, true, true, true, true, false, {}}},
        {QStringLiteral("alarms"), {Command::Alarms, true, true, true, true, false, {}}},
        {QStringLiteral("backup-all"),
         {Command::BackupAll, true, false, false, true, true, QStringLiteral("--port")}},
        {QStringLiteral("restore-all"),
         {Command::RestoreAll, true, false, false, true, true, QStringLiteral("--node")}},
        {QStringLiteral("verify"), {Command::Verify, true, true, true, false, false, {}}},
    };
    return rules;
}

// The switches of a restore alone.
bool IsRestoreSwitch(const QString& option) {
    return option == QLatin1String("--dry-run") || option == QLatin1String("--verify") ||
           option == QLatin1String("--no-rollback");
}

// The flag an option without value sets; null for an option that takes a value.
bool* SwitchOf(const QString& option, CliOptions& options) {
    if (option == QLatin1String("--yes"))
        return &options.assumeYes;
    if (option == QLatin1String("--json"))
        return &options.json;
    if (option == QLatin1String("--dry-run"))
        return &options.dryRun;
    if (option == QLatin1String("--verify"))
        return &options.verifyAfterWrite;
    if (option == QLatin1String("--no-rollback"))
        return &options.noRollback;
    return nullptr;
}

// A whole decimal number in `low`..`high`.
bool ParseNumber(const QString& text, qint64 low, qint64 high, qint64& value) {
    if (text.isEmpty() || text.size() > 10)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    value = text.toLongLong();
    return value >= low && value <= high;
}

// The COM number of the device `path` leads to: a stable name such as /dev/serial/by-id/...
// is a link to the device, and confirmations should name the port as the port tree does.
// A device the table reaches only through a link of its own (a simulator line's
// pseudo-terminal) has that link's number. 0 when the table has no entry for it.
int ComNumberThroughLinks(const QString& path) {
    QString current = path;
    for (int hop = 0; hop < 16 && !current.isEmpty(); ++hop) {
        if (const int number = ComPortTable::ComNumberOf(current))
            return number;
        const QFileInfo info(current);
        if (!info.isSymLink())
            break;
        current = QDir::cleanPath(info.symLinkTarget());
    }
    const QString device = QFileInfo(path).canonicalFilePath();
    if (device.isEmpty())
        return 0;
    for (int number = 1; number <= ComPortTable::kHighestPort; ++number) {
        const QFileInfo entry(ComPortTable::DevicePath(number));
        if (entry.exists() && entry.canonicalFilePath() == device)
            return number;
    }
    return 0;
}

} // namespace

QString CliOptions::Usage() {
    return QStringLiteral(
        "Usage:\n"
        "  velmora-cli ports\n"
        "  velmora-cli search  --port PORT [--baud B] [--reply-timeout MS] [--yes]\n"
        "  velmora-cli backup  --port PORT --node N --file PATH [--yes] [--baud B]\n"
        "                      [--reply-timeout MS]\n"
        "  velmora-cli restore --port PORT --node N --file PATH [--yes] [--baud B]\n"
        "                      [--reply-timeout MS] [--dry-run] [--verify] [--no-rollback]\n"
        "                      [--json]\n"
        "  velmora-cli alarms  --port PORT --node N --file PATH [--yes] [--baud B]\n"
        "                      [--reply-timeout MS]\n"
        "  velmora-cli backup-all  --port PORT [--port PORT ...] --dir DIR [--yes] [--baud B]\n"
        "                          [--reply-timeout MS]\n"
        "  velmora-cli restore-all --port PORT --dir DIR [--node N ...] [--yes] [--baud B]\n"
        "                          [--reply-timeout MS]\n"
        "  velmora-cli verify  --port PORT --node N --file PATH [--json] [--baud B]\n"
        "                      [--reply-timeout MS]   exit 1 when a restore would write\n"
        "  velmora-cli show    FILE [--json]\n"
        "  velmora-cli diff    A B [--json]      exit 1 when some items differ\n"
        "\n"
        "  PORT  a device path (/dev/ttyUSB0, a pseudo-terminal) or COM<n>\n"
        "  N     node number 1 to 16\n"
        "  PATH  data file (.kqd) for backup and restore, alarm history file (.alr) for alarms;\n"
        "        backup and alarms ask before replacing an existing file\n"
        "  DIR   folder of a backup set: one .kqd file per controller, named\n"
        "        <line>-node<NN>-<controller>.kqd, and manifest.json; backup-all backs up\n"
        "        every controller found, several lines at the same time; restore-all checks\n"
        "        every file against the manifest before it touches the line\n"
        "  B     line speed, default 38400; always 8 data bits, no parity, 1 stop bit,\n"
        "        no flow control\n"
        "  MS    reply time-out in milliseconds, 1 to 60000, default 2000: how long a\n"
        "        controller may stay silent before a command fails (lower it for a line that\n"
        "        answers fast, raise it for a slow one)\n"
        "  --dry-run     restore: every check and question, then list the items the write\n"
        "                would send, in its order, and write nothing\n"
        "  --verify      restore: read the whole controller back after writing and list what\n"
        "                differs from the written data; exit 1 when anything does\n"
        "  --no-rollback restore: do not save the controller's present data first (a rollback\n"
        "                point, kept in $XDG_DATA_HOME/VelmoraFree/rollback, newest 50)\n"
        "  --json        verify, restore --dry-run or --verify: one JSON document on standard\n"
        "                output\n"
        "  --yes answers every question with OK or Yes; without it questions are asked on the\n"
        "        terminal, and answered Cancel or No when standard input is not one\n");
}

bool CliOptions::Parse(const QStringList& arguments, CliOptions& options, QString& error) {
    options = CliOptions();
    if (arguments.isEmpty()) {
        error = QStringLiteral("No command given.");
        return false;
    }
    const QString& name = arguments.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        options.help = true;
        return true;
    }
    const auto rule = Rules().constFind(name);
    if (rule == Rules().constEnd()) {
        error = QStringLiteral("Unknown command \"%1\".").arg(name);
        return false;
    }
    options.command = rule->command;

    QHash<QString, QString> values;
    QStringList repeated; // every value of rule->repeat
    QSet<QString> seen;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString option = arguments.at(i);
        QString value;
        bool hasValue = false;
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (option.startsWith(QLatin1String("--")) && equals > 0) {
            value = option.mid(equals + 1);
            option = option.left(equals);
            hasValue = true;
        }
        const bool known = option == QLatin1String("--port") || option == QLatin1String("--node") ||
                           option == QLatin1String("--file") || option == QLatin1String("--baud") ||
                           option == QLatin1String("--reply-timeout") ||
                           option == QLatin1String("--yes") || option == QLatin1String("--dir") ||
                           option == QLatin1String("--json") || IsRestoreSwitch(option);
        const bool allowed =
            known &&
            ((option == QLatin1String("--port") && rule->port) ||
             (option == QLatin1String("--baud") && rule->port) ||
             (option == QLatin1String("--reply-timeout") && rule->port) ||
             (option == QLatin1String("--node") && (rule->node || rule->repeat == option)) ||
             (option == QLatin1String("--dir") && rule->dir) ||
             (option == QLatin1String("--file") && rule->file) ||
             (option == QLatin1String("--yes") && rule->yes) ||
             (option == QLatin1String("--json") &&
              (rule->command == Command::Verify || rule->command == Command::Restore)) ||
             (IsRestoreSwitch(option) && rule->command == Command::Restore));
        if (!allowed) {
            error = known ? QStringLiteral("Option %1 does not apply to \"%2\".").arg(option, name)
                          : QStringLiteral("Unknown option \"%1\".").arg(option);
            return false;
        }
        if (seen.contains(option) && option != rule->repeat) {
            error = QStringLiteral("Option %1 is given twice.").arg(option);
            return false;
        }
        seen.insert(option);
        if (bool* flag = SwitchOf(option, options)) {
            if (hasValue) {
                error = QStringLiteral("Option %1 takes no value.").arg(option);
                return false;
            }
            *flag = true;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("Option %1 needs a value.").arg(option);
                return false;
            }
            value = arguments.at(++i);
        }
        values.insert(option, value);
        if (option == rule->repeat)
            repeated << value;
    }
    if (rule->repeat == QLatin1String("--port") && repeated.size() > 1) {
        for (const QString& port : repeated.mid(1)) {
            CliOptions::Line line{port, ComPortTable::ResolvePortName(port), 0};
            if (line.devicePath.isEmpty()) {
                error = QStringLiteral("\"%1\" is neither a device path nor COM1 to COM%2.")
                            .arg(port)
                            .arg(ComPortTable::kHighestPort);
                return false;
            }
            line.comNumber = ComNumberThroughLinks(line.devicePath);
            options.lines << line;
        }
        values.insert(QStringLiteral("--port"), repeated.first());
    }
    if (rule->repeat == QLatin1String("--node")) {
        for (const QString& text : repeated) {
            qint64 node = 0;
            if (!ParseNumber(text, 1, 16, node)) {
                error = QStringLiteral("--node must be a node number from 1 to 16.");
                return false;
            }
            options.nodes << static_cast<int>(node);
        }
    }
    if (rule->dir) {
        const QString dir = values.value(QStringLiteral("--dir"));
        if (dir.isEmpty()) {
            error = QStringLiteral("--dir is required.");
            return false;
        }
        options.dir = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    }

    if (rule->port) {
        options.port = values.value(QStringLiteral("--port"));
        if (options.port.isEmpty()) {
            error = QStringLiteral("--port is required.");
            return false;
        }
        options.devicePath = ComPortTable::ResolvePortName(options.port);
        if (options.devicePath.isEmpty()) {
            error = QStringLiteral("\"%1\" is neither a device path nor COM1 to COM%2.")
                        .arg(options.port)
                        .arg(ComPortTable::kHighestPort);
            return false;
        }
        options.comNumber = ComNumberThroughLinks(options.devicePath);
        options.lines.prepend(
            CliOptions::Line{options.port, options.devicePath, options.comNumber});
        if (values.contains(QStringLiteral("--baud"))) {
            qint64 baud = 0;
            if (!ParseNumber(values.value(QStringLiteral("--baud")), 50, 4000000, baud)) {
                error = QStringLiteral("--baud must be a line speed from 50 to 4000000.");
                return false;
            }
            options.baudRate = static_cast<int32_t>(baud);
        }
        if (values.contains(QStringLiteral("--reply-timeout"))) {
            qint64 timeout = 0;
            if (!ParseNumber(values.value(QStringLiteral("--reply-timeout")), 1, 60000, timeout)) {
                error = QStringLiteral("--reply-timeout must be a number of milliseconds from 1 "
                                       "to 60000.");
                return false;
            }
            options.replyTimeoutMs = static_cast<int>(timeout);
        }
    }
    if (rule->node) {
        qint64 node = 0;
        if (!values.contains(QStringLiteral("--node"))) {
            error = QStringLiteral("--node is required.");
            return false;
        }
        if (!ParseNumber(values.value(QStringLiteral("--node")), 1, 16, node)) {
            error = QStringLiteral("--node must be a node number from 1 to 16.");
            return false;
        }
        options.node = static_cast<int>(node);
    }
    if (options.dryRun && options.verifyAfterWrite) {
        error = QStringLiteral("--dry-run writes nothing, so there is nothing to --verify.");
        return false;
    }
    if (options.command == Command::Restore && options.json && !options.dryRun &&
        !options.verifyAfterWrite) {
        error = QStringLiteral("--json needs --dry-run or --verify with \"restore\".");
        return false;
    }
    if (rule->file) {
        const QString file = values.value(QStringLiteral("--file"));
        if (file.isEmpty()) {
            error = QStringLiteral("--file is required.");
            return false;
        }
        // The file chooser hands out full paths; a relative one is taken from here.
        options.file = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    }
    return true;
}
