#include "NewDataFixture.h"

#include "controls/NumberEdit.h"
#include "newdata/NewDataRules.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

using namespace NewDataRules;

using DetailPage = NewDataDialogTest;
using PulsePage = NewDataDialogTest;

namespace {

using Detail = CAddNewTabDetailDlg;

} // namespace

TEST_F(DetailPage, KqCOffersAbsLcdAndTwoDecimalsOnly) {
    ASSERT_TRUE(Open("KQ-C", "GX30-L10"));
    Detail& detail = dialog->detailPage;
    EXPECT_TRUE(detail.list(Detail::kIdAbs)->isEnabled());
    EXPECT_TRUE(detail.list(Detail::kIdLcd)->isEnabled());
    EXPECT_TRUE(detail.list(Detail::kIdLcd)->isVisibleTo(&detail));
    EXPECT_EQ(Items(detail.list(Detail::kIdDecimals)), QStringList({"2"}));
    EXPECT_EQ(Items(detail.list(Detail::kIdOrgMethod)), QStringList({"Torque", "Sensor", "Mark"}));
    // The catalog enables the LCD for this controller.
    EXPECT_EQ(detail.list(Detail::kIdLcd)->currentText(), "Enable");
    EXPECT_EQ(params().K(75), 1);
    EXPECT_EQ(params().K(72), 2);
    EXPECT_EQ(RowValue(kSettingLcdSetting), "Enable");
}

TEST_F(DetailPage, KqEOriginMethodsFollowTheSemiAbsSetting) {
    ASSERT_TRUE(Open("KQ-E", "MX10-L02"));
    Detail& detail = dialog->detailPage;
    ASSERT_EQ(params().K(67), 0);
    EXPECT_EQ(Items(detail.list(Detail::kIdOrgMethod)), QStringList({"Torque", "Sensor"}));
    EXPECT_EQ(Items(detail.list(Detail::kIdDecimals)), QStringList({"2", "3"}));
    EXPECT_EQ(detail.list(Detail::kIdDecimals)->currentText(), "3");
    EXPECT_EQ(params().K(72), 3);
    EXPECT_TRUE(detail.list(Detail::kIdLcd)->isEnabled());
    EXPECT_FALSE(detail.list(Detail::kIdAbs)->isEnabled());

    params().K(67) = 1;
    params().K(66) = 1; // sensor: not offered any more
    dialog->RefreshPages();
    EXPECT_EQ(Items(detail.list(Detail::kIdOrgMethod)), QStringList({"Torque"}));
    EXPECT_EQ(params().K(66), 0);
    EXPECT_EQ(RowValue(kSettingOrgMethod), "Torque");
}

TEST_F(DetailPage, OriginMethodIsFoundByItsValue) {
    ASSERT_TRUE(Open("KQ-C", "GX30-L10"));
    Detail& detail = dialog->detailPage;
    params().K(66) = 2;
    dialog->RefreshPages();
    EXPECT_EQ(detail.list(Detail::kIdOrgMethod)->currentText(), "Mark");
    ASSERT_TRUE(Choose(detail.list(Detail::kIdOrgMethod), "Sensor"));
    EXPECT_EQ(params().K(66), 1);
    EXPECT_EQ(RowValue(kSettingOrgMethod), "Sensor");
}

TEST_F(DetailPage, KqBShowsOnlyTheOriginLists) {
    ASSERT_TRUE(Open("KQ-B", "PX15-L06"));
    Detail& detail = dialog->detailPage;
    for (const int id : {Detail::kIdAccel, Detail::kIdDecimals, Detail::kIdPolarity, Detail::kIdAbs,
                         Detail::kIdLcd})
        EXPECT_FALSE(detail.list(id)->isVisibleTo(&detail)) << id;
    for (const int id : {Detail::kIdAccelLabel, Detail::kIdDecimalsLabel, Detail::kIdLcdLabel,
                         Detail::kIdAccelColon})
        EXPECT_FALSE(FindControl<QLabel>(&detail, id)->isVisibleTo(&detail)) << id;
    EXPECT_TRUE(detail.list(Detail::kIdOrgDirection)->isVisibleTo(&detail));
    EXPECT_TRUE(detail.list(Detail::kIdOrgMethod)->isVisibleTo(&detail));
    EXPECT_FALSE(detail.list(Detail::kIdLcd)->isEnabled());
}

TEST_F(DetailPage, AccelerationOptimisationTogglesBitOne) {
    ASSERT_TRUE(Open("KQ-A", "LX20-L06"));
    Detail& detail = dialog->detailPage;
    ASSERT_EQ(params().K(71), 2);
    ASSERT_TRUE(Choose(detail.list(Detail::kIdAccel), "Off"));
    EXPECT_EQ(params().K(71), 0);
    EXPECT_EQ(RowValue(kSettingAccelOptimization), "Off");

    ui.answers = {MsgResult::Yes};
    page().customButton()->click();
    ASSERT_EQ(params().K(71), 1);
    ASSERT_TRUE(Choose(detail.list(Detail::kIdAccel), "On"));
    EXPECT_EQ(params().K(71), 3);
}

TEST_F(DetailPage, DirectionPolarityAndAbsFollowTheirLists) {
    ASSERT_TRUE(Open("KQ-F", "FX33-L12"));
    Detail& detail = dialog->detailPage;
    EXPECT_TRUE(detail.list(Detail::kIdAbs)->isEnabled());
    EXPECT_FALSE(detail.list(Detail::kIdLcd)->isEnabled());
    ASSERT_TRUE(Choose(detail.list(Detail::kIdOrgDirection), "CW"));
    ASSERT_TRUE(Choose(detail.list(Detail::kIdPolarity), "Reversed"));
    ASSERT_TRUE(Choose(detail.list(Detail::kIdAbs), "Enable"));
    EXPECT_EQ(params().K(14), 1);
    EXPECT_EQ(params().K(15), 1);
    EXPECT_EQ(params().K(74), 1);
    EXPECT_EQ(RowValue(kSettingOrgSearchDir), "CW");
    EXPECT_EQ(RowValue(kSettingCoordPolar), "Reversed");
    EXPECT_EQ(RowValue(kSettingAbsSetting), "Enable");
    // A robot chosen afterwards brings its own values back.
    ASSERT_TRUE(Choose(page().robotList(), "FX33-L24"));
    EXPECT_EQ(params().K(14), 0);
    EXPECT_EQ(detail.list(Detail::kIdOrgDirection)->currentText(), "CCW");
}

TEST_F(PulsePage, LineDriverWithPulseTrainCode) {
    ASSERT_TRUE(Open("KQ-B", "PX15-L06"));
    CAddNewTabOptionBDlg& pulse = dialog->pulseOptionPage;
    EXPECT_EQ(params().K(83), 0);
    EXPECT_EQ(params().K(87), 4);
    ASSERT_TRUE(Choose(pulse.inputTypeList(), "Line driver"));
    ASSERT_TRUE(Choose(pulse.signalTypeList(), "Pulse train/code input"));
    EXPECT_EQ(params().K(83), 6);
    EXPECT_EQ(params().K(87), 2);
    EXPECT_EQ(RowValue(kSettingPulseInputType), "Line driver");
    EXPECT_EQ(RowValue(kSettingPulseSignalType), "Pulse train/code input");

    ASSERT_TRUE(Choose(pulse.inputTypeList(), "Open collector"));
    EXPECT_EQ(params().K(83), 2);
    EXPECT_EQ(params().K(87), 4);
    ASSERT_TRUE(Choose(pulse.signalTypeList(), "Disable"));
    EXPECT_EQ(params().K(83), 0);
}

TEST_F(PulsePage, RefreshReadsTheCodeBack) {
    ASSERT_TRUE(Open("KQ-B2", "PX30-L12"));
    CAddNewTabOptionBDlg& pulse = dialog->pulseOptionPage;
    params().K(83) = 7;
    params().K(84) = 40000;
    dialog->RefreshPages();
    EXPECT_EQ(pulse.inputTypeList()->currentText(), "Line driver");
    EXPECT_EQ(pulse.signalTypeList()->currentText(), "Phase A/phase B");
    EXPECT_EQ(params().K(83), 7);
    EXPECT_EQ(params().K(87), 2);
    EXPECT_EQ(params().K(84), 32767); // clamped into the gear range
    EXPECT_EQ(RowValue(kSettingEGear1), "32767");
}

TEST_F(PulsePage, GearsAreClampedAndWritten) {
    ASSERT_TRUE(Open("KQ-B", "PX15-L06"));
    CAddNewTabOptionBDlg& pulse = dialog->pulseOptionPage;
    EXPECT_EQ(params().K(84), 20480);
    TypeAndLeave(pulse.eGear1Edit(), "0");
    EXPECT_EQ(params().K(84), 1);
    TypeAndLeave(pulse.eGear2Edit(), "1234");
    EXPECT_EQ(params().K(85), 1234);
    EXPECT_EQ(RowValue(kSettingEGear2), "1234");
}

TEST_F(PulsePage, StandardModelsAlsoLeaveThePulseInputOff) {
    ASSERT_TRUE(Open("KQ-A", "LX20-L06"));
    EXPECT_EQ(params().K(83), 0);
    EXPECT_EQ(params().K(87), 4);
    EXPECT_GE(params().K(84), 1);
    EXPECT_LE(params().K(84), 32767);
}

TEST_F(PulsePage, JapaneseItems) {
    data->controllerName = "KQ-B";
    data->robotName = "PX15-L06";
    dialog = std::make_unique<CDataAddNewDlg>();
    dialog->pulseOptionPage.SetLanguage(0);
    dialog->SetDisplayNameAndData(QString(), data.get());
    ASSERT_TRUE(dialog->InitDialog());
    EXPECT_EQ(Items(dialog->pulseOptionPage.inputTypeList()),
              QStringList({QStringLiteral("オープンコレクタ"), QStringLiteral("ラインドライバ")}));
    EXPECT_EQ(RowValue(kSettingPulseSignalType), QStringLiteral("無効"));
}

TEST_F(DetailPage, IoOptionPageDisablesTheOption) {
    ASSERT_TRUE(Open("KQ-C", "GX30-L10"));
    EXPECT_EQ(params().K(80), 0);
    params().K(80) = 2;
    data->interfaceInfo = "EtherNet/IP";
    dialog->RefreshPages();
    EXPECT_EQ(params().K(80), 0);
    EXPECT_EQ(data->interfaceInfo, "----");
    EXPECT_FALSE(dialog->ioOptionPage.isVisible());
}
