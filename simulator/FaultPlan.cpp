#include "simulator/FaultPlan.h"

#include "simulator/TrafficLog.h"

bool WildcardMatch(const QString& pattern, const QString& text) {
    // Iterative match with one backtrack point per star: linear enough for command lines.
    qsizetype p = 0, t = 0, star = -1, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool FaultRule::Matches(const QString& line, int commandIndex) const {
    return commandIndex >= fromCommand && WildcardMatch(pattern, line);
}

FaultOutcome FaultPlan::Apply(const QString& line, int commandIndex) {
    FaultOutcome outcome;
    for (Entry& entry : rules) {
        const FaultRule& rule = entry.rule;
        if (rule.count >= 0 && entry.fired >= rule.count)
            continue;
        if (!rule.Matches(line, commandIndex))
            continue;
        ++entry.fired;
        switch (rule.kind) {
        case FaultRule::Kind::Silence:
            outcome.silence = true;
            outcome.injected << QStringLiteral("silence");
            break;
        case FaultRule::Kind::LineError:
            outcome.lineError = true;
            outcome.injected << QStringLiteral("line error");
            break;
        case FaultRule::Kind::Ng:
            outcome.ngCode = rule.ngCode & 0xff;
            outcome.injected << QStringLiteral("NG %1").arg(outcome.ngCode, 2, 16,
                                                            QLatin1Char('0'));
            break;
        case FaultRule::Kind::Garbage:
            outcome.garbage += rule.garbage;
            outcome.injected << QStringLiteral("garbage %1").arg(TrafficLog::Escape(rule.garbage));
            break;
        case FaultRule::Kind::Split:
            outcome.pieceBytes = qMax(1, rule.pieceBytes);
            outcome.pauseMs = qMax(0, rule.pauseMs);
            outcome.injected
                << QStringLiteral("split %1:%2").arg(outcome.pieceBytes).arg(outcome.pauseMs);
            break;
        case FaultRule::Kind::Echo:
            outcome.echo = true;
            outcome.injected << QStringLiteral("echo");
            break;
        }
    }
    if (random.IsActive())
        applyRandom(commandIndex, outcome);
    return outcome;
}

namespace {

// SplitMix64: a small generator whose every output depends on its seed alone.
class Draws {
public:
    explicit Draws(uint64_t seed) : state(seed) {}
    uint64_t next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // 0 .. count-1
    int below(int count) { return static_cast<int>(next() % static_cast<uint64_t>(count)); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

private:
    uint64_t state;
};

// Bytes that cannot begin a reply line: NUL, 0xFF, other control bytes, 8-bit bytes.
char noiseByte(Draws& draws) {
    static const char kChoices[] = {'\x00', '\xff', '\x01', '\x07', '\x11', '\x13',
                                    '\x1b', '\x7f', '\x80', '\x9b', '\xa0', '\xfe'};
    return kChoices[draws.below(static_cast<int>(sizeof kChoices))];
}

} // namespace

void FaultPlan::applyRandom(int commandIndex, FaultOutcome& outcome) const {
    // A generator per command, so one command's draws never shift another's.
    Draws draws(random.seed * 0x100000001b3ULL ^ static_cast<uint64_t>(commandIndex));
    if (draws.unit() >= random.rate)
        return;
    QList<unsigned> kinds;
    for (unsigned bit = 1; bit < RandomFaults::All + 1; bit <<= 1) {
        if (random.kinds & bit)
            kinds.append(bit);
    }
    const QString tag = QStringLiteral("random (seed %1) ").arg(random.seed);
    switch (kinds[draws.below(static_cast<int>(kinds.size()))]) {
    case RandomFaults::Silence:
        outcome.silence = true;
        outcome.injected << tag + QStringLiteral("silence");
        break;
    case RandomFaults::Ng:
        outcome.ngCode = RandomFaults::kNgCodes[draws.below(std::size(RandomFaults::kNgCodes))];
        outcome.injected << tag + QStringLiteral("NG %1").arg(outcome.ngCode, 2, 16,
                                                              QLatin1Char('0'));
        break;
    case RandomFaults::Noise: {
        const int count = 1 + draws.below(4);
        for (int i = 0; i < count; ++i)
            outcome.noise += noiseByte(draws);
        outcome.injected << tag + QStringLiteral("noise %1").arg(TrafficLog::Escape(outcome.noise));
        break;
    }
    case RandomFaults::Split:
        outcome.pieceBytes = 1 + draws.below(16);
        outcome.pauseMs = 1 + draws.below(40);
        outcome.injected
            << tag + QStringLiteral("split %1:%2").arg(outcome.pieceBytes).arg(outcome.pauseMs);
        break;
    case RandomFaults::Delay:
        outcome.delayMs = random.maxDelayMs > 0 ? 1 + draws.below(random.maxDelayMs) : 0;
        outcome.injected << tag + QStringLiteral("delay %1 ms").arg(outcome.delayMs);
        break;
    case RandomFaults::LineError:
        outcome.lineError = true;
        outcome.injected << tag + QStringLiteral("line error");
        break;
    default:
        break;
    }
}
