#include "newdata/AddNewTabDetailDlg.h"

#include "app/VelmoraApp.h"
#include "data/ControllerData.h"
#include "data/ParamInfoTable.h"
#include "newdata/NewDataRules.h"
#include "platform/ResourceLibrary.h"

#include <QComboBox>

using namespace NewDataRules;

namespace {

constexpr int kOffText = 464;
constexpr int kOnText = 463;

} // namespace

CAddNewTabDetailDlg::CAddNewTabDetailDlg(QWidget* parent) : CAddNewTabPage(kTemplateId, parent) {}

QComboBox* CAddNewTabDetailDlg::list(int id) const {
    return Control<QComboBox>(id);
}

void CAddNewTabDetailDlg::InitPage() {
    if (!paramTable) {
        if (const CVelmoraApp* app = CVelmoraApp::instance())
            paramTable = app->paramTables[0].get();
    }
    ShowControl(kIdLcdLabel, true);
    ShowControl(kIdLcd, true);

    if (QComboBox* accel = list(kIdAccel)) {
        accel->clear();
        accel->addItem(ResourceLibrary::LoadString(kOffText));
        accel->addItem(ResourceLibrary::LoadString(kOnText));
    }
    FillFromTable(list(kIdDecimals), 72, 1);
    FillFromTable(list(kIdOrgDirection), 14, 0);
    FillFromTable(list(kIdOrgMethod), 66, 0);
    FillFromTable(list(kIdPolarity), 15, 0);
    FillFromTable(list(kIdAbs), 74, 0);
    FillFromTable(list(kIdLcd), 75, 0);

    const std::pair<int, void (CAddNewTabDetailDlg::*)()> handlers[] = {
        {kIdAccel, &CAddNewTabDetailDlg::AccelSelected},
        {kIdDecimals, &CAddNewTabDetailDlg::DecimalsSelected},
        {kIdOrgDirection, &CAddNewTabDetailDlg::OrgDirectionSelected},
        {kIdOrgMethod, &CAddNewTabDetailDlg::OrgMethodSelected},
        {kIdPolarity, &CAddNewTabDetailDlg::PolaritySelected},
        {kIdAbs, &CAddNewTabDetailDlg::AbsSelected},
        {kIdLcd, &CAddNewTabDetailDlg::LcdSelected}};
    for (const auto& [id, handler] : handlers) {
        if (QComboBox* box = list(id))
            connect(box, &QComboBox::activated, this,
                    [this, handler = handler] { (this->*handler)(); });
    }
    RefreshFromData();
}

void CAddNewTabDetailDlg::FillFromTable(QComboBox* box, int number, int variant) const {
    if (!box)
        return;
    box->clear();
    if (!paramTable)
        return;
    const ParamInfo& info = ParamInfoFor(*paramTable, number, variant);
    for (qsizetype i = 0; i < info.itemLabels.size(); ++i) {
        const int32_t value = i < info.itemValues.size() ? info.itemValues[i] : int32_t(i);
        box->addItem(info.itemLabels[i], value);
    }
}

void CAddNewTabDetailDlg::RefreshFromData() {
    if (!IsCreated() || !data)
        return;
    const RobotParameters& p = data->params();
    const QString& model = data->modelCode;
    const bool pulseTrain = IsPulseTrainModel(model);
    for (const int id :
         {kIdAccelLabel, kIdDecimalsLabel, kIdPolarityLabel, kIdAbsLabel, kIdLcdLabel,
          kIdAccelColon, kIdDecimalsColon, kIdAccel, kIdDecimals, kIdPolarity, kIdAbs, kIdLcd})
        ShowControl(id, !pulseTrain);
    ShowControl(kIdOrgDirection, true);
    ShowControl(kIdOrgMethod, true);

    SelectIndex(list(kIdAccel), (p.K(71) >> 1) & 1);

    if (QComboBox* method = list(kIdOrgMethod)) {
        FillFromTable(method, 66, OriginMethodVariant(model, p.K(67)));
        int found = 0;
        for (int i = method->count() - 1; i >= 1; --i) {
            if (method->itemData(i).toInt() == p.K(66)) {
                found = i;
                break;
            }
        }
        SelectIndex(method, found);
    }

    if (QComboBox* decimals = list(kIdDecimals)) {
        FillFromTable(decimals, 72, 1);
        if (model == QLatin1String("KQ-E")) {
            SelectIndex(decimals, p.K(72) - 2);
            decimals->setEnabled(true);
        } else {
            if (decimals->count() > 1)
                decimals->removeItem(1);
            SelectIndex(decimals, 0);
        }
    }

    SelectIndex(list(kIdOrgDirection), p.K(14));
    SelectIndex(list(kIdPolarity), p.K(15));

    if (QComboBox* abs = list(kIdAbs)) {
        abs->setEnabled(model == QLatin1String("KQ-C") || model == QLatin1String("KQ-F"));
        SelectIndex(abs, p.K(74));
    }
    if (QComboBox* lcd = list(kIdLcd)) {
        if (model == QLatin1String("KQ-C") || model == QLatin1String("KQ-E")) {
            lcd->setEnabled(true);
            SelectIndex(lcd, p.K(75));
        } else if (IsFirstFamily(model)) {
            lcd->setEnabled(false);
        }
    }
    RunHandlers();
}

void CAddNewTabDetailDlg::RunHandlers() {
    AccelSelected();
    DecimalsSelected();
    OrgDirectionSelected();
    OrgMethodSelected();
    PolaritySelected();
    AbsSelected();
    LcdSelected();
}

void CAddNewTabDetailDlg::SetRow(int setting, QComboBox* box) {
    SetSetting(setting, box ? box->currentText() : QString());
}

// A list without a selection (its table entry had no items) leaves its parameter alone.

void CAddNewTabDetailDlg::AccelSelected() {
    QComboBox* box = list(kIdAccel);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(71) =
            WithAccelOptimization(data->params().K(71), box->currentIndex() == 1);
    SetRow(kSettingAccelOptimization, box);
}

void CAddNewTabDetailDlg::DecimalsSelected() {
    QComboBox* box = list(kIdDecimals);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(72) = box->currentIndex() + 2;
    SetRow(kSettingDecimalPlaces, box);
}

void CAddNewTabDetailDlg::OrgDirectionSelected() {
    QComboBox* box = list(kIdOrgDirection);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(14) = box->currentData().toInt();
    SetRow(kSettingOrgSearchDir, box);
}

void CAddNewTabDetailDlg::OrgMethodSelected() {
    QComboBox* box = list(kIdOrgMethod);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(66) = box->currentData().toInt();
    SetRow(kSettingOrgMethod, box);
}

void CAddNewTabDetailDlg::PolaritySelected() {
    QComboBox* box = list(kIdPolarity);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(15) = box->currentIndex();
    SetRow(kSettingCoordPolar, box);
}

void CAddNewTabDetailDlg::AbsSelected() {
    QComboBox* box = list(kIdAbs);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(74) = box->currentIndex();
    SetRow(kSettingAbsSetting, box);
}

void CAddNewTabDetailDlg::LcdSelected() {
    QComboBox* box = list(kIdLcd);
    if (data && box && box->currentIndex() >= 0)
        data->params().K(75) = box->currentIndex();
    SetRow(kSettingLcdSetting, box);
}
