#include "simulator/FaultPlan.h"

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
            break;
        case FaultRule::Kind::LineError:
            outcome.lineError = true;
            break;
        case FaultRule::Kind::Ng:
            outcome.ngCode = rule.ngCode & 0xff;
            break;
        case FaultRule::Kind::Garbage:
            outcome.garbage += rule.garbage;
            break;
        case FaultRule::Kind::Split:
            outcome.pieceBytes = qMax(1, rule.pieceBytes);
            outcome.pauseMs = qMax(0, rule.pauseMs);
            break;
        case FaultRule::Kind::Echo:
            outcome.echo = true;
            break;
        }
    }
    return outcome;
}
