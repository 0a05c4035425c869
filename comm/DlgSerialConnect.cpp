#include "comm/DlgSerialConnect.h"

#include "platform/DialogWindows.h"
#include "platform/ResourceArt.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTreeWidget>

namespace {

constexpr int kTitleNodeSelect = 924;
constexpr int kTitleSwitchController = 911;
constexpr int kIconNodeSelect = 21003;
constexpr int kIconSwitchController = 21045;
constexpr int kHeadingNode = 355;
constexpr int kHeadingControllerName = 336;
constexpr int kHeadingUserName = 344;

const QString kCurrentMark = QStringLiteral("*");

} // namespace

CDlgSerialConnect::CDlgSerialConnect(QWidget* parent) : QDialog(parent) {
    LoadDialogTemplate(kTemplateId, this);
    nodeList = FindControl<QTreeWidget>(this, kIdNodeList);
    okButton = FindControl<QPushButton>(this, kIdOk);
    researchButton = FindControl<QPushButton>(this, kIdResearch);
    cancelButton = FindControl<QPushButton>(this, kIdCancel);
    if (okButton)
        connect(okButton, &QPushButton::clicked, this, &CDlgSerialConnect::OnOk);
    if (researchButton)
        connect(researchButton, &QPushButton::clicked, this, &CDlgSerialConnect::OnResearch);
    if (cancelButton)
        connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    if (nodeList) {
        connect(nodeList, &QTreeWidget::itemSelectionChanged, this,
                &CDlgSerialConnect::OnSelectionChanged);
        connect(nodeList, &QTreeWidget::itemDoubleClicked, this,
                &CDlgSerialConnect::OnRowDoubleClicked);
    }
    DialogWindows::FixSize(this);
}

CDlgSerialConnect::~CDlgSerialConnect() = default;

void CDlgSerialConnect::CopyNodeTable(const CControllerSession& session) {
    nodePresent = session.nodePresent;
    nodeModelName = session.nodeModelName;
    nodeUserName = session.nodeUserName;
}

void CDlgSerialConnect::showEvent(QShowEvent* event) {
    // Filled afresh for every showing: the caller sets the members in between.
    if (!event->spontaneous())
        InitDialog();
    QDialog::showEvent(event);
}

void CDlgSerialConnect::InitDialog() {
    researchRequested = false;
    setWindowTitle(
        ResourceLibrary::LoadString(nodeSelectMode ? kTitleNodeSelect : kTitleSwitchController));
    titleIcon = ResourceArt::Icon(nodeSelectMode ? kIconNodeSelect : kIconSwitchController);
    setWindowIcon(titleIcon);

    if (nodeList) {
        const QSignalBlocker blocker(nodeList);
        nodeList->clear();
        nodeList->setColumnCount(4);
        nodeList->setHeaderLabels({QString(), ResourceLibrary::LoadString(kHeadingNode),
                                   ResourceLibrary::LoadString(kHeadingControllerName),
                                   ResourceLibrary::LoadString(kHeadingUserName)});
        QHeaderView* header = nodeList->header();
        // Columns are neither sorted nor sized by the user.
        header->setSectionsClickable(false);
        header->setSectionsMovable(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setStretchLastSection(false);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // A heading wider than its column in the present font widens the column rather than
        // being cut off; the list scrolls sideways as needed.
        const int widths[] = {15, 50, 100, 190};
        const QFontMetrics metrics = header->fontMetrics();
        const int padding =
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 4;
        for (int column = 0; column < 4; ++column) {
            const QString heading = nodeList->headerItem()->text(column);
            const int needed = heading.isEmpty() ? 0 : metrics.horizontalAdvance(heading) + padding;
            nodeList->setColumnWidth(column, qMax(widths[column], needed));
        }
        nodeList->setSelectionMode(QAbstractItemView::SingleSelection);
        nodeList->setSelectionBehavior(QAbstractItemView::SelectRows);
        nodeList->setRootIsDecorated(false);

        QTreeWidgetItem* marked = nullptr;
        for (int n = 1; n <= kNodeCount; ++n) {
            if (!nodePresent[n - 1])
                continue;
            auto* row = new QTreeWidgetItem(nodeList);
            row->setText(0, n == selectedNode ? kCurrentMark : QString());
            row->setText(1, QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
            row->setText(2, nodeModelName[n - 1]);
            row->setText(3, nodeUserName[n - 1]);
            if (n == selectedNode)
                marked = row;
        }
        if (marked) {
            nodeList->setCurrentItem(marked);
            marked->setSelected(true);
        }
    }
    if (researchButton)
        researchButton->setEnabled(researchAllowed);
    // The present connection is marked and selected; a choice needs another row.
    if (okButton)
        okButton->setEnabled(false);
    if (nodeList)
        nodeList->setFocus();
    DialogWindows::FixSize(this);
    DialogWindows::GiveAccessKeys(this);
}

void CDlgSerialConnect::OnSelectionChanged() {
    if (!okButton || !nodeList)
        return;
    const QList<QTreeWidgetItem*> selected = nodeList->selectedItems();
    okButton->setEnabled(!selected.isEmpty() && selected.first()->text(0) != kCurrentMark);
}

void CDlgSerialConnect::OnOk() {
    if (!okButton || !okButton->isEnabled() || !nodeList)
        return;
    const QList<QTreeWidgetItem*> selected = nodeList->selectedItems();
    if (selected.isEmpty())
        return;
    selectedNode = static_cast<uint8_t>(selected.first()->text(1).toInt());
    researchRequested = false;
    accept();
}

void CDlgSerialConnect::OnRowDoubleClicked(QTreeWidgetItem* row) {
    // As in the port tree: a double click chooses the row, under OK's own rule.
    if (!row || !nodeList)
        return;
    nodeList->setCurrentItem(row);
    OnOk();
}

void CDlgSerialConnect::OnResearch() {
    researchRequested = true;
    accept();
}
