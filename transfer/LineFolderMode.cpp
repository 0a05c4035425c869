#include "transfer/LineFolderMode.h"

#include "app/VelmoraApp.h"
#include "platform/UserInteraction.h"
#include "transfer/LineBackup.h"
#include "transfer/LineProgressList.h"
#include "transfer/LineRun.h"
#include "transfer/TransferTexts.h"
#include "transfer/TransportDialogBase.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace TransferMessages;
using TransferTexts::Format;
using TransferTexts::Text;

namespace {

constexpr int kBackupCheck = 10467;
constexpr int kRestoreCheck = 10468;
constexpr int kSaveFolder = 10469;
constexpr int kSetFolder = 10470;
constexpr int kSomeFailed = 10476;

constexpr int kMargin = 11;
constexpr int kCheckRow = 22; // the check box's row under the file row
constexpr int kListWidth = 372;
constexpr int kExtraHeight = 110;

// Counts the controllers as they end, for the closing message, and passes everything on.
class Tally : public LineProgress {
public:
    explicit Tally(LineProgress& list) : inner(list) {}
    void LineSearched(const QString& line, int controllers) override {
        inner.LineSearched(line, controllers);
    }
    void ControllerStarted(const QString& line, int node, const QString& controller) override {
        inner.ControllerStarted(line, node, controller);
    }
    void ControllerEnded(const QString& line, int node, const QString& controller, bool ok,
                         const QString& reason, double seconds) override {
        ++ended;
        failed += ok ? 0 : 1;
        inner.ControllerEnded(line, node, controller, ok, reason, seconds);
    }
    int ended = 0;
    int failed = 0;

private:
    LineProgress& inner;
};

LineRun::Settings SettingsFor(CTransportDialogBase& dialog) {
    LineRun::Settings settings;
    settings.replyTimeoutMs = dialog.commWindow.channel.replyTimeoutMs;
    if (const CVelmoraApp* app = CVelmoraApp::instance()) {
        settings.standardTable = app->paramTables[0].get();
        settings.pulseTrainTable = app->paramTables[1].get();
    }
    settings.messageParent = &dialog;
    return settings;
}

// The end of a run: the completion message when every controller succeeded, otherwise how many
// failed (the list says why). A search that failed has said so itself.
bool Close(QWidget* dialog, const Tally& tally, bool done) {
    if (tally.ended == 0 && !done)
        return false;
    if (done && tally.failed == 0) {
        UI().ShowMessage(dialog, Text(kTransferCompleted), MsgButtons::Ok, MsgIcon::Information);
        return true;
    }
    UI().ShowMessage(dialog, Format(Text(kSomeFailed),
                                    {QString::number(tally.failed), QString::number(tally.ended)}));
    return false;
}

} // namespace

CLineFolderMode::CLineFolderMode(CTransportDialogBase& owner, bool saveToPc)
    : QObject(&owner), dialog(owner), backup(saveToPc) {
    // The connection list gives the box its row; the dialog keeps its template's size.
    QWidget* field = dialog.fileField();
    const int checkTop = field ? field->geometry().bottom() + 6 : kMargin;
    if (QWidget* caption = dialog.treeLabel())
        caption->move(caption->x(), caption->y() + kCheckRow);
    if (QWidget* tree = dialog.connectionTree())
        tree->setGeometry(tree->geometry().adjusted(0, kCheckRow, 0, 0));

    check = new QCheckBox(Text(saveToPc ? kBackupCheck : kRestoreCheck), &dialog);
    check->setGeometry(kMargin, checkTop, dialog.width() - 2 * kMargin, kCheckRow - 4);
    check->show();
    connect(check, &QCheckBox::toggled, this, &CLineFolderMode::Toggled);

    list = new CLineProgressList(&dialog);
    list->hide();

    fileModeSize = dialog.size();
    for (QWidget* control :
         {static_cast<QWidget*>(dialog.fileLabel()), static_cast<QWidget*>(dialog.fileField()),
          static_cast<QWidget*>(dialog.browseButton()), static_cast<QWidget*>(dialog.treeLabel()),
          static_cast<QWidget*>(dialog.connectionTree()), static_cast<QWidget*>(dialog.okButton()),
          static_cast<QWidget*>(dialog.cancelButton())}) {
        if (control)
            fileModePlaces[control] = control->geometry();
    }
}

bool CLineFolderMode::IsOn() const {
    return check && check->isChecked();
}

void CLineFolderMode::SetOn(bool on) {
    if (check)
        check->setChecked(on);
}

void CLineFolderMode::Toggled(bool on) {
    const QString shown = dialog.FileFieldText();
    dialog.SetFileFieldText(otherPath);
    dialog.transferFileName = otherPath;
    otherPath = shown;
    if (QLabel* label = dialog.fileLabel()) {
        const int folderText = backup ? kSaveFolder : kSetFolder;
        label->setText(Text(on ? folderText : backup ? kSaveFileName : kFileName));
    }
    Place(on);
}

void CLineFolderMode::Place(bool on) {
    for (const auto& [control, place] : fileModePlaces)
        control->setGeometry(place);
    if (!on) {
        list->hide();
        dialog.setFixedSize(fileModeSize);
        dialog.SetFileFieldText(dialog.FileFieldText());
        return;
    }
    // The list stands right of the connections, both taller; the file row spans the width.
    const int width = fileModeSize.width() + kListWidth;
    const auto stretch = [](QWidget* control, int dx, int dy, int dw, int dh) {
        if (control)
            control->setGeometry(control->geometry().adjusted(dx, dy, dx + dw, dy + dh));
    };
    stretch(dialog.fileLabel(), 0, 0, kListWidth, 0);
    stretch(dialog.fileField(), 0, 0, kListWidth, 0);
    stretch(dialog.browseButton(), kListWidth, 0, 0, 0);
    stretch(dialog.connectionTree(), 0, 0, 0, kExtraHeight);
    stretch(dialog.okButton(), kListWidth, kExtraHeight, 0, 0);
    stretch(dialog.cancelButton(), kListWidth, kExtraHeight, 0, 0);
    if (QTreeWidget* tree = dialog.connectionTree()) {
        const int top = dialog.treeLabel() ? dialog.treeLabel()->y() : tree->y();
        const int left = tree->geometry().right() + 1 + kMargin;
        list->setGeometry(left, top, width - kMargin - left, tree->geometry().bottom() + 1 - top);
    }
    list->show();
    dialog.setFixedSize(width, fileModeSize.height() + kExtraHeight);
    dialog.SetFileFieldText(dialog.FileFieldText());
}

bool CLineFolderMode::Run(int comPort, const QString& dir) {
    // The line is the run's own session's: the dialog's window lets go of its port first.
    dialog.commWindow.ClosePort();
    check->setEnabled(false);
    const bool done = backup ? Backup(comPort, dir) : Restore(comPort, dir);
    list->Finish();
    check->setEnabled(true);
    return done;
}

bool CLineFolderMode::Backup(int comPort, const QString& dir) {
    if (UI().ShowMessage(&dialog, LineRun::BackupQuestion(dir), MsgButtons::OkCancel,
                         MsgIcon::Question) != MsgResult::Ok)
        return false;
    list->Start(true);
    Tally tally(*list);
    Manifest manifest;
    QString reason;
    const bool done = LineRun::BackupLine(PortTarget::Com(static_cast<uint16_t>(comPort)), dir,
                                          SettingsFor(dialog), tally, manifest, &reason);
    if (!reason.isEmpty()) {
        // The folder could not be made, or the manifest not written.
        UI().ShowMessage(&dialog, reason);
        return false;
    }
    return Close(&dialog, tally, done);
}

bool CLineFolderMode::Restore(int comPort, const QString& dir) {
    const PortTarget port = PortTarget::Com(static_cast<uint16_t>(comPort));
    Manifest manifest;
    QList<ManifestEntry> entries;
    QString reason;
    // A set that fails its check, or lists nothing for the line, is refused before the line is
    // touched.
    if (!LineRun::LoadEntries(dir, port, {}, manifest, entries, &reason)) {
        UI().ShowMessage(&dialog, reason);
        return false;
    }
    if (UI().ShowMessage(&dialog, LineRun::RestoreQuestion(dir, port, entries),
                         MsgButtons::OkCancel) != MsgResult::Ok)
        return false;
    list->Start(false);
    list->AddWaiting(entries);
    Tally tally(*list);
    const bool done = LineRun::RestoreLine(port, dir, {}, SettingsFor(dialog), tally, manifest);
    return Close(&dialog, tally, done);
}
