#include "controls/IconButton.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A 32 x 32 icon: an opaque coloured square on a transparent background.
QIcon MakeIcon(QColor colour = QColor(200, 40, 40).rgb()) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(8, 8, 16, 16, colour);
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

bool IsGrey(QRgb c) {
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

struct Fixture {
    Fixture() {
        host.resize(340, 120);
        button = new CIconButton(&host);
        button->setGeometry(10, 10, 311, 52);
        button->setText(QStringLiteral("Data Transfer"));
        host.show();
    }
    QImage grab() { return button->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QWidget host;
    CIconButton* button = nullptr;
};

} // namespace

TEST(GreyIconPixel, FollowsTheFormulaOnEdgeValues) {
    // Transparent black is left exactly as it is.
    EXPECT_EQ(GreyIconPixel(qRgba(0, 0, 0, 0)), qRgba(0, 0, 0, 0));
    // Pure white: d = 0 is taken as 1, so it becomes 254.
    EXPECT_EQ(GreyIconPixel(qRgba(255, 255, 255, 255)), qRgba(254, 254, 254, 255));
    // Transparent white is not transparent black: greyed, alpha kept at 0.
    EXPECT_EQ(GreyIconPixel(qRgba(255, 255, 255, 0)), qRgba(254, 254, 254, 0));
    // Opaque black stays black.
    EXPECT_EQ(GreyIconPixel(qRgba(0, 0, 0, 255)), qRgba(0, 0, 0, 255));
    // The mean is an integer division: (30 + 60 + 91) / 3 = 60.
    EXPECT_EQ(GreyIconPixel(qRgba(30, 60, 91, 255)), qRgba(60, 60, 60, 255));
    // Half-transparent red: mean 85, alpha kept.
    EXPECT_EQ(GreyIconPixel(qRgba(255, 0, 0, 128)), qRgba(85, 85, 85, 128));
    // Transparent but coloured pixels are greyed too.
    EXPECT_EQ(GreyIconPixel(qRgba(0, 0, 3, 0)), qRgba(1, 1, 1, 0));
}

TEST(GreyIconImage, ConvertsEveryPixelWithoutPremultiplying) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(255, 255, 255, 255));
    image.setPixel(2, 0, qRgba(90, 120, 150, 64));
    // A premultiplied input must give the same result as the straight one.
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const QImage& input : {image, premultiplied}) {
        const QImage grey = GreyIconImage(input);
        ASSERT_EQ(grey.format(), QImage::Format_ARGB32);
        EXPECT_EQ(grey.pixel(0, 0), qRgba(0, 0, 0, 0));
        EXPECT_EQ(grey.pixel(1, 0), qRgba(254, 254, 254, 255));
        const QRgb third = grey.pixel(2, 0);
        EXPECT_EQ(qAlpha(third), 64);
        EXPECT_TRUE(IsGrey(third));
        EXPECT_NEAR(qRed(third), 120, 2); // premultiplying rounds a little
    }
}

TEST(ColorFromValue, ReadsRedFromTheLowByte) {
    EXPECT_EQ(ColorFromValue(0xD0C0B0), QColor(0xB0, 0xC0, 0xD0));
    EXPECT_EQ(ColorFromValue(0x0000FF), QColor(Qt::red));
}

TEST(IconButtonLayout, PlacesIconAndCaptionByAlignment) {
    const QSize button(311, 52);
    const QSize icon(32, 32);
    IconButtonLayout left = ComputeIconButtonLayout(button, icon, true, CIconButton::IconLeft);
    EXPECT_EQ(left.iconPos, QPoint(16, 10));
    EXPECT_EQ(left.captionArea, QRect(64, 0, 247, 52));

    IconButtonLayout right = ComputeIconButtonLayout(button, icon, true, CIconButton::IconRight);
    EXPECT_EQ(right.iconPos, QPoint(311 - 16 - 32, 10));
    EXPECT_EQ(right.captionArea, QRect(0, 0, 311 - 64, 52));

    IconButtonLayout above =
        ComputeIconButtonLayout(QSize(100, 80), icon, true, CIconButton::IconAbove);
    EXPECT_EQ(above.iconPos, QPoint(34, (60 - 32) / 2));
    EXPECT_EQ(above.captionArea.top(), 42);
    EXPECT_EQ(above.captionArea.bottom(), 79);

    IconButtonLayout alone = ComputeIconButtonLayout(button, icon, false, CIconButton::IconLeft);
    EXPECT_EQ(alone.iconPos, QPoint((311 - 32) / 2, 10));

    IconButtonLayout noIcon = ComputeIconButtonLayout(button, QSize(), true, 1);
    EXPECT_EQ(noIcon.captionArea, QRect(0, 0, 311, 52));
}

TEST(OwnerDrawButton, AnswersTheDialogByType) {
    COwnerDrawButton plain;
    EXPECT_TRUE(plain.pushLike);
    EXPECT_FALSE(plain.isDefault);
    EXPECT_EQ(plain.DialogCode() & COwnerDrawButton::UndefaultPushButton,
              COwnerDrawButton::UndefaultPushButton);

    COwnerDrawButton def;
    def.Attach(COwnerDrawButton::DefPushButton);
    EXPECT_TRUE(def.isDefault);
    EXPECT_EQ(def.buttonType, COwnerDrawButton::PushButton);
    EXPECT_TRUE(def.DialogCode() & COwnerDrawButton::DefaultPushButton);
    EXPECT_FALSE(def.DialogCode() & COwnerDrawButton::UndefaultPushButton);

    // The dialog moves the default away: the button records it.
    def.SetButtonStyle(COwnerDrawButton::PushButton);
    EXPECT_FALSE(def.isDefault);
    EXPECT_FALSE(def.isDefault || def.QPushButton::isDefault());
    EXPECT_TRUE(def.DialogCode() & COwnerDrawButton::UndefaultPushButton);

    COwnerDrawButton radio;
    radio.pushLike = false;
    radio.Attach(COwnerDrawButton::AutoRadioButton);
    EXPECT_TRUE(radio.DialogCode() & COwnerDrawButton::RadioButtonCode);
    EXPECT_FALSE(radio.DialogCode() & COwnerDrawButton::UndefaultPushButton);

    COwnerDrawButton group;
    group.pushLike = false;
    group.Attach(COwnerDrawButton::GroupBox);
    EXPECT_TRUE(group.DialogCode() & COwnerDrawButton::StaticCode);

    CIconButton icon;
    EXPECT_EQ(icon.DialogCode(), COwnerDrawButton::WantAllKeys);
}

TEST(IconButtonKeys, SpaceAndEnterPressOnDownAndClickOnUp) {
    Fixture f;
    QSignalSpy clicks(f.button, &QAbstractButton::clicked);
    f.button->setFocus();
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        clicks.clear();
        QTest::keyPress(f.button, key);
        EXPECT_TRUE(f.button->DrawnPressed()) << key;
        EXPECT_EQ(clicks.count(), 0) << key;
        // Held keys repeat: no further press, no click.
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(f.button, &repeat);
        EXPECT_EQ(clicks.count(), 0) << key;
        QTest::keyRelease(f.button, key);
        EXPECT_FALSE(f.button->DrawnPressed()) << key;
        EXPECT_EQ(clicks.count(), 1) << key;
    }
}

TEST(IconButtonKeys, EnterClicksTheFocusedButtonNotTheDialogDefault) {
    QDialog dialog;
    dialog.resize(300, 200);
    auto* other = new QPushButton(QStringLiteral("OK"), &dialog);
    other->setDefault(true);
    auto* button = new CIconButton(&dialog);
    button->setGeometry(10, 60, 200, 40);
    dialog.show();
    button->setFocus();
    QSignalSpy otherClicks(other, &QAbstractButton::clicked);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(otherClicks.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(IconButtonMouse, DoubleClickGivesTwoClicks) {
    Fixture f;
    QSignalSpy clicks(f.button, &QAbstractButton::clicked);
    const QPointF at(20, 20);
    const QPointF global = f.button->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    const auto send = [&f](QMouseEvent& e) { QCoreApplication::sendEvent(f.button, &e); };

    // The order Qt delivers: down, up, down, double-click, up.
    send(press);
    send(release);
    send(press);
    send(dbl);
    EXPECT_TRUE(f.button->DrawnPressed());
    send(release);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_FALSE(f.button->pendingDoubleClick());
    EXPECT_FALSE(f.button->DrawnPressed());

    // Without the second down: down, up, double-click, up.
    clicks.clear();
    send(press);
    send(release);
    send(dbl);
    EXPECT_TRUE(f.button->pendingDoubleClick());
    EXPECT_TRUE(f.button->DrawnPressed());
    send(release);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_FALSE(f.button->DrawnPressed());
}

TEST(IconButtonMouse, HoverFollowsThePointer) {
    Fixture f;
    const auto moveTo = [&f](QPointF at) {
        QMouseEvent move(QEvent::MouseMove, at, f.button->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.button, &move);
    };
    const QImage before = f.grab();
    moveTo(QPointF(30, 20));
    EXPECT_TRUE(f.button->hover);
    // The style's hot look differs from the normal one.
    EXPECT_NE(f.grab(), before);
    moveTo(QPointF(-5, 20));
    EXPECT_FALSE(f.button->hover);
    EXPECT_EQ(f.grab(), before);
    moveTo(QPointF(30, 20));
    ASSERT_TRUE(f.button->hover);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(f.button, &leave);
    EXPECT_FALSE(f.button->hover);
    EXPECT_EQ(f.grab(), before);
}

TEST(IconButtonMouse, ToggleModeFlipsOnReleaseInside) {
    Fixture f;
    f.button->toggle = true;
    QSignalSpy changes(f.button, &CIconButton::checkedChanged);
    QTest::mouseClick(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(f.button->checked);
    EXPECT_TRUE(f.button->DrawnPressed());
    ASSERT_EQ(changes.count(), 1);
    EXPECT_TRUE(changes.at(0).at(0).toBool());

    // Pressed inside, dragged out: the look inverts while held; release outside changes nothing.
    QTest::mousePress(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(f.button->mouseDown);
    QMouseEvent drag(QEvent::MouseMove, QPointF(-20, 20), f.button->mapToGlobal(QPointF(-20, 20)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.button, &drag);
    EXPECT_FALSE(f.button->DrawnPressed());
    QTest::mouseRelease(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(-20, 20));
    EXPECT_TRUE(f.button->checked);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(f.button->mouseDown);
}

TEST(IconButtonPaint, ClassicEdgesAndDefaultFrame) {
    Fixture f;
    f.button->useTheme = false;
    const QPalette pal = f.button->palette();
    QImage up = f.grab();
    EXPECT_EQ(QColor(up.pixel(0, 0)).rgb(), pal.light().color().rgb());
    EXPECT_EQ(QColor(up.pixel(310, 51)).rgb(), pal.shadow().color().rgb());
    EXPECT_EQ(QColor(up.pixel(150, 5)).rgb(), pal.button().color().rgb());

    f.button->setDown(true);
    QImage down = f.grab();
    EXPECT_EQ(QColor(down.pixel(0, 0)).rgb(), pal.dark().color().rgb());
    f.button->setDown(false);

    f.button->SetButtonStyle(COwnerDrawButton::DefPushButton);
    QImage def = f.grab();
    EXPECT_EQ(QColor(def.pixel(0, 0)).rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(QColor(def.pixel(310, 20)).rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(QColor(def.pixel(1, 1)).rgb(), pal.light().color().rgb());
}

TEST(IconButtonPaint, FaceAndCaptionColoursForceTheClassicLook) {
    Fixture f;
    EXPECT_TRUE(f.button->UsesVisualStyle());
    f.button->faceColor = 0x00FF00; // green
    EXPECT_FALSE(f.button->UsesVisualStyle());
    QImage face = f.grab();
    EXPECT_EQ(QColor(face.pixel(150, 5)).rgb(), QColor(Qt::green).rgb());
    f.button->faceColor = -1;
    f.button->captionColor = 0x0000FF;
    EXPECT_FALSE(f.button->UsesVisualStyle());
    f.button->captionColor = -1;
    CIconButton::SetVisualStylesActive(false);
    EXPECT_FALSE(f.button->UsesVisualStyle());
    CIconButton::SetVisualStylesActive(true);
    EXPECT_TRUE(f.button->UsesVisualStyle());
}

TEST(IconButtonPaint, DisabledShowsGreyIconAndEmbossedCaption) {
    Fixture f;
    f.button->useTheme = false;
    f.button->SetIcon(MakeIcon());
    ASSERT_FALSE(f.button->greyIcon.isNull());
    EXPECT_EQ(f.button->greyIcon, GreyIconImage(MakeIcon().pixmap(32, 32).toImage()));

    const QImage enabled = f.grab();
    // The icon sits at (16, 10): its square at (24..39, 18..33).
    EXPECT_EQ(QColor(enabled.pixel(30, 25)).rgb(), QColor(200, 40, 40).rgb());

    f.button->setEnabled(false);
    const QImage disabled = f.grab();
    const QRgb iconPixel = disabled.pixel(30, 25);
    EXPECT_TRUE(IsGrey(iconPixel));
    EXPECT_EQ(qRed(iconPixel), (200 + 40 + 40) / 3);

    // Embossed caption: with a red highlight and a blue shadow on white, the red that shows
    // lies right of and below the blue.
    QPalette pal = f.button->palette();
    pal.setColor(QPalette::Button, Qt::white);
    pal.setColor(QPalette::Light, QColor(255, 0, 0));
    pal.setColor(QPalette::Dark, QColor(0, 0, 255));
    f.button->setPalette(pal);
    const QImage embossed = f.grab();
    double redX = 0, redY = 0, redWeight = 0, blueX = 0, blueY = 0, blueWeight = 0;
    for (int y = 6; y < 46; ++y) {
        for (int x = 64; x < 300; ++x) {
            const QRgb c = embossed.pixel(x, y);
            const double red = qMax(0, 255 - qBlue(c) - qGreen(c) / 2);
            const double blue = qMax(0, 255 - qRed(c) - qGreen(c) / 2);
            redX += red * x, redY += red * y, redWeight += red;
            blueX += blue * x, blueY += blue * y, blueWeight += blue;
        }
    }
    ASSERT_GT(redWeight, 255 * 5);
    ASSERT_GT(blueWeight, 255 * 20);
    EXPECT_GT(redX / redWeight - blueX / blueWeight, 0.2);
    EXPECT_GT(redY / redWeight - blueY / blueWeight, 0.2);
}

TEST(IconButtonPaint, PressedClassicMovesIconByOnePixel) {
    Fixture f;
    f.button->useTheme = false;
    f.button->SetIcon(MakeIcon());
    const QImage up = f.grab();
    f.button->setDown(true);
    const QImage down = f.grab();
    // The square's top-left corner moves from (24, 18) to (25, 19).
    EXPECT_EQ(QColor(up.pixel(24, 18)).rgb(), QColor(200, 40, 40).rgb());
    EXPECT_NE(QColor(down.pixel(24, 18)).rgb(), QColor(200, 40, 40).rgb());
    EXPECT_EQ(QColor(down.pixel(25, 19)).rgb(), QColor(200, 40, 40).rgb());
}

TEST(IconButtonPaint, StyleChangeReopensTheTheme) {
    Fixture f;
    f.grab();
    EXPECT_FALSE(f.button->themeDirty);
    ASSERT_NE(f.button->themeHandle(), nullptr);
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    ASSERT_TRUE(windows);
    f.button->setStyle(windows.get());
    EXPECT_TRUE(f.button->themeDirty);
    EXPECT_EQ(f.button->themeHandle(), nullptr);
    f.grab();
    EXPECT_EQ(f.button->themeHandle(), windows.get());
    f.button->setStyle(nullptr);
}

TEST(IconButtonPaint, FocusDrawsADottedRectangleInsetByThree) {
    Fixture f;
    f.button->useTheme = false;
    const QRgb text = f.button->palette().buttonText().color().rgb();
    const auto dotsOnRow = [&f, text](int y) {
        const QImage image = f.grab();
        int dots = 0;
        for (int x = 3; x <= 307; ++x)
            dots += image.pixel(x, y) == text ? 1 : 0;
        return dots;
    };
    EXPECT_EQ(dotsOnRow(3), 0);
    QApplication::setActiveWindow(&f.host);
    f.button->setFocus();
    ASSERT_TRUE(f.button->hasFocus());
    const int dots = dotsOnRow(3);
    // Dotted: about every other pixel along the top edge of the rectangle.
    EXPECT_GT(dots, 100);
    EXPECT_LT(dots, 250);
    // A flat button shows no focus rectangle.
    f.button->flat = true;
    EXPECT_EQ(dotsOnRow(3), 0);
}
