#include "platform/UserInteraction.h"

namespace {

// Until a service is installed nobody can answer: questions take their safe answer.
class SilentUserInteraction : public UserInteraction {
public:
    MsgResult ShowMessage(QObject*, const QString&, MsgButtons buttons, MsgIcon) override {
        return UserInteraction::SafeAnswer(buttons);
    }
    bool ChooseFile(QObject*, const FileChoice&, QString&) override { return false; }
};

SilentUserInteraction& silent() {
    static SilentUserInteraction service;
    return service;
}

UserInteraction* current = nullptr;

} // namespace

MsgResult UserInteraction::SafeAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        return MsgResult::Cancel;
    case MsgButtons::YesNo:
        return MsgResult::No;
    }
    return MsgResult::Cancel;
}

MsgIcon UserInteraction::EffectiveIcon(MsgButtons buttons, MsgIcon icon) {
    if (icon != MsgIcon::Default)
        return icon;
    return buttons == MsgButtons::YesNo ? MsgIcon::Question : MsgIcon::Warning;
}

UserInteraction& UI() {
    return current ? *current : silent();
}

UserInteraction* InstallUserInteraction(UserInteraction* service) {
    UserInteraction* previous = current;
    current = service;
    return previous;
}

MsgResult ScriptedUserInteraction::ShowMessage(QObject*, const QString& text, MsgButtons buttons,
                                               MsgIcon icon) {
    shown.append({text, buttons, EffectiveIcon(buttons, icon)});
    if (answers.isEmpty())
        return SafeAnswer(buttons);
    return answers.takeFirst();
}

bool ScriptedUserInteraction::ChooseFile(QObject*, const FileChoice& choice, QString& path) {
    fileRequests.append(choice);
    if (filePaths.isEmpty())
        return false;
    const QString next = filePaths.takeFirst();
    if (next.isEmpty())
        return false;
    path = next;
    return true;
}

QStringList ScriptedUserInteraction::texts() const {
    QStringList list;
    for (const Shown& s : shown)
        list.append(s.text);
    return list;
}
