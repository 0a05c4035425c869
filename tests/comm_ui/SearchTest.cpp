#include "LineFixture.h"
#include "tests/support/QtPrinters.h"

#include "comm/CommunicationWindow.h"
#include "platform/ResourceLibrary.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {

const QString kConnectionFailed = QStringLiteral("Failed to create a connection.");
const QString kNotFound = QStringLiteral("Appropriate controller not found.");
const QString kAssignmentFailed =
    QStringLiteral("Failed in automatic node number assignment.\nPlease retry after checking the "
                   "connection and power supply to the controller.");
const QString kCommunicationError = QStringLiteral(
    "\n\nCommunication error. Please retry, after ensure the controller connection.");

} // namespace

class SearchTest : public LineFixture {};

TEST_F(SearchTest, FindsEveryControllerWithItsNames) {
    StartDemoLine(3);
    const QList<SimController> controllers = sim->Controllers();

    ASSERT_TRUE(window->SearchControllers(nullptr));

    EXPECT_TRUE(ui.shown.isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(TakeCommands(), (QStringList{"@K99=0", "@?CONT", "@?COMR2"}));
    for (int n = 1; n <= kNodeCount; ++n) {
        const bool expected = n <= 3;
        EXPECT_EQ(window->nodePresent[n - 1], expected) << n;
        if (!expected) {
            EXPECT_TRUE(window->nodeModelName[n - 1].isEmpty()) << n;
            EXPECT_TRUE(window->nodeUserName[n - 1].isEmpty()) << n;
        }
    }
    for (const SimController& c : controllers) {
        EXPECT_EQ(window->nodeModelName[c.node() - 1], c.data.controllerName);
        EXPECT_EQ(window->nodeUserName[c.node() - 1], c.text(2));
        EXPECT_FALSE(c.text(2).isEmpty());
    }
    EXPECT_EQ(window->nodeModelName[0], QStringLiteral("KQ-A"));
    EXPECT_EQ(window->nodeModelName[1], QStringLiteral("KQ-C"));
}

TEST_F(SearchTest, ControllerEndingLinesWithCrAloneKeepsCleanNames) {
    QList<SimController> controllers = MakeDemoControllers(2);
    controllers[1].data.params().K(kDelimiterParam) = kDelimiterCr;
    controllers[1].text(2) = QStringLiteral("Cell 7 gripper");
    StartLine(controllers);

    ASSERT_TRUE(window->SearchControllers(nullptr));
    EXPECT_TRUE(window->nodePresent[1]);
    EXPECT_EQ(window->nodeModelName[1], controllers[1].data.controllerName);
    EXPECT_EQ(window->nodeUserName[1], QStringLiteral("Cell 7 gripper"));
    EXPECT_EQ(window->nodeUserName[0], controllers[0].text(2));
}

TEST_F(SearchTest, DuplicateNodesAreRenumberedAfterConfirmation) {
    QList<SimController> controllers = MakeDemoControllers(3);
    controllers[1].setNode(1); // KQ-C shares node 1 with KQ-A
    StartLine(controllers);
    ui.answers = {MsgResult::Ok};

    ASSERT_TRUE(window->SearchControllers(nullptr))
        << ui.texts().join(QLatin1Char('|')).toStdString() << " after "
        << sim->Log().Commands().join(QLatin1Char(' ')).toStdString();

    const QStringList commands = TakeCommands();
    EXPECT_EQ(commands, (QStringList{"@K99=0", "@?CONT", "@?COMR2", "@K75=0", "@SETID", "@K99=0",
                                     "@?CONT", "@?COMR2"}));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("Cannot create a connection. Multiple controllers with the same node "
                             "number exist.\nPerform the automatic node number assignment.\n\n"
                             "CAUTION: LCD Setting parameter will be set to \"Disable\"."));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(ui.shown[1].text, QStringLiteral("Automatic Node Number Assignment is completed.\n\n"
                                               "01 : KQ-A\n02 : KQ-C\n03 : KQ-B\n"));
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Information);

    EXPECT_TRUE(window->nodePresent[0] && window->nodePresent[1] && window->nodePresent[2]);
    for (const SimController& c : sim->Controllers())
        EXPECT_EQ(c.data.params().K(75), 0) << "LCD setting of node " << c.node();
}

TEST_F(SearchTest, RefusedRenumberingSendsNothingAndFails) {
    QList<SimController> controllers = MakeDemoControllers(2);
    controllers[1].setNode(1);
    StartLine(controllers);
    ui.answers = {MsgResult::Cancel};

    EXPECT_FALSE(window->SearchControllers(nullptr));
    EXPECT_EQ(TakeCommands(), (QStringList{"@K99=0", "@?CONT", "@?COMR2"}));
    EXPECT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(sim->Controllers()[1].node(), 1);
}

TEST_F(SearchTest, FailedRenumberingIsReported) {
    QList<SimController> controllers = MakeDemoControllers(2);
    controllers[1].setNode(1);
    StartLine(controllers);
    FaultRule silence;
    silence.kind = FaultRule::Kind::Silence;
    silence.pattern = QStringLiteral("@SETID");
    sim->AddFault(silence);
    ui.answers = {MsgResult::Ok};

    EXPECT_FALSE(window->SearchControllers(nullptr));
    EXPECT_EQ(TakeCommands(), (QStringList{"@K99=0", "@?CONT", "@?COMR2", "@K75=0", "@SETID"}));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[1].text, kAssignmentFailed);
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Warning);
}

namespace {

// Confirms the renumbering, but the port goes away while the question is up.
class ClosingWhileAsked : public ScriptedUserInteraction {
public:
    CPortHub* hub = nullptr;
    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons,
                          MsgIcon icon) override {
        if (buttons == MsgButtons::OkCancel && hub)
            hub->Close();
        return ScriptedUserInteraction::ShowMessage(parent, text, buttons, icon);
    }
};

} // namespace

TEST_F(SearchTest, PortClosedDuringTheQuestionFailsTheRenumbering) {
    QList<SimController> controllers = MakeDemoControllers(2);
    controllers[1].setNode(1);
    StartLine(controllers);
    ClosingWhileAsked asking;
    asking.hub = &window->portHub;
    asking.answers = {MsgResult::Ok};
    UserInteraction* fixtureUi = InstallUserInteraction(&asking);

    EXPECT_FALSE(window->SearchControllers(nullptr));
    InstallUserInteraction(fixtureUi);
    EXPECT_EQ(TakeCommands(), (QStringList{"@K99=0", "@?CONT", "@?COMR2"}));
    ASSERT_EQ(asking.shown.size(), 2);
    EXPECT_EQ(asking.shown[1].text, kAssignmentFailed);
}

TEST_F(SearchTest, ControllerUnknownToTheCatalogFailsTheWholeSearch) {
    QList<SimController> controllers = MakeDemoControllers(3);
    controllers[2].data.controllerName = QStringLiteral("ZX-9");
    StartLine(controllers);

    EXPECT_FALSE(window->SearchControllers(nullptr));
    EXPECT_EQ(ui.texts(), QStringList{kNotFound});
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
}

TEST_F(SearchTest, SilentLineFailsWithPlainMessage) {
    StartDemoLine(2);
    FaultRule silence;
    silence.kind = FaultRule::Kind::Silence;
    sim->AddFault(silence);

    EXPECT_FALSE(window->SearchControllers(nullptr));
    EXPECT_EQ(ui.texts(), QStringList{kConnectionFailed});
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(window->channel.lastError, QStringLiteral("TimeOut"));
    EXPECT_FALSE(window->channel.busy);
}

TEST_F(SearchTest, LineErrorFailsWithCommunicationErrorReason) {
    StartDemoLine(2);
    FaultRule hangUp;
    hangUp.kind = FaultRule::Kind::LineError;
    hangUp.pattern = QStringLiteral("@?CONT");
    sim->AddFault(hangUp);

    EXPECT_FALSE(window->SearchControllers(nullptr));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, kConnectionFailed + kCommunicationError);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Error);
    EXPECT_TRUE(CCommunicationWindow::IsLinkError(window->channel.lastFailure));
}

TEST_F(SearchTest, SearchOnClosedPortFailsQuietly) {
    StartDemoLine(1);
    window->portHub.Close();
    EXPECT_FALSE(window->SearchControllers(nullptr));
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(TakeCommands().isEmpty());
}

TEST_F(SearchTest, PortHeldByAnotherWindowGivesTheReason) {
    StartDemoLine(1);
    auto second = std::make_unique<CCommunicationWindow>();
    EXPECT_FALSE(second->OpenPort(CCommunicationWindow::kSerialPortKind,
                                  static_cast<uint16_t>(sim->ComNumber())));
    EXPECT_FALSE(second->portHub.openFlag);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral(
                              "Can not open the COM port.\nAnother program holds the port.")});
}

TEST_F(SearchTest, OpeningAnOpenPortKeepsItsSettings) {
    StartDemoLine(1);
    commsettag settings;
    window->portHub.GetCommSet(&settings);
    const uint16_t com = settings.comPort;
    settings.baudRate = 115200;
    window->portHub.SetCommSet(&settings);

    EXPECT_TRUE(window->OpenPort(CCommunicationWindow::kSerialPortKind, 5));
    commsettag after;
    window->portHub.GetCommSet(&after);
    EXPECT_EQ(after.comPort, com);
    EXPECT_EQ(after.baudRate, 115200);
}

TEST_F(SearchTest, BusyPanelCoversTheOwnerOnlyWhileSearching) {
    StartDemoLine(1);
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    for (const bool silent : {false, true}) {
        if (silent) {
            FaultRule silence;
            silence.kind = FaultRule::Kind::Silence;
            sim->AddFault(silence);
        }
        bool ownerDisabled = false;
        QString panelText;
        // Runs from inside the search's waits, which pump events.
        QTimer::singleShot(20, [&] {
            ownerDisabled = !owner.isEnabled();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible())
                    for (QLabel* label : top->findChildren<QLabel*>())
                        if (!label->text().isEmpty())
                            panelText = label->text();
        });
        EXPECT_EQ(window->SearchControllers(&owner), !silent);
        EXPECT_TRUE(ownerDisabled) << silent;
        EXPECT_EQ(panelText, QStringLiteral("Searching for controllers...")) << silent;
        EXPECT_TRUE(owner.isEnabled()) << silent;
    }
}

TEST_F(SearchTest, ClosingTheWindowReleasesThePort) {
    StartDemoLine(1);
    window.reset();
    window = OpenWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->SearchControllers(nullptr));
    EXPECT_TRUE(ui.shown.isEmpty());
}
