#include "newdata/DataAddNewDlg.h"

#include "app/VelmoraApp.h"
#include "controls/ControlRegistry.h"
#include "controls/ListCtrlEx.h"
#include "controls/NumberEdit.h"
#include "data/ControllerData.h"
#include "data/ParamInfoTable.h"
#include "data/RobotCatalogInterface.h"
#include "platform/DialogWindows.h"
#include "platform/ResourceArt.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"
#include "platform/UserInteraction.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

using namespace NewDataRules;

namespace {

constexpr int kIconId = 21004;
constexpr int kCaptionId = 926;
constexpr int kRobotNotSelected = 10016;
constexpr int kItemHeading = 10098;
constexpr int kValueHeading = 10099;
constexpr int kTabCaption[] = {10095, 10096, 10097};

} // namespace

CDataAddNewDlg::CDataAddNewDlg(QWidget* parent) : QDialog(parent) {
    rowOfSetting.fill(-1);
    if (!TemplateLoader::IsControlClassRegistered(QStringLiteral("CNumberEdit")) ||
        !TemplateLoader::IsControlClassRegistered(QStringLiteral("CListCtrlEx")))
        RegisterControlClasses();
    LoadDialogTemplate(kTemplateId, this);
    nameEdit = FindControl<QLineEdit>(this, kIdDisplayName);
    tabs = FindControl<QTabWidget>(this, kIdTabs);
    list = FindControl<CListCtrlEx>(this, kIdSettings);
    ok = FindControl<QPushButton>(this, kIdOk);
    cancel = FindControl<QPushButton>(this, kIdCancel);
    if (ok)
        connect(ok, &QPushButton::clicked, this, &CDataAddNewDlg::OnOK);
    if (cancel)
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (CAddNewTabPage* page : std::initializer_list<CAddNewTabPage*>{
             &controllerPage, &ioOptionPage, &detailPage, &pulseOptionPage}) {
        page->setParent(this);
        page->hide();
    }
}

CDataAddNewDlg::~CDataAddNewDlg() = default;

void CDataAddNewDlg::SetDisplayNameAndData(const QString& name, ControllerData* record,
                                           bool forConnectedController) {
    displayName = name;
    data = record;
    connectedController = forConnectedController;
}

void CDataAddNewDlg::SetParamTable(const ParamInfoTable* table) {
    paramTable = table;
    detailPage.SetParamTable(table);
}

bool CDataAddNewDlg::InitDialog() {
    if (initialised)
        return !cancelledOnOpening;
    initialised = true;
    opening = true;
    const bool opened = OpenPages();
    opening = false;
    return opened;
}

bool CDataAddNewDlg::OpenPages() {
    if (!paramTable) {
        if (const CVelmoraApp* app = CVelmoraApp::instance())
            paramTable = app->paramTables[0].get();
    }

    icon = ResourceArt::Icon(kIconId);
    setWindowIcon(icon);

    if (list) {
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->verticalHeader()->hide();
        // As with an auto-sized last column of a report list: the values take the rest.
        list->horizontalHeader()->setStretchLastSection(true);
        list->InsertColumn(0, QString(), 0);
        list->SetColumnFixed(0);
        list->InsertColumn(1, ResourceLibrary::LoadString(kItemHeading), 120);
        list->InsertColumn(2, ResourceLibrary::LoadString(kValueHeading), 200);
    }
    if (nameEdit)
        nameEdit->setText(displayName);

    if (!data) {
        CancelDialog();
        return false;
    }
    for (CAddNewTabPage* page : std::initializer_list<CAddNewTabPage*>{
             &controllerPage, &ioOptionPage, &detailPage, &pulseOptionPage}) {
        page->Attach(this, data);
        page->Create();
        if (cancelledOnOpening)
            return false;
    }

    if (tabs) {
        const auto addTab = [this](CAddNewTabPage& page, int kind) {
            const int index = tabs->addTab(&page, ResourceLibrary::LoadString(kTabCaption[kind]));
            tabs->tabBar()->setTabData(index, kind);
        };
        addTab(controllerPage, kTabController);
        if (IsPulseTrainModel(data->modelCode))
            addTab(pulseOptionPage, kTabOption);
        addTab(detailPage, kTabDetails);
        tabs->setCurrentIndex(0);
        connect(tabs, &QTabWidget::currentChanged, this, &CDataAddNewDlg::TabChanged);
    }
    // Pages without a tab stay hidden children of the dialog.
    for (CAddNewTabPage* page : {static_cast<CAddNewTabPage*>(&ioOptionPage),
                                 static_cast<CAddNewTabPage*>(&pulseOptionPage)}) {
        if (page->parentWidget() == this)
            page->hide();
    }

    if (nameEdit)
        nameEdit->setEnabled(false);
    setWindowTitle(ResourceLibrary::LoadString(kCaptionId));
    // The pages are laid out for this size: the dialog neither grows nor maximises.
    DialogWindows::FixSize(this);
    DialogWindows::GiveAccessKeys(this);
    return true;
}

int CDataAddNewDlg::exec() {
    if (!InitDialog()) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void CDataAddNewDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!initialised && !InitDialog())
        reject();
}

void CDataAddNewDlg::CancelDialog() {
    if (opening)
        cancelledOnOpening = true;
    reject();
}

void CDataAddNewDlg::SetSettingText(int setting, const QString& text) {
    if (setting < 0 || setting >= kSettingCount)
        return;
    if (setting == kSettingController)
        RebuildRows();
    const int row = rowOfSetting[setting];
    if (row >= 0 && list)
        list->SetItemText(row, 2, text);
}

void CDataAddNewDlg::RebuildRows() {
    const bool pulseTrain = data && IsPulseTrainModel(data->modelCode);
    rowOfSetting = RowsOfSettings(pulseTrain);
    if (!list)
        return;
    list->setUpdatesEnabled(false);
    list->DeleteAllItems();
    for (int setting = 0; setting < kSettingCount; ++setting) {
        const int row = rowOfSetting[setting];
        if (row < 0)
            continue;
        QString label = ResourceLibrary::LoadString(kSettingLabelBase + setting);
        if (pulseTrain && setting == kSettingPayload)
            label = InsertBeforeUnit(label, controllerPage.JogOnlyCaption());
        list->InsertItem(row, QString());
        list->SetItemText(row, 1, label);
    }
    list->AutoSizeColumns(-1, true);
    list->setUpdatesEnabled(true);
    list->viewport()->update();
}

void CDataAddNewDlg::RefreshPages() {
    ioOptionPage.RefreshFromData();
    detailPage.RefreshFromData();
    pulseOptionPage.RefreshFromData();
}

void CDataAddNewDlg::TabChanged(int index) {
    if (!tabs || index < 0)
        return;
    if (QWidget* page = tabs->widget(index))
        page->setFocus();
}

QList<int> CDataAddNewDlg::TabKinds() const {
    QList<int> kinds;
    for (int i = 0; tabs && i < tabs->count(); ++i)
        kinds << tabs->tabBar()->tabData(i).toInt();
    return kinds;
}

bool CDataAddNewDlg::SelectTab(int kind) {
    const int index = static_cast<int>(TabKinds().indexOf(kind));
    if (index < 0)
        return false;
    tabs->setCurrentIndex(index);
    return true;
}

CAddNewTabPage* CDataAddNewDlg::PageOfTab(int kind) const {
    switch (kind) {
    case kTabController:
        return const_cast<CAddNewTabControllerDlg*>(&controllerPage);
    case kTabOption:
        return const_cast<CAddNewTabOptionBDlg*>(&pulseOptionPage);
    case kTabDetails:
        return const_cast<CAddNewTabDetailDlg*>(&detailPage);
    default:
        return nullptr;
    }
}

void CDataAddNewDlg::CommitFocusedEdit() {
    auto* edit = qobject_cast<CNumberEdit*>(focusWidget());
    if (!edit || !isAncestorOf(edit))
        return;
    // Enter confirms the dialog while the edit still holds the focus. Its value must count, and
    // its own confirmation must not come later, when the closing dialog takes the focus away:
    // by then the lengths are scaled, and the edit would put its thousandths back.
    if (!edit->hasFocus()) {
        QFocusEvent leave(QEvent::FocusOut, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(edit, &leave);
    }
    edit->clearFocus();
}

void CDataAddNewDlg::OnOK() {
    if (!data)
        return;
    CommitFocusedEdit();
    // A robot the catalog gave no initial parameters for would send zeros, or the values of
    // the robot chosen before it, to the controller: it counts as no robot.
    if (data->robotName.isEmpty() || !controllerPage.hasCatalogRobotData()) {
        UI().ShowMessage(this, ResourceLibrary::LoadString(kRobotNotSelected), MsgButtons::Ok);
        return;
    }
    // Without the table the lengths would go out in the catalog's thousandths: refuse instead.
    if (!paramTable)
        return;
    QString version;
    if (RobotCatalogInterface::GetDatabaseVersion(version))
        data->dbVersion = version;
    ScaleByDecimalPlaces(*paramTable, *data, data->params().K(72));
    QDialog::accept();
}

void CDataAddNewDlg::accept() {
    // Enter and the default button come here: the same checks as the OK button.
    OnOK();
}
