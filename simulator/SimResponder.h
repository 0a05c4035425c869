#pragma once

#include "simulator/SimCommand.h"
#include "simulator/SimController.h"
#include "simulator/SimParamRanges.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Refusal codes the simulated controllers answer with ("NG.<node>=<hh>").
namespace SimNg {
inline constexpr int kUnknownCommand = 0x01; // keyword unknown, not supported, or wrong form
inline constexpr int kBadItem = 0x02;        // item number missing or out of range
inline constexpr int kBadValue = 0x03;       // value missing, not a number or out of range
inline constexpr int kMalformed = 0x04;      // the line does not have the command's shape
inline constexpr int kNotInDebugMode = 0x05; // a write while the controller is not in Debug Mode
} // namespace SimNg

// How strictly the controllers behave and what they add to their replies. The defaults are
// those of a real controller, except the range checks, which need the tables.
struct SimRules {
    // Writes are refused with kNotInDebugMode while the two low bits of K20 are not 2; K20,
    // K75, K99 and @SETID are taken in any mode.
    bool debugModeForWrites = true;
    // Null: values are not range-checked. Else out-of-range K and H values are refused with
    // kBadValue.
    const SimParamRanges* ranges = nullptr;
    // Writing K76, K78 or K89 recomputes K77, K79 or K90..K92.
    bool followUps = true;
    // "LOADING.<node>" before the lines of a list reply.
    bool loadingLine = false;
    // Bytes sent before every reply line (line noise at the turn-around).
    QByteArray noise;
    // Items ("K44", "H2") whose writes are acknowledged but not kept (SimBehaviour).
    QStringList ignoredWrites;
};

// Carries out command lines on the controllers of one line and builds what they send back.
// Controllers sharing a node number all answer; a command without node is answered by every
// controller in node order. Nobody answers a node that no controller has.
namespace SimResponder {

// The bytes all addressed controllers send for `line` (without its line end). `forcedNg` >= 0
// makes every addressed controller refuse with that code instead of carrying it out.
QByteArray Respond(QList<SimController>& controllers, const QString& line, int forcedNg = -1,
                   const SimRules& rules = {});

// The lines a controller sends with its line end, each behind `noise`.
QByteArray EncodeLines(const QStringList& lines, const QByteArray& end, const QByteArray& noise);

// The parameters that follow K76 (K77), K78 (K79) and K89 (K90..K92), recomputed as the
// controller does when one of those is written; anything else is left alone.
void RecomputeFollowUps(SimController& controller, int k, const SimParamRanges* ranges);

// Automatic node numbering: in line order, the first controller of each node number keeps it;
// every later one (and one without a valid number) gets the lowest number no controller holds.
void AssignNodeNumbers(QList<SimController>& controllers);

} // namespace SimResponder
