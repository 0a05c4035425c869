#pragma once

#include <QString>

#include <functional>

struct PortDeviceFacts;
class QTreeWidget;

// The port tree beyond its list of free ports: what the system knows of a port in its item's
// tip, and a fresh list when a port comes or goes while the dialog is open.
namespace PortTree {

// The tip of a port's item: its device, then for a USB adapter its USB ids, maker, product and
// serial number, each as far as the system knows it (`facts` null: the device alone).
QString ItemTip(const QString& devicePath, const PortDeviceFacts* facts);

// Calls `refill` each time a port comes or goes, for as long as `tree` exists. While the tree is
// disabled (an attempt runs) the change waits and the refill comes once it is enabled again.
// Only the first call for a tree counts.
void FollowPortChanges(QTreeWidget* tree, std::function<void()> refill);

// The text of the selected item, empty when none; and selecting the item of that text again
// after a refill, when it is still there.
QString SelectedText(const QTreeWidget* tree);
void SelectText(QTreeWidget* tree, const QString& text);

} // namespace PortTree
