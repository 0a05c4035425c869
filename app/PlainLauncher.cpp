#include "app/PlainLauncher.h"

#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int kTitleString = 900;
constexpr int kProgramIcon = 128;
constexpr int kBanner = 21110;
constexpr int kBannerControl = 1364;
constexpr int kExitControl = 1372;
constexpr int kHiddenControls[] = {1370, 1371};

struct WorkflowButton {
    int control;
    int commandString;
    int icon;
};
constexpr WorkflowButton kWorkflowButtons[] = {
    {1365, 32817, 21115}, {1366, 32818, 21114}, {1367, 32806, 21046}, {1368, 32866, 21113}};

} // namespace

PlainLauncher::PlainLauncher(QWidget* parent) : QDialog(parent) {
    // Until the themed icon button is registered, the template's buttons are plain ones.
    if (!TemplateLoader::IsControlClassRegistered(QStringLiteral("CIconButton")))
        TemplateLoader::RegisterControlClass(QStringLiteral("CIconButton"),
                                             [](QWidget* p) { return new QPushButton(p); });
    LoadDialogTemplate(190, this);
    setWindowTitle(ResourceLibrary::LoadString(kTitleString));
    setWindowIcon(QIcon(ResourceLibrary::IconPath(kProgramIcon, 32)));

    if (auto* banner = FindControl<QLabel>(this, kBannerControl)) {
        const QPixmap picture(ResourceLibrary::BitmapPath(kBanner));
        if (!picture.isNull())
            banner->setPixmap(picture);
    }
    for (const WorkflowButton& entry : kWorkflowButtons) {
        auto* button = FindControl<QAbstractButton>(this, entry.control);
        if (!button)
            continue;
        // "description\ncaption": the caption is what the button shows.
        const QString command = ResourceLibrary::LoadString(entry.commandString);
        const qsizetype split = command.indexOf(u'\n');
        if (split >= 0) {
            button->setToolTip(command.left(split));
            button->setText(command.mid(split + 1));
        }
        const QString icon = ResourceLibrary::IconPath(entry.icon, 32);
        if (!icon.isEmpty()) {
            button->setIcon(QIcon(icon));
            button->setIconSize(QSize(32, 32));
        }
        button->setEnabled(false);
    }
    for (int id : kHiddenControls) {
        if (QWidget* control = FindControlWidget(this, id))
            control->hide();
    }
    if (auto* exitButton = FindControl<QAbstractButton>(this, kExitControl))
        connect(exitButton, &QAbstractButton::clicked, this, &QDialog::reject);
}
