#include "comm/PanelBusyIndicator.h"

#include "app/VelmoraApp.h"
// The busy panel's inline accessors need these complete.
#include "controls/DrawnProgressBar.h"
#include <QLabel>

#include "controls/BusyPanel.h"
#include "platform/ResourceLibrary.h"

namespace {
constexpr int kArrowStyle = 2;
constexpr int kBarStyle = 1;
constexpr int kPanelWidth = 362;
constexpr int kPanelHeight = 100;
constexpr int kFontFace = 21111;

// The search and closing panels use the program's dialog face at 9 points.
QFont ProgramFont() {
    QString face = ResourceLibrary::LoadString(kFontFace);
    if (face.isEmpty())
        face = QStringLiteral("Tahoma");
    return QFont(face, 9);
}
} // namespace

CPanelBusyIndicator::CPanelBusyIndicator(QWidget* dialog) : owner(dialog) {}

CPanelBusyIndicator::~CPanelBusyIndicator() {
    Close();
}

void CPanelBusyIndicator::Show(const QString& message, bool towardsPc) {
    if (owner) {
        const QFont font = owner->font();
        open(kArrowStyle, false, false, towardsPc, &font, message);
    } else {
        open(kArrowStyle, false, false, towardsPc, nullptr, message);
    }
}

void CPanelBusyIndicator::ShowSearch(const QString& message) {
    const QFont font = ProgramFont();
    open(kArrowStyle, false, false, true, &font, message);
}

void CPanelBusyIndicator::ShowClosing(const QString& message) {
    const QFont font = ProgramFont();
    open(kBarStyle, true, true, false, &font, message, false);
}

void CPanelBusyIndicator::open(int barStyle, bool moving, bool mirrored, bool reversed,
                               const QFont* font, const QString& message, bool deliverEvents) {
    Close();
    current = std::make_unique<CBusyPanel>(false, barStyle, false, moving, mirrored, reversed);
    if (const CVelmoraApp* app = CVelmoraApp::instance())
        current->SetEndIcons(app->panelIcons[0], app->panelIcons[1]);
    else
        current->SetEndIcons(CBusyPanel::LoadPanelIcon(CBusyPanel::kLeftIconId),
                             CBusyPanel::LoadPanelIcon(CBusyPanel::kRightIconId));
    current->Create(owner, kPanelWidth, kPanelHeight);
    if (font)
        current->SetMessageFont(*font);
    current->SetMessage(message);
    current->Show(deliverEvents);
}

void CPanelBusyIndicator::Close() {
    if (current) {
        current->Destroy();
        current.reset();
    }
}
