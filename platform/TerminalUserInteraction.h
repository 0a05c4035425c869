#pragma once

#include "platform/UserInteraction.h"

#include <cstdio>

// The command-line tool's answers: every message goes to standard error followed by "\n".
// Questions answer Yes/OK with `assumeYes`; otherwise they are asked on the terminal when
// standard input is one, and take the safe answer (Cancel/No) when it is not. ChooseFile hands
// out the preset path (the tool's --file).
class TerminalUserInteraction : public UserInteraction {
public:
    explicit TerminalUserInteraction(bool assumeYes = false, const QString& presetPath = QString());

    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::Default) override;
    bool ChooseFile(QObject* parent, const FileChoice& choice, QString& path) override;

    // Standard error is a terminal (so progress may redraw a status line on it).
    static bool ErrorIsTerminal();

    void setPresetPath(const QString& path) { presetPath_ = path; }
    void setAssumeYes(bool yes) { assumeYes_ = yes; }

    // For tests: streams to use instead of stderr/stdin, and whether input counts as a terminal.
    void setStreams(FILE* out, FILE* in, bool inputIsTerminal);

private:
    bool askTerminal(const QString& prompt);

    bool assumeYes_;
    QString presetPath_;
    FILE* out_;
    FILE* in_;
    bool inputIsTerminal_;
};
