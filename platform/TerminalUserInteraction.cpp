#include "platform/TerminalUserInteraction.h"

#include <cstring>

#include <unistd.h>

TerminalUserInteraction::TerminalUserInteraction(bool assumeYes, const QString& presetPath)
    : assumeYes_(assumeYes), presetPath_(presetPath), out_(stderr), in_(stdin),
      inputIsTerminal_(isatty(STDIN_FILENO) == 1) {}

void TerminalUserInteraction::setStreams(FILE* out, FILE* in, bool inputIsTerminal) {
    out_ = out ? out : stderr;
    in_ = in ? in : stdin;
    inputIsTerminal_ = inputIsTerminal;
}

MsgResult TerminalUserInteraction::ShowMessage(QObject*, const QString& text, MsgButtons buttons,
                                               MsgIcon) {
    std::fputs(text.toLocal8Bit().constData(), out_);
    std::fputs("\n", out_);
    std::fflush(out_);
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        if (assumeYes_)
            return MsgResult::Ok;
        return askTerminal(QStringLiteral("OK? [y/N] ")) ? MsgResult::Ok : MsgResult::Cancel;
    case MsgButtons::YesNo:
        if (assumeYes_)
            return MsgResult::Yes;
        return askTerminal(QStringLiteral("[y/N] ")) ? MsgResult::Yes : MsgResult::No;
    }
    return MsgResult::Cancel;
}

bool TerminalUserInteraction::ChooseFile(QObject*, const FileChoice&, QString& path) {
    if (presetPath_.isEmpty())
        return false;
    path = presetPath_;
    return true;
}

// Only an explicit "y" or "yes" agrees; end of input or anything else is the safe answer.
bool TerminalUserInteraction::askTerminal(const QString& prompt) {
    if (!inputIsTerminal_)
        return false;
    std::fputs(prompt.toLocal8Bit().constData(), out_);
    std::fflush(out_);
    char line[64];
    if (!std::fgets(line, sizeof line, in_))
        return false;
    // Drop the rest of an overlong line so that it does not answer the next question.
    if (!std::strchr(line, '\n')) {
        int c;
        while ((c = std::fgetc(in_)) != EOF && c != '\n') {
        }
    }
    const QString answer = QString::fromLocal8Bit(line).trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

bool TerminalUserInteraction::ErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}
