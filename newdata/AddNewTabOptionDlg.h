#pragma once

#include "newdata/AddNewTabPage.h"

// The I/O type page. The dialog creates it but gives it no tab; all it does is put the
// I/O type "----" and "Option enable" Disable into the record.
class CAddNewTabOptionDlg : public CAddNewTabPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 184;
    static constexpr int kIdIoType = 1333;

    explicit CAddNewTabOptionDlg(QWidget* parent = nullptr);

    void RefreshFromData() override;

protected:
    void InitPage() override;
};
