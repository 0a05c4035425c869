// The dialog before any controller is reached: texts, the port tree, the file chooser and the
// checks of OK.
#include "TransferFixture.h"

#include "controls/BusyPanel.h"
#include "controls/DrawnProgressBar.h"
#include "platform/ComPortTable.h"
#include "platform/DialogWindows.h"
#include "platform/PortWatcher.h"
#include "porthub/PortDevices.h"
#include "transfer/PortTree.h"
#include "transfer/TransportGuiParts.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kTooLong = QStringLiteral("The file name is too long.");
const QString kNotKqd = QStringLiteral("The file must have the extension .kqd.");
const QString kNoFile = QStringLiteral("File to be transferred is not selected.");
const QString kNoConnection = QStringLiteral("Connection is not selected.");

} // namespace

TEST_F(TransferDialogTest, DirectionSetsTitleAndFileLabel) {
    CDlgTransportV2& backup = OpenDialog(true);
    EXPECT_EQ(backup.windowTitle(), QString("Data Transfer [Controller to PC]"));
    EXPECT_EQ(backup.fileLabel()->text(), QString("Save File Name"));
    EXPECT_EQ(backup.treeLabel()->text(), QString("Select a connection for transfering data"));
    EXPECT_FALSE(backup.commSettingButton()->isVisible());
    EXPECT_TRUE(backup.fileField()->text().isEmpty());

    CDlgTransportV2& restore = OpenDialog(false);
    EXPECT_EQ(restore.windowTitle(), QString("Data Transfer [PC to Controller]"));
    EXPECT_EQ(restore.fileLabel()->text(), QString("File Name"));
    // 186 x 171 dialog units, wider where the title needs it.
    EXPECT_EQ(restore.height(), 278);
    EXPECT_EQ(restore.width(), qMax(279, DialogWindows::TitleWidth(restore.windowTitle())));
}

TEST_F(TransferDialogTest, TreeListsFreePortsUnderTheRootAndSkipsABusyOne) {
    StartLine(MakeDemoControllers(1));
    CDlgTransportV2& dlg = OpenDialog(true);
    QTreeWidget* tree = dlg.connectionTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QString("COM port (free)"));
    EXPECT_EQ(root->data(0, Qt::UserRole).toInt(), CDlgTransportV2::kItemRoot);
    EXPECT_TRUE(root->isExpanded());
    QStringList names;
    int previous = 0;
    for (int i = 0; i < root->childCount(); ++i) {
        EXPECT_EQ(root->child(i)->data(0, Qt::UserRole).toInt(), CDlgTransportV2::kItemPort);
        names << root->child(i)->text(0);
        const int number = root->child(i)->text(0).mid(3).split(' ').first().toInt();
        EXPECT_GT(number, previous);
        previous = number;
    }
    // The item format (393) and the word for the simulator come from the string table.
    const QString line = ComPortTable::DisplayName(sim->ComNumber());
    EXPECT_EQ(line, QString("COM%1 (simulator %2)")
                        .arg(sim->ComNumber())
                        .arg(QFileInfo(ComPortTable::DevicePath(sim->ComNumber())).fileName()));
    EXPECT_TRUE(names.contains(line)) << names.join(", ").toStdString();

    // While the dialog's own window holds the port, it is not free.
    ASSERT_TRUE(dlg.commWindow.OpenPort(CCommunicationWindow::kSerialPortKind,
                                        static_cast<uint16_t>(sim->ComNumber())));
    dlg.FillConnectionTree();
    names.clear();
    for (int i = 0; tree->topLevelItemCount() && i < tree->topLevelItem(0)->childCount(); ++i)
        names << tree->topLevelItem(0)->child(i)->text(0);
    EXPECT_FALSE(names.contains(line));
}

TEST_F(TransferDialogTest, TreeFollowsLinesComingAndGoingAndKeepsTheSelection) {
    CDlgTransportV2& dlg = OpenDialog(true);
    QTreeWidget* tree = dlg.connectionTree();
    const auto listed = [tree](int com) {
        return !tree->findItems(ComPortTable::DisplayName(com),
                                Qt::MatchExactly | Qt::MatchRecursive)
                    .isEmpty();
    };
    const auto selected = [tree] {
        const QList<QTreeWidgetItem*> items = tree->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text(0);
    };
    constexpr int kWaitMs = 5000;
    // Adapters come and go in /dev; the simulator's lines in a folder of their own.
    const CPortWatcher watcher;
    EXPECT_TRUE(watcher.watchedFolders().contains("/dev"))
        << watcher.watchedFolders().join(", ").toStdString();

    SimulatedLine first(MakeDemoControllers(1));
    ASSERT_TRUE(first.Start());
    const int firstCom = first.ComNumber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(firstCom); }, kWaitMs));
    EXPECT_TRUE(CPortWatcher().watchedFolders().contains(ComPortTable::SimulatorLineFolder()));
    const QList<QTreeWidgetItem*> items =
        tree->findItems(ComPortTable::DisplayName(firstCom), Qt::MatchExactly | Qt::MatchRecursive);
    EXPECT_EQ(items.first()->toolTip(0), first.LinkPath());
    ASSERT_TRUE(dlg.SelectConnection(firstCom));

    // While an attempt runs (the tree disabled) a new line waits; it comes once the tree is back.
    tree->setEnabled(false);
    SimulatedLine second(MakeDemoControllers(1));
    ASSERT_TRUE(second.Start());
    QTest::qWait(3 * CPortWatcher::kSettleMs);
    EXPECT_FALSE(listed(second.ComNumber()));
    tree->setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(second.ComNumber()); }, kWaitMs));
    EXPECT_EQ(selected(), ComPortTable::DisplayName(firstCom));

    second.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listed(second.ComNumber()); }, kWaitMs));
    EXPECT_EQ(selected(), ComPortTable::DisplayName(firstCom));
    first.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listed(firstCom); }, kWaitMs));
    EXPECT_TRUE(selected().isEmpty());
}

TEST(PortTree, ItemTipTellsWhatTheSystemKnowsOfTheDevice) {
    PortDeviceFacts adapter;
    adapter.manufacturer = "FTDI";
    adapter.product = "FT232R USB UART";
    adapter.serialNumber = "A50285BI";
    adapter.vendorId = 0x0403;
    adapter.productId = 0x6001;
    adapter.hasUsbIds = true;
    PortDeviceFacts productOnly;
    productOnly.product = "ttyS0";
    const PortDeviceFacts nothing;
    EXPECT_EQ(PortTree::ItemTip("/dev/ttyUSB0", &adapter),
              QString("/dev/ttyUSB0\nUSB ID: 0403:6001\nManufacturer: FTDI\n"
                      "Product: FT232R USB UART\nSerial number: A50285BI"));
    EXPECT_EQ(PortTree::ItemTip("/dev/ttyS0", &productOnly), QString("/dev/ttyS0\nProduct: ttyS0"));
    EXPECT_EQ(PortTree::ItemTip("/dev/ttyACM0", &nothing), QString("/dev/ttyACM0"));
    EXPECT_EQ(PortTree::ItemTip("/dev/ttyACM0", nullptr), QString("/dev/ttyACM0"));
}

TEST_F(TransferDialogTest, OkChecksFileThenConnection) {
    CDlgTransportV2& dlg = OpenDialog(true);
    dlg.okButton()->click();
    EXPECT_EQ(ui.texts(), QStringList{kNoFile});

    // No free port at all: the tree stays empty.
    dlg.commWindow.portHub.highestPort = 0;
    dlg.FillConnectionTree();
    EXPECT_EQ(dlg.connectionTree()->topLevelItemCount(), 0);
    ChooseFile(FilePath("a.kqd"));
    dlg.okButton()->click();
    EXPECT_EQ(ui.texts().last(), kNoConnection);
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(TransferDialogTest, RootItemIsNoConnection) {
    StartLine(MakeDemoControllers(1));
    CDlgTransportV2& dlg = OpenDialog(false);
    ChooseFile(ExistingFile("a.kqd"));
    dlg.connectionTree()->setCurrentItem(dlg.connectionTree()->topLevelItem(0));
    dlg.okButton()->click();
    // Double click on the root acts as OK as well.
    emit dlg.connectionTree()->itemDoubleClicked(dlg.connectionTree()->topLevelItem(0), 0);
    EXPECT_EQ(ui.texts(), (QStringList{kNoConnection, kNoConnection}));
    EXPECT_TRUE(sim->Log().Commands().isEmpty());
    EXPECT_TRUE(dlg.okButton()->isEnabled());
}

TEST_F(TransferDialogTest, ChooserKindFollowsTheDirection) {
    CDlgTransportV2& backup = OpenDialog(true);
    backup.transferFileName = FilePath("old.kqd");
    ChooseFile(QString()); // cancelled
    ASSERT_EQ(ui.fileRequests.size(), 1);
    const FileChoice save = ui.fileRequests.first();
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.filter, QString("Data File (*.kqd)|*.kqd||"));
    EXPECT_EQ(save.defaultExtension, QString("kqd"));
    EXPECT_EQ(save.initialPath, FilePath("old.kqd"));
    EXPECT_TRUE(backup.FileFieldText().isEmpty());
    EXPECT_TRUE(ui.shown.isEmpty());

    OpenDialog(false);
    ChooseFile(ExistingFile("in.kqd"));
    EXPECT_FALSE(ui.fileRequests.last().save);
    EXPECT_EQ(dialog->FileFieldText(), FilePath("in.kqd"));
}

TEST_F(TransferDialogTest, ChooserRefusesOtherExtensionsLongPathsAndMissingFiles) {
    // Each refusal says what is wrong: the extension, the length, a missing file.
    CDlgTransportV2& dlg = OpenDialog(false);
    ChooseFile(ExistingFile("good.kqd"));
    ChooseFile(FilePath("upper.KQD"));
    ChooseFile("/" + QString(300, 'x') + ".kqd");
    ChooseFile(FilePath("other.alr"));
    ChooseFile(FilePath("absent.kqd"));
    ASSERT_TRUE(QDir(FilePath(QString())).mkdir("folder.kqd"));
    ChooseFile(FilePath("folder.kqd"));
    EXPECT_EQ(ui.texts(), (QStringList{kNotKqd, kTooLong, kNotKqd,
                                       FilePath("absent.kqd") + "\nThe file does not exist.",
                                       FilePath("folder.kqd") + "\nThe file does not exist."}));
    EXPECT_EQ(dlg.FileFieldText(), FilePath("good.kqd"));
    for (const auto& shown : ui.shown) {
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
        EXPECT_EQ(shown.icon, MsgIcon::Warning);
    }
}

TEST_F(TransferDialogTest, LongPathIsShortenedInItsMiddle) {
    CDlgTransportV2& dlg = OpenDialog(true);
    const QString path = "/home/engineer/" + QString(12, 'd').repeated(8) + "/line3-node5.kqd";
    dlg.SetFileFieldText(path);
    const QString shown = dlg.fileField()->text();
    EXPECT_NE(shown, path);
    EXPECT_TRUE(shown.startsWith("/home/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("node5.kqd")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_EQ(dlg.FileFieldText(), path);
}

TEST_F(TransferDialogTest, BusyPanelArrowsPointTheWayTheDataFlows) {
    CDlgTransportV2& dlg = OpenDialog(true);
    auto* indicator = dynamic_cast<CPanelBusyIndicator*>(&dlg.busyIndicator());
    ASSERT_NE(indicator, nullptr);

    // Controller to PC: the arrows run left, towards the PC's icon.
    indicator->Show(QStringLiteral("Reading"), true);
    ASSERT_NE(indicator->panel(), nullptr);
    CDrawnProgressBar* bar = indicator->panel()->progressBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->style(), CDrawnProgressBar::Arrows);
    EXPECT_TRUE(bar->isReversed());
    EXPECT_FALSE(dlg.isEnabled());

    indicator->Show(QStringLiteral("Writing"), false);
    EXPECT_FALSE(indicator->panel()->progressBar()->isReversed());
    EXPECT_EQ(indicator->panel()->messageLabel()->text(), QStringLiteral("Writing"));
    indicator->Close();
    EXPECT_EQ(indicator->panel(), nullptr);
    EXPECT_TRUE(dlg.isEnabled());
}
