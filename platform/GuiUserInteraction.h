#pragma once

#include "platform/UserInteraction.h"

// Message boxes and file choosers as Qt dialogs. Title of every box: the application name.
class GuiUserInteraction : public UserInteraction {
public:
    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::Default) override;
    bool ChooseFile(QObject* parent, const FileChoice& choice, QString& path) override;

    // "Data File (*.kqd)|*.kqd||" -> "Data File (*.kqd)"; several pairs become ";;"-separated.
    static QString QtFilter(const QString& filter);
    // Appends ".ext" to a chosen path whose file name has no extension (save choosers).
    static QString WithDefaultExtension(const QString& path, const QString& extension);
};
