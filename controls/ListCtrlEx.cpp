#include "controls/ListCtrlEx.h"

#include "controls/FixedColumnHeader.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstdlib>

namespace {

QColor colorFromValue(std::uint32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Row colours for every cell; none while a divider is dragged.
class RowColorDelegate : public QStyledItemDelegate {
public:
    explicit RowColorDelegate(CListCtrlEx* owner) : QStyledItemDelegate(owner), list(owner) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (list->IsTracking())
            return;
        option->palette.setColor(QPalette::Text, list->RowTextColor(index.row()));
        option->backgroundBrush = list->RowBackColor(index.row());
    }

private:
    CListCtrlEx* list;
};

constexpr Qt::ItemFlags kItemFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
// Room around the text of an auto-sized column, so the grid line never touches it.
constexpr int kAutoSizeMargin = 6;

} // namespace

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTableWidget(parent) {
    header = new CFixedColumnHeader(this);
    setHorizontalHeader(header);
    header->setMinimumSectionSize(0);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(true);
    connect(header, &CFixedColumnHeader::dividerDragStarted, this,
            &CListCtrlEx::OnDividerDragStarted);
    connect(header, &CFixedColumnHeader::dividerDragFinished, this,
            &CListCtrlEx::OnDividerDragFinished);
    connect(header, &CFixedColumnHeader::dividerDoubleClicked, this,
            &CListCtrlEx::OnDividerDoubleClicked);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    // Tab and Shift+Tab go on to the next control of the dialog; arrows move inside the list.
    setTabKeyNavigation(false);
    setHorizontalScrollMode(ScrollPerPixel);
    setItemDelegate(new RowColorDelegate(this));
    UpdateRowHeightFromFont();
}

QColor CListCtrlEx::RowTextColor(int row) const {
    return colorFromValue(row % 2 ? oddTextColor : evenTextColor);
}

QColor CListCtrlEx::RowBackColor(int row) const {
    return colorFromValue(row % 2 ? oddBackColor : evenBackColor);
}

int CListCtrlEx::InsertColumn(int column, const QString& heading, int width,
                              Qt::Alignment alignment) {
    if (column < 0)
        return -1;
    column = std::min(column, columnCount());
    insertColumn(column);
    auto* item = new QTableWidgetItem(heading);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    setHorizontalHeaderItem(column, item);
    if (width >= 0)
        header->resizeSection(column, width);
    return column;
}

bool CListCtrlEx::DeleteColumn(int column) {
    if (column < 0 || column >= columnCount())
        return false;
    removeColumn(column);
    return true;
}

int CListCtrlEx::GetColumnWidth(int column) const {
    if (column < 0 || column >= columnCount())
        return 0;
    return header->sectionSize(column);
}

bool CListCtrlEx::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount() || width < 0)
        return false;
    header->resizeSection(column, width);
    return true;
}

int CListCtrlEx::InsertItem(int item, const QString& text) {
    if (item < 0)
        return -1;
    item = std::min(item, rowCount());
    insertRow(item);
    if (columnCount() > 0) {
        auto* cell = new QTableWidgetItem(text);
        cell->setFlags(kItemFlags);
        setItem(item, 0, cell);
        // The pitch below the items follows the real rows from now on.
        rowHeight = QTableView::rowHeight(0);
    }
    return item;
}

bool CListCtrlEx::SetItemText(int item, int subItem, const QString& text) {
    if (item < 0 || item >= rowCount() || subItem < 0 || subItem >= columnCount())
        return false;
    if (QTableWidgetItem* cell = QTableWidget::item(item, subItem)) {
        cell->setText(text);
        return true;
    }
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(kItemFlags);
    setItem(item, subItem, cell);
    return true;
}

QString CListCtrlEx::GetItemText(int item, int subItem) const {
    const QTableWidgetItem* cell = QTableWidget::item(item, subItem);
    return cell ? cell->text() : QString();
}

bool CListCtrlEx::DeleteItem(int item) {
    if (item < 0 || item >= rowCount())
        return false;
    removeRow(item);
    return true;
}

void CListCtrlEx::DeleteAllItems() {
    clearContents();
    setRowCount(0);
}

void CListCtrlEx::SetColumnFixed(int column) {
    header->SetFixedBit(column);
    if (column < 0 || column >= columnCount())
        return;
    setUpdatesEnabled(false);
    header->moveSection(header->visualIndex(column), 0);
    setUpdatesEnabled(true);
    viewport()->update();
}

bool CListCtrlEx::IsColumnFixed(int column) const {
    return header->IsColumnFixed(column);
}

bool CListCtrlEx::AutoSizeColumns(int column, bool useHeader) {
    if (column == -1) {
        bool all = true;
        for (int i = 0; i < columnCount(); ++i)
            all = AutoSizeColumns(i, useHeader) && all;
        return all;
    }
    if (column < 0 || column >= columnCount())
        return false;
    if (header->IsColumnFixed(column))
        return true;
    int width = 0;
    for (int row = 0; row < rowCount(); ++row) {
        const QSize hint = sizeHintForIndex(model()->index(row, column));
        width = std::max(width, hint.width() + kAutoSizeMargin);
    }
    if (useHeader)
        width = std::max(width, header->sectionSizeHint(column) + kAutoSizeMargin);
    header->resizeSection(column, width);
    return true;
}

void CListCtrlEx::OnDividerDragStarted(int) {
    tracking = 1;
    viewport()->update();
}

void CListCtrlEx::OnDividerDragFinished(int) {
    tracking = 0;
    viewport()->update();
}

void CListCtrlEx::OnDividerDoubleClicked(int column) {
    if (!header->IsColumnFixed(column))
        AutoSizeColumns(column, true);
}

void CListCtrlEx::UpdateRowHeightFromFont() {
    const QFont& listFont = font();
    const int fontHeight = listFont.pixelSize() > 0
                               ? listFont.pixelSize()
                               : qRound(listFont.pointSizeF() * logicalDpiY() / 72.0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    if (columnCount() > 0 && rowCount() > 0)
        rowHeight = QTableView::rowHeight(0);
    else
        rowHeight = std::max(1, static_cast<int>(std::abs(fontHeight) * 1.3));
}

void CListCtrlEx::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateRowHeightFromFont();
}

void CListCtrlEx::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    // Stripes and grid are laid out from the top item: repaint all rather than shift pixels.
    viewport()->update();
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (event->key() == Qt::Key_Plus && (mods & Qt::ControlModifier) &&
        (mods & Qt::KeypadModifier)) {
        setUpdatesEnabled(false);
        AutoSizeColumns(-1, true);
        setUpdatesEnabled(true);
        viewport()->update();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

int CListCtrlEx::BandCount() const {
    return viewport()->height() / std::max(1, rowHeight) + 1;
}

void CListCtrlEx::PaintStripes(QPainter& painter) const {
    const int items = rowCount();
    const int top = items > 0 ? std::max(0, rowAt(0)) : 0;
    const int firstTop = items > 0 ? rowViewportPosition(top) : 0;
    const int itemRight = header->length() - horizontalOffset();
    const int width = viewport()->width();
    const int bands = BandCount();
    for (int band = 0; band < bands; ++band) {
        const int row = top + band;
        QRect rect(0, firstTop + band * rowHeight, width, rowHeight);
        if (row < items)
            rect.setLeft(itemRight);
        if (rect.isValid())
            painter.fillRect(rect, RowBackColor(row));
    }
}

void CListCtrlEx::PaintGrid(QPainter& painter) const {
    const int items = rowCount();
    const int top = items > 0 ? std::max(0, rowAt(0)) : 0;
    const int pitch = items > 0 ? QTableView::rowHeight(top) : rowHeight;
    const int firstTop = items > 0 ? rowViewportPosition(top) : 0;
    const int width = viewport()->width();
    const int height = viewport()->height();
    const QColor color = colorFromValue(gridColor);
    for (int column = 0; column < columnCount(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const int x = columnViewportPosition(column) + header->sectionSize(column) - 1;
        painter.fillRect(QRect(x, 0, 1, height), color);
    }
    const int bands = BandCount();
    for (int k = 1; k <= bands; ++k)
        painter.fillRect(QRect(0, firstTop - 1 + k * pitch, width, 1), color);
}

void CListCtrlEx::paintEvent(QPaintEvent* event) {
    if (tracking) {
        QTableWidget::paintEvent(event);
        return;
    }
    {
        QPainter painter(viewport());
        PaintStripes(painter);
    }
    QTableWidget::paintEvent(event);
    QPainter painter(viewport());
    PaintGrid(painter);
}
