#include "transfer/PortTree.h"

#include "platform/PortWatcher.h"
#include "platform/ResourceLibrary.h"
#include "porthub/PortDevices.h"
#include "transfer/TransferTexts.h"

#include <QEvent>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int kUsbIdsString = 10510;       // "USB ID: %s"
constexpr int kManufacturerString = 10511; // "Manufacturer: %s"
constexpr int kProductString = 10512;      // "Product: %s"
constexpr int kSerialNumberString = 10513; // "Serial number: %s"

const QString kFollowerName = QStringLiteral("portChangeFollower");

// Lives as a child of the tree; refills it when the port watcher reports a change.
class PortChangeFollower : public QObject {
public:
    PortChangeFollower(QTreeWidget* watchedTree, std::function<void()> refillTree)
        : QObject(watchedTree), tree(watchedTree), refill(std::move(refillTree)) {
        setObjectName(kFollowerName);
        connect(&watcher, &CPortWatcher::changed, this, &PortChangeFollower::onChange);
        tree->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == tree && event->type() == QEvent::EnabledChange && pending &&
            tree->isEnabled()) {
            pending = false;
            // After the enabling has run its course, not inside it.
            QTimer::singleShot(0, this, [this] { onChange(); });
        }
        return false;
    }

private:
    void onChange() {
        if (!tree->isEnabled()) {
            pending = true;
            return;
        }
        refill();
    }

    QTreeWidget* tree;
    std::function<void()> refill;
    CPortWatcher watcher;
    bool pending = false;
};

QString hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

namespace PortTree {

QString ItemTip(const QString& devicePath, const PortDeviceFacts* facts) {
    QStringList lines{devicePath};
    if (!facts)
        return devicePath;
    const auto add = [&lines](int format, const QString& value) {
        if (!value.isEmpty())
            lines.append(TransferTexts::Format(ResourceLibrary::LoadString(format), {value}));
    };
    if (facts->hasUsbIds)
        add(kUsbIdsString, hex4(facts->vendorId) + u':' + hex4(facts->productId));
    add(kManufacturerString, facts->manufacturer);
    add(kProductString, facts->product);
    add(kSerialNumberString, facts->serialNumber);
    return lines.join(u'\n');
}

void FollowPortChanges(QTreeWidget* tree, std::function<void()> refill) {
    if (!tree || tree->findChild<QObject*>(kFollowerName, Qt::FindDirectChildrenOnly))
        return;
    new PortChangeFollower(tree, std::move(refill));
}

QString SelectedText(const QTreeWidget* tree) {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

void SelectText(QTreeWidget* tree, const QString& text) {
    if (text.isEmpty())
        return;
    const QList<QTreeWidgetItem*> found =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive, 0);
    if (!found.isEmpty())
        tree->setCurrentItem(found.first());
}

} // namespace PortTree
