#pragma once

#include "platform/UserInteraction.h"

// Message boxes and file choosers as Qt dialogs. Title of every box: the application name.
//
// For tests of the whole program only: when the environment variable VELMORA_MESSAGE_LOG names
// a file, every message is appended to it instead of being shown ("<icon>\t<text>" with the
// text's line breaks, tabs and backslashes escaped as \n, \t, \\), and questions take their safe
// answer (OK / Cancel / No); file choosers are cancelled.
class GuiUserInteraction : public UserInteraction {
public:
    GuiUserInteraction();

    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::Default) override;
    bool ChooseFile(QObject* parent, const FileChoice& choice, QString& path) override;

    // "Data File (*.kqd)|*.kqd||" -> "Data File (*.kqd)"; several pairs become ";;"-separated.
    static QString QtFilter(const QString& filter);
    // Appends ".ext" to a chosen path whose file name has no extension (save choosers).
    static QString WithDefaultExtension(const QString& path, const QString& extension);
    // Name of an icon as written to the message log: "information", "warning", ...
    static QString IconName(MsgIcon icon);
    static QString EscapeForLog(const QString& text);

private:
    QString logPath_;
};
