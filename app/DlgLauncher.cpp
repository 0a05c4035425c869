#include "app/DlgLauncher.h"

#include "controls/ControlRegistry.h"
#include "controls/IconButton.h"
#include "data/RobotCatalogInterface.h"
#include "platform/DialogWindows.h"
#include "platform/ResourceArt.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"
#include "tooltip/HtmlTooltip.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kTitleString = 900;
constexpr int kAboutString = 57005;
constexpr int kMinimizeString = 10454;
constexpr int kCloseString = 10455;
constexpr int kProgramIcon = 128;
constexpr int kTooltipStyleSheet = 499;
// Tip background: white, a warm tint and a muted rose (red in the low byte), soft shading.
constexpr quint32 kTipLight = 0xFFFFFF;
constexpr quint32 kTipMiddle = 0xFFF7F0;
constexpr quint32 kTipDark = 0xD0C0C0;
constexpr int kTipEffect = 13;
constexpr int kTipGranularity = 5;

struct WorkflowButton {
    int control;
    int commandString;
    int icon;
};
constexpr WorkflowButton kWorkflowButtons[] = {{CDlgLauncher::kIdBackup, 32817, 21115},
                                               {CDlgLauncher::kIdRestore, 32818, 21114},
                                               {CDlgLauncher::kIdAlarm, 32806, 21046},
                                               {CDlgLauncher::kIdGeneration, 32866, 21113}};

// Space below the banner for the four buttons and "Exit" (they start 5 px under it).
constexpr int kBelowBanner = 308;
constexpr int kButtonHeight = 52;
constexpr int kButtonPitch = 57;
constexpr int kExitTop = 258;
constexpr int kExitHeight = 40;
// Room a centred caption keeps from each side of its area, clear of the frame and focus mark.
constexpr int kCaptionMargin = 6;

} // namespace

CDlgLauncher::CDlgLauncher(LauncherActions launcherActions, QWidget* parent, const QPixmap& picture)
    : QDialog(parent), actions(std::move(launcherActions)), banner(picture) {
    if (!TemplateLoader::IsControlClassRegistered(QStringLiteral("CIconButton")))
        RegisterControlClasses();
    LoadDialogTemplate(kTemplateId, this);
    setWindowTitle(ResourceLibrary::LoadString(kTitleString));
    setWindowIcon(ResourceArt::Icon(kProgramIcon));

    bannerPicture = FindControl<QLabel>(this, kIdBanner);
    version = FindControl<QLabel>(this, kIdVersion);
    exit = FindControl<QPushButton>(this, kIdExit);
    if (!bannerPicture)
        bannerPicture = new QLabel(this);
    if (!version)
        version = new QLabel(this);
    if (!exit)
        exit = new QPushButton(QStringLiteral("Exit"), this);

    tips = new CHtmlTooltip;
    tips->CreateTipWindow(this);
    tips->LoadStyleSheet(kTooltipStyleSheet);
    tips->SetBackgroundColors(kTipLight, kTipMiddle, kTipDark);
    tips->SetBackgroundEffect(kTipEffect, kTipGranularity);
    SetUpButtons();
    if (banner.isNull())
        banner = ResourceArt::Bitmap(kBannerBitmap, devicePixelRatioF());
    bannerPicture->setFrameShape(QFrame::Box);
    bannerPicture->setAlignment(Qt::AlignCenter);
    bannerPicture->setPixmap(banner);
    bannerPicture->show();

    QString databaseVersion;
    if (!RobotCatalogInterface::GetDatabaseVersion(databaseVersion))
        databaseVersion.clear();
    version->setText(VersionLine(databaseVersion));
    // The banner shows through behind the version text.
    version->setAutoFillBackground(false);
    version->setAttribute(Qt::WA_TranslucentBackground);
    version->setStyleSheet(QStringLiteral("background: transparent;"));
    LayOut();
    version->raise();
    version->show();

    for (int id : {kIdDontShowAgain, kIdLaunch}) {
        if (QWidget* control = FindControlWidget(this, id))
            control->hide();
    }
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    DialogWindows::GiveAccessKeys(this);
    // The launcher is the window below every dialog of the program.
    DialogWindows::ReactivateBelowEndingDialogs();
}

CDlgLauncher::~CDlgLauncher() = default;

QString CDlgLauncher::VersionLine(const QString& databaseVersion) {
    return QStringLiteral("Database Version\tVer %1")
        .arg(databaseVersion.isEmpty() ? QStringLiteral("-") : databaseVersion);
}

CIconButton* CDlgLauncher::workflowButton(int id) const {
    return FindControl<CIconButton>(const_cast<CDlgLauncher*>(this), id);
}

void CDlgLauncher::SetUpButtons() {
    const std::function<void(QWidget*)>* handlers[] = {&actions.backup, &actions.restore,
                                                       &actions.alarmHistory, &actions.generation};
    int index = 0;
    for (const WorkflowButton& entry : kWorkflowButtons) {
        const std::function<void(QWidget*)>& handler = *handlers[index++];
        CIconButton* button = workflowButton(entry.control);
        if (!button)
            continue;
        // "description\ncaption": the caption is what the button shows.
        const QString command = ResourceLibrary::LoadString(entry.commandString);
        const qsizetype split = command.indexOf(u'\n');
        const QString description = split >= 0 ? command.left(split) : command;
        if (split >= 0)
            button->setText(command.mid(split + 1));
        tipTexts.insert(entry.control, description);
        tips->AddTip(button, description);
        button->SetIcon(ResourceArt::Icon(entry.icon), CIconButton::IconLeft);
        button->checked = false;
        button->toggle = false;
        button->useTheme = true;
        button->flat = false;
        button->themeDirty = true;
        button->setAutoDefault(false);
        button->update();
        connect(button, &QPushButton::clicked, this, [this, &handler] { Run(handler); });
    }
}

int CDlgLauncher::ButtonWidth(int bannerWidth) const {
    // The window's title shows whole in its title bar.
    int width = qMax(bannerWidth, DialogWindows::TitleWidth(windowTitle()) - 20);
    for (const WorkflowButton& entry : kWorkflowButtons) {
        const CIconButton* button = workflowButton(entry.control);
        if (!button || button->text().isEmpty())
            continue;
        // The caption is centred in the part right of the icon's column (twice the icon wide).
        const int caption = button->fontMetrics()
                                .boundingRect(QRect(), Qt::TextShowMnemonic, button->text())
                                .width();
        const int iconColumn = 2 * button->iconPixelSize().width();
        width = qMax(width, iconColumn + caption + 2 * kCaptionMargin);
    }
    return width;
}

void CDlgLauncher::LayOut() {
    // A banner drawn for a screen at 200 % has twice the pixels in the same room.
    const QSize room = banner.deviceIndependentSize().toSize();
    const int w = banner.isNull() ? 311 : room.width();
    const int h = banner.isNull() ? 175 : room.height();
    // The window is as wide as the banner unless a large font needs wider buttons; the banner
    // and its version line then stay centred over them.
    const int buttons = ButtonWidth(w);
    const int bannerLeft = 10 + (buttons - w) / 2;
    setFixedSize(buttons + 20, h + kBelowBanner);
    bannerPicture->setGeometry(bannerLeft, 10, w, h);
    int index = 0;
    for (const WorkflowButton& entry : kWorkflowButtons) {
        if (CIconButton* button = workflowButton(entry.control))
            button->setGeometry(10, h + 15 + kButtonPitch * index, buttons, kButtonHeight);
        ++index;
    }
    exit->setGeometry(10, h + kExitTop, buttons, kExitHeight);
    version->setGeometry(bannerLeft + 10, h - 15, w - 20, 20);
}

void CDlgLauncher::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && exit)
        LayOut();
}

void CDlgLauncher::Run(const std::function<void(QWidget*)>& action) {
    if (action)
        action(this);
}

void CDlgLauncher::RunAbout() {
    Run(actions.about);
}

QMenu* CDlgLauncher::BuildWindowMenu() {
    auto* menu = new QMenu(this);
    menu->addAction(ResourceLibrary::LoadString(kAboutString), this, &CDlgLauncher::RunAbout);
    menu->addSeparator();
    menu->addAction(ResourceLibrary::LoadString(kMinimizeString), this, &QWidget::showMinimized);
    menu->addAction(ResourceLibrary::LoadString(kCloseString), this, &QDialog::reject);
    return menu;
}

void CDlgLauncher::showEvent(QShowEvent* event) {
    // A launcher started minimised comes up restored.
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    QDialog::showEvent(event);
}

void CDlgLauncher::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = BuildWindowMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
