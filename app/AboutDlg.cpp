#include "app/AboutDlg.h"

#include "app/VelmoraApp.h"
#include "data/RobotCatalogInterface.h"
#include "platform/DialogWindows.h"
#include "platform/ResourceArt.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>

CAboutDlg::CAboutDlg(QWidget* parent, const VersionInfo* info) : QDialog(parent) {
    LoadDialogTemplate(kTemplateId, this);
    const VersionInfo& version = info ? *info : ProgramVersionInfo();

    if (auto* icon = FindControl<QLabel>(this, kIdIcon)) {
        const QIcon programIcon = ResourceArt::Icon(kProgramIcon);
        if (!programIcon.isNull())
            icon->setPixmap(programIcon.pixmap(QSize(32, 32), icon->devicePixelRatioF()));
    }
    // Missing values leave the template's texts.
    if (auto* label = FindControl<QLabel>(this, kIdProductVersion)) {
        if (auto product = QueryVersionString(version, QStringLiteral("ProductVersion")))
            label->setText(QStringLiteral("Ver.%1").arg(*product));
    }
    if (auto* label = FindControl<QLabel>(this, kIdLegalNotice)) {
        if (auto legal = QueryVersionString(version, QStringLiteral("LegalCopyright")))
            label->setText(*legal);
    }
    if (auto* label = FindControl<QLabel>(this, kIdDatabaseVersion)) {
        QString database;
        RobotCatalogInterface::GetDatabaseVersion(database);
        label->setText(QStringLiteral("Ver.") + database);
    }
    if (auto* label = FindControl<QLabel>(this, kIdName))
        label->setText(ApplicationName());
    if (auto* ok = FindControl<QAbstractButton>(this, kIdOk))
        connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    DialogWindows::FixSize(this);
    DialogWindows::GiveAccessKeys(this);
}

QString CAboutDlg::ControlText(int id) const {
    const auto* label = FindControl<QLabel>(const_cast<CAboutDlg*>(this), id);
    return label ? label->text() : QString();
}
