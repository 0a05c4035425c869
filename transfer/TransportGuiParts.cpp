#include "transfer/TransportGuiParts.h"

#include "app/VelmoraApp.h"
#include "comm/DlgSerialConnect.h"
// The busy panel's inline accessors need these complete.
#include "controls/DrawnProgressBar.h"
#include <QLabel>

#include "controls/BusyPanel.h"

namespace {
constexpr int kArrowStyle = 2;
constexpr int kPanelWidth = 362;
constexpr int kPanelHeight = 100;
} // namespace

NodeChoice CDialogNodeChooser::ChooseNode(const CCommunicationWindow& window) {
    CDlgSerialConnect dialog(parent);
    dialog.nodeSelectMode = true;
    dialog.researchAllowed = true;
    dialog.selectedNode = 0;
    dialog.CopyNodeTable(window);
    if (dialog.exec() != QDialog::Accepted)
        return {NodeChoice::Kind::Cancel, 0};
    if (dialog.researchRequested)
        return {NodeChoice::Kind::Research, 0};
    return {NodeChoice::Kind::Node, dialog.selectedNode};
}

CPanelBusyIndicator::CPanelBusyIndicator(QWidget* owner) : owner(owner) {}

CPanelBusyIndicator::~CPanelBusyIndicator() {
    Close();
}

void CPanelBusyIndicator::Show(const QString& message, bool towardsPc) {
    Close();
    current = std::make_unique<CBusyPanel>(false, kArrowStyle, false, false, false, towardsPc);
    if (const CVelmoraApp* app = CVelmoraApp::instance())
        current->SetEndIcons(app->panelIcons[0], app->panelIcons[1]);
    else
        current->SetEndIcons(CBusyPanel::LoadPanelIcon(CBusyPanel::kLeftIconId),
                             CBusyPanel::LoadPanelIcon(CBusyPanel::kRightIconId));
    current->Create(owner, kPanelWidth, kPanelHeight);
    if (owner)
        current->SetMessageFont(owner->font());
    current->SetMessage(message);
    current->Show();
}

void CPanelBusyIndicator::Close() {
    if (current) {
        current->Destroy();
        current.reset();
    }
}
