#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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

// What the faults do to one command.
struct FaultOutcome {
    bool silence = false;
    bool lineError = false;
    int ngCode = -1; // -1: no forced refusal
    QByteArray garbage;
    bool echo = false;
    int pieceBytes = 0; // 0: not split
    int pauseMs = 0;
};

class FaultPlan {
public:
    void Add(const FaultRule& rule) { rules.append(Entry{rule, 0}); }
    void Clear() { rules.clear(); }
    bool IsEmpty() const { return rules.isEmpty(); }
    // Decides the faults of one command and counts the rules that fired.
    FaultOutcome Apply(const QString& line, int commandIndex);

private:
    struct Entry {
        FaultRule rule;
        int fired = 0;
    };
    QList<Entry> rules;
};
