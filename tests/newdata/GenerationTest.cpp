#include "TransferFixture.h"

#include "newdata/DataAddNewDlg.h"

#include "transfer/DlgTransportGenerationV2.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <optional>

namespace {

// Acts on the new data dialog once each time it is shown.
class NewDataDriver : public QObject {
public:
    NewDataDriver() {
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, &NewDataDriver::poll);
        timer.start();
    }
    std::function<void(CDataAddNewDlg&)> action;
    int shown = 0;

private:
    void poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<CDataAddNewDlg*>(widget);
            if (!dialog || !dialog->isVisible() || dialog == handled)
                continue;
            handled = dialog;
            ++shown;
            if (action)
                action(*dialog);
            else
                dialog->reject();
            // An action that left the dialog open must not hang the test.
            if (dialog->isVisible())
                dialog->reject();
        }
    }
    QTimer timer;
    QPointer<CDataAddNewDlg> handled;
};

const QString kRobot = QStringLiteral("LX20-L06");

class Generation : public SimLineFixture {
protected:
    void TearDown() override {
        dialog.reset();
        SimLineFixture::TearDown();
    }

    // A KQ-A on node 1 carrying a robot of the catalog, in Normal Mode, with its option
    // settings in use.
    static SimController Controller(const QString& interfaceInfo = QStringLiteral("NPN"),
                                    const QString& model = QStringLiteral("KQ-A"),
                                    const QString& robot = kRobot) {
        SimController controller = MakeDemoController(1, model);
        controller.data.robotName = robot;
        controller.data.params().robotName = robot;
        controller.data.interfaceInfo = interfaceInfo;
        controller.data.params().K(80) = 1;
        controller.data.params().K(81) = 0;
        controller.data.params().K(82) = 1;
        return controller;
    }

    void Start(const SimController& controller) {
        StartSimLine({controller});
        OpenDialog();
    }

    void OpenDialog() {
        dialog = std::make_unique<CDlgTransportGenerationV2>();
        dialog->commWindow.channel.replyTimeoutMs = kLineTestTimeoutMs;
        dialog->show();
        ASSERT_TRUE(SelectLinePort());
    }

    bool SelectLinePort() { return dialog->SelectConnection(sim->ComNumber()); }

    // OK with node 1 picked; true when the dialog closed with OK.
    bool PressOk() {
        nodes.script = {NodeDialogDriver::Node(1)};
        dialog->okButton()->click();
        return dialog->result() == QDialog::Accepted && !dialog->isVisible();
    }

    // Confirms the new data dialog as it opened and keeps what it composed.
    void ConfirmNewData() {
        newData.action = [this](CDataAddNewDlg& shown) {
            shown.okButton()->click();
            composed = *shown.record();
        };
    }

    SimController Node1() const { return sim->Controllers().value(0); }

    std::unique_ptr<CDlgTransportGenerationV2> dialog;
    NodeDialogDriver nodes;
    ReviewDialogDriver reviews;
    NewDataDriver newData;
    std::optional<ControllerData> composed;
};

} // namespace

TEST_F(Generation, WindowHasNoFileAndItsOwnTitle) {
    Start(Controller());
    EXPECT_EQ(dialog->windowTitle(), "RobotData Initialize");
    EXPECT_EQ(dialog->treeLabel()->text(), "Select a connection for transfering data");
    EXPECT_FALSE(dialog->fileField()->isVisible());
    EXPECT_FALSE(dialog->browseButton()->isVisible());
    EXPECT_FALSE(dialog->commSettingButton()->isVisible());
    ASSERT_NE(dialog->verifyAfterWriteBox(), nullptr);
    EXPECT_TRUE(dialog->verifyAfterWriteBox()->isVisible());
    EXPECT_FALSE(dialog->verifyAfterWriteBox()->isChecked());
}

TEST_F(Generation, CancellingTheNewDataDialogEndsQuietly) {
    Start(Controller());
    newData.action = [](CDataAddNewDlg& shown) { shown.cancelButton()->click(); };
    EXPECT_FALSE(PressOk());
    EXPECT_EQ(newData.shown, 1);
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join('|').toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->okButton()->isEnabled());
    EXPECT_TRUE(Writes().isEmpty());
    EXPECT_FALSE(dialog->procedure().preparedData);
}

TEST_F(Generation, TheNewDataDialogOpensOnTheNodesControllerAndRobot) {
    Start(Controller());
    QString controller;
    QString robot;
    bool fixed = true;
    newData.action = [&](CDataAddNewDlg& shown) {
        controller = shown.controllerPage.controllerList()->currentText();
        robot = shown.controllerPage.robotList()->currentText();
        fixed = !shown.controllerPage.controllerList()->isEnabled();
        shown.reject();
    };
    PressOk();
    EXPECT_EQ(controller, "KQ-A");
    EXPECT_EQ(robot, kRobot);
    EXPECT_TRUE(fixed);
}

TEST_F(Generation, AnotherModelIsRefusedEvenWhenARestoreWouldAskInstead) {
    // A restore of KQ-A data into a KQ-A2 asks; composing KQ-A data for a KQ-A2 is refused.
    Start(Controller(QStringLiteral("NPN"), QStringLiteral("KQ-A2"), QStringLiteral("LX28-L10")));
    newData.action = [](CDataAddNewDlg& shown) {
        QComboBox* controllers = shown.controllerPage.controllerList();
        controllers->setCurrentIndex(controllers->findText("KQ-A"));
        shown.controllerPage.ControllerSelected();
        shown.okButton()->click();
    };
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, "Controller name mismatch.\nSource:KQ-A / Destination:KQ-A2");
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(Writes().isEmpty());
    EXPECT_FALSE(dialog->procedure().preparedData);
}

TEST_F(Generation, RefusingTheRunModeQuestionWritesNothing) {
    Start(Controller());
    ConfirmNewData();
    ui.answers = {MsgResult::No};
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(ui.shown[0].text.startsWith("The Run Mode will be changed to Debug Mode"));
    EXPECT_TRUE(ui.shown[0].text.endsWith("Current Run Mode: Normal Mode"));
    EXPECT_TRUE(Writes().isEmpty());
}

TEST_F(Generation, AnotherRobotIsAskedFor) {
    Start(Controller());
    newData.action = [this](CDataAddNewDlg& shown) {
        QComboBox* robots = shown.controllerPage.robotList();
        robots->setCurrentIndex(robots->findText("LX20-L12"));
        shown.controllerPage.RobotSelected();
        shown.okButton()->click();
        composed = *shown.record();
    };
    ui.answers = {MsgResult::No};
    EXPECT_FALSE(PressOk());
    EXPECT_EQ(
        ui.texts().value(0),
        "Robot name mismatch. Do you want to proceed?\nSource:LX20-L12 / Destination:LX20-L06");
    EXPECT_TRUE(Writes().isEmpty());
}

TEST_F(Generation, WritesTheComposedDataAndKeepsTheOptionSettings) {
    const SimController before = Controller();
    Start(before);
    ConfirmNewData();
    dialog->verifyAfterWriteBox()->click();
    ui.answers = {MsgResult::Yes, MsgResult::Ok, MsgResult::Ok};
    ASSERT_TRUE(PressOk()) << ui.texts().join('|').toStdString();
    ASSERT_TRUE(composed.has_value());
    // The preview listed the composed data's changes, and the read-back found them all.
    ASSERT_EQ(reviews.shown.size(), 1);
    EXPECT_EQ(reviews.shown[0].title, "Changes to Write");
    EXPECT_TRUE(reviews.shown[0].summary.startsWith("Items to be written: "));
    EXPECT_FALSE(reviews.shown[0].rows.isEmpty());
    const QStringList texts = ui.texts();
    ASSERT_EQ(texts.size(), 4) << texts.join('|').toStdString();
    EXPECT_EQ(texts[2], "Verified: the controller holds the written data.");
    EXPECT_EQ(texts[1], "Controller: KQ-A  (COM" + QString::number(sim->ComNumber()) +
                            " - Node No.:01)\nConfirm the initialize robot data. Do you want to "
                            "proceed?\n\nCAUTION: For safety, please ensure that robot is not in "
                            "motion.");
    EXPECT_EQ(ui.shown[1].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(texts[3].startsWith("Data transfer is completed.")) << texts[3].toStdString();
    EXPECT_EQ(ui.shown[3].icon, MsgIcon::Information);
    EXPECT_FALSE(dialog->procedure().preparedData);

    const ControllerData& after = Node1().data;
    // The composer disabled the option; the controller keeps its own.
    EXPECT_EQ(composed->params().K(80), 0);
    for (const int k : {80, 81, 82})
        EXPECT_EQ(after.params().K(k), before.data.params().K(k)) << "K" << k;
    // Everything else is what was composed.
    for (int k = 1; k <= kKParamCount; ++k) {
        if (k == 38 || (k >= 80 && k <= 82) || (k >= 34 && k <= 37) || k == 39 || k == 99)
            continue;
        EXPECT_EQ(after.params().K(k), composed->params().K(k)) << "K" << k;
    }
    for (int h = 0; h < 8; ++h)
        EXPECT_EQ(after.params().H(h), composed->params().H(h)) << "H" << h;
    EXPECT_EQ(after.params().K(38), 1);
    EXPECT_EQ(after.robotName, composed->robotName);
    for (const PointRecord& point : after.points)
        EXPECT_FALSE(point.inUse());
    // A controller without EtherNet/IP keeps its addresses.
    EXPECT_EQ(Node1().text(9), before.text(9));
    EXPECT_EQ(Node1().text(8), before.text(8));
    EXPECT_EQ(Node1().text(7), before.text(7));
}

TEST_F(Generation, EtherNetIpControllerGetsTheNetworkDefaults) {
    SimController controller = Controller(QStringLiteral("EtherNet/IP"));
    controller.text(9) = "0a000005";
    controller.text(8) = "ffff0000";
    controller.text(7) = "0a000001";
    Start(controller);
    ConfirmNewData();
    ui.answers = {MsgResult::Yes, MsgResult::Ok, MsgResult::Ok};
    ASSERT_TRUE(PressOk()) << ui.texts().join('|').toStdString();
    EXPECT_EQ(Node1().text(9), "c0a80001");
    EXPECT_EQ(Node1().text(8), "ffffff00");
    EXPECT_EQ(Node1().text(7), "c0a800fe");
}

TEST_F(Generation, ALostControllerIsReportedAndKeepsTheDialogOpen) {
    Start(Controller());
    newData.action = [this](CDataAddNewDlg& shown) {
        shown.okButton()->click();
        // The controller goes silent before the write.
        sim->Stop();
    };
    ui.answers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_FALSE(PressOk());
    ASSERT_FALSE(ui.shown.isEmpty());
    EXPECT_EQ(ui.shown.last().text, "Failed to reconnect with controller.");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->procedure().preparedData);
}

TEST_F(Generation, AFailedWriteIsReportedWithItsReasonAndReleasesTheData) {
    const SimController before = Controller();
    Start(before);
    FaultRule refuseWrites;
    refuseWrites.kind = FaultRule::Kind::Silence;
    refuseWrites.pattern = QStringLiteral("@K*.*=*"); // parameter writes to a node
    sim->AddFault(refuseWrites);
    ConfirmNewData();
    ui.answers = {MsgResult::Yes, MsgResult::Ok, MsgResult::Ok};
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(ui.shown.size(), 3) << ui.texts().join('|').toStdString();
    const QString failure = ui.shown[2].text;
    EXPECT_TRUE(failure.startsWith("Data transfer failed.")) << failure.toStdString();
    // The reason follows the failure: the controller did not answer.
    EXPECT_GT(failure.size(), QString("Data transfer failed.").size()) << failure.toStdString();
    EXPECT_EQ(ui.shown[2].icon, MsgIcon::Error);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->okButton()->isEnabled());
    EXPECT_FALSE(dialog->procedure().preparedData);
    EXPECT_EQ(dialog->commWindow.portHub.openFlag, 0);
    EXPECT_EQ(Node1().data.params().K(20), before.data.params().K(20));
}

TEST_F(Generation, ACrOnlyControllerIsInitializedTwice) {
    // K37 = 0: the controller ends its replies in CR alone. The first generation leaves it
    // without points, so the second one reads an empty point list.
    SimController controller = Controller();
    controller.data.params().K(kDelimiterParam) = kDelimiterCr;
    PointRecord& first = controller.data.points[0];
    first.number = 1;
    first.runType = 1;
    first.position = 1234;
    Start(controller);
    ConfirmNewData();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ui.shown.clear();
        ui.answers = {MsgResult::Yes, MsgResult::Ok, MsgResult::Ok};
        ASSERT_TRUE(PressOk()) << ui.texts().join('|').toStdString();
        ASSERT_EQ(ui.shown.size(), 3) << ui.texts().join('|').toStdString();
        EXPECT_TRUE(ui.shown[0].text.startsWith("The Run Mode will be changed"));
        EXPECT_TRUE(ui.shown[2].text.startsWith("Data transfer is completed."));
        OpenDialog();
    }
    const ControllerData& after = Node1().data;
    EXPECT_EQ(after.params().K(kDelimiterParam), kDelimiterCr);
    EXPECT_EQ(after.robotName, composed->robotName);
    for (const PointRecord& point : after.points)
        EXPECT_FALSE(point.inUse());
}
