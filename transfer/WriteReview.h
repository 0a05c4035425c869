#pragma once

#include "data/ControllerData.h"
#include "data/RecordCompare.h"

#include <QList>

// What a restore or a generation shows around its whole-data write. The dialogs show a list
// dialog; the command-line tool prints (or shows nothing). The procedures call it only when one
// is set, so a workflow without it writes as it always did.
class WriteReview {
public:
    virtual ~WriteReview() = default;

    // Before anything is written: `changes` (WholeWrite::Changes of `wanted` against `present`,
    // never-written items last) is what the write will send. True writes; false writes nothing
    // and the attempt ends quietly.
    virtual bool ConfirmWrite(const ControllerData& present, const ControllerData& wanted,
                              const QList<WholeWrite::Change>& changes) = 0;

    // After a verifying read-back of the whole controller: `differences` (empty: the controller
    // holds what was written) compares `written` with `readBack`.
    virtual void ShowVerifyResult(const ControllerData& readBack, const ControllerData& written,
                                  const QList<WholeWrite::Change>& differences) = 0;
};
