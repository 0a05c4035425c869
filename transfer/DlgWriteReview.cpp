#include "transfer/DlgWriteReview.h"

#include "app/VelmoraApp.h"
#include "controls/ListCtrlEx.h"
#include "data/ItemPresentation.h"
#include "data/ParamInfoTable.h"
#include "platform/UserInteraction.h"
#include "transfer/TransferTexts.h"
#include "transfer/TransportDialogBase.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using TransferTexts::Format;
using TransferTexts::Text;

namespace {

constexpr int kItemHeading = 10098;
constexpr int kVerifyAfterWriting = 10490;
constexpr int kPreviewTitle = 10491;
constexpr int kItemsToWrite = 10492;   // "Items to be written: %d"
constexpr int kNothingDiffers = 10493; // "Nothing differs; only the run mode is switched."
constexpr int kNeverWrittenHeading = 10494;
constexpr int kPointDeleted = 10495;
constexpr int kVerifyEqual = 10496;
constexpr int kItemsDiffering = 10497;  // "Items that differ from the written data: %d"
constexpr int kPreviewHeadings = 10498; // name, controller, new value; tab-separated
constexpr int kVerifyHeadings = 10499;  // name, controller, written; tab-separated

// A point's thirteen fields make a long text: such a column stops at this width and shows the
// whole text as the cell's tooltip.
constexpr int kMaxValueColumnWidth = 300;
constexpr int kMaxNameColumnWidth = 240;
constexpr int kCellMargin = 12;

const ParamInfoTable* TableOf(const ControllerData& controller) {
    const CVelmoraApp* app = CVelmoraApp::instance();
    return app ? app->paramTables[controller.isPulseTrainModel() ? 1 : 0].get() : nullptr;
}

QString ValueText(const ItemText& text) {
    if (text.value.isEmpty() || text.unit.isEmpty())
        return text.value;
    return text.value + QLatin1Char(' ') + text.unit;
}

} // namespace

CDlgWriteReview::CDlgWriteReview(Kind dialogKind, const ControllerData& controller,
                                 const ControllerData& record,
                                 const QList<WholeWrite::Change>& items, QWidget* parent)
    : QDialog(parent), kind(dialogKind) {
    const bool preview = kind == Kind::Preview;
    setWindowTitle(Text(preview ? kPreviewTitle : kVerifyAfterWriting));

    countLabel = new QLabel(this);
    table = new CListCtrlEx(this);
    auto* buttons = new QDialogButtonBox(this);
    ok = buttons->addButton(QDialogButtonBox::Ok);
    if (preview)
        cancel = buttons->addButton(QDialogButtonBox::Cancel);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(countLabel);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);

    FillList(controller, record, items);

    // The count is of what the write sends; never-written items are listed but not counted.
    const qsizetype written = WholeWrite::WrittenChanges(items).size();
    if (!preview)
        countLabel->setText(Format(Text(kItemsDiffering), {QString::number(items.size())}));
    else if (written == 0)
        countLabel->setText(Text(kNothingDiffers));
    else
        countLabel->setText(Format(Text(kItemsToWrite), {QString::number(written)}));
    FitColumns();
    // OK starts with the focus, so no cell looks chosen.
    ok->setFocus();
}

CDlgWriteReview::~CDlgWriteReview() = default;

void CDlgWriteReview::FillList(const ControllerData& controller, const ControllerData& record,
                               const QList<WholeWrite::Change>& items) {
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setTextElideMode(Qt::ElideRight);
    const QStringList headings =
        Text(kind == Kind::Preview ? kPreviewHeadings : kVerifyHeadings).split(QLatin1Char('\t'));
    table->InsertColumn(kColumnItem, Text(kItemHeading));
    // The item names the row: it stays in front and keeps its width.
    table->SetColumnFixed(kColumnItem);
    for (int column = kColumnName; column < kColumnCount; ++column)
        table->InsertColumn(column, headings.value(column - kColumnName));

    for (const WholeWrite::Change& change : WholeWrite::WrittenChanges(items))
        AddRow(controller, record, change);
    for (const WholeWrite::Change& change : items) {
        if (!change.neverWritten)
            continue;
        if (headingRow < 0)
            AddHeadingRow(Text(kNeverWrittenHeading));
        AddRow(controller, record, change);
    }
}

void CDlgWriteReview::AddRow(const ControllerData& controller, const ControllerData& record,
                             const WholeWrite::Change& change) {
    const ParamInfoTable* paramTable = TableOf(controller);
    const ItemText held = PresentItem(controller, paramTable, change.item);
    const ItemText next = PresentItem(record, paramTable, change.item);
    const int row = table->InsertItem(table->GetItemCount(), change.item);
    table->SetItemText(row, kColumnName, held.name.isEmpty() ? next.name : held.name);
    table->SetItemText(row, kColumnController, ValueText(held));
    table->SetItemText(row, kColumnData,
                       change.pointDeleted ? Text(kPointDeleted) : ValueText(next));
    for (const int column : {kColumnController, kColumnData}) {
        if (QTableWidgetItem* cell = table->item(row, column))
            cell->setToolTip(cell->text());
    }
}

void CDlgWriteReview::AddHeadingRow(const QString& text) {
    headingRow = table->InsertItem(table->GetItemCount(), text);
    table->setSpan(headingRow, kColumnItem, 1, kColumnCount);
    if (QTableWidgetItem* cell = table->item(headingRow, kColumnItem)) {
        QFont font = cell->font();
        font.setBold(true);
        cell->setFont(font);
        cell->setFlags(Qt::ItemIsEnabled);
    }
}

void CDlgWriteReview::FitColumns() {
    const QFontMetrics metrics = table->fontMetrics();
    int itemWidth = metrics.horizontalAdvance(table->horizontalHeaderItem(kColumnItem)->text());
    for (int row = 0; row < table->GetItemCount(); ++row) {
        if (row != headingRow)
            itemWidth = std::max(itemWidth, metrics.horizontalAdvance(table->GetItemText(row, 0)));
    }
    table->SetColumnWidth(kColumnItem, itemWidth + kCellMargin);
    // The heading row spans every column; it must not widen the first one it starts in.
    table->AutoSizeColumns(-1, true);
    table->SetColumnWidth(kColumnName,
                          std::min(table->GetColumnWidth(kColumnName), kMaxNameColumnWidth));
    for (const int column : {kColumnController, kColumnData})
        table->SetColumnWidth(column,
                              std::min(table->GetColumnWidth(column), kMaxValueColumnWidth));

    int listWidth = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < kColumnCount; ++column)
        listWidth += table->GetColumnWidth(column);
    // Tall enough for the rows, within reason; the stripes of the list fill the rest.
    const int listHeight = 2 * table->frameWidth() +
                           table->horizontalHeader()->sizeHint().height() +
                           (table->GetItemCount() + 1) * table->RowHeight();
    const QMargins margins = layout()->contentsMargins();
    const int spacing = std::max(0, layout()->spacing());
    const int chrome = margins.top() + margins.bottom() + countLabel->sizeHint().height() +
                       ok->sizeHint().height() + 2 * spacing;
    const int width = std::clamp(listWidth + margins.left() + margins.right(), 520, 960);
    resize(width, std::clamp(listHeight + chrome, 300, 560));
    setMinimumSize(420, 240);
}

bool CDialogWriteReview::ConfirmWrite(const ControllerData& present, const ControllerData& wanted,
                                      const QList<WholeWrite::Change>& changes) {
    CDlgWriteReview dialog(CDlgWriteReview::Kind::Preview, present, wanted, changes, parent);
    return dialog.exec() == QDialog::Accepted;
}

void CDialogWriteReview::ShowVerifyResult(const ControllerData& readBack,
                                          const ControllerData& written,
                                          const QList<WholeWrite::Change>& differences) {
    if (differences.isEmpty()) {
        UI().ShowMessage(parent, Text(kVerifyEqual), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    CDlgWriteReview dialog(CDlgWriteReview::Kind::VerifyResult, readBack, written, differences,
                           parent);
    dialog.exec();
}

QCheckBox* AddVerifyAfterWriteBox(CTransportDialogBase& dialog) {
    auto* box = new QCheckBox(Text(kVerifyAfterWriting), &dialog);
    QTreeWidget* tree = dialog.connectionTree();
    if (!tree)
        return box;
    const int rowHeight = box->sizeHint().height();
    tree->resize(tree->width(), tree->height() - rowHeight - kVerifyBoxGap);
    box->setGeometry(tree->x(), tree->geometry().bottom() + 1 + kVerifyBoxGap, tree->width(),
                     rowHeight);
    box->show();
    QWidget::setTabOrder(tree, box);
    if (dialog.okButton())
        QWidget::setTabOrder(box, dialog.okButton());
    return box;
}
