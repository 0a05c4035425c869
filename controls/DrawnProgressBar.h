#pragma once

#include <QFont>
#include <QProgressBar>
#include <QRect>

class QPainter;

// A progress bar that paints itself: a continuous bar, a row of blocks, or a row of arrows
// between the busy panel's end icons. Position, range and stepping are QProgressBar's own
// plus the step/stepIt pair the animation uses.
class CDrawnProgressBar : public QProgressBar {
public:
    enum Style { Continuous = 0, Segmented = 1, Arrows = 2 };

    CDrawnProgressBar(bool outlined, int style, bool showPercent, bool moving, bool mirrored,
                      bool reversed, QWidget* parent = nullptr);

    // Colours are 32-bit values with red in the low byte, then green, then blue.
    static QColor colorFromRef(quint32 value);

    int style() const { return barStyle; }
    bool isMoving() const { return moving; }
    bool isOutlined() const { return outlined; }
    bool isMirrored() const { return mirrored; }
    bool isReversed() const { return reversed; }
    bool showsPercent() const { return showPercent; }

    // The lower bound of the range last set.
    int rangeLow() const { return minimum(); }

    int step() const { return stepSize; }
    void setStep(int step) { stepSize = step; }
    // Advances by one step; past the upper bound the position starts again at the lower one.
    void stepIt();

    // Position as a fraction 0..1 of the range; 0 for an empty range.
    double fraction() const;
    // The number of filled arrows in the arrow style.
    int filledArrowCount() const;
    // The client rectangle less 2 pixels on every side.
    QRect barRect() const;

    // The text drawn over the bar: the percentage, or the window text when no percentage
    // is shown.
    QString text() const override;
    void setWindowText(const QString& text);
    QString windowText() const { return ownText; }

    QFont textFont() const { return percentFont; }
    void setTextFont(const QFont& font);

    quint32 outlineColor() const { return outline; }
    quint32 textOnBarColor() const { return textOnBar; }
    quint32 textOffBarColor() const { return textOffBar; }
    quint32 barColor() const { return bar; }
    quint32 shadowColor() const { return shadow; }
    quint32 troughColor() const { return trough; }
    void setOutlineColor(quint32 value);
    void setTextOnBarColor(quint32 value);
    void setTextOffBarColor(quint32 value);
    void setBarColor(quint32 value);
    void setShadowColor(quint32 value);
    void setTroughColor(quint32 value);

    int gradientStep() const { return gradient; }
    int bandHeight() const { return band; }
    int segmentWidth() const { return segWidth; }
    int segmentGap() const { return segGap; }
    int movingWidthPercent() const { return movingPercent; }
    int arrowCount() const { return arrows; }
    // 0 gives a flat fill.
    void setGradientStep(int value);
    // At least 1.
    void setBandHeight(int value);
    // Width at least 1, gap at least 0.
    void setSegments(int width, int gap);
    // 1..100.
    void setMovingWidthPercent(int value);
    // At least 1.
    void setArrowCount(int value);

    // Paints the whole control into `painter` at the control's size.
    void render(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintContinuous(QPainter& painter, const QRect& area) const;
    void paintSegmented(QPainter& painter, const QRect& area) const;
    void paintArrows(QPainter& painter, const QRect& area) const;
    void paintText(QPainter& painter, const QRect& area, int fillRight) const;
    // Draws the run of blocks starting at x and ending before `end` (exclusive).
    void paintBlockRun(QPainter& painter, const QRect& area, int x, int end) const;
    void paintBlock(QPainter& painter, const QRect& block) const;
    // Right edge (exclusive) of the filled part, or area.left() when nothing is filled.
    int fillRight(const QRect& area) const;

    QFont percentFont;
    quint32 outline = 0x10DC00;
    quint32 textOnBar = 0xFFFFFF;
    quint32 textOffBar = 0x10C300;
    quint32 bar = 0x10DC00;
    quint32 shadow = 0x646464;
    quint32 trough = 0xFFFFFF;
    int gradient = 4;
    int band = 1;
    int segWidth = 8;
    int segGap = 1;
    int barStyle = Continuous;
    bool reversed = false;
    bool moving = false;
    bool outlined = false;
    bool mirrored = false;
    bool showPercent = false;
    int movingPercent = 20;
    int arrows = 20;
    int stepSize = 1;
    QString ownText;
};
