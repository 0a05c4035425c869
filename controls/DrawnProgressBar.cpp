#include "controls/DrawnProgressBar.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kTroughRadius = 5.0;
constexpr qreal kBlockRadius = 2.0;

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;

    void add(int delta) {
        r = std::clamp(r + delta, 0, 255);
        g = std::clamp(g + delta, 0, 255);
        b = std::clamp(b + delta, 0, 255);
    }
    QColor color() const { return QColor(r, g, b); }
};

Rgb rgbOf(quint32 value) {
    return {int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)};
}

} // namespace

CDrawnProgressBar::CDrawnProgressBar(bool withOutline, int style, bool withPercent, bool withMotion,
                                     bool mirror, bool reverse, QWidget* parent)
    : QProgressBar(parent), percentFont(font()),
      barStyle(std::clamp(style, int(Continuous), int(Arrows))), reversed(reverse),
      moving(withMotion), outlined(withOutline), mirrored(mirror), showPercent(withPercent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

QColor CDrawnProgressBar::colorFromRef(quint32 value) {
    return rgbOf(value).color();
}

void CDrawnProgressBar::stepIt() {
    qint64 next = qint64(value()) + stepSize;
    if (next > maximum())
        next = minimum();
    else if (next < minimum())
        next = maximum();
    setValue(int(next));
    update();
}

double CDrawnProgressBar::fraction() const {
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0)
        return 0.0;
    const qint64 position = std::clamp(value(), minimum(), maximum());
    return double(position - minimum()) / double(span);
}

int CDrawnProgressBar::filledArrowCount() const {
    const int filled = int(std::trunc(arrows * fraction() + 0.99));
    return std::clamp(filled, 0, arrows);
}

QRect CDrawnProgressBar::barRect() const {
    return rect().adjusted(2, 2, -2, -2);
}

QString CDrawnProgressBar::text() const {
    if (showPercent)
        return QString::asprintf("%3.0f%%", fraction() * 100.0);
    return ownText;
}

void CDrawnProgressBar::setWindowText(const QString& text) {
    ownText = text;
    update();
}

void CDrawnProgressBar::setTextFont(const QFont& font) {
    percentFont = font;
    update();
}

void CDrawnProgressBar::setOutlineColor(quint32 value) {
    outline = value;
    update();
}

void CDrawnProgressBar::setTextOnBarColor(quint32 value) {
    textOnBar = value;
    update();
}

void CDrawnProgressBar::setTextOffBarColor(quint32 value) {
    textOffBar = value;
    update();
}

void CDrawnProgressBar::setBarColor(quint32 value) {
    bar = value;
    update();
}

void CDrawnProgressBar::setShadowColor(quint32 value) {
    shadow = value;
    update();
}

void CDrawnProgressBar::setTroughColor(quint32 value) {
    trough = value;
    update();
}

void CDrawnProgressBar::setGradientStep(int value) {
    gradient = std::max(0, value);
    update();
}

void CDrawnProgressBar::setBandHeight(int value) {
    band = std::max(1, value);
    update();
}

void CDrawnProgressBar::setSegments(int width, int gap) {
    segWidth = std::max(1, width);
    segGap = std::max(0, gap);
    update();
}

void CDrawnProgressBar::setMovingWidthPercent(int value) {
    movingPercent = std::clamp(value, 1, 100);
    update();
}

void CDrawnProgressBar::setArrowCount(int value) {
    arrows = std::max(1, value);
    update();
}

void CDrawnProgressBar::paintEvent(QPaintEvent*) {
    // The backing store already buffers the widget off-screen, so painting directly does not
    // flicker.
    QPainter painter(this);
    render(painter);
}

void CDrawnProgressBar::render(QPainter& painter) const {
    painter.save();
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (barStyle != Arrows) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(colorFromRef(trough));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kTroughRadius,
                                kTroughRadius);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    const QRect area = barRect();
    if (area.width() > 0 && area.height() > 0) {
        switch (barStyle) {
        case Segmented:
            paintSegmented(painter, area);
            break;
        case Arrows:
            paintArrows(painter, area);
            break;
        default:
            paintContinuous(painter, area);
            break;
        }
        if (!moving && barStyle != Arrows)
            paintText(painter, area, fillRight(area));
    }
    painter.restore();
}

int CDrawnProgressBar::fillRight(const QRect& area) const {
    const int left = area.left();
    const int right = left + area.width();
    if (value() <= minimum())
        return left;
    const double f = fraction();
    if (barStyle == Segmented) {
        const int pitch = segWidth + segGap;
        const int count = int(std::trunc(area.width() * f)) / pitch;
        return std::min(right, left + count * pitch + segWidth);
    }
    return std::clamp(int(std::trunc(f * right)), left, right);
}

void CDrawnProgressBar::paintContinuous(QPainter& painter, const QRect& area) const {
    const int left = area.left();
    const int right = left + area.width();
    if (!moving) {
        const int end = fillRight(area);
        if (end > left)
            paintBlock(painter, QRect(left, area.top(), end - left, area.height()));
        return;
    }
    const int start = int(std::trunc(fraction() * right));
    const int span = area.width() * movingPercent / 100;
    painter.save();
    painter.setClipRect(area);
    const int firstEnd = std::min(start + span, right);
    if (firstEnd > start)
        paintBlock(painter, QRect(start, area.top(), firstEnd - start, area.height()));
    const int overflow = start + span - right;
    if (overflow > 0)
        paintBlock(painter, QRect(left, area.top(), overflow, area.height()));
    painter.restore();
}

void CDrawnProgressBar::paintSegmented(QPainter& painter, const QRect& area) const {
    const int left = area.left();
    const int right = left + area.width();
    const int pitch = segWidth + segGap;
    painter.save();
    // The last block of a full bar would reach past the trough's edge.
    painter.setClipRect(area);
    if (!moving) {
        if (value() > minimum()) {
            const int count = int(std::trunc(area.width() * fraction())) / pitch + 1;
            paintBlockRun(painter, area, left, left + count * pitch);
        }
        painter.restore();
        return;
    }
    const int start = int(std::trunc(fraction() * right));
    const int span = segWidth + pitch * (area.width() * movingPercent / 100 / pitch);
    paintBlockRun(painter, area, start, std::min(start + span, right + pitch));
    const int overflow = start + span - right;
    if (overflow > 0)
        paintBlockRun(painter, area, left, left + overflow);
    painter.restore();
}

void CDrawnProgressBar::paintBlockRun(QPainter& painter, const QRect& area, int x, int end) const {
    const int pitch = segWidth + segGap;
    for (; x < end; x += pitch)
        paintBlock(painter, QRect(x, area.top(), segWidth, area.height()));
}

void CDrawnProgressBar::paintBlock(QPainter& painter, const QRect& block) const {
    if (gradient == 0) {
        painter.fillRect(block, colorFromRef(bar));
    } else {
        painter.save();
        QPainterPath shape;
        shape.addRoundedRect(QRectF(block), kBlockRadius, kBlockRadius);
        painter.setClipPath(shape, Qt::IntersectClip);

        const int half = block.height() / 2;
        Rgb color = rgbOf(bar);
        color.add(-gradient * (half / band));
        const int middle = block.top() + half;
        if (mirrored) {
            // Raised by one step per band between the top of the control and the block's
            // middle, so that the darkest band lands in the middle.
            for (int i = 0; i < middle / band; ++i)
                color.add(gradient);
        }
        for (int y = block.top(); y < block.top() + block.height(); y += band) {
            color.add(mirrored && y < middle ? -gradient : gradient);
            painter.fillRect(QRect(block.left(), y, block.width(), band), color.color());
        }
        painter.restore();
    }
    if (outlined) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(colorFromRef(outline), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(block).adjusted(0.5, 0.5, -0.5, -0.5), kBlockRadius,
                                kBlockRadius);
        painter.restore();
    }
}

void CDrawnProgressBar::paintArrows(QPainter& painter, const QRect& area) const {
    const int cell = area.width() / arrows;
    if (cell <= 0)
        return;
    const int rowLeft = area.left() + (area.width() - cell * arrows) / 2;
    const int arrowWidth = int(0.6 * cell);
    const int halfHeight = arrowWidth / 2;
    const int inset = int(0.2 * cell);
    const int midY = area.top() + area.height() / 2;
    const int filled = filledArrowCount();

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < arrows; ++i) {
        const int x = rowLeft + i * cell + inset;
        QPolygon triangle;
        if (reversed)
            triangle << QPoint(x + arrowWidth, midY - halfHeight) << QPoint(x, midY)
                     << QPoint(x + arrowWidth, midY + halfHeight);
        else
            triangle << QPoint(x, midY - halfHeight) << QPoint(x + arrowWidth, midY)
                     << QPoint(x, midY + halfHeight);
        const bool isFilled = reversed ? i >= arrows - filled : i < filled;
        if (isFilled) {
            painter.setPen(colorFromRef(outline));
            painter.setBrush(colorFromRef(bar));
        } else {
            painter.setPen(Qt::black);
            painter.setBrush(Qt::black);
        }
        painter.drawPolygon(triangle);
    }
    painter.restore();
}

void CDrawnProgressBar::paintText(QPainter& painter, const QRect& area, int fillEnd) const {
    const QString shown = text();
    if (shown.isEmpty())
        return;
    painter.save();
    painter.setFont(percentFont);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;

    painter.setPen(colorFromRef(shadow));
    painter.drawText(area.translated(1, 1), flags, shown);

    const int left = area.left();
    const int right = left + area.width();
    if (fillEnd > left) {
        painter.setClipRect(QRect(left, area.top(), fillEnd - left, area.height()));
        painter.setPen(colorFromRef(textOnBar));
        painter.drawText(area, flags, shown);
    }
    if (fillEnd < right) {
        painter.setClipRect(QRect(fillEnd, area.top(), right - fillEnd, area.height()));
        painter.setPen(colorFromRef(textOffBar));
        painter.drawText(area, flags, shown);
    }
    painter.restore();
}
