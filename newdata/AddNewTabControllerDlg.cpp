#include "newdata/AddNewTabControllerDlg.h"

#include "controls/NumberEdit.h"
#include "data/Conversions.h"
#include "data/RobotCatalogInterface.h"
#include "newdata/NewDataRules.h"
#include "platform/ResourceLibrary.h"
#include "platform/UserInteraction.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

using namespace NewDataRules;

namespace {

constexpr int kRobotDbNotFound = 41016;
constexpr int kCustomQuestion = 57006;

// Fills or empties a list without its drawing in between.
class FrozenList {
public:
    explicit FrozenList(QWidget* list) : widget(list) {
        if (widget)
            widget->setUpdatesEnabled(false);
    }
    ~FrozenList() {
        if (widget) {
            widget->setUpdatesEnabled(true);
            widget->update();
        }
    }
    FrozenList(const FrozenList&) = delete;
    FrozenList& operator=(const FrozenList&) = delete;

private:
    QWidget* widget;
};

void SelectByPrefix(QComboBox* list, const QString& prefix) {
    const int found = list->findText(prefix, Qt::MatchStartsWith);
    if (found >= 0)
        list->setCurrentIndex(found);
}

} // namespace

CAddNewTabControllerDlg::CAddNewTabControllerDlg(QWidget* parent)
    : CAddNewTabPage(kTemplateId, parent) {
    strokeTable = RobotCatalogInterface::EmptyStrokeTable();
}

QString CAddNewTabControllerDlg::JogOnlyCaption() const {
    const QLabel* jogOnly = Control<QLabel>(kIdJogOnly);
    return jogOnly ? jogOnly->text() : QString();
}

void CAddNewTabControllerDlg::InitPage() {
    controllers = Control<QComboBox>(kIdController);
    models = Control<QComboBox>(kIdModel);
    robots = Control<QComboBox>(kIdRobot);
    stroke = Control<CNumberEdit>(kIdStroke);
    payload = Control<CNumberEdit>(kIdPayload);
    maxSpeed = Control<CNumberEdit>(kIdMaxSpeed);
    payloadMax = Control<QLabel>(kIdPayloadMax);
    standard = Control<QRadioButton>(kIdStandard);
    custom = Control<QRadioButton>(kIdCustom);
    if (!controllers || !models || !robots || !stroke || !payload || !maxSpeed || !standard ||
        !custom)
        return;

    initialising = true;
    stroke->SetIntegerMode(0);
    stroke->SetDigits(4, 3);
    stroke->SetRange(9999.999, 0.001);
    payload->SetIntegerMode(1);
    payload->SetRange(300, 0);
    maxSpeed->SetIntegerMode(0);
    maxSpeed->SetDigits(4, 2);
    maxSpeed->SetRange(5000, 0.01);
    maxSpeed->setReadOnly(maxSpeedReadOnly);
    if (maxSpeedReadOnly)
        maxSpeed->SetBackgroundBrush(palette().brush(QPalette::Button));
    for (const int id : {kIdMaxSpeed, kIdMaxSpeedGroup, kIdMaxSpeedUnit})
        ShowControl(id, true);

    QList<RobotCatalogInterface::ControllerName> catalog;
    if (!RobotCatalogInterface::GetControllerList(catalog)) {
        UI().ShowMessage(window(), ResourceLibrary::LoadString(kRobotDbNotFound), MsgButtons::Ok,
                         MsgIcon::Error);
        initialising = false;
        if (owner)
            owner->CancelDialog();
        return;
    }
    for (const auto& entry : catalog)
        controllers->addItem(entry.controllerName);
    controllers->setCurrentIndex(0);
    if (!owner || owner->ForConnectedController()) {
        SelectByPrefix(controllers, data->controllerName);
        controllers->setEnabled(false);
    }

    // Only what the user does runs the handlers; the page runs them itself otherwise.
    connect(controllers, &QComboBox::activated, this, [this] { ControllerSelected(); });
    connect(models, &QComboBox::activated, this, [this] { ModelSelected(); });
    connect(robots, &QComboBox::activated, this, [this] { RobotSelected(); });
    connect(stroke, &QLineEdit::textChanged, this, [this] { StrokeTextChanged(); });
    connect(stroke, &CNumberEdit::focusLost, this, [this] { StrokeConfirmed(); });
    connect(payload, &CNumberEdit::focusLost, this, [this] { PayloadConfirmed(); });
    connect(maxSpeed, &CNumberEdit::focusLost, this, [this] { MaxSpeedConfirmed(); });
    connect(standard, &QRadioButton::clicked, this, [this] { PointTypeClicked(); });
    connect(custom, &QRadioButton::clicked, this, [this] { PointTypeClicked(); });

    ControllerSelected();
    initialising = false;
}

void CAddNewTabControllerDlg::ControllerSelected() {
    if (!controllers || !data)
        return;
    data->controllerName = controllers->currentText();
    QList<RobotCatalogInterface::ControllerName> catalog;
    if (RobotCatalogInterface::GetControllerList(catalog)) {
        for (const auto& entry : catalog) {
            if (entry.controllerName == data->controllerName) {
                data->modelCode = entry.modelCode;
                break;
            }
        }
    }
    SetSetting(kSettingController, controllers->currentText());

    {
        const FrozenList frozenModels(models);
        const FrozenList frozenRobots(robots);
        FillModels(controllers->currentIndex());
        FillRobots(controllers->currentIndex());
    }

    const bool pulseTrain = IsPulseTrainModel(data->modelCode);
    ShowControl(kIdJogOnly, pulseTrain);
    for (const int id : {kIdPointTypeLabel, kIdStandard, kIdCustom})
        ShowControl(id, !pulseTrain);
    ShowControl(kIdModel, true);
    ShowControl(kIdModelLabel, true);
}

void CAddNewTabControllerDlg::FillModels(int controllerIndex) {
    QString names;
    if (!RobotCatalogInterface::GetRobotNames(controllerIndex, names))
        return;
    models->clear();
    robots->clear();
    models->addItems(ModelsOfRobotNames(RobotCatalogInterface::SplitRobotNames(names)));
    models->setCurrentIndex(0);
    SelectByPrefix(models, RobotCatalogInterface::RobotModelOf(data->robotName));
}

void CAddNewTabControllerDlg::FillRobots(int controllerIndex) {
    QString names;
    if (!RobotCatalogInterface::GetRobotNames(controllerIndex, names))
        return;
    robots->clear();
    robots->addItems(
        RobotsOfModel(RobotCatalogInterface::SplitRobotNames(names), models->currentText()));
    robots->setCurrentIndex(0);
    SelectByPrefix(robots, data->robotName);
    RobotSelected();
}

void CAddNewTabControllerDlg::ModelSelected() {
    if (!robots || !data)
        return;
    {
        const FrozenList frozen(robots);
        FillRobots(controllers->currentIndex());
    }
    RobotSelected();
}

void CAddNewTabControllerDlg::RobotSelected() {
    if (!robots || !data)
        return;
    data->robotName = robots->currentText();

    // The interface hands out its own copy: nothing stays behind in the catalog.
    strokeTableValid = RobotCatalogInterface::GetStrokeData(robots->currentText(), strokeTable);
    catalogRobotData =
        ApplyCatalogRobot(store, *data, controllers->currentText(), robots->currentText());
    RobotParameters& p = data->params();
    accelInputs = AccelInputsOf(p);

    if (p.K(47) > 0)
        payload->SetIntRange(p.K(47), 0);
    if (payloadMax)
        payloadMax->setText(QString::number(p.K(47)));

    const QString before = stroke->text();
    stroke->SetRealValue(p.K(43) / 1000.0);
    // An unchanged text announces no change, yet the new robot's table must still apply.
    if (stroke->text() == before)
        StrokeTextChanged();

    payload->SetIntValue(p.K(76));
    maxSpeed->SetRealValue(p.K(44) / 100.0);
    StrokeConfirmed();

    pointTypeChoice = p.K(71) & 1;
    ShowPointType(pointTypeChoice);

    SetSetting(kSettingRobot, robots->currentText());
    SetSetting(kSettingStroke, stroke->text());
    SetSetting(kSettingPayload, payload->text());
    SetSetting(kSettingPointType, PointTypeLabel());
    RequestRefresh();
}

void CAddNewTabControllerDlg::StrokeTextChanged() {
    if (!data || !strokeTableValid || strokeTable.entryCount == 0)
        return;
    const uint32_t thousandths =
        StrokeTextToThousandths(stroke->text(), stroke->DecimalSeparator());
    ApplyStrokeOverrides(strokeTable, thousandths, data->params());
    maxSpeed->SetRealValue(data->params().K(44) / 100.0);
}

void CAddNewTabControllerDlg::StrokeConfirmed() {
    if (!data || !stroke)
        return;
    const int32_t thousandths = StrokeTextDigits(stroke->text(), stroke->DecimalSeparator());
    data->params().K(43) = thousandths;
    data->params().K(2) = thousandths;
    SetSetting(kSettingStroke, stroke->text());
}

void CAddNewTabControllerDlg::PayloadConfirmed() {
    if (!data || !payload)
        return;
    const int32_t kg = payload->GetIntValue();
    RobotParameters& p = data->params();
    p.K(76) = kg;
    p.K(78) = kg;
    int32_t acceleration = 0;
    if (RobotCatalogInterface::DllAccCalc(kg, accelInputs, acceleration)) {
        p.K(77) = acceleration;
        p.K(79) = acceleration;
    }
    SetSetting(kSettingPayload, payload->text());
}

void CAddNewTabControllerDlg::MaxSpeedConfirmed() {
    if (!data || !maxSpeed)
        return;
    // With the same allowance as every other scaling: 289.99 must come back as 28999, not as
    // the 28998 a bare truncation of 28998.999... would give.
    data->params().K(44) = static_cast<int32_t>(ScaleToInteger(maxSpeed->GetRealValue(), 2));
}

void CAddNewTabControllerDlg::PointTypeClicked() {
    if (!data || !standard || !custom)
        return;
    int choice = custom->isChecked() ? 1 : 0;
    if (choice == 1 && pointTypeChoice != 1) {
        if (UI().ShowMessage(window(), ResourceLibrary::LoadString(kCustomQuestion),
                             MsgButtons::YesNo, MsgIcon::Warning) != MsgResult::Yes)
            choice = 0;
    }
    pointTypeChoice = choice;
    ShowPointType(choice);
    data->params().K(71) = PointTypeK71(choice == 1);
    SetSetting(kSettingPointType, PointTypeLabel());
    RequestRefresh();
}

void CAddNewTabControllerDlg::ShowPointType(int choice) {
    standard->setChecked(choice == 0);
    custom->setChecked(choice == 1);
}

QString CAddNewTabControllerDlg::PointTypeLabel() const {
    return (pointTypeChoice == 1 ? custom : standard)->text();
}

void CAddNewTabControllerDlg::RequestRefresh() {
    if (!initialising && owner)
        owner->RefreshPages();
}
