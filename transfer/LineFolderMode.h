#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <map>

class CLineProgressList;
class CTransportDialogBase;
class QCheckBox;
class QWidget;

// The whole-line mode of the backup and restore dialog: a check box that turns the dialog's
// file into the folder of a backup set and shows the progress list beside the connections.
// A backup writes every controller of the chosen line into the folder, with the files and the
// manifest the command-line tool writes; a restore checks the set, confirms its controllers
// once, then restores each with the single restore's questions. The run goes on the dialog's
// thread, whose waits keep the dialog painted, as a single transfer does.
class CLineFolderMode : public QObject {
public:
    // Adds the check box under the file row of `dialog`, whose controls are laid out already.
    CLineFolderMode(CTransportDialogBase& dialog, bool saveToPc);

    bool IsOn() const;
    // Turns the mode on or off as the check box does; the file and the folder keep their own
    // paths.
    void SetOn(bool on);

    // The whole run on COM `comPort` for the folder `dir`; true when every controller
    // succeeded (the completion message shown).
    bool Run(int comPort, const QString& dir);

    QCheckBox* checkBox() const { return check; }
    CLineProgressList* progressList() const { return list; }

private:
    void Toggled(bool on);
    void Place(bool on);
    bool Backup(int comPort, const QString& dir);
    bool Restore(int comPort, const QString& dir);

    CTransportDialogBase& dialog;
    const bool backup;
    // Children of the dialog, as this is.
    QCheckBox* check = nullptr;
    CLineProgressList* list = nullptr;
    // The dialog's size and its controls' places in file mode.
    QSize fileModeSize;
    std::map<QWidget*, QRect> fileModePlaces;
    // The path of the mode not shown.
    QString otherPath;
};
