#include "transfer/LineProgressList.h"

#include "app/VelmoraApp.h"
#include "controls/BusyPanel.h"
#include "controls/DrawnProgressBar.h"
#include "transfer/TransferTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPixmap>
#include <QThread>

namespace {

constexpr int kSearchingText = 41003;
constexpr int kNodeHeading = 10471;
constexpr int kControllerHeading = 10472;
constexpr int kStateHeading = 10473;
constexpr int kWaitingText = 10474;
constexpr int kDoneText = 10475;
constexpr int kSearchRowNode = 0;
constexpr int kIconSize = 16;
constexpr int kArrowCount = 12;
constexpr int kStateRole = Qt::UserRole;
constexpr int kNodeRole = Qt::UserRole + 1;

using TransferTexts::Text;

// A green tick or a red cross, drawn at the list's icon size.
QIcon Mark(bool tick) {
    QPixmap pixmap(kIconSize * 2, kIconSize * 2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    QPen pen(tick ? QColor(0x1f, 0x9d, 0x3a) : QColor(0xd3, 0x2f, 0x2f), 2.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    if (tick) {
        painter.drawPolyline(QPolygonF{{3.0, 8.5}, {6.5, 12.0}, {13.0, 4.0}});
    } else {
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    painter.end();
    pixmap.setDevicePixelRatio(2);
    return QIcon(pixmap);
}

// The busy panel's end icons: the PC and the controller.
QIcon PanelIcon(int index) {
    if (const CVelmoraApp* app = CVelmoraApp::instance(); app && !app->panelIcons[index].isNull())
        return app->panelIcons[index];
    return CBusyPanel::LoadPanelIcon(index == 0 ? CBusyPanel::kLeftIconId
                                                : CBusyPanel::kRightIconId);
}

QString NodeText(int node) {
    return QStringLiteral("%1").arg(node, 2, 10, QLatin1Char('0'));
}

} // namespace

CLineProgressList::CLineProgressList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(3);
    setHeaderLabels({Text(kNodeHeading), Text(kControllerHeading), Text(kStateHeading)});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(kIconSize, kIconSize));
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    setColumnWidth(kNodeColumn, 44);
    setColumnWidth(kControllerColumn, 92);
    tick.setInterval(CBusyPanel::kTickMs);
    tick.setTimerType(Qt::PreciseTimer);
    connect(&tick, &QTimer::timeout, this, [this] {
        if (arrows)
            arrows->stepIt();
    });
}

template <typename Change> void CLineProgressList::OnListThread(Change change) {
    if (QThread::currentThread() == thread())
        change();
    else
        QMetaObject::invokeMethod(this, change, Qt::QueuedConnection);
}

void CLineProgressList::Start(bool towardsPc) {
    towards = towardsPc;
    ShowArrows(nullptr);
    clear();
    auto* row = new QTreeWidgetItem(this);
    row->setData(kNodeColumn, kNodeRole, kSearchRowNode);
    row->setText(kControllerColumn, Text(kSearchingText));
    SetState(row, State::Searching, QString());
    ShowArrows(row);
}

void CLineProgressList::AddWaiting(const QList<ManifestEntry>& entries) {
    for (const ManifestEntry& entry : entries)
        SetState(RowOf(entry.node, entry.controller), State::Waiting, Text(kWaitingText));
}

void CLineProgressList::Finish() {
    OnListThread([this] {
        if (QTreeWidgetItem* row = SearchRow()) {
            ShowArrows(nullptr);
            delete row;
        }
    });
}

QTreeWidgetItem* CLineProgressList::SearchRow() const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->data(kNodeColumn, kNodeRole).toInt() == kSearchRowNode)
            return topLevelItem(i);
    }
    return nullptr;
}

QTreeWidgetItem* CLineProgressList::RowOf(int node, const QString& controller) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->data(kNodeColumn, kNodeRole).toInt() == node)
            return topLevelItem(i);
    }
    auto* row = new QTreeWidgetItem(this);
    row->setData(kNodeColumn, kNodeRole, node);
    row->setText(kNodeColumn, NodeText(node));
    row->setText(kControllerColumn, controller);
    row->setToolTip(kControllerColumn, controller);
    return row;
}

void CLineProgressList::SetState(QTreeWidgetItem* row, State state, const QString& text,
                                 const QString& tip) {
    row->setData(kStateColumn, kStateRole, static_cast<int>(state));
    row->setText(kStateColumn, text);
    row->setToolTip(kStateColumn, tip.isEmpty() ? text : tip);
    switch (state) {
    case State::Done:
        row->setIcon(kStateColumn, Mark(true));
        break;
    case State::Failed:
        row->setIcon(kStateColumn, Mark(false));
        break;
    default:
        row->setIcon(kStateColumn, QIcon());
        break;
    }
}

void CLineProgressList::ShowArrows(QTreeWidgetItem* row) {
    tick.stop();
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (QWidget* cell = itemWidget(item, kStateColumn)) {
            removeItemWidget(item, kStateColumn);
            // The view only defers its deletion, and a run's waits deliver no deferred
            // deletions: it would stay on screen over the row's new state.
            delete cell;
        }
    }
    arrows = nullptr;
    if (!row)
        return;
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(2, 1, 4, 1);
    layout->setSpacing(3);
    const auto icon = [cell](int index) {
        auto* label = new QLabel(cell);
        label->setPixmap(PanelIcon(index).pixmap(kIconSize, kIconSize));
        return label;
    };
    // The busy panel's arrows: towards the PC on its left for a backup.
    arrows =
        new CDrawnProgressBar(false, CDrawnProgressBar::Arrows, false, false, false, towards, cell);
    arrows->setArrowCount(kArrowCount);
    arrows->setFixedHeight(kIconSize - 4);
    layout->addWidget(icon(0));
    layout->addWidget(arrows, 1);
    layout->addWidget(icon(1));
    setItemWidget(row, kStateColumn, cell);
    scrollToItem(row);
    tick.start();
}

void CLineProgressList::LineSearched(const QString&, int) {
    Finish();
}

void CLineProgressList::ControllerStarted(const QString&, int node, const QString& controller) {
    OnListThread([this, node, controller] {
        QTreeWidgetItem* row = RowOf(node, controller);
        SetState(row, State::Busy, QString());
        ShowArrows(row);
    });
}

void CLineProgressList::ControllerEnded(const QString&, int node, const QString& controller,
                                        bool ok, const QString& reason, double seconds) {
    OnListThread([this, node, controller, ok, reason, seconds] {
        QTreeWidgetItem* row = RowOf(node, controller);
        ShowArrows(nullptr);
        if (ok) {
            // A controller that took its data may still ask for a restart.
            QString done =
                TransferTexts::Format(Text(kDoneText), {QString::number(seconds, 'f', 1)});
            if (!reason.isEmpty())
                done += QLatin1Char(' ') + reason;
            SetState(row, State::Done, done);
        } else {
            // The cell shows why on one line, without the failure's heading ("Data transfer
            // failed.") where a reason follows it; the tool tip keeps it as written.
            const qsizetype cause = reason.indexOf(QStringLiteral("\n\n"));
            const QString shown = cause > 0 ? reason.mid(cause + 2) : reason;
            SetState(row, State::Failed, shown.simplified(), reason);
        }
        scrollToItem(row);
    });
}

CLineProgressList::State CLineProgressList::StateOf(int node, QString* text) const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = topLevelItem(i);
        if (row->data(kNodeColumn, kNodeRole).toInt() != node)
            continue;
        if (text)
            *text = row->toolTip(kStateColumn);
        return static_cast<State>(row->data(kStateColumn, kStateRole).toInt());
    }
    if (text)
        text->clear();
    return State::Waiting;
}

QList<int> CLineProgressList::Nodes() const {
    QList<int> nodes;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const int node = topLevelItem(i)->data(kNodeColumn, kNodeRole).toInt();
        if (node != kSearchRowNode)
            nodes << node;
    }
    return nodes;
}
