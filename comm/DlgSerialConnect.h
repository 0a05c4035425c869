#pragma once

#include "comm/ControllerSession.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <array>
#include <cstdint>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The node selection dialog: lists the nodes the last search found with their controller and
// user-specified names; the user picks one, asks for a new search ("Research") or cancels.
// The caller fills the members before every showing and reads selectedNode and
// researchRequested after an accepted (OK) return.
class CDlgSerialConnect : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 156;
    static constexpr int kIdNodeList = 1303;
    static constexpr int kIdResearch = 1141;
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    explicit CDlgSerialConnect(QWidget* parent = nullptr);
    ~CDlgSerialConnect() override;

    // Copies the node table of a search.
    void CopyNodeTable(const CControllerSession& session);

    bool nodeSelectMode = false;
    bool researchAllowed = true;
    std::array<bool, kNodeCount> nodePresent{};
    std::array<QString, kNodeCount> nodeModelName;
    std::array<QString, kNodeCount> nodeUserName;
    uint8_t selectedNode = 0;
    bool researchRequested = false;
    QIcon titleIcon;
    QTreeWidget* nodeList = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void InitDialog();
    void OnSelectionChanged();
    void OnOk();
    void OnRowDoubleClicked(QTreeWidgetItem* row);
    void OnResearch();

    QPushButton* okButton = nullptr;
    QPushButton* researchButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
