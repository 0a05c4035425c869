#pragma once

#include "newdata/AddNewTabPage.h"

struct ParamInfoTable;
class QComboBox;

// The "Details" page: acceleration optimisation, decimal places, origin search direction and
// method, axis polarity, ABS and LCD settings, each a list filled from the parameter table.
class CAddNewTabDetailDlg : public CAddNewTabPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 185;
    static constexpr int kIdAccel = 1318;
    static constexpr int kIdDecimals = 1319;
    static constexpr int kIdOrgDirection = 1320;
    static constexpr int kIdOrgMethod = 1321;
    static constexpr int kIdPolarity = 1322;
    static constexpr int kIdAbs = 1323;
    static constexpr int kIdLcd = 1324;
    static constexpr int kIdAccelLabel = 1385;
    static constexpr int kIdDecimalsLabel = 1386;
    static constexpr int kIdAbsLabel = 1387;
    static constexpr int kIdLcdLabel = 1381;
    static constexpr int kIdPolarityLabel = 1394;
    static constexpr int kIdAccelColon = 1392;
    static constexpr int kIdDecimalsColon = 1393;

    explicit CAddNewTabDetailDlg(QWidget* parent = nullptr);

    // The standard-model table the lists come from; by default the application's first table.
    void SetParamTable(const ParamInfoTable* table) { paramTable = table; }

    void RefreshFromData() override;

    // The list handlers: each sets its parameter from the selected entry and its row.
    void AccelSelected();
    void DecimalsSelected();
    void OrgDirectionSelected();
    void OrgMethodSelected();
    void PolaritySelected();
    void AbsSelected();
    void LcdSelected();

    QComboBox* list(int id) const;

protected:
    void InitPage() override;

private:
    // Fills `list` with the items of K `number` in `variant`; left empty when there is none.
    void FillFromTable(QComboBox* list, int number, int variant) const;
    void SetRow(int setting, QComboBox* list);
    void RunHandlers();

    const ParamInfoTable* paramTable = nullptr;
};
