#pragma once

#include "data/ControllerData.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a whole-data write sends: the one place that decides which items differ and would be
// written, shared by the write itself and every compare of two records.
namespace WholeWrite {

// K parameters in the order the write sends them: the decimal places first (they decide how
// the controller reads every length after), then K21.., then K1..K19. The run mode and the
// node number are not in it.
const QList<int>& ParamOrder();
// Parameters the controller's value wins for: the write reads them back instead.
bool IsReadOnlyParam(int k);
bool NameWritten(const ControllerData& wanted, const ControllerData& present);
bool PointDeleted(const PointRecord& wanted, const PointRecord& present);
bool PointChanged(const PointRecord& wanted, const PointRecord& present);

struct Change {
    QString item;              // "K44", "H0", "PNT3", or the data file's key ("ROBOT", ...)
    bool neverWritten = false; // differs, but a whole-data write leaves the controller's value
    bool pointDeleted = false;
};

// The items of `wanted` that differ from `present`, in the order the write would send them,
// followed by those it never sends.
QList<Change> Changes(const ControllerData& wanted, const ControllerData& present);
// Of `changes`, those a whole-data write sends, in its order.
QList<Change> WrittenChanges(const QList<Change>& changes);
// Their item names ("K44", "PNT3", ...).
QStringList WrittenItems(const QList<Change>& changes);

// The items of `asked` that `written` holds otherwise. Items never written are left out: there
// the controller's value is the one wanted.
QStringList ItemsNotTaken(const ControllerData& asked, const ControllerData& written);

} // namespace WholeWrite
