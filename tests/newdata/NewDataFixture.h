#pragma once

#include "data/ControllerData.h"
#include "newdata/DataAddNewDlg.h"
#include "platform/UserInteraction.h"
#include "tests/support/QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

class QComboBox;
class CNumberEdit;

// The new data dialog opened for a connected controller against the real robot catalog, with
// scripted message boxes.
class NewDataDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the dialog for `controller` reporting `robot`; true when it opened.
    bool Open(const QString& controller, const QString& robot);

    // What a user does: pick an entry by its exact text, leave an edit after typing.
    static bool Choose(QComboBox* list, const QString& text);
    static void TypeAndLeave(CNumberEdit* edit, const QString& text);
    static QStringList Items(const QComboBox* list);

    QStringList RowLabels() const;
    // The value column of a setting's row; empty when it has no row.
    QString RowValue(int setting) const;

    RobotParameters& params() { return data->params(); }
    CAddNewTabControllerDlg& page() { return dialog->controllerPage; }

    ScriptedUserInteraction ui;
    UserInteraction* previousUi = nullptr;
    ControllerDataSlot data;
    std::unique_ptr<CDataAddNewDlg> dialog;
};
