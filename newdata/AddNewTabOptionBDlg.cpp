#include "newdata/AddNewTabOptionBDlg.h"

#include "app/VelmoraApp.h"
#include "controls/NumberEdit.h"
#include "data/ControllerData.h"
#include "newdata/NewDataRules.h"

#include <QComboBox>

using namespace NewDataRules;

CAddNewTabOptionBDlg::CAddNewTabOptionBDlg(QWidget* parent) : CAddNewTabPage(kTemplateId, parent) {}

void CAddNewTabOptionBDlg::InitPage() {
    inputType = Control<QComboBox>(kIdInputType);
    signalType = Control<QComboBox>(kIdSignalType);
    eGear1 = Control<CNumberEdit>(kIdEGear1);
    eGear2 = Control<CNumberEdit>(kIdEGear2);
    if (!inputType || !signalType || !eGear1 || !eGear2)
        return;
    if (uiLanguage < 0) {
        const CVelmoraApp* app = CVelmoraApp::instance();
        uiLanguage = app ? app->uiLanguage : 1;
    }
    inputType->addItems(PulseInputTypeItems(uiLanguage));
    signalType->addItems(PulseSignalTypeItems(uiLanguage));
    for (CNumberEdit* edit : {eGear1, eGear2}) {
        edit->SetIntegerMode(1);
        edit->SetRange(32767, 1);
    }
    inputType->setCurrentIndex(0);
    signalType->setCurrentIndex(0);
    eGear1->SetIntValue(data->params().K(84));
    eGear2->SetIntValue(data->params().K(85));

    connect(inputType, &QComboBox::activated, this, [this] { InputTypeSelected(); });
    connect(signalType, &QComboBox::activated, this, [this] { SignalTypeSelected(); });
    connect(eGear1, &CNumberEdit::focusLost, this, [this] { EGear1Confirmed(); });
    connect(eGear2, &CNumberEdit::focusLost, this, [this] { EGear2Confirmed(); });
    RunHandlers();
}

void CAddNewTabOptionBDlg::RefreshFromData() {
    if (!inputType || !data)
        return;
    const int32_t code = data->params().K(83);
    SelectIndex(inputType, code >> 2);
    SelectIndex(signalType, code & 3);
    eGear1->SetIntValue(data->params().K(84));
    eGear2->SetIntValue(data->params().K(85));
    RunHandlers();
}

void CAddNewTabOptionBDlg::RunHandlers() {
    InputTypeSelected();
    SignalTypeSelected();
    EGear1Confirmed();
    EGear2Confirmed();
}

void CAddNewTabOptionBDlg::SetPulseCode() {
    // A list without a selection counts as its first entry.
    const int input = std::max(inputType->currentIndex(), 0);
    const int signal = std::max(signalType->currentIndex(), 0);
    data->params().K(83) = PulseInputCode(input, signal);
}

void CAddNewTabOptionBDlg::InputTypeSelected() {
    if (!inputType || !data)
        return;
    SetPulseCode();
    data->params().K(87) = PulseInputFilter(std::max(inputType->currentIndex(), 0));
    SetSetting(kSettingPulseInputType, inputType->currentText());
}

void CAddNewTabOptionBDlg::SignalTypeSelected() {
    if (!signalType || !data)
        return;
    SetPulseCode();
    SetSetting(kSettingPulseSignalType, signalType->currentText());
}

void CAddNewTabOptionBDlg::EGear1Confirmed() {
    if (!eGear1 || !data)
        return;
    data->params().K(84) = eGear1->GetIntValue();
    SetSetting(kSettingEGear1, eGear1->text());
}

void CAddNewTabOptionBDlg::EGear2Confirmed() {
    if (!eGear2 || !data)
        return;
    data->params().K(85) = eGear2->GetIntValue();
    SetSetting(kSettingEGear2, eGear2->text());
}
