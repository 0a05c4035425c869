#include "NewDataFixture.h"

#include "controls/NumberEdit.h"
#include "data/Conversions.h"
#include "data/RobotCatalogInterface.h"
#include "newdata/NewDataRules.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace NewDataRules;

using ControllerPage = NewDataDialogTest;

TEST_F(ControllerPage, OpensOnTheConnectedControllerAndItsRobot) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    QComboBox* controllers = page().controllerList();
    EXPECT_EQ(controllers->currentText(), "KQ-A");
    EXPECT_FALSE(controllers->isEnabled());
    EXPECT_EQ(Items(controllers),
              QStringList({"KQ-A", "KQ-A2", "KQ-B", "KQ-B2", "KQ-C", "KQ-E", "KQ-F"}));
    EXPECT_EQ(Items(page().modelList()), QStringList({"LX20", "LX28", "RD16"}));
    EXPECT_EQ(page().modelList()->currentText(), "LX28");
    EXPECT_EQ(Items(page().robotList()), QStringList({"LX28-L05", "LX28-L10", "LX28-L20"}));
    EXPECT_EQ(page().robotList()->currentText(), "LX28-L10");
    EXPECT_EQ(data->modelCode, "KQ-A");
    EXPECT_EQ(params().K(46), 1000); // the catalog's own figures for that robot
    EXPECT_EQ(params().K(47), 20);
    EXPECT_EQ(data->dbVersion, "2.14");
}

TEST_F(ControllerPage, ARobotTheCatalogDoesNotKnowFallsBackToTheFirstOfItsModel) {
    ASSERT_TRUE(Open("KQ-A2", "LX40-S999"));
    EXPECT_EQ(page().controllerList()->currentText(), "KQ-A2");
    EXPECT_EQ(page().modelList()->currentText(), "LX40");
    EXPECT_EQ(data->robotName, "LX40-L05");
}

TEST_F(ControllerPage, AnotherModelListsItsRobotsAndRefreshesTheSummary) {
    ASSERT_TRUE(Open("KQ-A", "LX20-L06"));
    EXPECT_EQ(RowValue(kSettingRobot), "LX20-L06");
    ASSERT_TRUE(Choose(page().modelList(), "RD16"));
    EXPECT_EQ(Items(page().robotList()), QStringList({"RD16-L02", "RD16-L04", "RD16-L08"}));
    EXPECT_EQ(data->robotName, "RD16-L02");
    EXPECT_EQ(RowValue(kSettingRobot), "RD16-L02");
    EXPECT_EQ(params().K(46), 200);
    EXPECT_EQ(RowValue(kSettingStroke), "50.000");

    ASSERT_TRUE(Choose(page().robotList(), "RD16-L08"));
    EXPECT_EQ(data->robotName, "RD16-L08");
    EXPECT_EQ(params().K(46), 800);
    EXPECT_EQ(RowValue(kSettingRobot), "RD16-L08");
    EXPECT_EQ(RowValue(kSettingPayload), QString::number(params().K(76)));
    EXPECT_EQ(dialog->findChild<QLabel*>("payloadMax")->text(), "8");
}

TEST_F(ControllerPage, StrokeChoosesTheOverridesOfItsTableEntry) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    ASSERT_TRUE(page().strokeDataValid());
    const StrokeTable& table = page().strokeData();
    ASSERT_EQ(table.entryCount, 5);
    // Limits of LX28: 50, 200, 350, 500, 650 mm.
    const auto speedOf = [&table](int entry) {
        const StrokeEntry& e = table.entries[entry];
        for (int i = 0; i < e.overrideCount; ++i) {
            if (e.overrides[i].parameterNumber == 44)
                return e.overrides[i].value;
        }
        return -1;
    };
    ASSERT_NE(speedOf(3), speedOf(1));
    for (const auto& [text, entry] : {std::pair{"500.000", 3}, {"250.000", 1}, {"50.000", 0}}) {
        params().K(44) = -1;
        page().strokeEdit()->setText(text);
        EXPECT_EQ(params().K(44), speedOf(entry)) << text;
        EXPECT_EQ(page().maxSpeedEdit()->text(), FormatScaled(speedOf(entry), 2)) << text;
    }
}

TEST_F(ControllerPage, ConfirmedStrokeIsStoredInThousandths) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    TypeAndLeave(page().strokeEdit(), "150");
    EXPECT_EQ(page().strokeEdit()->text(), "150.000");
    EXPECT_EQ(params().K(43), 150000);
    EXPECT_EQ(params().K(2), 150000);
    EXPECT_EQ(RowValue(kSettingStroke), "150.000");
}

TEST_F(ControllerPage, PayloadSetsBothLoadsAndTheirAcceleration) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    const std::array<int32_t, 7> inputs = AccelInputsOf(params());
    int32_t expected = 0;
    ASSERT_TRUE(RobotCatalogInterface::DllAccCalc(3, inputs, expected));
    ASSERT_NE(expected, params().K(77)); // the catalog starts at the full load
    TypeAndLeave(page().payloadEdit(), "3");
    EXPECT_EQ(params().K(76), 3);
    EXPECT_EQ(params().K(78), 3);
    EXPECT_EQ(params().K(77), expected);
    EXPECT_EQ(params().K(79), expected);
    EXPECT_EQ(RowValue(kSettingPayload), "3");

    // Above the robot's maximum payload (K47 = 20) the edit clamps.
    TypeAndLeave(page().payloadEdit(), "250");
    EXPECT_EQ(params().K(76), 20);
}

TEST_F(ControllerPage, MaxSpeedComesBackUnchanged) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    EXPECT_TRUE(page().maxSpeedEdit()->isReadOnly());
    page().maxSpeedEdit()->SetRealValue(289.99);
    TypeAndLeave(page().maxSpeedEdit(), page().maxSpeedEdit()->text());
    EXPECT_EQ(params().K(44), 28999);
}

TEST_F(ControllerPage, CustomPointTypeRefusedStaysStandard) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    ASSERT_EQ(params().K(71), 2);
    ui.answers = {MsgResult::No};
    page().customButton()->click();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, "Custom Settings...OK?");
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(page().standardButton()->isChecked());
    EXPECT_FALSE(page().customButton()->isChecked());
    EXPECT_EQ(params().K(71), 2);
    EXPECT_EQ(RowValue(kSettingPointType), "Standard");
}

TEST_F(ControllerPage, CustomPointTypeAcceptedClearsTheOptimisation) {
    ASSERT_TRUE(Open("KQ-A", "LX28-L10"));
    ui.answers = {MsgResult::Yes};
    page().customButton()->click();
    EXPECT_TRUE(page().customButton()->isChecked());
    EXPECT_EQ(params().K(71), 1);
    EXPECT_EQ(RowValue(kSettingPointType), "Custom");
    EXPECT_EQ(RowValue(kSettingAccelOptimization), "Off");

    // Back to Standard asks nothing.
    page().standardButton()->click();
    EXPECT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(params().K(71), 2);
    EXPECT_EQ(RowValue(kSettingAccelOptimization), "On");
}

TEST_F(ControllerPage, PulseTrainModelsShowJogOnlyInsteadOfPointType) {
    ASSERT_TRUE(Open("KQ-B", "PX22-L10"));
    QWidget* jogOnly = dialog->findChild<QLabel*>("jogOnly");
    EXPECT_TRUE(jogOnly->isVisibleTo(&page()));
    EXPECT_FALSE(page().standardButton()->isVisibleTo(&page()));
    EXPECT_FALSE(page().customButton()->isVisibleTo(&page()));
    EXPECT_TRUE(page().modelList()->isVisibleTo(&page()));
}

TEST_F(ControllerPage, StandardModelsShowThePointType) {
    ASSERT_TRUE(Open("KQ-C", "GX30-L10"));
    EXPECT_FALSE(dialog->findChild<QLabel*>("jogOnly")->isVisibleTo(&page()));
    EXPECT_TRUE(page().standardButton()->isVisibleTo(&page()));
}

TEST_F(ControllerPage, TheStrokeTableIsHandedBackToTheCatalogAndKept) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString log = folder.filePath("catalog.log");
    qputenv("SPARSE_CATALOG_LOG", QFile::encodeName(log));
    RobotCatalogInterface::SetLibraryDirectoryForTests(QStringLiteral(SPARSE_CATALOG_DIR));
    const bool opened = Open("KQ-A", "LX20-L06");
    qunsetenv("SPARSE_CATALOG_LOG");
    ASSERT_TRUE(opened);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts),
              QStringList({"fill", "release"}));
    // The page works on its own copy, which the release leaves intact.
    ASSERT_TRUE(page().strokeDataValid());
    ASSERT_EQ(page().strokeData().entryCount, 1);
    EXPECT_EQ(params().K(44), 20000);
}
