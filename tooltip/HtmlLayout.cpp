#include "tooltip/HtmlLayout.h"

#include "platform/ResourceArt.h"
#include "platform/ResourceLibrary.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kMaxImageSide = 1024;

// `ratio`: the device pixel ratio of the screen the tip shows on.
QPixmap loadImage(const HtmlItem& item, qreal ratio, QSizeF& size) {
    const auto& a = item.imageAttributes;
    const auto number = [&a](const char* name) {
        bool ok = false;
        const int v = a.value(QLatin1String(name)).trimmed().toInt(&ok);
        return ok ? v : 0;
    };
    const int cx = qBound(0, qMax(number("cx"), number("width")), int(kMaxImageSide));
    const int cy = qBound(0, qMax(number("cy"), number("height")), int(kMaxImageSide));
    QPixmap pixmap;
    const int id = number("idres");
    if (id > 0 && item.imageKind == QLatin1String("bmp"))
        pixmap = ResourceArt::Bitmap(id, ratio);
    else if (id > 0 && item.imageKind == QLatin1String("icon"))
        pixmap = ResourceArt::IconPixmap(id, cx > 0 && cx <= 16 ? 16 : 0, ratio);
    else if (a.contains(QStringLiteral("file")) && item.imageKind != QLatin1String("string"))
        pixmap = QPixmap(a.value(QStringLiteral("file")));
    // Sizes in the tip's own units; a picture for a screen at 200 % has twice the pixels.
    const qreal scale = pixmap.devicePixelRatio();
    if (!pixmap.isNull() && pixmap.width() / scale > kMaxImageSide)
        pixmap = pixmap.scaledToWidth(int(kMaxImageSide * scale));
    if (!pixmap.isNull() && pixmap.height() / scale > kMaxImageSide)
        pixmap = pixmap.scaledToHeight(int(kMaxImageSide * scale));
    QSizeF wanted(cx, cy);
    if (!pixmap.isNull()) {
        const QSizeF own = pixmap.deviceIndependentSize();
        if (wanted.width() <= 0)
            wanted.setWidth(own.width());
        if (wanted.height() <= 0)
            wanted.setHeight(own.height());
    }
    size = wanted;
    return pixmap;
}

} // namespace

struct TableLayout {
    struct Cell {
        std::unique_ptr<HtmlLayout> content;
        int row = 0;
        int column = 0;
        int colspan = 1;
        QRectF rect;
        const HtmlCell* source = nullptr;
    };
    std::shared_ptr<HtmlTable> table;
    std::vector<Cell> cells;
    QSizeF size;

    TableLayout(std::shared_ptr<HtmlTable> t, qreal ratio) : table(std::move(t)) {
        const int pad = table->cellpadding;
        const int spacing = table->cellspacing;
        const int border = table->border;
        QList<double> widths;
        QList<double> heights;
        for (int r = 0; r < table->rows.size(); ++r) {
            int column = 0;
            heights.append(0);
            for (const HtmlCell& c : table->rows[r].cells) {
                Cell cell;
                cell.content = std::make_unique<HtmlLayout>(c.content, ratio);
                cell.row = r;
                cell.column = column;
                cell.colspan = c.colspan;
                cell.source = &c;
                column += c.colspan;
                while (widths.size() < column)
                    widths.append(0);
                const QSizeF inner = cell.content->size();
                const double w = qMax(inner.width() + 2 * pad, double(c.width));
                const double h = qMax(inner.height() + 2 * pad, double(c.height));
                if (c.colspan == 1)
                    widths[cell.column] = qMax(widths[cell.column], w);
                heights[r] = qMax(heights[r], h);
                cells.push_back(std::move(cell));
            }
        }
        // Spanning cells widen the columns they cover evenly.
        for (const Cell& cell : cells) {
            if (cell.colspan == 1)
                continue;
            double covered = spacing * (cell.colspan - 1);
            for (int k = 0; k < cell.colspan; ++k)
                covered += widths[cell.column + k];
            const double need =
                qMax(cell.content->size().width() + 2 * pad, double(cell.source->width));
            if (need > covered) {
                for (int k = 0; k < cell.colspan; ++k)
                    widths[cell.column + k] += (need - covered) / cell.colspan;
            }
        }
        double total = 2 * border + spacing;
        for (double w : widths)
            total += w + spacing;
        if (table->width > total && !widths.isEmpty()) {
            const double extra = (table->width - total) / widths.size();
            for (double& w : widths)
                w += extra;
            total = table->width;
        }
        QList<double> lefts;
        double x = border + spacing;
        for (double w : widths) {
            lefts.append(x);
            x += w + spacing;
        }
        QList<double> tops;
        double y = border + spacing;
        for (double h : heights) {
            tops.append(y);
            y += h + spacing;
        }
        for (Cell& cell : cells) {
            double w = spacing * (cell.colspan - 1);
            for (int k = 0; k < cell.colspan; ++k)
                w += widths[cell.column + k];
            cell.rect = QRectF(lefts[cell.column], tops[cell.row], w, heights[cell.row]);
        }
        size = QSizeF(total, qMax(double(table->height), y + border));
    }

    void paint(QPainter& p, const QPointF& origin) const {
        const QRectF outer(origin, size);
        if (table->bgcolor.isValid())
            p.fillRect(outer, table->bgcolor);
        if (table->border > 0) {
            p.setPen(QPen(table->borderColor, table->border));
            p.setBrush(Qt::NoBrush);
            const double half = table->border / 2.0;
            p.drawRect(outer.adjusted(half, half, -half, -half));
        }
        for (const Cell& cell : cells) {
            const QRectF r = cell.rect.translated(origin);
            QColor bg = cell.source->bgcolor;
            if (!bg.isValid())
                bg = table->rows[cell.row].bgcolor;
            if (bg.isValid())
                p.fillRect(r, bg);
            if (table->border > 0) {
                p.setPen(QPen(table->borderColor, 1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(0, 0, -1, -1));
            }
            const QSizeF inner = cell.content->size();
            const double pad = table->cellpadding;
            double x = r.left() + pad;
            if (cell.source->align == HtmlTextStyle::AlignCenter)
                x = r.left() + (r.width() - inner.width()) / 2;
            else if (cell.source->align == HtmlTextStyle::AlignRight)
                x = r.right() - pad - inner.width();
            double y = r.top() + (r.height() - inner.height()) / 2;
            if (cell.source->valign == HtmlTextStyle::Top)
                y = r.top() + pad;
            else if (cell.source->valign == HtmlTextStyle::Bottom)
                y = r.bottom() - pad - inner.height();
            cell.content->paint(p, QPointF(x, y));
        }
    }
};

HtmlLayout::HtmlLayout(const HtmlDocument& document, qreal ratio) {
    Line line;
    double x = 0;
    double ascent = 0;
    double descent = 0;
    double y = 0;
    double widest = 0;
    bool lineHasAlign = false;
    const auto endLine = [&](const HtmlTextStyle& style) {
        if (line.boxes.isEmpty()) {
            const QFontMetricsF fm(style.font());
            ascent = qMax(ascent, fm.ascent());
            descent = qMax(descent, fm.descent());
        }
        line.top = y;
        line.width = x;
        line.height = ascent + descent;
        for (Box& box : line.boxes) {
            if (box.kind == HtmlItem::Table || box.kind == HtmlItem::Rule)
                box.rect.moveTop(box.kind == HtmlItem::Rule ? (line.height - box.rect.height()) / 2
                                                            : 0);
            else if (box.kind == HtmlItem::Image)
                box.rect.moveBottom(ascent);
            else
                box.rect.moveTop(ascent - box.baseline);
        }
        widest = qMax(widest, x);
        y += line.height;
        laidOut.append(line);
        line = Line();
        x = ascent = descent = 0;
        lineHasAlign = false;
    };
    const auto place = [&](Box box, double boxAscent, double boxDescent) {
        if (!lineHasAlign) {
            line.align = box.style.align;
            lineHasAlign = true;
        }
        box.rect.moveLeft(x);
        x += box.rect.width();
        ascent = qMax(ascent, boxAscent);
        descent = qMax(descent, boxDescent);
        line.boxes.append(box);
    };

    HtmlTextStyle lastStyle;
    for (const HtmlItem& item : document.items) {
        lastStyle = item.style;
        const QFontMetricsF fm(item.style.font());
        Box box;
        box.kind = item.kind;
        box.style = item.style;
        switch (item.kind) {
        case HtmlItem::Text: {
            box.text = item.style.transformed(item.text);
            box.rect = QRectF(0, 0, fm.horizontalAdvance(box.text), fm.height());
            double shift = 0;
            if (item.style.valign == HtmlTextStyle::Sub ||
                item.style.valign == HtmlTextStyle::Bottom)
                shift = -fm.ascent() * 0.35;
            else if (item.style.valign == HtmlTextStyle::Super ||
                     item.style.valign == HtmlTextStyle::Top)
                shift = fm.ascent() * 0.5;
            box.baseline = fm.ascent() + shift;
            place(box, fm.ascent() + shift, fm.descent() - shift);
            break;
        }
        case HtmlItem::Tab: {
            const double step = qMax(8.0, fm.averageCharWidth() * 4);
            const double next = (std::floor(x / step) + 1) * step;
            box.rect = QRectF(0, 0, next - x, 0);
            place(box, fm.ascent(), fm.descent());
            break;
        }
        case HtmlItem::LineBreak:
            endLine(item.style);
            break;
        case HtmlItem::Rule: {
            box.ruleColor = item.ruleColor;
            if (item.ruleWidth == 0 || item.rulePercent)
                box.ruleFraction = item.ruleWidth == 0 ? 1.0 : item.ruleWidth / 100.0;
            box.rect = QRectF(0, 0, box.ruleFraction > 0 ? 0 : item.ruleWidth, item.ruleSize);
            place(box, item.ruleSize + 3, 3);
            break;
        }
        case HtmlItem::Image: {
            if (item.imageKind == QLatin1String("string")) {
                bool ok = false;
                const int id = item.imageAttributes.value(QStringLiteral("idres")).toInt(&ok);
                box.kind = HtmlItem::Text;
                box.text = ok ? item.style.transformed(ResourceLibrary::LoadString(id)) : QString();
                box.rect = QRectF(0, 0, fm.horizontalAdvance(box.text), fm.height());
                box.baseline = fm.ascent();
                place(box, fm.ascent(), fm.descent());
                break;
            }
            QSizeF size;
            box.image = loadImage(item, ratio, size);
            box.rect = QRectF(QPointF(0, 0), size);
            place(box, size.height(), 0);
            break;
        }
        case HtmlItem::Table: {
            if (!line.boxes.isEmpty())
                endLine(item.style);
            box.table = std::make_shared<TableLayout>(item.table, ratio);
            box.rect = QRectF(QPointF(0, 0), box.table->size);
            place(box, box.table->size.height(), 0);
            endLine(item.style);
            break;
        }
        }
    }
    if (!line.boxes.isEmpty())
        endLine(lastStyle);
    // Rules as wide as their share of the widest line (at least a short stroke).
    for (Line& l : laidOut) {
        for (Box& box : l.boxes) {
            if (box.kind == HtmlItem::Rule && box.ruleFraction > 0) {
                box.rect.setWidth(qMax(8.0, widest * box.ruleFraction));
                l.width = qMax(l.width, box.rect.right());
            }
        }
        widest = qMax(widest, l.width);
    }
    extent = QSizeF(std::ceil(widest), std::ceil(y));
}

HtmlLayout::~HtmlLayout() = default;

void HtmlLayout::paint(QPainter& p, const QPointF& origin) const {
    for (const Line& line : laidOut) {
        double dx = 0;
        if (line.align == HtmlTextStyle::AlignCenter)
            dx = (extent.width() - line.width) / 2;
        else if (line.align == HtmlTextStyle::AlignRight)
            dx = extent.width() - line.width;
        const QPointF at = origin + QPointF(dx, line.top);
        for (const Box& box : line.boxes) {
            const QRectF r = box.rect.translated(at);
            switch (box.kind) {
            case HtmlItem::Text:
                if (box.style.background.isValid())
                    p.fillRect(r, box.style.background);
                p.setFont(box.style.font());
                p.setPen(box.style.color);
                p.drawText(QPointF(r.left(), r.top() + box.baseline), box.text);
                break;
            case HtmlItem::Rule:
                p.fillRect(r, box.ruleColor);
                break;
            case HtmlItem::Image:
                if (!box.image.isNull())
                    p.drawPixmap(r, box.image, QRectF(box.image.rect()));
                break;
            case HtmlItem::Table:
                box.table->paint(p, r.topLeft());
                break;
            case HtmlItem::Tab:
            case HtmlItem::LineBreak:
                break;
            }
        }
    }
}
