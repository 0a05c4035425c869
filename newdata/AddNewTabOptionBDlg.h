#pragma once

#include "newdata/AddNewTabPage.h"

class CNumberEdit;
class QComboBox;

// The pulse-train "Option" page: pulse input type, pulse signal type and the two electronic
// gear ratios. Its item texts are fixed in the program, in the interface language.
class CAddNewTabOptionBDlg : public CAddNewTabPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 196;
    static constexpr int kIdInputType = 1390;
    static constexpr int kIdSignalType = 1391;
    static constexpr int kIdEGear1 = 1388;
    static constexpr int kIdEGear2 = 1389;

    explicit CAddNewTabOptionBDlg(QWidget* parent = nullptr);

    // 0 Japanese, 1 English; by default the application's.
    void SetLanguage(int language) { uiLanguage = language; }

    void RefreshFromData() override;

    void InputTypeSelected();
    void SignalTypeSelected();
    void EGear1Confirmed();
    void EGear2Confirmed();

    QComboBox* inputTypeList() const { return inputType; }
    QComboBox* signalTypeList() const { return signalType; }
    CNumberEdit* eGear1Edit() const { return eGear1; }
    CNumberEdit* eGear2Edit() const { return eGear2; }

protected:
    void InitPage() override;

private:
    void SetPulseCode();
    void RunHandlers();

    int uiLanguage = -1;
    QComboBox* inputType = nullptr;
    QComboBox* signalType = nullptr;
    CNumberEdit* eGear1 = nullptr;
    CNumberEdit* eGear2 = nullptr;
};
