#include "cli/CliWriteReview.h"

#include "cli/CliFileCommands.h"

CCliWriteReview::CCliWriteReview(bool isDryRun, bool asJson, FILE* stream)
    : dryRun(isDryRun), json(asJson), out(stream) {}

bool CCliWriteReview::ConfirmWrite(const ControllerData& present, const ControllerData& wanted,
                                   const QList<WholeWrite::Change>& changes) {
    reachedWrite = true;
    if (!dryRun)
        return true;
    CliFileCommands::ReportDifferencesOfModel(present, wanted, WholeWrite::WrittenItems(changes),
                                              json, out);
    return false;
}

void CCliWriteReview::ShowVerifyResult(const ControllerData& readBack,
                                       const ControllerData& written,
                                       const QList<WholeWrite::Change>& differences) {
    CliFileCommands::ReportDifferencesOfModel(readBack, written,
                                              WholeWrite::WrittenItems(differences), json, out);
}
