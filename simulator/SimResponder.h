#pragma once

#include "simulator/SimCommand.h"
#include "simulator/SimController.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Refusal codes the simulated controllers answer with ("NG.<node>=<hh>").
namespace SimNg {
inline constexpr int kUnknownCommand = 0x01; // keyword unknown, not supported, or wrong form
inline constexpr int kBadItem = 0x02;        // item number missing or out of range
inline constexpr int kBadValue = 0x03;       // value missing, not a number or out of range
inline constexpr int kMalformed = 0x04;      // the line does not have the command's shape
} // namespace SimNg

// Carries out command lines on the controllers of one line and builds what they send back.
// Controllers sharing a node number all answer; a command without node is answered by every
// controller in node order. Nobody answers a node that no controller has.
namespace SimResponder {

// The bytes all addressed controllers send for `line` (without its line end). `forcedNg` >= 0
// makes every addressed controller refuse with that code instead of carrying it out.
QByteArray Respond(QList<SimController>& controllers, const QString& line, int forcedNg = -1);

// Automatic node numbering: in line order, the first controller of each node number keeps it;
// every later one (and one without a valid number) gets the lowest number no controller holds.
void AssignNodeNumbers(QList<SimController>& controllers);

} // namespace SimResponder
