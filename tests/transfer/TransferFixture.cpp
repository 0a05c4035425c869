#include "TransferFixture.h"

#include "comm/DlgSerialConnect.h"
#include "comm/PanelBusyIndicator.h"
#include "controls/BusyPanel.h"
#include "controls/ListCtrlEx.h"
#include "platform/TemplateLoader.h"
#include "transfer/DlgWriteReview.h"
#include "transfer/RollbackPoint.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// The shown dialog of that kind among the top-level windows; null when none is.
template <class Dialog> Dialog* ShownDialog() {
    Dialog* shown = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* candidate = qobject_cast<Dialog*>(widget);
        if (candidate && candidate->isVisible())
            shown = candidate;
    }
    return shown;
}

} // namespace

NodeDialogDriver::NodeDialogDriver() {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &NodeDialogDriver::poll);
    timer.start();
}

void NodeDialogDriver::poll() {
    CDlgSerialConnect* dialog = ShownDialog<CDlgSerialConnect>();
    if (!dialog)
        return;
    ++shown;
    QStringList listed;
    QTreeWidget* list = dialog->nodeList;
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        listed << list->topLevelItem(i)->text(1);
    rows.append(listed);

    const Step step = script.isEmpty() ? Cancel() : script.takeFirst();
    switch (step.kind) {
    case Step::Kind::Node:
        for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            if (row->text(1).toInt() == step.node) {
                list->setCurrentItem(row);
                row->setSelected(true);
            }
        }
        FindControl<QPushButton>(dialog, CDlgSerialConnect::kIdOk)->click();
        // A node the list does not hold leaves OK disabled: give up rather than hang.
        if (dialog->isVisible())
            dialog->reject();
        break;
    case Step::Kind::Research:
        FindControl<QPushButton>(dialog, CDlgSerialConnect::kIdResearch)->click();
        break;
    case Step::Kind::Cancel:
        FindControl<QPushButton>(dialog, CDlgSerialConnect::kIdCancel)->click();
        break;
    }
}

ReviewDialogDriver::ReviewDialogDriver() {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &ReviewDialogDriver::poll);
    timer.start();
}

void ReviewDialogDriver::poll() {
    CDlgWriteReview* dialog = ShownDialog<CDlgWriteReview>();
    if (!dialog)
        return;
    Shown seen{
        dialog->windowTitle(), dialog->summary()->text(), {}, busyPanelShown && busyPanelShown()};
    const CListCtrlEx* list = dialog->list();
    for (int row = 0; row < list->GetItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            cells << list->GetItemText(row, column);
        seen.rows << cells.join(QStringLiteral(" | "));
    }
    shown.append(seen);
    const bool accept = script.isEmpty() || script.takeFirst();
    QPushButton* button =
        accept || !dialog->cancelButton() ? dialog->okButton() : dialog->cancelButton();
    button->click();
}

void TransferDialogTest::TearDown() {
    dialog.reset();
    SimLineFixture::TearDown();
}

void TransferDialogTest::StartLine(const QList<SimController>& controllers) {
    StartSimLine(controllers);
}

CDlgTransportV2& TransferDialogTest::OpenDialog(bool saveToPc) {
    dialog = std::make_unique<CDlgTransportV2>();
    dialog->saveToPc = saveToPc;
    dialog->commWindow.channel.replyTimeoutMs = kTestTimeoutMs;
    dialog->show();
    reviews.busyPanelShown = [this] {
        const auto* busy = dynamic_cast<CPanelBusyIndicator*>(&dialog->busyIndicator());
        return busy && busy->panel() && busy->panel()->panelWindow() &&
               busy->panel()->panelWindow()->isVisible();
    };
    return *dialog;
}

QString TransferDialogTest::ExistingFile(const QString& name) const {
    QFile file(FilePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    return file.fileName();
}

void TransferDialogTest::ChooseFile(const QString& path) {
    ui.filePaths << path;
    dialog->browseButton()->click();
}

bool TransferDialogTest::SelectLinePort() {
    return dialog->SelectConnection(sim->ComNumber());
}

bool TransferDialogTest::PressOk(const QList<NodeDialogDriver::Step>& steps) {
    driver.script = steps;
    dialog->okButton()->click();
    return dialog->result() == QDialog::Accepted && !dialog->isVisible();
}

bool TransferDialogTest::Backup(int node, const QString& path) {
    OpenDialog(true);
    ChooseFile(path);
    if (!SelectLinePort())
        return false;
    ui.answers = {MsgResult::Ok, MsgResult::Ok};
    const bool done = PressOk({NodeDialogDriver::Node(node)});
    ui.answers.clear();
    dialog.reset();
    return done;
}

bool TransferDialogTest::Restore(int node, const QString& path) {
    OpenDialog(false);
    ChooseFile(path);
    if (!SelectLinePort())
        return false;
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    const bool done = PressOk({NodeDialogDriver::Node(node)});
    ui.answers.clear();
    return done;
}

QString TransferDialogTest::RollbackSentence() {
    const QFileInfoList points =
        QDir(RollbackPoint::Folder())
            .entryInfoList({QStringLiteral("*.kqd")}, QDir::Files, QDir::Time);
    if (points.isEmpty())
        return QStringLiteral("(no rollback point)");
    return QStringLiteral("\n\nThe controller's data before this write is saved in ") +
           points.first().filePath();
}
