#include "platform/ResourceLibrary.h"
#include "tooltip/HtmlTooltip.h"
#include "tooltip/TipBackground.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A window with two buttons, a tip on each, a clock and a mouse of the test's own.
struct TipFixture {
    TipFixture() {
        window.resize(300, 200);
        first = new QPushButton(QStringLiteral("first"), &window);
        first->setGeometry(10, 10, 200, 50);
        second = new QPushButton(QStringLiteral("second"), &window);
        second->setGeometry(10, 100, 200, 50);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        tip = new CHtmlTooltip;
        EXPECT_TRUE(tip->CreateTipWindow(&window));
        tip->SetFollowTimerActive(false);
        tip->SetClock([this] { return now; });
        tip->SetCursorSource([this] { return mouse; });
        tip->SetStyleSheetText(QStringLiteral("body {font-size: 12pt; color:black; "
                                              "font-family:Tahoma}\r\n"));
        tip->AddTip(first, QStringLiteral("Transfer a data file on PC to controller."));
        tip->AddTip(second, QStringLiteral("Obtain the Alarm History of controller."));
    }
    void at(QWidget* w, QPoint local = QPoint(20, 20)) { mouse = w->mapToGlobal(local); }
    // Runs the 100 ms timer up to `until`.
    void runTo(qint64 until) {
        while (now + 100 <= until) {
            now += 100;
            tip->Tick();
        }
    }
    QWidget window;
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    CHtmlTooltip* tip = nullptr;
    qint64 now = 1000;
    QPoint mouse{-1000, -1000};
};

} // namespace

TEST(TipWindow, ShowsAfterHalfASecondAndGoesAfterFive) {
    TipFixture f;
    f.at(f.first);
    f.tip->Tick(); // the mouse arrives at 1000
    f.runTo(1400);
    EXPECT_FALSE(f.tip->isTipShown());
    f.runTo(1500);
    ASSERT_TRUE(f.tip->isTipShown());
    EXPECT_TRUE(f.tip->isVisible());
    EXPECT_EQ(f.tip->tipControl(), f.first);
    EXPECT_EQ(f.tip->tipText(), QStringLiteral("Transfer a data file on PC to controller."));
    f.runTo(6400);
    EXPECT_TRUE(f.tip->isTipShown());
    f.runTo(6500);
    EXPECT_FALSE(f.tip->isTipShown());
    EXPECT_FALSE(f.tip->isVisible());
    // Resting on after the tip went: it does not come back until the mouse leaves.
    f.runTo(9000);
    EXPECT_FALSE(f.tip->isTipShown());
    f.mouse = QPoint(-500, -500);
    f.runTo(9100);
    f.at(f.first);
    f.runTo(9600);
    EXPECT_FALSE(f.tip->isTipShown());
    f.runTo(9700);
    EXPECT_TRUE(f.tip->isTipShown());
}

TEST(TipWindow, MovingRestartsTheRestAndLeavingHides) {
    TipFixture f;
    f.at(f.first, QPoint(20, 20));
    f.tip->Tick();
    f.runTo(1300);
    // The tick at 1400 sees the move: the rest counts from there.
    f.at(f.first, QPoint(25, 20));
    f.runTo(1800);
    EXPECT_FALSE(f.tip->isTipShown());
    f.runTo(1900);
    EXPECT_TRUE(f.tip->isTipShown());

    // Straight onto the other button: the first tip goes, the second waits its own delay.
    f.at(f.second);
    f.runTo(2000);
    EXPECT_FALSE(f.tip->isTipShown());
    f.runTo(2400);
    EXPECT_FALSE(f.tip->isTipShown());
    f.runTo(2500);
    EXPECT_EQ(f.tip->tipControl(), f.second);

    // A leave event of the control takes the tip down at once.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(f.second, &leave);
    EXPECT_FALSE(f.tip->isTipShown());
}

TEST(TipWindow, MouseEventsOfTheToolsAreFollowed) {
    TipFixture f;
    const auto moveTo = [&f](QWidget* w, QPointF local) {
        QMouseEvent move(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    };
    moveTo(f.first, QPointF(30, 30));
    f.now += 600;
    moveTo(f.first, QPointF(30, 30));
    EXPECT_TRUE(f.tip->isTipShown());
    // A click on the control takes the tip away.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 30),
                      f.first->mapToGlobal(QPointF(30, 30)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(f.first, &press);
    EXPECT_FALSE(f.tip->isTipShown());
    f.now += 600;
    moveTo(f.first, QPointF(30, 30));
    EXPECT_FALSE(f.tip->isTipShown());

    // A removed tool shows nothing; a destroyed control is forgotten safely.
    f.tip->RemoveTip(f.second);
    f.at(f.second);
    f.runTo(f.now + 1000);
    EXPECT_FALSE(f.tip->isTipShown());
    f.at(f.first, QPoint(50, 40));
    f.runTo(f.now + 700);
    ASSERT_TRUE(f.tip->isTipShown());
    delete f.first;
    f.first = nullptr;
    EXPECT_FALSE(f.tip->isTipShown());
    EXPECT_FALSE(f.tip->isVisible());
    f.runTo(f.now + 1000);
    EXPECT_FALSE(f.tip->isTipShown());
}

TEST(TipWindow, PlainTipUsesTheBodyFontOnTheShadedBackground) {
    TipFixture f;
    f.tip->SetCompositingSource([] { return true; });
    f.tip->SetBackgroundColors(0xFFFFFF, 0xFFF7F0, 0xD0C0C0);
    f.tip->SetBackgroundEffect(13, 5);
    EXPECT_EQ(f.tip->middleColor(), QColor(0xF0, 0xF7, 0xFF));
    EXPECT_EQ(f.tip->darkColor(), QColor(0xC0, 0xC0, 0xD0));
    f.at(f.first);
    f.tip->Tick();
    f.runTo(1500);
    ASSERT_TRUE(f.tip->isTipShown());
    const HtmlDocument& doc = f.tip->tipDocument();
    ASSERT_EQ(doc.items.size(), 1);
    EXPECT_EQ(doc.items[0].style.font().family(), QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(doc.items[0].style.font().pointSizeF(), 12);
    EXPECT_EQ(doc.items[0].style.color, QColor(Qt::black));

    const QImage picture = f.tip->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect tip = f.tip->tipRect();
    EXPECT_EQ(picture.width(), tip.width() + 7);
    // The drop shadow lies beyond the tip's bottom right, partly dark, not opaque.
    const QRgb shadow = picture.pixel(tip.right() + 4, tip.center().y());
    EXPECT_GT(qAlpha(shadow), 0);
    EXPECT_LT(qAlpha(shadow), 255);
    // Soft shading: the plate is lighter inside than at its edge.
    const QRgb inside = picture.pixel(4 + 15, 4 + 15 > tip.height() / 2 ? tip.height() / 2 : 19);
    const QRgb edge = picture.pixel(tip.center().x(), tip.bottom() - 2);
    EXPECT_GT(qGray(inside), qGray(edge));
    // Text was drawn: some pixels are near black.
    int dark = 0;
    for (int y = 0; y < tip.height(); ++y)
        for (int x = 0; x < tip.width(); ++x)
            dark += qGray(picture.pixel(x, y)) < 80 ? 1 : 0;
    EXPECT_GT(dark, 30);

    // Without compositing every pixel is the tip's own: no see-through corners that would come
    // out black, no shadow band.
    f.tip->SetCompositingSource([] { return false; });
    f.mouse = QPoint(-500, -500);
    f.runTo(f.now + 100);
    f.at(f.first);
    f.runTo(f.now + 600);
    ASSERT_TRUE(f.tip->isTipShown());
    EXPECT_FALSE(f.tip->drawnTranslucent());
    const QImage opaque = f.tip->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(opaque.size(), f.tip->tipRect().size());
    EXPECT_EQ(opaque.width(), tip.width());
    for (int y = 0; y < opaque.height(); ++y)
        for (int x = 0; x < opaque.width(); ++x)
            ASSERT_EQ(qAlpha(opaque.pixel(x, y)), 255) << x << "," << y;
    EXPECT_GT(qGray(opaque.pixel(1, 1)), 150);
    EXPECT_GT(qGray(opaque.pixel(opaque.width() - 2, opaque.height() - 2)), 150);
}

TEST(TipWindow, StyleSheetFromTheResourceLibrary) {
    ASSERT_TRUE(ResourceLibrary::LoadFile(QStringLiteral(TEST_STRINGS_LIBRARY)));
    CHtmlTooltip tip;
    EXPECT_TRUE(tip.LoadStyleSheet(499));
    EXPECT_EQ(tip.styleSheet().selectors().size(), 17);
    EXPECT_FALSE(tip.LoadStyleSheet(987654));
    EXPECT_TRUE(tip.styleSheet().isEmpty());
    ResourceLibrary::Unload();
    EXPECT_EQ(tip.initialDelay(), 500);
    EXPECT_EQ(tip.displayTime(), 5000);
    EXPECT_FALSE(tip.CreateTipWindow(nullptr));
}

TEST(TipBackground, EffectsStayWithinTheirColours) {
    const QColor light(0xFF, 0xFF, 0xFF);
    const QColor middle(0xF0, 0xF7, 0xFF);
    const QColor dark(0xC0, 0xC0, 0xD0);
    const QSize size(120, 60);
    const QImage solid = RenderTipBackground(size, 0, 5, light, middle, dark);
    EXPECT_EQ(solid.pixel(0, 0), light.rgb());
    EXPECT_EQ(solid.pixel(119, 59), light.rgb());

    const QImage none = RenderTipBackground(size, -1, 5, light, middle, dark);
    EXPECT_EQ(qAlpha(none.pixel(60, 30)), 0);

    const QImage h = RenderTipBackground(size, 1, 1, light, middle, dark);
    EXPECT_EQ(h.pixel(0, 30), light.rgb());
    EXPECT_EQ(h.pixel(119, 30), dark.rgb());

    const QImage soft = RenderTipBackground(size, 13, 5, light, middle, dark);
    EXPECT_EQ(soft.pixel(0, 30), dark.rgb());
    EXPECT_GT(qGray(soft.pixel(30, 30)), qGray(soft.pixel(3, 30)));
    // The edge falls off gradually: several distinct shades over the first grains.
    QSet<QRgb> shades;
    for (int x = 0; x < 15; ++x)
        shades.insert(soft.pixel(x, 30));
    EXPECT_GE(shades.size(), 5);
    for (int effect = -1; effect <= 15; ++effect) {
        const QImage image = RenderTipBackground(size, effect, 5, light, middle, dark);
        EXPECT_EQ(image.size(), size);
        if (effect == 7 || effect == 15 || effect == -1)
            continue;
        for (int y = 0; y < size.height(); y += 7) {
            for (int x = 0; x < size.width(); x += 7) {
                const QRgb c = image.pixel(x, y);
                EXPECT_GE(qRed(c), dark.red() - 1) << effect;
                EXPECT_GE(qGreen(c), dark.green() - 1) << effect;
            }
        }
    }
    // Noise is repeatable.
    EXPECT_EQ(RenderTipBackground(size, 7, 5, light, middle, dark),
              RenderTipBackground(size, 7, 5, light, middle, dark));
    EXPECT_FALSE(RenderTipBackground(QSize(0, 0), 13, 0, light, middle, dark).isNull());
}
