#pragma once

#include "platform/UserInteraction.h"

#include <QString>

// Records every message in a file instead of showing it ("<icon>\t<text>" with the text's line
// breaks, tabs and backslashes escaped as \n, \t, \\); questions take their safe answer
// (OK / Cancel / No) and file choosers are cancelled.
class MessageLogInteraction : public UserInteraction {
public:
    explicit MessageLogInteraction(const QString& logPath) : logPath_(logPath) {}

    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::Default) override;
    bool ChooseFile(QObject* parent, const FileChoice& choice, QString& path) override;

    // Name of an icon as written to the log: "information", "warning", ...
    static QString IconName(MsgIcon icon);
    static QString EscapeForLog(const QString& text);

private:
    QString logPath_;
};
