#include "controls/FixedColumnHeader.h"

#include <QAbstractItemModel>
#include <QMouseEvent>
#include <QStyle>

CFixedColumnHeader::CFixedColumnHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // Hover moves decide the cursor.
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void CFixedColumnHeader::setModel(QAbstractItemModel* newModel) {
    disconnect(insertedConnection);
    disconnect(removedConnection);
    QHeaderView::setModel(newModel);
    // Connected after the base class, so the header already counts the new sections.
    if (newModel) {
        insertedConnection = connect(newModel, &QAbstractItemModel::columnsInserted, this,
                                     &CFixedColumnHeader::OnColumnsInserted);
        removedConnection = connect(newModel, &QAbstractItemModel::columnsRemoved, this,
                                    &CFixedColumnHeader::OnColumnsRemoved);
    }
}

bool CFixedColumnHeader::IsColumnFixed(int column) const {
    return column >= 0 && column < fixedColumns.size() && fixedColumns[column];
}

bool CFixedColumnHeader::SetFixedBit(int column) {
    if (column < 0 || column >= fixedColumns.size())
        return false;
    fixedColumns[column] = true;
    ApplyResizeModes();
    return true;
}

void CFixedColumnHeader::OnColumnsInserted(const QModelIndex& parent, int first, int last) {
    if (parent.isValid())
        return;
    for (int n = first; n <= last; ++n) {
        const int length = static_cast<int>(fixedColumns.size());
        if (length >= count())
            continue;
        if (n < length)
            fixedColumns.insert(n, false);
        else if (n == length)
            fixedColumns.append(false);
    }
    ApplyResizeModes();
}

void CFixedColumnHeader::OnColumnsRemoved(const QModelIndex& parent, int first, int last) {
    if (parent.isValid())
        return;
    for (int n = last; n >= first; --n) {
        if (n < fixedColumns.size())
            fixedColumns.removeAt(n);
    }
    ApplyResizeModes();
}

void CFixedColumnHeader::ApplyResizeModes() {
    for (int column = 0; column < count(); ++column)
        setSectionResizeMode(column, IsColumnFixed(column) ? Fixed : Interactive);
}

int CFixedColumnHeader::DividerAt(int position) const {
    int visual = visualIndexAt(position);
    if (visual < 0)
        return -1;
    const int logical = logicalIndex(visual);
    const int start = sectionViewportPosition(logical);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    bool atLeft = position < start + grip;
    bool atRight = position > start + sectionSize(logical) - grip;
    if (isRightToLeft())
        std::swap(atLeft, atRight);
    if (atLeft) {
        // The divider at a section's left edge belongs to the visible section before it.
        while (--visual >= 0) {
            const int before = logicalIndex(visual);
            if (!isSectionHidden(before))
                return before;
        }
        return -1;
    }
    return atRight ? logical : -1;
}

void CFixedColumnHeader::HitTest(const QPoint& pos) {
    const int half = kCursorWidth / 2;
    const int x = pos.x();
    allowCursor = true;
    int sum = -offset();
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        sum += sectionSize(logical);
        if (!IsColumnFixed(logical))
            continue;
        const int low = sum - half;
        int high = sum + half;
        if (sectionSize(logical) == 0) {
            for (int next = visual + 1; next < count(); ++next) {
                const int nextLogical = logicalIndex(next);
                if (isSectionHidden(nextLogical))
                    continue;
                high = std::min(high, sum + sectionSize(nextLogical));
                break;
            }
        }
        if (x > low && x < high)
            allowCursor = false;
    }
}

void CFixedColumnHeader::mousePressEvent(QMouseEvent* event) {
    if (dragColumn >= 0) {
        // The release of the last drag never arrived: end it before anything else.
        const int column = dragColumn;
        dragColumn = -1;
        emit dividerDragFinished(column);
    }
    if (event->button() == Qt::LeftButton) {
        const int column = DividerAt(event->position().toPoint().x());
        if (column >= 0 && IsColumnFixed(column)) {
            event->accept(); // a fixed column's divider does not move
            return;
        }
        if (column >= 0 && sectionResizeMode(column) == Interactive) {
            dragColumn = column;
            emit dividerDragStarted(column);
        }
    }
    QHeaderView::mousePressEvent(event);
}

void CFixedColumnHeader::mouseMoveEvent(QMouseEvent* event) {
    QHeaderView::mouseMoveEvent(event);
    if (dragColumn >= 0)
        return;
    HitTest(event->position().toPoint());
    if (!allowCursor)
        unsetCursor();
}

void CFixedColumnHeader::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    if (dragColumn >= 0) {
        const int column = dragColumn;
        dragColumn = -1;
        emit dividerDragFinished(column);
    }
}

void CFixedColumnHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    const int column = DividerAt(event->position().toPoint().x());
    if (column < 0) {
        QHeaderView::mouseDoubleClickEvent(event);
        return;
    }
    if (!IsColumnFixed(column))
        emit dividerDoubleClicked(column);
    event->accept();
}
