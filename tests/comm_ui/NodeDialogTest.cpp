#include "comm/CommandChannel.h"
#include "comm/ConnectableDialog.h"
#include "comm/DlgSerialConnect.h"
#include "platform/TemplateLoader.h"
#include "porthub/PortHub.h"
#include "tests/support/QtPrinters.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class NodeDialogTest : public ::testing::Test {
protected:
    void Fill(std::initializer_list<int> nodes, int marked) {
        for (const int n : nodes) {
            dialog.nodePresent[n - 1] = true;
            dialog.nodeModelName[n - 1] = QStringLiteral("KQ-%1").arg(QChar('A' + n));
            dialog.nodeUserName[n - 1] = QStringLiteral("Axis %1").arg(n);
        }
        dialog.selectedNode = static_cast<uint8_t>(marked);
    }

    void Show() {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ASSERT_NE(dialog.nodeList, nullptr);
    }

    QPushButton* Button(int id) { return FindControl<QPushButton>(&dialog, id); }
    QTreeWidgetItem* Row(const QString& node) {
        for (int i = 0; i < dialog.nodeList->topLevelItemCount(); ++i)
            if (dialog.nodeList->topLevelItem(i)->text(1) == node)
                return dialog.nodeList->topLevelItem(i);
        return nullptr;
    }
    void ClickRow(QTreeWidgetItem* row) {
        const QRect rect = dialog.nodeList->visualItemRect(row);
        QTest::mouseClick(dialog.nodeList->viewport(), Qt::LeftButton, {}, rect.center());
    }

    CDlgSerialConnect dialog;
};

} // namespace

TEST_F(NodeDialogTest, MarkedConnectionIsSelectedButCannotBeChosenAgain) {
    Fill({1, 3, 5}, 3);
    Show();
    ASSERT_EQ(dialog.nodeList->topLevelItemCount(), 3);
    QTreeWidgetItem* three = Row(QStringLiteral("03"));
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->text(0), QStringLiteral("*"));
    EXPECT_EQ(three->text(2), QStringLiteral("KQ-D"));
    EXPECT_EQ(three->text(3), QStringLiteral("Axis 3"));
    EXPECT_TRUE(three->isSelected());
    EXPECT_TRUE(Row(QStringLiteral("01"))->text(0).isEmpty());
    EXPECT_FALSE(Button(CDlgSerialConnect::kIdOk)->isEnabled());

    ClickRow(three);
    EXPECT_FALSE(Button(CDlgSerialConnect::kIdOk)->isEnabled());

    ClickRow(Row(QStringLiteral("05")));
    ASSERT_TRUE(Button(CDlgSerialConnect::kIdOk)->isEnabled());
    QTest::mouseClick(Button(CDlgSerialConnect::kIdOk), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedNode, 5);
    EXPECT_FALSE(dialog.researchRequested);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(NodeDialogTest, WithoutMarkOkWaitsForASelection) {
    Fill({2, 4}, 0);
    Show();
    EXPECT_TRUE(dialog.nodeList->selectedItems().isEmpty());
    EXPECT_FALSE(Button(CDlgSerialConnect::kIdOk)->isEnabled());
    ClickRow(Row(QStringLiteral("04")));
    EXPECT_TRUE(Button(CDlgSerialConnect::kIdOk)->isEnabled());
    QTest::mouseClick(Button(CDlgSerialConnect::kIdOk), Qt::LeftButton);
    EXPECT_EQ(dialog.selectedNode, 4);
}

TEST_F(NodeDialogTest, DoubleClickOnARowActsAsOkOnThatNode) {
    Fill({1, 3, 5}, 3);
    Show();
    const auto doubleClick = [this](const QString& node) {
        const QPoint centre = dialog.nodeList->visualItemRect(Row(node)).center();
        QTest::mouseClick(dialog.nodeList->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(dialog.nodeList->viewport(), Qt::LeftButton, {}, centre);
    };
    // The present connection cannot be chosen again, by a double click either.
    doubleClick(QStringLiteral("03"));
    EXPECT_TRUE(dialog.isVisible());
    doubleClick(QStringLiteral("05"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedNode, 5);
    EXPECT_FALSE(dialog.researchRequested);
}

TEST_F(NodeDialogTest, EmptyTableLeavesResearchAndCancel) {
    Show();
    EXPECT_EQ(dialog.nodeList->topLevelItemCount(), 0);
    EXPECT_FALSE(Button(CDlgSerialConnect::kIdOk)->isEnabled());
    EXPECT_TRUE(Button(CDlgSerialConnect::kIdResearch)->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());

    QTest::mouseClick(Button(CDlgSerialConnect::kIdResearch), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.researchRequested);
    EXPECT_EQ(dialog.selectedNode, 0);

    // Shown again: the request is cleared, and Cancel rejects.
    Show();
    EXPECT_FALSE(dialog.researchRequested);
    QTest::mouseClick(Button(CDlgSerialConnect::kIdCancel), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(NodeDialogTest, EnterActsOnlyWhileOkIsEnabled) {
    Fill({1, 2}, 1);
    Show();
    QTest::keyClick(dialog.nodeList, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.nodeList, Qt::Key_Down);
    ASSERT_TRUE(Row(QStringLiteral("02"))->isSelected());
    QTest::keyClick(dialog.nodeList, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedNode, 2);
}

TEST_F(NodeDialogTest, TitleAndResearchFollowTheMembers) {
    dialog.nodeSelectMode = true;
    dialog.researchAllowed = false;
    Show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Node Select"));
    EXPECT_FALSE(dialog.titleIcon.isNull());
    EXPECT_FALSE(Button(CDlgSerialConnect::kIdResearch)->isEnabled());
    EXPECT_EQ(dialog.nodeList->headerItem()->text(1), QStringLiteral("Node"));
    EXPECT_EQ(dialog.nodeList->headerItem()->text(3), QStringLiteral("User Specified Name"));
    dialog.reject();

    dialog.nodeSelectMode = false;
    dialog.researchAllowed = true;
    Show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Switch Controller"));
    EXPECT_FALSE(dialog.titleIcon.isNull());
    EXPECT_TRUE(Button(CDlgSerialConnect::kIdResearch)->isEnabled());
    dialog.reject();
}

TEST_F(NodeDialogTest, LooksTidy) {
    Fill({1, 2, 3, 7, 12}, 2);
    dialog.nodeUserName[6] = QStringLiteral("Press line, left feeder");
    dialog.nodeSelectMode = true;
    Show();
    ClickRow(Row(QStringLiteral("07")));
    const QImage image = dialog.grab().toImage();
    EXPECT_EQ(image.size(), dialog.size());
    image.save(QStringLiteral("/tmp/velmora_node_select.png"));
    // Every button lies inside the dialog, right of the list.
    for (const int id :
         {CDlgSerialConnect::kIdResearch, CDlgSerialConnect::kIdOk, CDlgSerialConnect::kIdCancel}) {
        const QRect geometry = Button(id)->geometry();
        EXPECT_TRUE(dialog.rect().contains(geometry)) << id;
        EXPECT_GT(geometry.left(), dialog.nodeList->geometry().right()) << id;
    }
}

TEST(ConnectableDialogTest, EnterAndEscapeDoNotCloseIt) {
    CConnectableDialog dialog(CDlgSerialConnect::kTemplateId);
    CPortHub hub;
    CCommandChannel channel(&hub);
    ASSERT_TRUE(dialog.CreateConnected(CDlgSerialConnect::kTemplateId, nullptr, nullptr, &hub,
                                       &channel, 3));
    EXPECT_TRUE(dialog.isOpen);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* ok = FindControl<QPushButton>(&dialog, 1);
    auto* cancel = FindControl<QPushButton>(&dialog, 2);
    ASSERT_TRUE(ok && cancel);
    QSignalSpy okClicks(ok, &QPushButton::clicked);
    QSignalSpy cancelClicks(cancel, &QPushButton::clicked);

    QTest::keyClick(&dialog, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Enter);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QTest::keyClick(cancel, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(okClicks.count(), 0);
    EXPECT_EQ(cancelClicks.count(), 0);
    // Other keys still work: space presses the focused button.
    QTest::keyClick(cancel, Qt::Key_Space);
    EXPECT_EQ(cancelClicks.count(), 1);

    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.isOpen);
}

TEST(ConnectableDialogTest, ButtonsAddedAfterTheTemplateIgnoreEnterToo) {
    CConnectableDialog dialog(CDlgSerialConnect::kTemplateId);
    CPortHub hub;
    CCommandChannel channel(&hub);
    ASSERT_TRUE(dialog.CreateConnected(CDlgSerialConnect::kTemplateId, nullptr, nullptr, &hub,
                                       &channel, 1));
    auto* added = new QPushButton(QStringLiteral("Read"), &dialog);
    QSignalSpy clicks(added, &QPushButton::clicked);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    added->setFocus();
    QTest::keyClick(added, Qt::Key_Return);
    QTest::keyClick(added, Qt::Key_Escape);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(added, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ConnectableDialogTest, ForwardsPortNotificationsToItsChannel) {
    CConnectableDialog dialog(0);
    CPortHub hub;
    CCommandChannel channel(&hub);
    // Without a channel the notification goes nowhere.
    QCoreApplication::postEvent(&dialog, new CPortHubEvent(kNotifyLineError));
    QCoreApplication::processEvents();

    ASSERT_TRUE(dialog.CreateConnected(0, nullptr, nullptr, &hub, &channel, 4));
    channel.busy = true;
    channel.replyNode = 4;
    QCoreApplication::postEvent(&dialog, new CPortHubEvent(kNotifyLineError));
    QCoreApplication::processEvents();
    EXPECT_EQ(channel.PendingText(), QStringLiteral("NG.4=49\r\n"));
    channel.busy = false;
}
