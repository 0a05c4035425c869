#include "simulator/SimResponder.h"

#include "catalog/AccelFormula.h"
#include "data/CodePage.h"
#include "data/DataStore.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMaxTextLength = 40;

const QStringList kPointFieldKeywords = {"M",  "P", "S", "AC", "DC", "Q", "ZL",
                                         "ZH", "N", "J", "F",  "C",  "T"};
const QStringList kIdentityKeywords = {"CONT", "TYPE", "ROBOT", "IF", "VER", "VER2"};

// Strict decimal: optional sign and 1..10 digits, inside 32 bits.
bool parseValue(const QString& text, int32_t& value) {
    if (text.isEmpty())
        return false;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok, 10);
    if (!ok || text.contains(u' ') || text.startsWith(u'+') ||
        number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

bool isHexAddress(const QString& text) {
    if (text.size() != 8)
        return false;
    for (QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

bool validParamValue(int k, int32_t value) {
    switch (k) {
    case kRunModeParam:
        return value == 0 || value == 1 || value == 2 || value == 4 || value == 5 || value == 6;
    case kDelimiterParam:
        return value == kDelimiterCr || value == kDelimiterCrLf;
    case kNodeParam:
        return value >= 1 && value <= 16;
    case kDecimalsParam:
        return value >= 1 && value <= 3;
    default:
        return true;
    }
}

QString identityText(const SimController& controller, const QString& keyword) {
    const ControllerData& data = controller.data;
    if (keyword == QLatin1String("CONT"))
        return data.controllerName;
    if (keyword == QLatin1String("TYPE"))
        return data.modelCode;
    if (keyword == QLatin1String("ROBOT"))
        return data.robotName;
    if (keyword == QLatin1String("IF"))
        return data.interfaceInfo;
    if (keyword == QLatin1String("VER"))
        return controller.shortVersion;
    return data.version; // VER2
}

// "PNT12.3=M1,P..." from the data file's line form.
QString pointReply(const PointRecord& stored, int number, int node) {
    PointRecord point = stored;
    point.number = number;
    QString line = FormatPointLine(point);
    line.insert(line.indexOf(u'='), QStringLiteral(".%1").arg(node));
    return line;
}

constexpr int kPayload1Param = 76;
constexpr int kPayload2Param = 78;
constexpr int kFilterTypeParam = 89;
constexpr int kLcdParam = 75;
constexpr int kStreamingParam = 99;

bool inDebugMode(const SimController& controller) {
    return (controller.data.params().K(kRunModeParam) & 3) == 2;
}

// Writes a controller takes outside Debug Mode: what a program sends before switching modes.
bool writableInAnyMode(const SimCommand& cmd) {
    if (cmd.keyword == QLatin1String("SETID"))
        return true;
    return cmd.keyword == QLatin1String("K") && cmd.hasNumber &&
           (cmd.number == kRunModeParam || cmd.number == kLcdParam ||
            cmd.number == kStreamingParam);
}

class Executor {
public:
    Executor(SimController& controller, const SimCommand& command, QStringList& lines,
             const SimRules& simRules)
        : c(controller), cmd(command), out(lines), rules(simRules), node(controller.node()) {}

    // 0 when carried out, else the refusal code.
    int Run() {
        if (!cmd.knownKeyword)
            return SimNg::kUnknownCommand;
        if ((cmd.query && cmd.hasValue) || (cmd.hasLast && cmd.keyword != QLatin1String("DEL")))
            return SimNg::kMalformed;
        const QString& kw = cmd.keyword;
        const bool listRead = kw.startsWith(QLatin1String("READ "));
        if (rules.debugModeForWrites && !cmd.query && !listRead && !writableInAnyMode(cmd) &&
            !inDebugMode(c))
            return SimNg::kNotInDebugMode;
        if (kw == QLatin1String("K"))
            return cmd.query ? queryParam(1, kKParamCount, 0) : setParam(1, kKParamCount, 0);
        if (kw == QLatin1String("H"))
            return cmd.query ? queryParam(0, 7, kHParamIndex) : setParam(0, 7, kHParamIndex);
        if (kPointFieldKeywords.contains(kw))
            return cmd.query ? SimNg::kUnknownCommand : setPointField();
        if (kw == QLatin1String("PNT"))
            return cmd.query ? queryPoint() : SimNg::kUnknownCommand;
        if (kIdentityKeywords.contains(kw))
            return cmd.query ? queryIdentity() : setIdentity();
        if (kw == QLatin1String("COMR"))
            return cmd.query ? queryText() : SimNg::kUnknownCommand;
        if (kw == QLatin1String("COMW"))
            return cmd.query ? SimNg::kUnknownCommand : setText();
        if (kw == QLatin1String("DEL"))
            return cmd.query ? SimNg::kUnknownCommand : deletePoints();
        if (kw.startsWith(QLatin1String("READ ")))
            return cmd.query ? SimNg::kUnknownCommand : readList();
        if (kw == QLatin1String("REC"))
            return cmd.query ? queryAlarm() : SimNg::kUnknownCommand;
        if (kw == QLatin1String("INIT PNT") || kw == QLatin1String("INIT REC"))
            return cmd.query ? SimNg::kUnknownCommand : initialise();
        if (kw == QLatin1String("SETID"))
            return cmd.query || cmd.hasNumber || cmd.hasValue ? SimNg::kMalformed : 0;
        return SimNg::kUnknownCommand;
    }

private:
    SimController& c;
    const SimCommand& cmd;
    QStringList& out;
    const SimRules& rules;
    const int node;

    // K n when `offset` is 0, else H n.
    int32_t& value(int offset, int n) {
        return offset == 0 ? c.data.params().K(n) : c.data.params().H(n);
    }

    bool numberIn(int64_t first, int64_t last) const {
        return cmd.hasNumber && cmd.number >= first && cmd.number <= last;
    }

    int queryParam(int first, int last, int offset) {
        if (!numberIn(first, last))
            return SimNg::kBadItem;
        const int n = static_cast<int>(cmd.number);
        const QString item = cmd.keyword + QString::number(n);
        const int32_t answer =
            c.unkeptWrites.contains(item) ? c.unkeptWrites.take(item) : value(offset, n);
        out << QStringLiteral("%1%2.%3=%4").arg(cmd.keyword).arg(n).arg(node).arg(answer);
        return 0;
    }

    int setParam(int first, int last, int offset) {
        if (!numberIn(first, last))
            return SimNg::kBadItem;
        const int n = static_cast<int>(cmd.number);
        int32_t v = 0;
        if (!cmd.hasValue || !parseValue(cmd.value, v) || (offset == 0 && !validParamValue(n, v)))
            return SimNg::kBadValue;
        const int tableNumber = offset == 0 ? n : kHParamIndex + 1 + n;
        if (rules.ranges && !rules.ranges->Accepts(c.data.modelCode, tableNumber, v,
                                                   c.data.params().K(kDecimalsParam)))
            return SimNg::kBadValue;
        if (rules.ignoredWrites.contains(cmd.keyword + QString::number(n))) {
            c.unkeptWrites.insert(cmd.keyword + QString::number(n), v);
            return 0;
        }
        value(offset, n) = v;
        if (offset == 0 && rules.followUps)
            SimResponder::RecomputeFollowUps(c, n, rules.ranges);
        return 0;
    }

    int setPointField() {
        if (!numberIn(1, kPointCount))
            return SimNg::kBadItem;
        int32_t v = 0;
        if (!cmd.hasValue || !parseValue(cmd.value, v))
            return SimNg::kBadValue;
        const int field = static_cast<int>(kPointFieldKeywords.indexOf(cmd.keyword)) + 1;
        if (field == 1 && (v < 0 || v > 8))
            return SimNg::kBadValue;
        const int n = static_cast<int>(cmd.number);
        PointRecord& point = c.data.points[static_cast<std::size_t>(n - 1)];
        if (field == 1 && v == 0) {
            point = PointRecord{};
            return 0;
        }
        point.field(field) = v;
        // A point is in use once it has a run type.
        point.number = point.runType > 0 ? n : 0;
        return 0;
    }

    int queryPoint() {
        if (!numberIn(1, kPointCount))
            return SimNg::kBadItem;
        const int n = static_cast<int>(cmd.number);
        const PointRecord& point = c.data.points[static_cast<std::size_t>(n - 1)];
        out << pointReply(point.inUse() ? point : PointRecord{}, n, node);
        return 0;
    }

    int queryIdentity() {
        if (cmd.hasNumber)
            return SimNg::kMalformed;
        out << QStringLiteral("%1.%2=%3")
                   .arg(cmd.keyword)
                   .arg(node)
                   .arg(identityText(c, cmd.keyword));
        return 0;
    }

    int setIdentity() {
        if (cmd.keyword != QLatin1String("ROBOT"))
            return SimNg::kUnknownCommand;
        if (cmd.hasNumber)
            return SimNg::kMalformed;
        if (!cmd.hasValue || cmd.value.isEmpty() || cmd.value.size() > kMaxTextLength)
            return SimNg::kBadValue;
        c.data.robotName = cmd.value;
        c.data.params().robotName = cmd.value;
        return 0;
    }

    int queryText() {
        if (!numberIn(1, kTextItems))
            return SimNg::kBadItem;
        const int n = static_cast<int>(cmd.number);
        out << QStringLiteral("COMR%1.%2=%3").arg(n).arg(node).arg(c.text(n));
        return 0;
    }

    int setText() {
        if (!numberIn(1, kTextItems))
            return SimNg::kBadItem;
        const int n = static_cast<int>(cmd.number);
        if (!cmd.hasValue || cmd.value.size() > kMaxTextLength)
            return SimNg::kBadValue;
        if (n >= 7) { // gateway, mask, IP: 8 hexadecimal digits, or empty
            if (!cmd.value.isEmpty() && !isHexAddress(cmd.value))
                return SimNg::kBadValue;
            c.text(n) = cmd.value.toLower();
        } else {
            c.text(n) = cmd.value;
        }
        return 0;
    }

    int deletePoints() {
        if (cmd.hasValue)
            return SimNg::kMalformed;
        if (!numberIn(1, kPointCount))
            return SimNg::kBadItem;
        const int64_t last = cmd.hasLast ? cmd.last : cmd.number;
        if (last < cmd.number || last > kPointCount)
            return SimNg::kBadItem;
        for (int64_t n = cmd.number; n <= last; ++n)
            c.data.points[static_cast<std::size_t>(n - 1)] = PointRecord{};
        return 0;
    }

    int readList() {
        if (cmd.hasNumber || cmd.hasValue)
            return SimNg::kMalformed;
        const RobotParameters& params = c.data.params();
        if (cmd.keyword == QLatin1String("READ PNT")) {
            for (const PointRecord& point : c.data.points) {
                if (point.inUse())
                    out << FormatPointLine(point);
            }
        } else if (cmd.keyword == QLatin1String("READ PRM")) {
            for (int k = 1; k <= kKParamCount; ++k)
                out << FormatKLine(k, params.K(k));
        } else if (cmd.keyword == QLatin1String("READ HPRM")) {
            for (int h = 0; h < kParamCount - kHParamIndex; ++h)
                out << FormatHLine(h, params.H(h));
        } else {
            return SimNg::kUnknownCommand;
        }
        if (rules.loadingLine)
            out.prepend(QStringLiteral("LOADING.%1").arg(node));
        return 0;
    }

    int queryAlarm() {
        if (!numberIn(1, kAlarmSlots))
            return SimNg::kBadItem;
        const int slot = static_cast<int>(cmd.number);
        const SimAlarm alarm = slot <= c.alarms.size() ? c.alarms[slot - 1] : SimAlarm{};
        out << QStringLiteral("REC%1.%2=%3").arg(slot).arg(node).arg(FormatAlarmPayload(alarm));
        return 0;
    }

    int initialise() {
        if (cmd.hasNumber || cmd.hasValue)
            return SimNg::kMalformed;
        if (cmd.keyword == QLatin1String("INIT PNT"))
            c.data.points.assign(kPointCount, PointRecord{});
        else
            c.alarms.clear();
        return 0;
    }
};

// Indexes of the controllers that answer, in the order they answer.
QList<int> targetsOf(const QList<SimController>& controllers, int node) {
    QList<int> targets;
    for (int i = 0; i < controllers.size(); ++i) {
        if (node == 0 || controllers[i].node() == node)
            targets.append(i);
    }
    std::stable_sort(targets.begin(), targets.end(),
                     [&](int a, int b) { return controllers[a].node() < controllers[b].node(); });
    return targets;
}

QString ngLine(int node, int code) {
    return QStringLiteral("NG.%1=%2").arg(node).arg(code & 0xff, 2, 16, QLatin1Char('0'));
}

} // namespace

namespace SimResponder {

QByteArray EncodeLines(const QStringList& lines, const QByteArray& end, const QByteArray& noise) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += noise;
        bytes += CodePage::ToAnsi(line);
        bytes += end;
    }
    return bytes;
}

void RecomputeFollowUps(SimController& controller, int k, const SimParamRanges* ranges) {
    RobotParameters& p = controller.data.params();
    const QString& model = controller.data.modelCode;
    auto store = [&](int number, int32_t value) {
        p.K(number) = ranges ? ranges->Clamp(model, number, value) : value;
    };
    if (k == kPayload1Param || k == kPayload2Param) {
        // The acceleration the robot reaches with that payload, by the motion library's curve
        // over the robot's limits and coefficients.
        store(k + 1, catalog::MaxAccelerationForPayload(p.K(k), p.K(48), p.K(49), p.K(50), p.K(55),
                                                        p.K(56), p.K(57), p.K(58)));
    } else if (k == kFilterTypeParam) {
        // The factory settings of the chosen filter: cut-off frequency, notch frequency, notch
        // depth; zero for a filter the type does not include.
        const int32_t type = p.K(k);
        const bool lowPass = type == 1 || type == 3;
        const bool notch = type == 2 || type == 3;
        store(90, lowPass ? 500 : 0);
        store(91, notch ? 300 : 0);
        store(92, notch ? 30 : 0);
    }
}

void AssignNodeNumbers(QList<SimController>& controllers) {
    QSet<int> used;
    QList<int> pending;
    for (int i = 0; i < controllers.size(); ++i) {
        const int n = controllers[i].node();
        if (n >= 1 && n <= 16 && !used.contains(n))
            used.insert(n);
        else
            pending.append(i);
    }
    for (int i : pending) {
        for (int n = 1; n <= 16; ++n) {
            if (!used.contains(n)) {
                used.insert(n);
                controllers[i].setNode(n);
                break;
            }
        }
    }
}

QByteArray Respond(QList<SimController>& controllers, const QString& line, int forcedNg,
                   const SimRules& rules) {
    const SimCommand command = SimCommand::Parse(line);
    if (command.form == SimCommand::Form::Ignored || command.node < 0)
        return {};
    const bool assign = forcedNg < 0 && command.form == SimCommand::Form::Parsed &&
                        command.keyword == QLatin1String("SETID") && command.node == 0 &&
                        !command.query && !command.hasNumber && !command.hasValue;
    if (assign)
        AssignNodeNumbers(controllers);

    QByteArray reply;
    for (int index : targetsOf(controllers, command.node)) {
        SimController& controller = controllers[index];
        // A command changing the node or the delimiter is answered as the command found them.
        const int node = controller.node();
        const QByteArray end = controller.lineEnd();
        QStringList lines;
        int code = forcedNg;
        if (code < 0)
            code = command.form == SimCommand::Form::Malformed
                       ? SimNg::kMalformed
                       : Executor(controller, command, lines, rules).Run();
        if (forcedNg >= 0 || code > 0)
            lines = {ngLine(node, code)};
        else
            lines << QStringLiteral("OK.%1").arg(node);
        reply += EncodeLines(lines, end, rules.noise);
    }
    return reply;
}

} // namespace SimResponder
