#include "simulator/SimOptions.h"

#include "data/DataStore.h"
#include "simulator/DemoControllers.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

bool parseInt(const QString& text, int low, int high, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

// "N=TEXT" with N in low..high.
bool parseAssignment(const QString& text, int low, int high, QPair<int, QString>& out) {
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0 || !parseInt(text.left(equals), low, high, out.first))
        return false;
    out.second = text.mid(equals + 1);
    return !out.second.isEmpty();
}

// "\xhh", "\r", "\n" and "\\" escapes in a garbage text.
QByteArray unescape(const QString& text) {
    const QByteArray raw = text.toLatin1();
    QByteArray bytes;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 >= raw.size()) {
            bytes += raw[i];
            continue;
        }
        const char next = raw[++i];
        if (next == 'r') {
            bytes += '\r';
        } else if (next == 'n') {
            bytes += '\n';
        } else if (next == 'x' && i + 2 < raw.size()) {
            bool ok = false;
            const int value = raw.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                bytes += static_cast<char>(value);
                i += 2;
            } else {
                bytes += "\\x";
            }
        } else {
            bytes += next;
        }
    }
    return bytes;
}

// The switches that turn a default behaviour around.
bool* switchFlag(const QString& option, SimBehaviour& behaviour) {
    if (option == QLatin1String("--no-debug-check"))
        return &behaviour.debugModeForWrites;
    if (option == QLatin1String("--no-range-check"))
        return &behaviour.rangeChecks;
    if (option == QLatin1String("--no-follow-ups"))
        return &behaviour.followUps;
    if (option == QLatin1String("--no-streaming"))
        return &behaviour.streaming;
    if (option == QLatin1String("--loading"))
        return &behaviour.loadingLine;
    return nullptr;
}

bool parseKinds(const QString& text, unsigned& kinds) {
    static const QList<QPair<QString, unsigned>> kNames = {
        {QStringLiteral("silence"), RandomFaults::Silence},
        {QStringLiteral("ng"), RandomFaults::Ng},
        {QStringLiteral("noise"), RandomFaults::Noise},
        {QStringLiteral("split"), RandomFaults::Split},
        {QStringLiteral("delay"), RandomFaults::Delay},
        {QStringLiteral("line-error"), RandomFaults::LineError}};
    kinds = 0;
    for (const QString& name : text.split(u',')) {
        const auto found = std::find_if(kNames.begin(), kNames.end(),
                                        [&](const auto& entry) { return entry.first == name; });
        if (found == kNames.end())
            return false;
        kinds |= found->second;
    }
    return kinds != 0;
}

int indexOfNode(const QList<SimController>& controllers, int node) {
    for (int i = 0; i < controllers.size(); ++i) {
        if (controllers[i].node() == node)
            return i;
    }
    return -1;
}

} // namespace

QString SimOptions::Usage() {
    return QStringLiteral(
        "Usage: velmora-sim [options]\n"
        "A simulated line of 1 to 16 controllers on a pseudo-terminal, published as COM97 and up.\n"
        "\n"
        "  --controllers N        N demo controllers on nodes 1..N (KQ-A, KQ-C, KQ-B, ...)\n"
        "  --node N=FILE          controller on node N holds the data file FILE\n"
        "  --model N=CODE         controller on node N is of model CODE (name and model code)\n"
        "  --cont N=NAME          controller on node N reports the controller name NAME\n"
        "  --set-node POS=N       the controller at line position POS (1..) answers as node N\n"
        "  --line K               publish as simulator line K (COM97+K); default the first free\n"
        "  --baud B               pace both directions at B baud (10 bits a byte)\n"
        "  --reply-delay MS       pause before each reply\n"
        "  --log FILE             write the traffic to FILE\n"
        "Controller behaviour (on by default, as on real controllers):\n"
        "  --no-debug-check       take writes outside Debug Mode (K20 low bits not 2); else they\n"
        "                         are refused with NG 05, except K20, K75, K99 and @SETID\n"
        "  --no-range-check       take K and H values outside the parameter tables (TEXT 191,\n"
        "                         195 of langresFree.rcc in the program directory); else they are\n"
        "                         refused with NG 03, and the line does not start without tables\n"
        "  --no-follow-ups        writing K76, K78, K89 leaves K77, K79, K90..K92 alone\n"
        "  --no-streaming         K99 \"Data streaming\" off at power-up; else every controller\n"
        "                         sends RUN.n / MSG.n=Ready / END.n lines on a quiet line until\n"
        "                         @K99=0\n"
        "  --stream-interval MS   quiet time before each status line (default 250)\n"
        "Line options:\n"
        "  --loading              send LOADING.n before the lines of READ PNT/PRM/HPRM replies\n"
        "  --cr-only N            the controller on node N ends its replies with CR alone (K37 0)\n"
        "  --noise BYTES          send BYTES (\\xhh escapes) before every reply line\n"
        "Faults (PATTERN: the command line, \"*\" for any run of characters):\n"
        "  --silence-from K       no reply from the K-th command on\n"
        "  --ng HH:PATTERN        refuse matching commands with NG code HH (hexadecimal)\n"
        "  --line-error-at K      hang up the line at the K-th command\n"
        "  --garbage TEXT         send TEXT (\\xhh, \\r, \\n escapes) before every reply\n"
        "  --split BYTES:MS       send replies in pieces of BYTES with MS pauses\n"
        "  --ignore-write ITEM    acknowledge writes of ITEM (K1..K138, H0..H7) without keeping\n"
        "                         them: only the single read right after answers the new value\n"
        "  --echo                 echo every command line before its reply\n"
        "Random faults (reproducible: each command's fault follows from the seed and its index):\n"
        "  --fault-seed S         turn the random fault plan on with seed S\n"
        "  --fault-rate P         share of commands that meet a fault, 0..1 (default 0.05)\n"
        "  --fault-max-delay MS   longest delay fault (default 1900, under the 2 s time-out)\n"
        "  --fault-kinds LIST     comma list of silence, ng, noise, split, delay, line-error\n"
        "                         (default all); the log names every fault injected\n"
        "  --help                 this text\n"
        "\n"
        "Prints \"COM<n> <device>\" once the line is up; runs until SIGINT or SIGTERM.\n");
}

bool SimOptions::Parse(const QStringList& arguments, SimOptions& options, QString& error) {
    options = SimOptions{};
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        if (option == QLatin1String("--echo")) {
            FaultRule rule;
            rule.kind = FaultRule::Kind::Echo;
            options.faults.append(rule);
            continue;
        }
        if (bool* flag = switchFlag(option, options.behaviour)) {
            *flag = option == QLatin1String("--loading");
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = option.startsWith(QLatin1String("--"))
                        ? QStringLiteral("%1 needs a value").arg(option)
                        : QStringLiteral("Unknown argument: %1").arg(option);
            return false;
        }
        const QString value = arguments[++i];
        const QString bad = QStringLiteral("Invalid value for %1: %2").arg(option, value);
        QPair<int, QString> pair;
        int number = 0;
        if (option == QLatin1String("--controllers")) {
            if (!parseInt(value, 1, 16, options.controllers)) {
                error = bad + QStringLiteral(" (1 to 16)");
                return false;
            }
        } else if (option == QLatin1String("--node") || option == QLatin1String("--model") ||
                   option == QLatin1String("--cont")) {
            if (!parseAssignment(value, 1, 16, pair)) {
                error = bad + QStringLiteral(" (N=TEXT, N 1 to 16)");
                return false;
            }
            (option == QLatin1String("--node")    ? options.nodeFiles
             : option == QLatin1String("--model") ? options.models
                                                  : options.names)
                .append(pair);
        } else if (option == QLatin1String("--set-node")) {
            int node = 0;
            if (!parseAssignment(value, 1, 16, pair) || !parseInt(pair.second, 0, 99, node)) {
                error = bad + QStringLiteral(" (POS=N)");
                return false;
            }
            options.nodeNumbers.append({pair.first, node});
        } else if (option == QLatin1String("--line")) {
            if (!parseInt(value, 0, 31, options.line)) {
                error = bad + QStringLiteral(" (0 to 31)");
                return false;
            }
        } else if (option == QLatin1String("--baud")) {
            if (!parseInt(value, 0, 10'000'000, options.baud)) {
                error = bad;
                return false;
            }
        } else if (option == QLatin1String("--reply-delay")) {
            if (!parseInt(value, 0, 60'000, options.replyDelayMs)) {
                error = bad;
                return false;
            }
        } else if (option == QLatin1String("--log")) {
            options.logFile = value;
        } else if (option == QLatin1String("--cr-only")) {
            if (!parseInt(value, 1, 16, number)) {
                error = bad + QStringLiteral(" (1 to 16)");
                return false;
            }
            options.crOnlyNodes.append(number);
        } else if (option == QLatin1String("--noise")) {
            options.behaviour.noise = unescape(value);
        } else if (option == QLatin1String("--stream-interval")) {
            if (!parseInt(value, 1, 60'000, options.behaviour.streamIntervalMs)) {
                error = bad;
                return false;
            }
        } else if (option == QLatin1String("--fault-seed")) {
            bool ok = false;
            options.random.seed = value.toULongLong(&ok);
            if (!ok) {
                error = bad;
                return false;
            }
            options.randomFaults = true;
        } else if (option == QLatin1String("--fault-rate")) {
            bool ok = false;
            options.random.rate = value.toDouble(&ok);
            if (!ok || options.random.rate < 0 || options.random.rate > 1) {
                error = bad + QStringLiteral(" (0 to 1)");
                return false;
            }
        } else if (option == QLatin1String("--fault-max-delay")) {
            if (!parseInt(value, 0, 60'000, options.random.maxDelayMs)) {
                error = bad;
                return false;
            }
        } else if (option == QLatin1String("--fault-kinds")) {
            if (!parseKinds(value, options.random.kinds)) {
                error = bad + QStringLiteral(" (silence, ng, noise, split, delay, line-error)");
                return false;
            }
        } else if (option == QLatin1String("--silence-from") ||
                   option == QLatin1String("--line-error-at")) {
            if (!parseInt(value, 1, 1'000'000'000, number)) {
                error = bad;
                return false;
            }
            FaultRule rule;
            rule.fromCommand = number;
            if (option == QLatin1String("--line-error-at")) {
                rule.kind = FaultRule::Kind::LineError;
                rule.count = 1;
            }
            options.faults.append(rule);
        } else if (option == QLatin1String("--ng")) {
            const qsizetype colon = value.indexOf(u':');
            bool ok = false;
            const int code = value.left(colon).toInt(&ok, 16);
            if (colon <= 0 || !ok || code < 0 || code > 0xff || colon + 1 >= value.size()) {
                error = bad + QStringLiteral(" (HH:PATTERN)");
                return false;
            }
            FaultRule rule;
            rule.kind = FaultRule::Kind::Ng;
            rule.ngCode = code;
            rule.pattern = value.mid(colon + 1);
            options.faults.append(rule);
        } else if (option == QLatin1String("--ignore-write")) {
            static const QRegularExpression item(
                QStringLiteral("^(K([1-9]|[1-9][0-9]|1[0-2][0-9]|13[0-8])|H[0-7])$"));
            if (!item.match(value).hasMatch()) {
                error = bad + QStringLiteral(" (K1..K138 or H0..H7)");
                return false;
            }
            options.behaviour.ignoredWrites << value;
        } else if (option == QLatin1String("--garbage")) {
            FaultRule rule;
            rule.kind = FaultRule::Kind::Garbage;
            rule.garbage = unescape(value);
            options.faults.append(rule);
        } else if (option == QLatin1String("--split")) {
            const QStringList parts = value.split(u':');
            FaultRule rule;
            rule.kind = FaultRule::Kind::Split;
            if (parts.size() != 2 || !parseInt(parts[0], 1, 1'000'000, rule.pieceBytes) ||
                !parseInt(parts[1], 0, 60'000, rule.pauseMs)) {
                error = bad + QStringLiteral(" (BYTES:MS)");
                return false;
            }
            options.faults.append(rule);
        } else {
            error = QStringLiteral("Unknown option: %1").arg(option);
            return false;
        }
    }
    return true;
}

bool SimOptions::BuildControllers(QList<SimController>& list, QString& error) const {
    const int count = controllers > 0 ? controllers : (nodeFiles.isEmpty() ? 1 : 0);
    list = MakeDemoControllers(count);
    const CDataStore store;
    for (const auto& [node, path] : nodeFiles) {
        ControllerDataSlot slot;
        store.CreateControllerData(slot);
        if (!QFileInfo(path).isFile() || !store.LoadDataFile(path, *slot, true, true)) {
            error = QStringLiteral("Cannot read the data file %1").arg(path);
            return false;
        }
        SimController controller = SimController::FromData(*slot);
        controller.setNode(node);
        const int index = indexOfNode(list, node);
        if (index >= 0) {
            controller.alarms = list[index].alarms;
            list[index] = controller;
        } else {
            list.append(controller);
        }
    }
    for (const auto& [node, model] : models) {
        const int index = indexOfNode(list, node);
        if (index < 0) {
            list.append(MakeDemoController(node, model));
            continue;
        }
        // A model change keeps the node's data but takes the model's identity.
        list[index].data.controllerName = model;
        list[index].data.modelCode = model;
    }
    for (const auto& [node, name] : names) {
        const int index = indexOfNode(list, node);
        if (index < 0) {
            error = QStringLiteral("No controller on node %1 for --cont").arg(node);
            return false;
        }
        list[index].data.controllerName = name;
    }
    for (int node : crOnlyNodes) {
        const int index = indexOfNode(list, node);
        if (index < 0) {
            error = QStringLiteral("No controller on node %1 for --cr-only").arg(node);
            return false;
        }
        list[index].data.params().K(kDelimiterParam) = kDelimiterCr;
    }
    for (const auto& [position, node] : nodeNumbers) {
        if (position > list.size()) {
            error = QStringLiteral("No controller at line position %1").arg(position);
            return false;
        }
        list[position - 1].setNode(node);
    }
    if (list.size() > 16) {
        error = QStringLiteral("A line holds at most 16 controllers");
        return false;
    }
    return true;
}
