#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// Faults the simulated line injects on request. Each rule applies to the commands whose line
// (without its line end) matches `pattern` ("*" any run of characters, everything else literal),
// from the `fromCommand`-th received command on (1-based; empty lines do not count), at most
// `count` times (-1: without end).
struct FaultRule {
    enum class Kind {
        Silence,   // no reply at all (the command is not carried out either)
        Ng,        // every addressed controller refuses with "NG.<node>=<ngCode>"
        LineError, // the line hangs up instead of answering; a fresh line is published after
        Garbage,   // `garbage` bytes go out before the reply
        Split,     // the reply goes out in pieces of `pieceBytes` with `pauseMs` between them
        Echo,      // the command line is echoed before the reply
    };

    Kind kind = Kind::Silence;
    QString pattern = QStringLiteral("*");
    int fromCommand = 1;
    int count = -1;
    int ngCode = 0x10;
    QByteArray garbage = QByteArray("\x7f#~\x1b", 4);
    int pieceBytes = 4;
    int pauseMs = 20;

    bool Matches(const QString& line, int commandIndex) const;
};

// True when the whole `text` matches `pattern`, in which "*" stands for any run of characters.
bool WildcardMatch(const QString& pattern, const QString& text);

// A seeded random fault plan: each command draws, from `seed` and its own command index only,
// whether it meets a fault (probability `rate`) and which one of `kinds`. So a run replays
// exactly from its seed as long as the program sends the same commands.
struct RandomFaults {
    enum Kind : unsigned {
        Silence = 1u << 0,   // no reply, the command not carried out
        Ng = 1u << 1,        // refused with one of kNgCodes
        Noise = 1u << 2,     // 1 to 4 noise bytes (NUL, 0xFF, control, 8-bit) before every line
        Split = 1u << 3,     // the reply in pieces of 1 to 16 bytes with pauses of 1 to 40 ms
        Delay = 1u << 4,     // the reply held back up to `maxDelayMs`
        LineError = 1u << 5, // the line hangs up
        All = (1u << 6) - 1,
    };
    static constexpr int kNgCodes[] = {0x01, 0x02, 0x03, 0x10, 0x2f};

    uint64_t seed = 0;
    double rate = 0.05;    // 0..1
    int maxDelayMs = 1900; // keep it under the program's reply time-out (2 s)
    unsigned kinds = All;

    bool IsActive() const { return rate > 0 && kinds != 0; }
};

// What the faults do to one command.
struct FaultOutcome {
    bool silence = false;
    bool lineError = false;
    int ngCode = -1; // -1: no forced refusal
    QByteArray garbage;
    QByteArray noise; // before every reply line
    bool echo = false;
    int pieceBytes = 0; // 0: not split
    int pauseMs = 0;
    int delayMs = 0;
    QStringList injected; // one text per fault, for the traffic log

    bool IsClean() const { return injected.isEmpty(); }
};

class FaultPlan {
public:
    void Add(const FaultRule& rule) { rules.append(Entry{rule, 0}); }
    void SetRandom(const RandomFaults& plan) { random = plan; }
    void Clear() {
        rules.clear();
        random = RandomFaults{};
        random.rate = 0;
    }
    bool IsEmpty() const { return rules.isEmpty() && !random.IsActive(); }
    // Decides the faults of one command and counts the rules that fired.
    FaultOutcome Apply(const QString& line, int commandIndex);

private:
    void applyRandom(int commandIndex, FaultOutcome& outcome) const;

    struct Entry {
        FaultRule rule;
        int fired = 0;
    };
    QList<Entry> rules;
    RandomFaults random = [] {
        RandomFaults off;
        off.rate = 0;
        return off;
    }();
};
