#include "NewDataFixture.h"

#include "controls/ListCtrlEx.h"
#include "controls/NumberEdit.h"
#include "data/RobotCatalogInterface.h"
#include "newdata/NewDataRules.h"
#include "platform/TemplateLoader.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace NewDataRules;

using NewDataDialog = NewDataDialogTest;

namespace {

QStringList TabCaptions(const CDataAddNewDlg& dialog) {
    QStringList captions;
    for (int i = 0; i < dialog.tabWidget()->count(); ++i)
        captions << dialog.tabWidget()->tabText(i);
    return captions;
}

} // namespace

TEST_F(NewDataDialog, StandardModelHasControllerAndDetailsTabsAndTwelveRows) {
    ASSERT_TRUE(Open("KQ-A", "LX20-L06"));
    EXPECT_EQ(dialog->windowTitle(), "RobotData Initialize");
    EXPECT_EQ(TabCaptions(*dialog), QStringList({"Controller", "Details"}));
    EXPECT_EQ(dialog->TabKinds(), QList<int>({0, 2}));
    EXPECT_EQ(RowLabels(),
              QStringList({"Controller", "Robot", "Stroke [mm]", "Payload [kg]", "Point Type",
                           "Accel. Optimization", "Number of Decimal Places", "ORG Search Dir.",
                           "ORG Method", "Coord Polar", "ABS Setting", "LCD Setting"}));
    // Every row got its value while the pages opened.
    EXPECT_EQ(RowValue(kSettingController), "KQ-A");
    EXPECT_EQ(RowValue(kSettingRobot), "LX20-L06");
    EXPECT_EQ(RowValue(kSettingStroke), "100.000");
    EXPECT_EQ(RowValue(kSettingPayload), "8");
    EXPECT_EQ(RowValue(kSettingPointType), "Standard");
    EXPECT_EQ(RowValue(kSettingAccelOptimization), "On");
    EXPECT_EQ(RowValue(kSettingDecimalPlaces), "2");
    EXPECT_EQ(RowValue(kSettingOrgSearchDir), "CCW");
    EXPECT_EQ(RowValue(kSettingOrgMethod), "Torque");
    EXPECT_EQ(RowValue(kSettingCoordPolar), "Standard");
    EXPECT_EQ(RowValue(kSettingAbsSetting), "Disable");
    EXPECT_EQ(RowValue(kSettingLcdSetting), "Disable");
    EXPECT_FALSE(dialog->findChild<QLineEdit*>("displayName")->isEnabled());
}

TEST_F(NewDataDialog, PulseTrainModelHasTheOptionTabAndTenRows) {
    ASSERT_TRUE(Open("KQ-B", "PX15-L06"));
    EXPECT_EQ(TabCaptions(*dialog), QStringList({"Controller", "Option", "Details"}));
    EXPECT_EQ(dialog->TabKinds(), QList<int>({0, 1, 2}));
    EXPECT_EQ(RowLabels(),
              QStringList({"Controller", "Robot", "Stroke [mm]", "Payload (JOG only)[kg]",
                           "Pulse input type", "Pulse signal type", "E-Gear1", "E-Gear2",
                           "ORG Search Dir.", "ORG Method"}));
    EXPECT_EQ(RowValue(kSettingPulseInputType), "Open collector");
    EXPECT_EQ(RowValue(kSettingEGear1), "20480");

    ASSERT_TRUE(dialog->SelectTab(CDataAddNewDlg::kTabOption));
    EXPECT_TRUE(dialog->pulseOptionPage.isVisible());
    EXPECT_FALSE(dialog->controllerPage.isVisible());
    EXPECT_FALSE(dialog->ioOptionPage.isVisible());
    ASSERT_TRUE(dialog->SelectTab(CDataAddNewDlg::kTabDetails));
    EXPECT_TRUE(dialog->detailPage.isVisible());
    EXPECT_FALSE(dialog->pulseOptionPage.isVisible());
}

TEST_F(NewDataDialog, StandardModelNeverShowsThePulsePage) {
    ASSERT_TRUE(Open("KQ-C", "GX30-L10"));
    EXPECT_FALSE(dialog->SelectTab(CDataAddNewDlg::kTabOption));
    ASSERT_TRUE(dialog->SelectTab(CDataAddNewDlg::kTabDetails));
    EXPECT_TRUE(dialog->detailPage.isVisible());
    EXPECT_FALSE(dialog->pulseOptionPage.isVisible());
    EXPECT_FALSE(dialog->ioOptionPage.isVisible());
}

TEST_F(NewDataDialog, RowsAreRebuiltOnlyForTheController) {
    data->controllerName = "KQ-A";
    data->robotName = "LX20-L06";
    dialog = std::make_unique<CDataAddNewDlg>();
    dialog->SetDisplayNameAndData("spare", data.get(), false);
    ASSERT_TRUE(dialog->InitDialog());
    EXPECT_TRUE(page().controllerList()->isEnabled());
    EXPECT_EQ(dialog->findChild<QLineEdit*>("displayName")->text(), "spare");
    ASSERT_EQ(RowLabels().size(), 12);

    ASSERT_TRUE(Choose(page().controllerList(), "KQ-B2"));
    EXPECT_EQ(data->modelCode, "KQ-B2");
    EXPECT_EQ(RowLabels().size(), 10);
    EXPECT_EQ(RowValue(kSettingController), "KQ-B2");
    EXPECT_EQ(RowValue(kSettingRobot), data->robotName);
    EXPECT_EQ(RowValue(kSettingPulseSignalType), "Disable");
}

TEST_F(NewDataDialog, OkConvertsLengthsToTwoDecimalPlaces) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    ASSERT_EQ(params().K(72), 2);
    TypeAndLeave(page().strokeEdit(), "50");
    ASSERT_EQ(params().K(2), 50000);
    params().K(1) = -2500;
    data->dbVersion.clear();
    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(params().K(2), 5000);
    EXPECT_EQ(params().K(1), -250);
    EXPECT_EQ(params().K(43), 50000); // the stroke stays in thousandths
    EXPECT_EQ(data->dbVersion, "2.14");
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(NewDataDialog, OkKeepsThousandthsForThreeDecimalPlaces) {
    ASSERT_TRUE(Open("KQ-E", "MX10-L02"));
    ASSERT_EQ(params().K(72), 3);
    TypeAndLeave(page().strokeEdit(), "50");
    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(params().K(2), 50000);
}

TEST_F(NewDataDialog, EnterInTheStrokeBoxCountsTheStrokeAndKeepsTheScaling) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    ASSERT_EQ(params().K(72), 2);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    CNumberEdit* stroke = page().strokeEdit();
    stroke->setFocus();
    ASSERT_TRUE(stroke->hasFocus());
    stroke->setText("50");
    QTest::keyClick(stroke, Qt::Key_Return);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(params().K(43), 50000);
    // Closing the dialog must not confirm the stroke again over the converted soft limit.
    QCoreApplication::processEvents();
    EXPECT_EQ(params().K(2), 5000);
}

TEST_F(NewDataDialog, OkCountsThePayloadStillBeingTyped) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    CNumberEdit* payload = page().payloadEdit();
    payload->setFocus();
    payload->setText("3");
    dialog->okButton()->click();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(params().K(76), 3);
    EXPECT_EQ(params().K(78), 3);
    EXPECT_EQ(RowValue(kSettingPayload), "3");
}

TEST_F(NewDataDialog, TabGoesThroughEveryControlAndLeavesTheSettingsList) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QWidget* model = FindControl(dialog.get(), CAddNewTabControllerDlg::kIdModel);
    ASSERT_NE(model, nullptr);
    model->setFocus();
    ASSERT_TRUE(model->hasFocus());
    QWidget* list = dialog->settingsList();
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        return QApplication::focusWidget();
    };
    // Tab round the dialog from Model back to it; the list is one stop on the way.
    QList<QWidget*> stops;
    for (int i = 0; i < 40 && (stops.isEmpty() || stops.last() != model); ++i)
        stops << press(Qt::Key_Tab);
    ASSERT_EQ(stops.last(), model) << "Tab never came back to Model";
    EXPECT_EQ(stops.count(list), 1);
    const int ids[] = {CAddNewTabControllerDlg::kIdRobot, CAddNewTabControllerDlg::kIdStroke,
                       CAddNewTabControllerDlg::kIdPayload, CDataAddNewDlg::kIdOk,
                       CDataAddNewDlg::kIdCancel};
    for (const int id : ids)
        EXPECT_TRUE(stops.contains(FindControl(dialog.get(), id))) << id;

    // Inside the list the arrows move; Shift+Tab leaves it backwards.
    list->setFocus();
    dialog->settingsList()->setCurrentCell(0, 1);
    EXPECT_EQ(press(Qt::Key_Down), list);
    EXPECT_EQ(dialog->settingsList()->currentRow(), 1);
    EXPECT_NE(press(Qt::Key_Tab, Qt::ShiftModifier), list);
    EXPECT_EQ(dialog->settingsList()->currentRow(), 1);
}

TEST_F(NewDataDialog, OkWithoutRobotStaysOpen) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    data->robotName.clear();
    params().K(2) = 50000;
    dialog->okButton()->click();
    EXPECT_EQ(ui.texts(), QStringList({"Robot is not selected."}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(params().K(2), 50000);
}

TEST_F(NewDataDialog, ARobotWithoutCatalogParametersCannotBeConfirmed) {
    RobotCatalogInterface::SetLibraryDirectoryForTests(QStringLiteral(SPARSE_CATALOG_DIR));
    ASSERT_TRUE(Open("KQ-A", "LX20-L12"));
    ASSERT_EQ(data->robotName, "LX20-L12");
    ASSERT_EQ(params().K(47), 0); // nothing came from the catalog
    dialog->okButton()->click();
    EXPECT_EQ(ui.texts(), QStringList({"Robot is not selected."}));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->isVisible());

    // The values of the robot chosen before do not pass for the refused one either.
    ASSERT_TRUE(Choose(page().robotList(), "LX20-L06"));
    ASSERT_EQ(params().K(47), 10);
    ASSERT_TRUE(Choose(page().robotList(), "LX20-L12"));
    ASSERT_EQ(params().K(47), 10);
    dialog->okButton()->click();
    EXPECT_EQ(ui.shown.size(), 2);
    EXPECT_TRUE(dialog->isVisible());

    ASSERT_TRUE(Choose(page().robotList(), "LX20-L06"));
    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(data->robotName, "LX20-L06");
    EXPECT_EQ(params().K(2), 10000); // 100 mm with 2 decimal places
}

TEST_F(NewDataDialog, CancelKeepsWhatThePagesWrote) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    TypeAndLeave(page().strokeEdit(), "50");
    dialog->cancelButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(params().K(2), 50000);
}

TEST_F(NewDataDialog, MissingCatalogCancelsWithoutShowing) {
    QTemporaryDir empty;
    RobotCatalogInterface::SetLibraryDirectoryForTests(empty.path());
    data->controllerName = "KQ-A";
    data->robotName = "LX28-L10";
    CDataAddNewDlg newData;
    newData.SetDisplayNameAndData(QString(), data.get());
    bool shownMeanwhile = false;
    QTimer::singleShot(0, &newData, [&] {
        shownMeanwhile = newData.isVisible();
        newData.reject();
    });
    EXPECT_EQ(newData.exec(), QDialog::Rejected);
    EXPECT_FALSE(shownMeanwhile);
    EXPECT_TRUE(newData.wasCancelledOnOpening());
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, "Robot DB file not found.");
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Error);
}
