// The launcher, the busy panel and the tip's pictures on a screen at 200 %: each is the resource
// library's drawing for that ratio, with twice the pixels in the same room, never an enlarged
// copy of the drawing for ratio 1.
#include "app/DlgLauncher.h"
#include "controls/BusyPanel.h"
#include "controls/ControlRegistry.h"
#include "controls/DrawnProgressBar.h"
#include "controls/IconButton.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"
#include "tests/support/QtPrinters.h"
#include "tooltip/HtmlLayout.h"
#include "tooltip/HtmlStyleSheet.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The largest difference of a colour channel between `painted` at `at` (device pixels) and
// `picture` laid over `ground`, as a plain copy would paint it.
int LargestDifference(const QImage& painted, QPoint at, const QImage& picture,
                      const QColor& ground) {
    QImage expected(picture.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(ground);
    QImage pixels = picture;
    pixels.setDevicePixelRatio(1); // one image pixel on one device pixel
    QPainter(&expected).drawImage(0, 0, pixels);
    const QImage actual =
        painted.copy(QRect(at, picture.size())).convertToFormat(QImage::Format_ARGB32);
    const QImage wanted = expected.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = 0; y < wanted.height(); ++y) {
        for (int x = 0; x < wanted.width(); ++x) {
            const QRgb a = actual.pixel(x, y);
            const QRgb b = wanted.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(a) - qRed(b)),
                                std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    }
    return largest;
}

} // namespace

TEST(DoubleRatio, LauncherPanelAndTipShowTheDrawingsForTheRatio) {
    ASSERT_TRUE(ResourceLibrary::LoadFile(QStringLiteral(LANGRES_PATH)));
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);

    CDlgLauncher launcher{LauncherActions()};
    launcher.show();
    // The banner: twice the pixels each way, the window laid out as at ratio 1.
    const QPixmap banner = launcher.bannerLabel()->pixmap();
    EXPECT_EQ(banner.devicePixelRatio(), 2.0);
    EXPECT_EQ(banner.size(), QSize(622, 350));
    EXPECT_EQ(launcher.size(), QSize(311 + 20, 175 + 308));
    for (int id : {CDlgLauncher::kIdBackup, CDlgLauncher::kIdRestore, CDlgLauncher::kIdAlarm,
                   CDlgLauncher::kIdGeneration}) {
        SCOPED_TRACE(id);
        const CIconButton* button = FindControl<CIconButton>(&launcher, id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->iconPixelSize(), QSize(32, 32));
        const QPixmap icon = button->icon.pixmap(QSize(32, 32), button->devicePixelRatioF());
        EXPECT_EQ(icon.devicePixelRatio(), 2.0);
        EXPECT_EQ(icon.size(), QSize(64, 64));
    }
    // A 16-pixel icon at ratio 2 is the 32-pixel drawing itself.
    const QImage program(ResourceLibrary::IconPath(128));
    EXPECT_EQ(launcher.windowIcon()
                  .pixmap(QSize(16, 16), 2.0)
                  .toImage()
                  .convertToFormat(program.format()),
              program);

    // The busy panel paints its end icon pixel for pixel from the 64-pixel drawing.
    CBusyPanel panel(false, CDrawnProgressBar::Arrows, false, false, false, false);
    panel.SetEndIcons(CBusyPanel::LoadPanelIcon(CBusyPanel::kLeftIconId),
                      CBusyPanel::LoadPanelIcon(CBusyPanel::kRightIconId));
    ASSERT_TRUE(panel.Create(&launcher, 362, 100));
    panel.Show();
    const QImage painted = panel.panelWindow()->grab().toImage();
    EXPECT_EQ(painted.devicePixelRatio(), 2.0);
    const QImage doubled(QStringLiteral("%1/icons/%2@2x.png")
                             .arg(QLatin1String(ResourceLibrary::kRoot))
                             .arg(CBusyPanel::kLeftIconId));
    ASSERT_EQ(doubled.size(), QSize(64, 64));
    const QPoint iconAt = panel.panelWindow()->contentsRect().topLeft() + QPoint(18, 38 - 16);
    EXPECT_LE(LargestDifference(painted, iconAt * 2, doubled,
                                panel.panelWindow()->palette().color(QPalette::Button)),
              2);
    panel.Destroy();

    // A tip laid out for the screen takes the drawings for its ratio, in the room of ratio 1.
    const HtmlDocument tip =
        ParseHtml(QStringLiteral("<icon idres=21115><bmp idres=21110><icon idres=128 cx=16 cy=16>"),
                  HtmlStyleSheet());
    const HtmlLayout layout(tip, 2.0);
    ASSERT_EQ(layout.lines().size(), 1);
    const QList<HtmlLayout::Box>& boxes = layout.lines().first().boxes;
    ASSERT_EQ(boxes.size(), 3);
    const QSize rooms[] = {{32, 32}, {311, 175}, {16, 16}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(boxes[i].rect.size(), QSizeF(rooms[i]));
        EXPECT_EQ(boxes[i].image.devicePixelRatio(), 2.0);
        EXPECT_EQ(boxes[i].image.size(), rooms[i] * 2);
    }
    ResourceLibrary::Unload();
}
