#pragma once

#include <QString>
#include <QTableWidget>

#include <cstdint>

class CFixedColumnHeader;

// Report-style list: rows in two alternating colours that continue below the last item, a
// one-pixel grid over the whole area, and fixed columns (moved to the front, never resized,
// left alone by auto-sizing; the usual one is a hidden zero-width first column).
class CListCtrlEx : public QTableWidget {
    Q_OBJECT
public:
    explicit CListCtrlEx(QWidget* parent = nullptr);

    // Column and item operations of a report list. InsertColumn/InsertItem return the new
    // index or -1; a negative width leaves the header's default.
    int InsertColumn(int column, const QString& heading, int width = -1,
                     Qt::Alignment alignment = Qt::AlignLeft);
    bool DeleteColumn(int column);
    int GetColumnCount() const { return columnCount(); }
    int GetColumnWidth(int column) const;
    bool SetColumnWidth(int column, int width);
    int InsertItem(int item, const QString& text);
    bool SetItemText(int item, int subItem, const QString& text);
    QString GetItemText(int item, int subItem) const;
    int GetItemCount() const { return rowCount(); }
    bool DeleteItem(int item);
    void DeleteAllItems();

    // Marks the column fixed (when the header already knows it) and moves it to display
    // position 0.
    void SetColumnFixed(int column);
    bool IsColumnFixed(int column) const;
    // Column -1: every column in index order. Fixed columns stay as they are; the others fit
    // their contents, and their heading too when useHeader is set. False for a bad index.
    bool AutoSizeColumns(int column = -1, bool useHeader = true);

    CFixedColumnHeader* GetHeaderCtrl() const { return header; }
    // Row pitch for painting beyond the items.
    int RowHeight() const { return rowHeight; }
    bool IsTracking() const { return tracking != 0; }

    // Colours as 32-bit values, red in the low byte; fixed at construction.
    std::uint32_t EvenTextColor() const { return evenTextColor; }
    std::uint32_t OddTextColor() const { return oddTextColor; }
    std::uint32_t EvenBackColor() const { return evenBackColor; }
    std::uint32_t OddBackColor() const { return oddBackColor; }
    std::uint32_t GridColor() const { return gridColor; }

    // Text and background colours of a row index.
    QColor RowTextColor(int row) const;
    QColor RowBackColor(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void OnDividerDragStarted(int column);
    void OnDividerDragFinished(int column);
    void OnDividerDoubleClicked(int column);
    void UpdateRowHeightFromFont();
    int BandCount() const;
    void PaintStripes(QPainter& painter) const;
    void PaintGrid(QPainter& painter) const;

    std::uint8_t tracking = 0;
    CFixedColumnHeader* header = nullptr;
    std::uint32_t evenTextColor = 0x000000;
    std::uint32_t oddTextColor = 0x000000;
    std::uint32_t evenBackColor = 0xFFFFFF;
    std::uint32_t oddBackColor = 0xFFF3EF;
    std::uint32_t gridColor = 0xE0E0E0;
    int rowHeight = 14;
};
