#pragma once

#include <QString>
#include <QStringList>

class QObject;

// The one service through which every workflow shows message boxes and file choosers.
// The GUI installs Qt dialogs, tests install scripted answers with recorded texts, and the
// command-line tool answers on the terminal. The icon rules live here, once.
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { Default, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileChoice {
    bool save = true;         // save chooser (true) or open chooser (false)
    QString title;            // empty: the platform's default title
    QString filter;           // already formatted, e.g. "Data File (*.kqd)|*.kqd||"
    QString defaultExtension; // e.g. "kqd"
    QString initialPath;      // initial file name or path
    // A folder chooser: only folders are offered and the chosen folder is the path; `filter`
    // and `defaultExtension` do not apply.
    bool folder = false;
};

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // Shows `text`. A box without an explicit icon takes the warning icon with OK or
    // OK/Cancel and the question icon with Yes/No.
    virtual MsgResult ShowMessage(QObject* parent, const QString& text,
                                  MsgButtons buttons = MsgButtons::Ok,
                                  MsgIcon icon = MsgIcon::Default) = 0;
    // False when the user cancelled; `path` is the chosen full path.
    virtual bool ChooseFile(QObject* parent, const FileChoice& choice, QString& path) = 0;

    static MsgIcon EffectiveIcon(MsgButtons buttons, MsgIcon icon);
    // The answer nobody can get wrong: OK for an OK box, Cancel or No for a question.
    static MsgResult SafeAnswer(MsgButtons buttons);
};

// The process-wide service. Never null: until one is installed, a non-interactive one that
// answers Cancel/No and records nothing is in place.
UserInteraction& UI();
// Installs `service` (not owned); nullptr restores the default. Returns the previous one.
UserInteraction* InstallUserInteraction(UserInteraction* service);

// Scripted answers and recorded texts, for tests.
class ScriptedUserInteraction : public UserInteraction {
public:
    struct Shown {
        QString text;
        MsgButtons buttons;
        MsgIcon icon; // the effective icon
    };

    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons,
                          MsgIcon icon) override;
    bool ChooseFile(QObject* parent, const FileChoice& choice, QString& path) override;

    // Answers are taken in order; when they run out, OK boxes answer Ok, OK/Cancel boxes
    // Cancel and Yes/No boxes No.
    QList<MsgResult> answers;
    // Paths handed out by ChooseFile in order; an empty string means "cancelled".
    QStringList filePaths;

    QList<Shown> shown;
    QList<FileChoice> fileRequests;

    QStringList texts() const;
};
