#include "NewDataFixture.h"

#include "controls/ListCtrlEx.h"
#include "controls/NumberEdit.h"
#include "data/DataStore.h"
#include "data/RobotCatalogInterface.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>

void NewDataDialogTest::SetUp() {
    previousUi = InstallUserInteraction(&ui);
    CDataStore store;
    ASSERT_TRUE(store.CreateControllerData(data));
}

void NewDataDialogTest::TearDown() {
    dialog.reset();
    data.reset();
    RobotCatalogInterface::SetLibraryDirectoryForTests(QString());
    InstallUserInteraction(previousUi);
}

bool NewDataDialogTest::Open(const QString& controller, const QString& robot) {
    data->controllerName = controller;
    data->robotName = robot;
    dialog = std::make_unique<CDataAddNewDlg>();
    dialog->SetDisplayNameAndData(QString(), data.get());
    if (!dialog->InitDialog())
        return false;
    dialog->show();
    return true;
}

bool NewDataDialogTest::Choose(QComboBox* list, const QString& text) {
    const int index = list ? list->findText(text, Qt::MatchExactly) : -1;
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

void NewDataDialogTest::TypeAndLeave(CNumberEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &leave);
}

QStringList NewDataDialogTest::Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; list && i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

QStringList NewDataDialogTest::RowLabels() const {
    QStringList labels;
    const CListCtrlEx* list = dialog->settingsList();
    for (int row = 0; list && row < list->GetItemCount(); ++row)
        labels << list->GetItemText(row, 1);
    return labels;
}

QString NewDataDialogTest::RowValue(int setting) const {
    const int row = dialog->settingRows()[static_cast<std::size_t>(setting)];
    return row < 0 ? QString() : dialog->settingsList()->GetItemText(row, 2);
}
