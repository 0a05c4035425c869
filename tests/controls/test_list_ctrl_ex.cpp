#include "controls/FixedColumnHeader.h"
#include "controls/ListCtrlEx.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kEven(255, 255, 255);
const QColor kOdd(0xEF, 0xF3, 0xFF);
const QColor kGrid(0xE0, 0xE0, 0xE0);

// The summary list as the new data dialog sets it up: hidden fixed column 0, then two more.
struct ListHost {
    ListHost() {
        QFont font = list.font();
        font.setPixelSize(12);
        list.setFont(font);
        list.resize(400, 240);
        list.InsertColumn(0, QString(), 0);
        list.SetColumnFixed(0);
        list.InsertColumn(1, QStringLiteral("Item"), 120);
        list.InsertColumn(2, QStringLiteral("Value"), 100);
        list.show();
        QApplication::processEvents();
    }
    QImage Viewport() const {
        return list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QColor At(const QImage& image, int x, int y) const { return QColor(image.pixel(x, y)); }
    void SendToHeader(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QWidget* target = list.GetHeaderCtrl()->viewport();
        const QPointF pos(x, list.GetHeaderCtrl()->height() / 2);
        QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void Drag(int fromX, int toX) {
        SendToHeader(QEvent::MouseButtonPress, fromX, Qt::LeftButton, Qt::LeftButton);
        SendToHeader(QEvent::MouseMove, toX, Qt::NoButton, Qt::LeftButton);
        SendToHeader(QEvent::MouseButtonRelease, toX, Qt::LeftButton, Qt::NoButton);
    }
    void DoubleClick(int x) {
        SendToHeader(QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton);
        SendToHeader(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
        SendToHeader(QEvent::MouseButtonDblClick, x, Qt::LeftButton, Qt::LeftButton);
        SendToHeader(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
    }
    CListCtrlEx list;
};

} // namespace

TEST(ListCtrlExPainting, EmptyListShowsStripesAndGrid) {
    ListHost host;
    ASSERT_EQ(host.list.RowHeight(), 15); // a 12 px font: 12 * 1.3, truncated
    const QImage image = host.Viewport();
    const int pitch = host.list.RowHeight();
    const int bands = image.height() / pitch;
    ASSERT_GE(bands, 10);
    for (int band = 0; band < bands; ++band) {
        const int middle = band * pitch + pitch / 2;
        EXPECT_EQ(host.At(image, 60, middle), band % 2 ? kOdd : kEven) << "band " << band;
        EXPECT_EQ(host.At(image, 300, middle), band % 2 ? kOdd : kEven) << "band " << band;
        EXPECT_EQ(host.At(image, 60, (band + 1) * pitch - 1), kGrid) << "line " << band;
    }
    // Vertical lines on the last pixel of each visible column, from top to bottom.
    for (int y : {1, image.height() / 2, image.height() - 1}) {
        EXPECT_EQ(host.At(image, 119, y), kGrid) << y;
        EXPECT_EQ(host.At(image, 219, y), kGrid) << y;
    }
    EXPECT_NE(host.At(image, 118, pitch / 2), kGrid);
}

TEST(ListCtrlExPainting, StripesContinueBelowTheItemsAtTheRowPitch) {
    ListHost host;
    for (int row = 0; row < 3; ++row) {
        host.list.InsertItem(row, QString());
        host.list.SetItemText(row, 1, QStringLiteral("Row %1").arg(row));
    }
    const int pitch = host.list.RowHeight();
    EXPECT_EQ(pitch, static_cast<QTableView&>(host.list).rowHeight(0));
    const QImage image = host.Viewport();
    for (int row = 0; row < 8; ++row) {
        const int middle = row * pitch + pitch / 2;
        const QColor expected = row % 2 ? kOdd : kEven;
        EXPECT_EQ(host.At(image, 180, middle), expected) << "row " << row; // empty value cell
        EXPECT_EQ(host.At(image, 320, middle), expected) << "row " << row; // right of the items
        EXPECT_EQ(host.At(image, 320, (row + 1) * pitch - 1), kGrid) << "row " << row;
    }
}

TEST(ListCtrlExPainting, DividerDragPaintsPlainUntilItEnds) {
    ListHost host;
    const int pitch = host.list.RowHeight();
    host.SendToHeader(QEvent::MouseButtonPress, 119, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(host.list.IsTracking());
    host.SendToHeader(QEvent::MouseMove, 160, Qt::NoButton, Qt::LeftButton);
    QImage image = host.Viewport();
    EXPECT_EQ(host.At(image, 300, pitch + pitch / 2), kEven); // no stripe
    EXPECT_NE(host.At(image, 300, 2 * pitch - 1), kGrid);     // no grid

    host.SendToHeader(QEvent::MouseButtonRelease, 160, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(host.list.IsTracking());
    EXPECT_GT(host.list.GetColumnWidth(1), 140);
    image = host.Viewport();
    EXPECT_EQ(host.At(image, 300, pitch + pitch / 2), kOdd);
    EXPECT_EQ(host.At(image, 300, 2 * pitch - 1), kGrid);
}

TEST(ListCtrlExFixedColumn, HiddenFixedColumnCannotBeWidened) {
    ListHost host;
    host.list.InsertItem(0, QStringLiteral("a long hidden text"));
    CFixedColumnHeader* header = host.list.GetHeaderCtrl();

    // The divider of the zero-width column sits at the left edge.
    ASSERT_EQ(header->DividerAt(1), 0);
    host.SendToHeader(QEvent::MouseMove, 2, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(header->AllowCursor());
    EXPECT_NE(header->cursor().shape(), Qt::SplitHCursor);
    // A normal divider shows the resize cursor.
    host.SendToHeader(QEvent::MouseMove, 119, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(header->AllowCursor());
    EXPECT_EQ(header->cursor().shape(), Qt::SplitHCursor);

    host.Drag(1, 80);
    EXPECT_FALSE(host.list.IsTracking());
    EXPECT_EQ(host.list.GetColumnWidth(0), 0);
    EXPECT_EQ(host.list.GetColumnWidth(1), 120);

    host.DoubleClick(1);
    EXPECT_EQ(host.list.GetColumnWidth(0), 0);

    QTest::keyClick(&host.list, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(host.list.GetColumnWidth(0), 0);
}

TEST(ListCtrlExFixedColumn, PlusOnTheKeypadAutoSizesTheOthers) {
    ListHost host;
    host.list.InsertItem(0, QString());
    host.list.SetItemText(0, 2,
                          QStringLiteral("A value that is clearly wider than one hundred pixels"));
    const int textWidth = host.list.fontMetrics().horizontalAdvance(host.list.GetItemText(0, 2));

    QTest::keyClick(&host.list, Qt::Key_Plus, Qt::ControlModifier); // main keyboard: nothing
    EXPECT_EQ(host.list.GetColumnWidth(2), 100);

    QTest::keyClick(&host.list, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_GE(host.list.GetColumnWidth(2), textWidth);
    EXPECT_LT(host.list.GetColumnWidth(1), 120); // shrinks to its heading "Item"
    EXPECT_GE(host.list.GetColumnWidth(1),
              host.list.fontMetrics().horizontalAdvance(QStringLiteral("Item")));
    EXPECT_EQ(host.list.GetColumnWidth(0), 0);
}

TEST(ListCtrlExFixedColumn, DoubleClickOnADividerFitsContents) {
    ListHost host;
    host.list.InsertItem(0, QString());
    host.list.SetItemText(0, 1, QStringLiteral("Number of Decimal Places and more"));
    const int textWidth = host.list.fontMetrics().horizontalAdvance(host.list.GetItemText(0, 1));
    ASSERT_GT(textWidth, 120);
    host.DoubleClick(119);
    EXPECT_GE(host.list.GetColumnWidth(1), textWidth);
}

TEST(ListCtrlExFixedColumn, BitsFollowColumnInsertionAndDeletion) {
    ListHost host;
    ASSERT_TRUE(host.list.IsColumnFixed(0));
    ASSERT_EQ(host.list.GetHeaderCtrl()->FixedBitCount(), 3);

    host.list.InsertColumn(0, QStringLiteral("New"), 50);
    EXPECT_FALSE(host.list.IsColumnFixed(0));
    EXPECT_TRUE(host.list.IsColumnFixed(1));
    EXPECT_EQ(host.list.GetHeaderCtrl()->FixedBitCount(), 4);

    host.list.InsertColumn(4, QStringLiteral("Last"), 50);
    EXPECT_TRUE(host.list.IsColumnFixed(1));
    EXPECT_FALSE(host.list.IsColumnFixed(4));

    ASSERT_TRUE(host.list.DeleteColumn(0));
    EXPECT_TRUE(host.list.IsColumnFixed(0));
    EXPECT_EQ(host.list.GetHeaderCtrl()->FixedBitCount(), 4);

    ASSERT_TRUE(host.list.DeleteColumn(0)); // the fixed one itself
    EXPECT_FALSE(host.list.IsColumnFixed(0));
    EXPECT_EQ(host.list.GetHeaderCtrl()->FixedBitCount(), 3);
    EXPECT_FALSE(host.list.DeleteColumn(7));
}

TEST(ListCtrlExFixedColumn, SetColumnFixedMovesItToTheFront) {
    CListCtrlEx list;
    for (int i = 0; i < 4; ++i)
        list.InsertColumn(i, QStringLiteral("C%1").arg(i), 40);
    list.SetColumnFixed(2);
    QHeaderView* header = list.GetHeaderCtrl();
    EXPECT_TRUE(list.IsColumnFixed(2));
    EXPECT_EQ(header->visualIndex(2), 0);
    EXPECT_EQ(header->visualIndex(0), 1);
    EXPECT_EQ(header->visualIndex(1), 2);
    EXPECT_EQ(header->visualIndex(3), 3);

    list.SetColumnFixed(9); // unknown column: nothing happens
    EXPECT_EQ(list.GetHeaderCtrl()->FixedBitCount(), 4);
}

TEST(ListCtrlExFixedColumn, AutoSizeLeavesFixedColumnsAlone) {
    CListCtrlEx list;
    list.InsertColumn(0, QString(), 0);
    list.SetColumnFixed(0);
    list.InsertColumn(1, QStringLiteral("A rather long heading"), 10);
    list.InsertItem(0, QStringLiteral("hidden text"));
    list.SetItemText(0, 1, QStringLiteral("x"));

    EXPECT_TRUE(list.AutoSizeColumns(0, true));
    EXPECT_EQ(list.GetColumnWidth(0), 0);

    EXPECT_TRUE(list.AutoSizeColumns(1, false));
    const int contentsOnly = list.GetColumnWidth(1);
    EXPECT_TRUE(list.AutoSizeColumns(1, true));
    const int withHeading = list.GetColumnWidth(1);
    EXPECT_GT(withHeading, contentsOnly);
    EXPECT_GE(withHeading,
              list.fontMetrics().horizontalAdvance(QStringLiteral("A rather long heading")));

    EXPECT_FALSE(list.AutoSizeColumns(2, true));
    EXPECT_FALSE(list.AutoSizeColumns(-2, true));
}

TEST(ListCtrlExItems, ItemOperationsCheckTheirIndices) {
    CListCtrlEx list;
    EXPECT_EQ(list.InsertItem(-1, QStringLiteral("x")), -1);
    list.InsertColumn(0, QStringLiteral("A"), 40);
    list.InsertColumn(1, QStringLiteral("B"), 40);
    EXPECT_EQ(list.InsertItem(5, QStringLiteral("first")), 0); // appended
    EXPECT_EQ(list.InsertItem(0, QStringLiteral("second")), 0);
    EXPECT_EQ(list.GetItemText(1, 0), QStringLiteral("first"));
    EXPECT_TRUE(list.SetItemText(1, 1, QStringLiteral("value")));
    EXPECT_FALSE(list.SetItemText(1, 2, QStringLiteral("no such column")));
    EXPECT_FALSE(list.SetItemText(2, 0, QStringLiteral("no such row")));
    EXPECT_EQ(list.GetItemText(1, 1), QStringLiteral("value"));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("first"));
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}
