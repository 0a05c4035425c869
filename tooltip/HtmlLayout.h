#pragma once

#include "tooltip/HtmlMarkup.h"

#include <QPixmap>
#include <QRectF>

#include <memory>

class QPainter;
struct TableLayout;

// Lays a parsed tip out in lines (no automatic wrapping: tips break where the markup says) and
// paints it. Images come from the resource library by id, or from a file; `ratio`, the device
// pixel ratio of the screen the tip is for, picks the library's pictures drawn for it.
class HtmlLayout {
public:
    explicit HtmlLayout(const HtmlDocument& document, qreal ratio = 1);
    ~HtmlLayout();
    HtmlLayout(const HtmlLayout&) = delete;
    HtmlLayout& operator=(const HtmlLayout&) = delete;

    QSizeF size() const { return extent; }
    void paint(QPainter& painter, const QPointF& origin) const;

    struct Box {
        HtmlItem::Kind kind = HtmlItem::Text;
        QString text;
        HtmlTextStyle style;
        QRectF rect; // within its line; y relative to the line's top
        double baseline = 0;
        QPixmap image;
        QColor ruleColor;
        double ruleFraction = 0; // rules: share of the layout width, 0 = fixed width
        std::shared_ptr<TableLayout> table;
    };
    struct Line {
        QList<Box> boxes;
        double top = 0;
        double width = 0;
        double height = 0;
        int align = HtmlTextStyle::AlignLeft;
    };
    const QList<Line>& lines() const { return laidOut; }

private:
    QList<Line> laidOut;
    QSizeF extent;
};
