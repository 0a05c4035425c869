// The launcher window over recording actions: layout from the banner, captions, hidden
// controls, the buttons' actions and the window menu.
#include "app/DlgLauncher.h"
#include "controls/ControlRegistry.h"
#include "controls/IconButton.h"
#include "data/RobotCatalogInterface.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"
#include "tooltip/HtmlTooltip.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResourceLibrary::LoadFile(QStringLiteral(LANGRES_PATH))); }
    void TearDown() override {
        ResourceLibrary::Unload();
        RobotCatalogInterface::SetLibraryDirectoryForTests(QString());
    }

    // Actions that only note which one ran and over which parent.
    LauncherActions Recording() {
        LauncherActions actions;
        auto note = [this](const char* name) {
            return [this, name](QWidget* parent) {
                ran << QString::fromLatin1(name);
                parents << parent;
            };
        };
        actions.backup = note("backup");
        actions.restore = note("restore");
        actions.alarmHistory = note("alarms");
        actions.generation = note("generation");
        actions.about = note("about");
        return actions;
    }

    QStringList ran;
    QList<QWidget*> parents;
};

TEST_F(LauncherTest, ShippedBannerLaysOutTheWindow) {
    CDlgLauncher launcher(Recording());
    const int w = 311, h = 175;
    EXPECT_EQ(launcher.bannerLabel()->pixmap().size(), QSize(w, h));
    EXPECT_EQ(launcher.size(), QSize(w + 20, h + 308));
    EXPECT_EQ(launcher.bannerLabel()->geometry(), QRect(10, 10, w, h));
    const int ids[] = {CDlgLauncher::kIdBackup, CDlgLauncher::kIdRestore, CDlgLauncher::kIdAlarm,
                       CDlgLauncher::kIdGeneration};
    const int tops[] = {h + 15, h + 72, h + 129, h + 186};
    for (int i = 0; i < 4; ++i) {
        CIconButton* button = launcher.workflowButton(ids[i]);
        ASSERT_NE(button, nullptr) << ids[i];
        EXPECT_EQ(button->geometry(), QRect(10, tops[i], w, 52)) << ids[i];
    }
    EXPECT_EQ(launcher.exitButton()->geometry(), QRect(10, h + 258, w, 40));
    EXPECT_EQ(launcher.versionLabel()->geometry(), QRect(20, h - 15, w - 20, 20));
}

TEST_F(LauncherTest, BannerOfAnotherSizeReLaysEverything) {
    QPixmap wide(500, 120);
    wide.fill(Qt::darkCyan);
    CDlgLauncher launcher(Recording(), nullptr, wide);
    EXPECT_EQ(launcher.size(), QSize(520, 120 + 308));
    EXPECT_EQ(launcher.workflowButton(CDlgLauncher::kIdGeneration)->geometry(),
              QRect(10, 120 + 186, 500, 52));
    EXPECT_EQ(launcher.exitButton()->geometry(), QRect(10, 120 + 258, 500, 40));
    EXPECT_EQ(launcher.versionLabel()->geometry(), QRect(20, 105, 480, 20));
}

// Every caption lies inside its button, clear of the frame, at the default font and at 12 pt;
// the buttons and "Exit" share one width, the window is 20 wider and the banner keeps its size,
// centred over the buttons.
TEST_F(LauncherTest, CaptionsFitTheButtonsAtALargerFont) {
    const QFont standard = QApplication::font();
    QFont large = standard;
    large.setPointSize(12);
    for (const QFont& font : {standard, large}) {
        QApplication::setFont(font);
        CDlgLauncher launcher(Recording());
        launcher.show();
        QCoreApplication::processEvents();
        const int width = launcher.exitButton()->width();
        EXPECT_GE(width, 311);
        EXPECT_EQ(launcher.width(), width + 20);
        const QRect banner = launcher.bannerLabel()->geometry();
        EXPECT_EQ(banner.size(), QSize(311, 175));
        EXPECT_EQ(banner.center().x(), launcher.exitButton()->geometry().center().x());
        EXPECT_EQ(launcher.versionLabel()->geometry(),
                  QRect(banner.left() + 10, 175 - 15, 291, 20));
        for (int id : {CDlgLauncher::kIdBackup, CDlgLauncher::kIdRestore, CDlgLauncher::kIdAlarm,
                       CDlgLauncher::kIdGeneration}) {
            CIconButton* button = launcher.workflowButton(id);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->width(), width);
            EXPECT_EQ(button->font().pointSize(), font.pointSize());
            // The caption is drawn centred in the area right of the icon's column.
            const IconButtonLayout layout = ComputeIconButtonLayout(
                button->size(), button->iconPixelSize(), true, CIconButton::IconLeft);
            QRect caption(QPoint(), button->fontMetrics()
                                        .boundingRect(QRect(), Qt::TextShowMnemonic, button->text())
                                        .size());
            caption.moveCenter(layout.captionArea.center());
            const QRect content = button->rect().adjusted(4, 4, -4, -4);
            const int iconRight = layout.iconPos.x() + button->iconPixelSize().width();
            EXPECT_GT(caption.left(), iconRight) << id << " at " << font.pointSize();
            EXPECT_LE(caption.right(), content.right()) << id << " at " << font.pointSize();
        }
        if (font == large) {
            EXPECT_GT(width, 311) << "the transfer captions need more room at 12 pt";
        }
    }
    QApplication::setFont(standard);
}

TEST_F(LauncherTest, CaptionsTooltipsAndIconsComeFromTheCommandStrings) {
    CDlgLauncher launcher(Recording());
    struct Expected {
        int id;
        const char* caption;
        const char* tip;
    };
    // The captions with the access keys the launcher gives them (Alt+D, Alt+T, ...).
    const Expected expected[] = {{CDlgLauncher::kIdBackup, "&Data Transfer [Controller to PC]",
                                  "Transfer controller data to PC and save it to a file."},
                                 {CDlgLauncher::kIdRestore, "Data &Transfer [PC to Controller]",
                                  "Transfer a data file on PC to controller."},
                                 {CDlgLauncher::kIdAlarm, "&Obtain Alarm History",
                                  "Obtain the Alarm History of controller."},
                                 {CDlgLauncher::kIdGeneration, "&Initialize robot data",
                                  "Initialize All the parameters and point data."}};
    for (const Expected& e : expected) {
        CIconButton* button = launcher.workflowButton(e.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(e.caption));
        EXPECT_EQ(launcher.ToolTipText(e.id), QString::fromLatin1(e.tip));
        EXPECT_TRUE(button->toolTip().isEmpty()) << "only the launcher's own tip window shows tips";
        EXPECT_FALSE(button->icon.isNull()) << e.id;
        EXPECT_EQ(button->iconAlign, CIconButton::IconLeft);
        EXPECT_TRUE(button->useTheme);
        EXPECT_FALSE(button->toggle);
    }
    EXPECT_EQ(launcher.windowTitle(), QStringLiteral("Velmora Free Edition"));
    EXPECT_EQ(launcher.exitButton()->text(), QStringLiteral("&Exit"));
}

TEST_F(LauncherTest, TipShowsOnlyWhereTheButtonCanBeReached) {
    CDlgLauncher launcher(Recording());
    launcher.show();
    launcher.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&launcher));
    CHtmlTooltip* tips = launcher.tooltip();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->initialDelay(), 500);
    EXPECT_EQ(tips->displayTime(), 5000);
    EXPECT_EQ(tips->backgroundEffect(), 13);
    EXPECT_EQ(tips->granularity(), 5);
    EXPECT_EQ(tips->middleColor(), QColor(0xF0, 0xF7, 0xFF));

    qint64 now = 0;
    QWidget* restore = launcher.workflowButton(CDlgLauncher::kIdRestore);
    const QPoint onRestore = restore->mapToGlobal(restore->rect().center());
    tips->SetFollowTimerActive(false);
    tips->SetClock([&] { return now; });
    tips->SetCursorSource([&] { return onRestore; });
    // Rests on the button for a second, the mouse arriving at the first tick.
    const auto rest = [&] {
        for (int i = 0; i <= 10; ++i) {
            now += 100;
            tips->Tick();
            if (i == 3) {
                EXPECT_FALSE(tips->isTipShown()) << "before the initial delay";
            }
        }
        return tips->isTipShown();
    };
    ASSERT_TRUE(rest());
    EXPECT_EQ(tips->tipControl(), restore);
    EXPECT_EQ(tips->tipText(), QStringLiteral("Transfer a data file on PC to controller."));

    // A modal dialog over the launcher (as the node selection or a workflow dialog): the tip
    // goes and none shows, though the button lies under the mouse behind the dialog.
    auto* modal = new QDialog(&launcher);
    modal->setWindowModality(Qt::ApplicationModal);
    modal->setGeometry(QRect(onRestore - QPoint(60, 40), QSize(120, 80)));
    modal->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(modal));
    EXPECT_FALSE(rest());
    EXPECT_FALSE(tips->isVisible());
    delete modal;
    launcher.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&launcher));
    EXPECT_TRUE(rest());

    // A window that stays on top covers the button, the launcher still active: no tip either.
    QWidget cover(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    cover.setGeometry(QRect(onRestore - QPoint(30, 20), QSize(60, 40)));
    cover.show();
    launcher.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&launcher));
    EXPECT_FALSE(rest());
    cover.hide();
    EXPECT_TRUE(rest());

    launcher.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(rest());
}

TEST_F(LauncherTest, TemplateKeepsItsOwnCaptionsUntilTheLauncherReplacesThem) {
    RegisterControlClasses();
    QDialog bare;
    ASSERT_TRUE(LoadDialogTemplate(CDlgLauncher::kTemplateId, &bare));
    EXPECT_TRUE(bare.windowTitle().isEmpty());
    const QList<QPair<int, QString>> captions = {
        {CDlgLauncher::kIdBackup, "Back Up Data from Controller"},
        {CDlgLauncher::kIdRestore, "Restore Data to Controller"},
        {CDlgLauncher::kIdAlarm, "Alarm History"},
        {CDlgLauncher::kIdGeneration, "Generation"},
        {CDlgLauncher::kIdDontShowAgain, "Don't show this Again."},
        {CDlgLauncher::kIdLaunch, "Launch Velmora"},
        {CDlgLauncher::kIdExit, "Exit"}};
    for (const auto& [id, caption] : captions) {
        auto* button = FindControl<QAbstractButton>(&bare, id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), caption) << id;
    }
    for (int id : {CDlgLauncher::kIdBanner, CDlgLauncher::kIdVersion})
        EXPECT_NE(FindControl<QLabel>(&bare, id), nullptr) << id;
}

TEST_F(LauncherTest, UnusedTemplateControlsNeverAppear) {
    CDlgLauncher launcher(Recording());
    launcher.show();
    QCoreApplication::processEvents();
    for (int id : {CDlgLauncher::kIdDontShowAgain, CDlgLauncher::kIdLaunch}) {
        QWidget* control = FindControlWidget(&launcher, id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_FALSE(control->isVisible()) << id;
    }
    EXPECT_TRUE(launcher.versionLabel()->isVisible());
}

TEST_F(LauncherTest, ButtonsRunTheirWorkflowsOverTheLauncher) {
    CDlgLauncher launcher(Recording());
    launcher.show();
    for (int id : {CDlgLauncher::kIdBackup, CDlgLauncher::kIdRestore, CDlgLauncher::kIdAlarm,
                   CDlgLauncher::kIdGeneration})
        QTest::mouseClick(launcher.workflowButton(id), Qt::LeftButton);
    EXPECT_EQ(ran, (QStringList{"backup", "restore", "alarms", "generation"}));
    for (QWidget* parent : parents)
        EXPECT_EQ(parent, &launcher);
    EXPECT_TRUE(launcher.isVisible());
    QTest::mouseClick(launcher.exitButton(), Qt::LeftButton);
    EXPECT_EQ(launcher.result(), QDialog::Rejected);
    EXPECT_FALSE(launcher.isVisible());
}

TEST_F(LauncherTest, WindowMenuStartsWithAboutAndASeparator) {
    CDlgLauncher launcher(Recording());
    launcher.show();
    QMenu* menu = launcher.BuildWindowMenu();
    const QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("&About..."));
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), QStringLiteral("Mi&nimize"));
    EXPECT_EQ(entries[3]->text(), QStringLiteral("&Close"));
    entries[0]->trigger();
    EXPECT_EQ(ran, QStringList{"about"});
    EXPECT_TRUE(launcher.isVisible());
}

TEST_F(LauncherTest, DatabaseVersionLineWithAndWithoutACatalog) {
    {
        CDlgLauncher launcher(Recording());
        const QString text = launcher.versionLabel()->text();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Database Version\tVer ")))
            << text.toStdString();
        EXPECT_NE(text, QStringLiteral("Database Version\tVer -"));
    }
    QTemporaryDir empty;
    RobotCatalogInterface::SetLibraryDirectoryForTests(empty.path());
    CDlgLauncher launcher(Recording());
    EXPECT_EQ(launcher.versionLabel()->text(), QStringLiteral("Database Version\tVer -"));
}

TEST_F(LauncherTest, BannerShowsThroughBehindTheVersionText) {
    QPixmap red(311, 175);
    red.fill(Qt::red);
    CDlgLauncher launcher(Recording(), nullptr, red);
    launcher.show();
    QCoreApplication::processEvents();
    const QImage image = launcher.grab().toImage();
    const QRect label = launcher.versionLabel()->geometry();
    // The label's far right holds no text; the banner must be seen there, not a window colour.
    const QColor behind = image.pixelColor(label.right() - 2, label.center().y());
    EXPECT_EQ(behind, QColor(Qt::red));
}

TEST_F(LauncherTest, StartedMinimisedComesUpRestored) {
    CDlgLauncher launcher(Recording());
    launcher.setWindowState(Qt::WindowMinimized);
    launcher.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(launcher.windowState() & Qt::WindowMinimized);
}

} // namespace
