#include "transfer/TransportDialogBase.h"

#include "data/Conversions.h"
#include "platform/ComPortTable.h"
#include "platform/DialogWindows.h"
#include "platform/TemplateLoader.h"
#include "platform/UserInteraction.h"
#include "porthub/PortDevices.h"
#include "transfer/PortTree.h"
#include "transfer/TransferTexts.h"
#include "transfer/TransportGuiParts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>

using namespace TransferMessages;
using TransferTexts::Text;

CTransportDialogBase::CTransportDialogBase(QWidget* parent) : QDialog(parent) {
    // The window's own messages (a port that cannot be opened) appear over this dialog. The
    // member leaves the child list as it is destroyed, before the dialog's base.
    commWindow.setParent(this);
    LoadDialogTemplate(kTemplateId, this);
    fileCaption = FindControl<QLabel>(this, kIdFileLabel);
    fileName = FindControl<QLabel>(this, kIdFileName);
    browse = FindControl<QPushButton>(this, kIdBrowse);
    treeCaption = FindControl<QLabel>(this, kIdTreeLabel);
    tree = FindControl<QTreeWidget>(this, kIdTree);
    commSetting = FindControl<QPushButton>(this, kIdCommSetting);
    ok = FindControl<QPushButton>(this, kIdOk);
    cancel = FindControl<QPushButton>(this, kIdCancel);

    if (browse)
        connect(browse, &QPushButton::clicked, this, &CTransportDialogBase::OnBrowse);
    if (ok)
        connect(ok, &QPushButton::clicked, this, &CTransportDialogBase::OnOK);
    if (cancel)
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (tree)
        connect(tree, &QTreeWidget::itemDoubleClicked, this,
                &CTransportDialogBase::OnItemDoubleClicked);
    // "Comm Setting" has no action.
    DialogWindows::FixSize(this);

    chooser = std::make_unique<CDialogNodeChooser>(this);
    busy = std::make_unique<CPanelBusyIndicator>(this);
}

CTransportDialogBase::~CTransportDialogBase() = default;

NodeChooser& CTransportDialogBase::nodeChooser() {
    return *chooser;
}

BusyIndicator& CTransportDialogBase::busyIndicator() {
    return *busy;
}

void CTransportDialogBase::showEvent(QShowEvent* event) {
    if (!initialised && !event->spontaneous()) {
        initialised = true;
        InitDialog();
        // The derived dialog has set its title by now.
        DialogWindows::FixSize(this);
        DialogWindows::GiveAccessKeys(this);
    }
    QDialog::showEvent(event);
}

void CTransportDialogBase::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    UpdateFileFieldDisplay();
}

void CTransportDialogBase::InitDialog() {
    initialised = true;
    SetFileFieldText(transferFileName);
    if (commSetting)
        commSetting->hide();
    if (!UsesFile()) {
        for (QWidget* w : {static_cast<QWidget*>(fileCaption), static_cast<QWidget*>(fileName),
                           static_cast<QWidget*>(browse)}) {
            if (w)
                w->hide();
        }
        // Without a file the connection list moves up into the space the file row leaves.
        if (fileCaption && treeCaption && tree && treeCaption->y() > fileCaption->y()) {
            const int shift = treeCaption->y() - fileCaption->y();
            treeCaption->move(treeCaption->x(), treeCaption->y() - shift);
            tree->move(tree->x(), tree->y() - shift);
            setFixedSize(width(), height() - shift);
            for (QPushButton* button : {ok, cancel}) {
                if (button)
                    button->move(button->x(), button->y() - shift);
            }
        }
    }
    if (treeCaption)
        treeCaption->setText(Text(kSelectConnection));
    FillConnectionTree();
}

bool CTransportDialogBase::SelectConnection(int comPort) {
    QTreeWidgetItem* root = tree && tree->topLevelItemCount() > 0 ? tree->topLevelItem(0) : nullptr;
    const QString name = ComPortTable::DisplayName(static_cast<uint16_t>(comPort));
    for (int i = 0; root && i < root->childCount(); ++i) {
        if (root->child(i)->text(0) == name) {
            tree->setCurrentItem(root->child(i));
            return true;
        }
    }
    return false;
}

void CTransportDialogBase::FillConnectionTree() {
    if (!tree)
        return;
    // A port plugged in or out while the dialog is open fills the tree again; the selected item
    // stays selected while it is still there.
    PortTree::FollowPortChanges(tree, [this] { FillConnectionTree(); });
    const QString selected = PortTree::SelectedText(tree);
    tree->clear();
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setRootIsDecorated(true);
    tree->setItemsExpandable(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);

    QList<uint16_t> ports;
    const int highest = commWindow.portHub.highestPort;
    if (highest <= 0 || !ListOpenableComPorts(static_cast<uint16_t>(highest), ports))
        return;
    auto* root = new QTreeWidgetItem(tree, {Text(kComPortRoot)});
    root->setData(0, Qt::UserRole, kItemRoot);
    const QMap<int, PortDeviceFacts> devices = AttachedPortDevices();
    for (const uint16_t port : ports) {
        auto* item = new QTreeWidgetItem(root, {ComPortTable::DisplayName(port)});
        item->setData(0, Qt::UserRole, kItemPort);
        const auto facts = devices.constFind(port);
        item->setToolTip(0, PortTree::ItemTip(ComPortTable::DevicePath(port),
                                              facts == devices.cend() ? nullptr : &*facts));
    }
    tree->expandAll();
    PortTree::SelectText(tree, selected);
}

QString CTransportDialogBase::FileFieldText() const {
    return fullPath;
}

void CTransportDialogBase::SetFileFieldText(const QString& path) {
    fullPath = path;
    UpdateFileFieldDisplay();
}

void CTransportDialogBase::UpdateFileFieldDisplay() {
    if (!fileName)
        return;
    // A long path keeps its start and its file name; the middle gives way to an ellipsis.
    const int room = qMax(0, fileName->contentsRect().width() - 2 * fileName->margin() - 4);
    fileName->setText(fileName->fontMetrics().elidedText(fullPath, Qt::ElideMiddle, room));
    fileName->setToolTip(fullPath);
}

void CTransportDialogBase::OnBrowse() {
    if (attemptRunning)
        return;
    const QString extension = FileExtension();
    FileChoice choice;
    choice.save = UseSaveChooser();
    choice.filter = TransferTexts::Format(Text(FileFilterId()), {extension, extension});
    choice.defaultExtension = extension;
    choice.initialPath = transferFileName;
    choice.folder = UseFolderChooser();
    QString path;
    if (!UI().ChooseFile(this, choice, path))
        return;
    if (!RefusedPath(path))
        SetFileFieldText(path);
}

bool CTransportDialogBase::RefusedPath(const QString& path) {
    if (UseFolderChooser()) {
        const QString problem = TransferTexts::ChosenFolderMessage(path);
        if (!problem.isEmpty())
            UI().ShowMessage(this, problem);
        return !problem.isEmpty();
    }
    const TransferTexts::ChosenPathProblem problem =
        TransferTexts::CheckChosenPath(path, FileExtension(), !UseSaveChooser());
    if (problem == TransferTexts::ChosenPathProblem::None)
        return false;
    UI().ShowMessage(this, TransferTexts::ChosenPathMessage(problem, path, FileExtension()));
    return true;
}

void CTransportDialogBase::OnOK() {
    if (attemptRunning)
        return;
    if (UsesFile()) {
        transferFileName = FileFieldText();
        if (transferFileName.isEmpty()) {
            UI().ShowMessage(this, Text(kFileNotSelected));
            return;
        }
        // The folder or file may have gone since it was chosen; the line is not touched then.
        if (RefusedPath(transferFileName))
            return;
    }
    const QList<QTreeWidgetItem*> selected =
        tree ? tree->selectedItems() : QList<QTreeWidgetItem*>();
    QTreeWidgetItem* item = selected.value(0);
    if (!item || item->data(0, Qt::UserRole).toInt() != kItemPort) {
        UI().ShowMessage(this, Text(kConnectionNotSelected));
        return;
    }
    const int port = ParseStandardInteger(QStringView(item->text(0)).mid(3));

    attemptRunning = true;
    SetControlsEnabled(false);
    const bool done = RunTransferProcedure(port);
    attemptRunning = false;
    if (done) {
        accept();
        return;
    }
    SetControlsEnabled(true);
}

void CTransportDialogBase::OnItemDoubleClicked(QTreeWidgetItem*, int) {
    OnOK();
}

void CTransportDialogBase::SetControlsEnabled(bool enabled) {
    QList<QWidget*> controls{tree, commSetting, ok, cancel};
    if (UsesFile())
        controls.prepend(browse);
    for (QWidget* control : controls) {
        if (control)
            control->setEnabled(enabled);
    }
}

bool CTransportDialogBase::attemptInProgress() const {
    return attemptRunning;
}

void CTransportDialogBase::reject() {
    // The attempt runs inside the OK handler; Escape or the close box must not end the dialog
    // under it.
    if (attemptRunning)
        return;
    QDialog::reject();
}

void CTransportDialogBase::closeEvent(QCloseEvent* event) {
    if (attemptRunning) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
