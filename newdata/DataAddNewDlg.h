#pragma once

#include "newdata/AddNewTabControllerDlg.h"
#include "newdata/AddNewTabDetailDlg.h"
#include "newdata/AddNewTabOptionBDlg.h"
#include "newdata/AddNewTabOptionDlg.h"
#include "newdata/NewDataRules.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <array>

class CListCtrlEx;
class QLineEdit;
class QPushButton;
class QTabWidget;
struct ControllerData;
struct ParamInfoTable;

// "Create New Data": composes the initial data for a robot chosen from the catalog in the
// record it is given, over four pages and a "Current Settings" summary. OK leaves the complete
// new data in the record, converted to the controller's decimal places.
class CDataAddNewDlg : public QDialog, public NewDataOwner {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 182;
    static constexpr int kIdDisplayName = 1305;
    static constexpr int kIdTabs = 1306;
    static constexpr int kIdSettings = 1307;
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    // Tab data of the three tabs.
    static constexpr int kTabController = 0;
    static constexpr int kTabOption = 1;
    static constexpr int kTabDetails = 2;

    explicit CDataAddNewDlg(QWidget* parent = nullptr);
    ~CDataAddNewDlg() override;

    // The record is not owned and must outlive the dialog. With `forConnectedController` the
    // controller is fixed to the record's controllerName.
    void SetDisplayNameAndData(const QString& name, ControllerData* record,
                               bool forConnectedController = true);
    // The table that decides which values are scaled on OK and what the detail lists offer; by
    // default the application's first table.
    void SetParamTable(const ParamInfoTable* table);

    // Builds the pages and the summary; runs once, from exec() or the first showing. False when
    // the dialog was cancelled on the way (no robot catalog).
    bool InitDialog();
    int exec() override;

    void SetSettingText(int setting, const QString& text) override;
    void RefreshPages() override;
    void CancelDialog() override;
    bool ForConnectedController() const override { return connectedController; }

    void OnOK();
    void accept() override;

    // The tab data of the tabs, in order.
    QList<int> TabKinds() const;
    // Selects the tab with data `kind`; false when there is none.
    bool SelectTab(int kind);
    // The page a tab shows.
    CAddNewTabPage* PageOfTab(int kind) const;

    // Row of each setting, -1 without one.
    const std::array<int, NewDataRules::kSettingCount>& settingRows() const { return rowOfSetting; }

    CAddNewTabControllerDlg controllerPage;
    CAddNewTabOptionDlg ioOptionPage;
    CAddNewTabDetailDlg detailPage;
    CAddNewTabOptionBDlg pulseOptionPage;
    QString displayName;

    ControllerData* record() const { return data; }
    CListCtrlEx* settingsList() const { return list; }
    QTabWidget* tabWidget() const { return tabs; }
    QPushButton* okButton() const { return ok; }
    QPushButton* cancelButton() const { return cancel; }
    bool wasCancelledOnOpening() const { return cancelledOnOpening; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool OpenPages();
    // Confirms the numeric edit that has the focus, as leaving it would.
    void CommitFocusedEdit();
    void RebuildRows();
    void TabChanged(int index);

    ControllerData* data = nullptr;
    std::array<int, NewDataRules::kSettingCount> rowOfSetting;
    QIcon icon;
    const ParamInfoTable* paramTable = nullptr;
    bool connectedController = true;
    bool initialised = false;
    bool cancelledOnOpening = false;
    bool opening = false;

    QLineEdit* nameEdit = nullptr;
    QTabWidget* tabs = nullptr;
    CListCtrlEx* list = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
