#pragma once

#include <QHeaderView>
#include <QList>

class QAbstractItemModel;

// Horizontal header of CListCtrlEx. Keeps one bit per column index telling fixed columns
// apart: their dividers show no resize cursor and cannot be dragged or double-clicked.
// The bits follow column insertions and deletions of the model.
class CFixedColumnHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit CFixedColumnHeader(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    bool IsColumnFixed(int column) const;
    // Sets the bit when the column is below the bit count; false otherwise.
    bool SetFixedBit(int column);
    int FixedBitCount() const { return static_cast<int>(fixedColumns.size()); }

    // The column whose right divider lies under x (viewport x), -1 when none; the same
    // grip zones the header itself uses for resizing.
    int DividerAt(int x) const;
    // Computes allowCursor for a point in header coordinates.
    void HitTest(const QPoint& pos);
    bool AllowCursor() const { return allowCursor; }
    bool IsDragging() const { return dragColumn >= 0; }

    // Width of the pointer; half of it on either side of a fixed column's divider shows no
    // resize cursor.
    static constexpr int kCursorWidth = 32;

signals:
    void dividerDragStarted(int column);
    void dividerDragFinished(int column);
    void dividerDoubleClicked(int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OnColumnsInserted(const QModelIndex& parent, int first, int last);
    void OnColumnsRemoved(const QModelIndex& parent, int first, int last);
    // Fixed columns get Qt's fixed resize mode as well, the others stay interactive.
    void ApplyResizeModes();

    QList<bool> fixedColumns;
    bool allowCursor = true;
    int dragColumn = -1;
    QMetaObject::Connection insertedConnection;
    QMetaObject::Connection removedConnection;
};
