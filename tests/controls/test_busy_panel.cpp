#include "controls/BusyPanel.h"
#include "controls/DrawnProgressBar.h"
#include "platform/ResourceLibrary.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// The bar as the panel places it in a 362-pixel panel with 32-pixel icons.
constexpr int kBarWidth = 244;
constexpr int kBarHeight = 30;
constexpr int kMidRow = kBarHeight / 2;

using Pixel = std::function<bool(QRgb)>;
const Pixel isGreen = [](QRgb p) { return qGreen(p) > 150 && qRed(p) < 120 && qBlue(p) < 120; };
const Pixel isBlack = [](QRgb p) { return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60; };
const Pixel isRed = [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100; };
const Pixel isBlue = [](QRgb p) { return qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100; };

QImage grabImage(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

using Span = QPair<int, int>; // first x, length

QList<Span> runs(const QImage& image, int y, const Pixel& match) {
    QList<Span> found;
    for (int x = 0; x < image.width(); ++x) {
        if (!match(image.pixel(x, y)))
            continue;
        if (!found.isEmpty() && found.last().first + found.last().second == x)
            ++found.last().second;
        else
            found.append({x, 1});
    }
    return found;
}

int countIn(const QImage& image, QRect area, const Pixel& match) {
    int count = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixel(x, y)) ? 1 : 0;
    return count;
}

// The arrows along the middle row, left to right: 'F' filled, 'e' empty.
QString arrowMarks(CDrawnProgressBar& bar, int position) {
    bar.setValue(position);
    const QImage image = grabImage(bar);
    QString marks;
    for (int x = 0; x < image.width(); ++x) {
        const QChar mark = isGreen(image.pixel(x, kMidRow))   ? u'F'
                           : isBlack(image.pixel(x, kMidRow)) ? u'e'
                                                              : u' ';
        if (marks.isEmpty() || marks.back() != mark)
            marks += mark;
    }
    return marks.remove(u' ');
}

std::unique_ptr<CDrawnProgressBar> makeBar(int style, bool moving = false, bool mirrored = false,
                                           bool reversed = false, bool percent = false) {
    auto bar =
        std::make_unique<CDrawnProgressBar>(false, style, percent, moving, mirrored, reversed);
    bar->resize(kBarWidth, kBarHeight);
    return bar;
}

QIcon solidIcon(Qt::GlobalColor color, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

TEST(DrawnProgressBar, ArrowsFillFromTheStartAndRoundUp) {
    auto bar = makeBar(CDrawnProgressBar::Arrows);
    EXPECT_EQ(arrowMarks(*bar, 0), QString(20, u'e'));
    // One percent already fills one arrow.
    EXPECT_EQ(arrowMarks(*bar, 1), u'F' + QString(19, u'e'));
    EXPECT_EQ(arrowMarks(*bar, 50), QString(10, u'F') + QString(10, u'e'));
    EXPECT_EQ(arrowMarks(*bar, 100), QString(20, u'F'));

    auto reversed = makeBar(CDrawnProgressBar::Arrows, false, false, true);
    EXPECT_EQ(arrowMarks(*reversed, 1), QString(19, u'e') + u'F');
    EXPECT_EQ(arrowMarks(*reversed, 50), QString(10, u'e') + QString(10, u'F'));
}

TEST(DrawnProgressBar, ReversedArrowsPointLeft) {
    // The base of an arrow is its tallest column: on the left when it points right.
    for (bool reversed : {false, true}) {
        auto bar = makeBar(CDrawnProgressBar::Arrows, false, false, reversed);
        const QImage image = grabImage(*bar);
        const Span first = runs(image, kMidRow, isBlack).first();
        const auto height = [&image](int x) {
            return countIn(image, QRect(x, 0, 1, kBarHeight), isBlack);
        };
        const int leftEdge = height(first.first);
        const int rightEdge = height(first.first + first.second - 1);
        if (reversed)
            EXPECT_GT(rightEdge, leftEdge + 2);
        else
            EXPECT_GT(leftEdge, rightEdge + 2);
    }
}

TEST(DrawnProgressBar, StepWrapsToTheLowerBound) {
    auto bar = makeBar(CDrawnProgressBar::Arrows);
    bar->setValue(99);
    bar->stepIt();
    EXPECT_EQ(bar->value(), 100);
    bar->stepIt();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(arrowMarks(*bar, bar->value()), QString(20, u'e'));

    bar->setRange(10, 20);
    EXPECT_EQ(bar->rangeLow(), 10);
    bar->setStep(4);
    bar->setValue(18);
    bar->stepIt();
    EXPECT_EQ(bar->value(), 10);

    // An empty range fills nothing rather than dividing by zero.
    bar->setRange(5, 5);
    bar->setValue(5);
    EXPECT_EQ(bar->fraction(), 0.0);
    EXPECT_EQ(arrowMarks(*bar, 5), QString(20, u'e'));
}

TEST(DrawnProgressBar, FillModes) {
    const int left = 2;
    const int right = kBarWidth - 2;

    auto continuous = makeBar(CDrawnProgressBar::Continuous);
    continuous->setValue(0);
    EXPECT_TRUE(runs(grabImage(*continuous), kMidRow, isGreen).isEmpty());
    continuous->setValue(50);
    EXPECT_EQ(runs(grabImage(*continuous), kMidRow, isGreen),
              QList<Span>{Span(left, right / 2 - left)});
    continuous->setValue(100);
    EXPECT_EQ(runs(grabImage(*continuous), kMidRow, isGreen),
              QList<Span>{Span(left, right - left)});

    // trunc(240 * 0.5) / 9 = 13 blocks, plus the one being filled.
    auto blocks = makeBar(CDrawnProgressBar::Segmented);
    blocks->setValue(50);
    const QList<Span> found = runs(grabImage(*blocks), kMidRow, isGreen);
    ASSERT_EQ(found.size(), 14);
    for (int i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], Span(left + 9 * i, 8)) << "block " << i;
    blocks->setValue(100);
    const Span last = runs(grabImage(*blocks), kMidRow, isGreen).last();
    EXPECT_LE(last.first + last.second, right) << "blocks stay inside the trough";
}

TEST(DrawnProgressBar, MovingWindowWrapsRoundTheRightEdge) {
    const int right = kBarWidth - 2;
    const int span = (kBarWidth - 4) * 20 / 100;
    auto bar = makeBar(CDrawnProgressBar::Continuous, true);
    bar->setValue(50);
    EXPECT_EQ(runs(grabImage(*bar), kMidRow, isGreen), QList<Span>{Span(right / 2, span)});

    // From trunc(0.9 * 242) = 217 the window runs to the edge; the rest comes in on the left.
    bar->setValue(90);
    EXPECT_EQ(runs(grabImage(*bar), kMidRow, isGreen),
              (QList<Span>{Span(2, 217 + span - right), Span(217, right - 217)}));

    auto blocks = makeBar(CDrawnProgressBar::Segmented, true);
    blocks->setValue(95);
    const QList<Span> found = runs(grabImage(*blocks), kMidRow, isGreen);
    ASSERT_GE(found.size(), 2);
    EXPECT_EQ(found.first().first, 2);
    EXPECT_LE(found.last().first + found.last().second, right);
}

TEST(DrawnProgressBar, GradientDarkensTowardsTheMiddleOnlyWhenMirrored) {
    const int x = 2 + 4; // middle of the first block
    for (bool mirrored : {false, true}) {
        auto bar = makeBar(CDrawnProgressBar::Segmented, false, mirrored);
        bar->setValue(100);
        const QImage image = grabImage(*bar);
        const int top = qGreen(image.pixel(x, 3));
        const int middle = qGreen(image.pixel(x, kMidRow));
        const int bottom = qGreen(image.pixel(x, kBarHeight - 4));
        if (mirrored) {
            EXPECT_GT(top, middle + 20);
            EXPECT_GT(bottom, middle + 20);
        } else {
            EXPECT_LT(top, middle);
            EXPECT_LT(middle, bottom);
        }
    }
    auto flat = makeBar(CDrawnProgressBar::Segmented);
    flat->setGradientStep(0);
    flat->setValue(100);
    const QImage image = grabImage(*flat);
    // Red is the low byte of a colour value.
    EXPECT_EQ(QColor(image.pixel(x, 3)), QColor(0x00, 0xDC, 0x10));
    EXPECT_EQ(image.pixel(x, 3), image.pixel(x, kBarHeight - 4));
}

TEST(DrawnProgressBar, PercentTextIsClippedAtTheFillEdge) {
    auto bar = makeBar(CDrawnProgressBar::Continuous, false, false, false, true);
    bar->setGradientStep(0);
    bar->setTextOnBarColor(0x0000FF);  // red over the fill
    bar->setTextOffBarColor(0xFF0000); // blue over the trough
    bar->setShadowColor(0xFFFFFF);
    QFont font = bar->font();
    font.setPixelSize(20);
    font.setBold(true);
    bar->setTextFont(font);
    bar->setValue(50);
    EXPECT_EQ(bar->text(), QStringLiteral(" 50%"));

    const QImage image = grabImage(*bar);
    const int fillEnd = (kBarWidth - 2) / 2;
    const QRect filled(0, 0, fillEnd, kBarHeight);
    const QRect empty(fillEnd, 0, kBarWidth - fillEnd, kBarHeight);
    EXPECT_GT(countIn(image, filled, isRed), 0);
    EXPECT_EQ(countIn(image, filled, isBlue), 0);
    EXPECT_GT(countIn(image, empty, isBlue), 0);
    EXPECT_EQ(countIn(image, empty, isRed), 0);

    // A moving bar writes no text; without the percentage the window text is written.
    auto moving = makeBar(CDrawnProgressBar::Continuous, true, false, false, true);
    moving->setTextOffBarColor(0xFF0000);
    moving->setValue(50);
    EXPECT_EQ(countIn(grabImage(*moving), QRect(0, 0, kBarWidth, kBarHeight), isBlue), 0);
    auto plain = makeBar(CDrawnProgressBar::Continuous);
    EXPECT_TRUE(plain->text().isEmpty());
    plain->setWindowText(QStringLiteral("Busy"));
    EXPECT_EQ(plain->text(), QStringLiteral("Busy"));
}

class BusyPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(100, 120, 600, 400);
        owner.show();
    }
    QWidget owner;
};

TEST_F(BusyPanelTest, OwnerIsDisabledWhileThePanelExists) {
    CBusyPanel panel(false, CDrawnProgressBar::Arrows, false, false, false, true);
    EXPECT_FALSE(panel.isCreated());
    ASSERT_TRUE(panel.Create(&owner, 362, 100));
    EXPECT_FALSE(panel.Create(&owner, 362, 100));
    EXPECT_FALSE(owner.isEnabled());
    // The panel stays readable, not greyed out with its owner.
    EXPECT_TRUE(panel.messageLabel()->isEnabled());
    panel.Show();
    panel.Destroy();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(panel.isCreated());
    EXPECT_EQ(panel.progressBar(), nullptr);
    panel.Destroy();
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(BusyPanelTest, EveryExitPathEnablesTheOwnerAgain) {
    const auto operation = [this](int exitAt) {
        CBusyPanel panel(false, CDrawnProgressBar::Arrows, false, false, false, false);
        panel.Create(&owner, 362, 100);
        panel.Show();
        if (exitAt == 0)
            return false;
        if (exitAt == 1)
            throw std::runtime_error("line lost");
        return true;
    };
    EXPECT_FALSE(operation(0));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_THROW(operation(1), std::runtime_error);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_TRUE(operation(2));
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(BusyPanelTest, OwnerGetsItsOwnStateBackAfterTheLastPanel) {
    {
        auto first = std::make_unique<CBusyPanel>(false, 1, false, true, true, false);
        CBusyPanel second(false, 2, false, false, false, false);
        first->Create(&owner, 362, 100);
        second.Create(&owner, 362, 100);
        first.reset();
        EXPECT_FALSE(owner.isEnabled()) << "still busy under the second panel";
    }
    EXPECT_TRUE(owner.isEnabled());

    owner.setEnabled(false);
    {
        CBusyPanel panel(false, 2, false, false, false, false);
        panel.Create(&owner, 362, 100);
    }
    EXPECT_FALSE(owner.isEnabled()) << "disabled before the panel, disabled after it";
}

TEST_F(BusyPanelTest, LayoutCentresThePanelAndReservesTheIcons) {
    {
        CBusyPanel panel(false, 2, false, false, false, false);
        panel.Create(&owner, 362, 100);
        const QRect around = owner.frameGeometry();
        EXPECT_EQ(panel.panelWindow()->geometry(),
                  QRect((2 * around.x() + around.width() - 362) / 2,
                        (2 * around.y() + around.height() - 100) / 2, 362, 100));
        // Without icons 32 pixels are kept at each end; the client lies inside the border.
        EXPECT_EQ(panel.iconSize(), 32);
        EXPECT_EQ(panel.progressBar()->geometry(), QRect(1 + 59, 1 + 25, 360 - 118, 30));
        EXPECT_EQ(panel.messageLabel()->geometry(), QRect(1 + 62, 1 + 65, 360 - 124, 30));
        EXPECT_EQ(panel.messageLabel()->text(), QStringLiteral("Now Loading..."));
        EXPECT_EQ(panel.messageLabel()->property("controlId").toInt(), 1);
        EXPECT_EQ(panel.progressBar()->property("controlId").toInt(), 2);
    }
    {
        CBusyPanel panel(false, 2, false, false, false, false);
        panel.SetEndIcons(solidIcon(Qt::red, 24), solidIcon(Qt::blue, 24));
        panel.Create(&owner, 362, 100);
        EXPECT_EQ(panel.iconSize(), 24);
        EXPECT_EQ(panel.progressBar()->geometry().left(), 1 + 24 + 27);
    }
    {
        CBusyPanel panel(false, 2, false, false, false, false);
        panel.SetEndIcons(solidIcon(Qt::red, 24), QIcon());
        panel.Create(&owner, 362, 100);
        EXPECT_EQ(panel.iconSize(), 32);
    }
    {
        CBusyPanel panel(false, 1, false, true, true, false);
        panel.Create(&owner, 362, 100);
        EXPECT_EQ(panel.progressBar()->geometry(), QRect(1 + 59, 1 + 15, 360 - 118, 30));
    }
}

TEST_F(BusyPanelTest, EndIconsArePaintedOnlyInTheArrowStyleWithBothIcons) {
    const QPoint leftCentre(1 + 18 + 16, 1 + 38);
    const QPoint rightCentre(1 + 360 - 32 - 14 + 16, 1 + 38);
    const auto paint = [this](int style, const QIcon& right) {
        CBusyPanel panel(false, style, false, style != 2, false, false);
        panel.SetEndIcons(solidIcon(Qt::red, 32), right);
        panel.Create(&owner, 362, 100);
        return grabImage(*panel.panelWindow());
    };
    QImage image = paint(2, solidIcon(Qt::blue, 32));
    EXPECT_EQ(QColor(image.pixel(leftCentre)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(rightCentre)), QColor(Qt::blue));
    image = paint(2, QIcon());
    EXPECT_NE(QColor(image.pixel(leftCentre)), QColor(Qt::red));
    image = paint(1, solidIcon(Qt::blue, 32));
    EXPECT_NE(QColor(image.pixel(leftCentre)), QColor(Qt::red));
    EXPECT_NE(QColor(image.pixel(rightCentre)), QColor(Qt::blue));
}

TEST_F(BusyPanelTest, CloseAndKeysAreSwallowed) {
    CBusyPanel panel(false, 2, false, false, false, false);
    panel.Create(&owner, 362, 100);
    panel.Show();
    QWidget* window = panel.panelWindow();
    ASSERT_TRUE(window->isVisible());

    EXPECT_FALSE(window->close());
    QCloseEvent close; // what Alt+F4 becomes
    QApplication::sendEvent(window, &close);
    EXPECT_FALSE(close.isAccepted());
    for (int key : {int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Space)}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        press.ignore();
        QApplication::sendEvent(window, &press);
        EXPECT_TRUE(press.isAccepted()) << key;
    }
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(owner.isEnabled());
}

TEST_F(BusyPanelTest, PanelComesBackOverItsOwnerWhenTheOwnerIsClickedOrActivated) {
    CBusyPanel panel(false, 2, false, false, false, false);
    panel.Create(&owner, 362, 100);
    panel.Show();
    QWidget* window = panel.panelWindow();
    // The window system keeps a transient window over the one it belongs to.
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->transientParent(), owner.windowHandle());

    struct RaiseCounter : QObject {
        int raises = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            raises += event->type() == QEvent::ZOrderChange ? 1 : 0;
            return false;
        }
    } counter;
    window->installEventFilter(&counter);
    // A click on the disabled owner brings the owner up: the panel follows it at once.
    QTest::mouseClick(&owner, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(counter.raises, 1);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    EXPECT_EQ(counter.raises, 2);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(BusyPanelTest, MessageAndFont) {
    QFont ownerFont(QStringLiteral("DejaVu Serif"));
    ownerFont.setPointSize(13);
    owner.setFont(ownerFont);
    {
        CBusyPanel panel(false, 2, false, false, false, false);
        panel.Create(&owner, 362, 100);
        EXPECT_EQ(panel.messageLabel()->font(), ownerFont);
        panel.Show();
        panel.SetMessage(QStringLiteral("Saving data to the file..."));
        EXPECT_EQ(panel.messageLabel()->text(), QStringLiteral("Saving data to the file..."));
    }
    // Message and font given before the panel exists are the ones it starts with.
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(9);
    CBusyPanel panel(false, 2, false, false, false, false);
    panel.SetMessage(QStringLiteral("Searching for controllers..."));
    panel.SetMessageFont(chosen);
    panel.Create(&owner, 362, 100);
    EXPECT_EQ(panel.messageLabel()->font(), chosen);
    EXPECT_EQ(panel.messageLabel()->text(), QStringLiteral("Searching for controllers..."));
}

TEST_F(BusyPanelTest, TimerAdvancesTheBarWhileEventsArePumped) {
    {
        CBusyPanel still(false, 0, true, false, false, false);
        still.Create(&owner, 362, 100);
        still.Show();
        EXPECT_FALSE(still.isAnimating());
    }
    CBusyPanel panel(false, 2, false, false, false, true);
    panel.Create(&owner, 362, 100);
    EXPECT_FALSE(panel.isAnimating());
    panel.Show();
    EXPECT_TRUE(panel.isAnimating());
    CDrawnProgressBar* bar = panel.progressBar();
    const int start = bar->value();
    // As the channel's waits do: pump events until the bar has moved (or give up).
    const QDeadlineTimer patience(5000);
    while (bar->value() == start && !patience.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_NE(bar->value(), start);

    bar->setValue(100);
    panel.tick();
    EXPECT_EQ(bar->value(), 0);
    panel.Destroy();
    EXPECT_FALSE(panel.isAnimating());
}

TEST(BusyPanel, WithoutOwnerOrWithTheOwnerGone) {
    CBusyPanel lone(false, 2, false, false, false, false);
    ASSERT_TRUE(lone.Create(nullptr, 362, 100));
    lone.Show();
    EXPECT_TRUE(lone.panelWindow()->isVisible());
    lone.Destroy();

    auto owner = std::make_unique<QWidget>();
    owner->show();
    CBusyPanel panel(false, 2, false, false, false, false);
    panel.Create(owner.get(), 362, 100);
    panel.Show();
    owner.reset();
    EXPECT_FALSE(panel.isCreated());
    panel.tick();
    panel.Destroy();
}

TEST(BusyPanel, EndIconsComeFromTheResourceLibrary) {
    ASSERT_TRUE(ResourceLibrary::LoadFile(QStringLiteral(PANEL_ICONS_RCC)));
    const QIcon left = CBusyPanel::LoadPanelIcon(CBusyPanel::kLeftIconId);
    const QIcon right = CBusyPanel::LoadPanelIcon(CBusyPanel::kRightIconId);
    EXPECT_TRUE(CBusyPanel::LoadPanelIcon(999).isNull());
    EXPECT_TRUE(left.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(left.availableSizes().contains(QSize(32, 32)));
    ASSERT_FALSE(right.isNull());

    QWidget owner;
    CBusyPanel panel(false, 2, false, false, false, true);
    panel.SetEndIcons(left, right);
    panel.Create(&owner, 362, 100);
    EXPECT_EQ(panel.iconSize(), 32);
    const QImage image = grabImage(*panel.panelWindow());
    EXPECT_EQ(QColor(image.pixel(1 + 18 + 16, 1 + 38)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(1 + 360 - 32 - 14 + 16, 1 + 38)), QColor(Qt::blue));
    ResourceLibrary::Unload();
}
