#include "platform/GuiUserInteraction.h"

#include "platform/DialogWindows.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QWidget>

namespace {

QWidget* parentWidgetOf(QObject* parent) {
    QWidget* widget = qobject_cast<QWidget*>(parent);
    return widget ? widget : QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
    case MsgIcon::Default:
        break;
    }
    return QMessageBox::Warning;
}

QString applicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("VelmoraFree") : name;
}

} // namespace

MsgResult GuiUserInteraction::ShowMessage(QObject* parent, const QString& text, MsgButtons buttons,
                                          MsgIcon icon) {
    const MsgIcon effective = EffectiveIcon(buttons, icon);
    QMessageBox box(boxIcon(effective), applicationTitle(), text, QMessageBox::NoButton,
                    parentWidgetOf(parent));
    // Texts are never markup, whatever characters a file name or reply brings in.
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    // A short message would make the box narrower than its title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(DialogWindows::TitleWidth(box.windowTitle()), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        // Closed some other way: the safe answer of the box.
        return SafeAnswer(buttons);
    }
}

bool GuiUserInteraction::ChooseFile(QObject* parent, const FileChoice& choice, QString& path) {
    QFileDialog dialog(parentWidgetOf(parent), choice.title, QString(),
                       choice.folder ? QString() : QtFilter(choice.filter));
    if (choice.folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (!choice.initialPath.isEmpty())
            dialog.setDirectory(choice.initialPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
            return false;
        path = dialog.selectedFiles().first();
        return true;
    }
    dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Both choosers complete a name typed without extension ("node1" opens node1.kqd).
    if (!choice.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(choice.defaultExtension);
    if (!choice.initialPath.isEmpty()) {
        const QFileInfo initial(choice.initialPath);
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            if (initial.absoluteDir().exists())
                dialog.setDirectory(initial.absolutePath());
            dialog.selectFile(initial.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return false;
    // An opened file is taken as chosen: it exists under exactly that name, the chooser's
    // default extension included.
    path =
        choice.save ? WithDefaultExtension(files.first(), choice.defaultExtension) : files.first();
    return true;
}

QString GuiUserInteraction::QtFilter(const QString& filter) {
    // Pairs "description|patterns", the list ended by an empty pair ("||").
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty())
            break;
        if (description.contains(u'(') || patterns.isEmpty()) {
            filters.append(description);
        } else {
            QString spaced = patterns;
            spaced.replace(u';', u' ');
            filters.append(QStringLiteral("%1 (%2)").arg(description, spaced));
        }
    }
    if (filters.isEmpty() && !filter.isEmpty() && !filter.contains(u'|'))
        return filter; // already in Qt's form
    return filters.join(QStringLiteral(";;"));
}

QString GuiUserInteraction::WithDefaultExtension(const QString& path, const QString& extension) {
    if (extension.isEmpty() || path.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.contains(u'.'))
        return path;
    return path + u'.' + extension;
}
