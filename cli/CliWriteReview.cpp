#include "cli/CliWriteReview.h"

#include "cli/CliFileCommands.h"
#include "data/ParamInfoTable.h"

namespace {

// The items a write sends, in its order; those it never sends are not part of it.
QStringList WrittenItems(const QList<WholeWrite::Change>& changes) {
    QStringList items;
    for (const WholeWrite::Change& change : changes) {
        if (!change.neverWritten)
            items << change.item;
    }
    return items;
}

// Lists `items` with the controller's value first, under the parameter table of its model.
void Report(const ControllerData& controller, const ControllerData& other, const QStringList& items,
            bool json, FILE* out) {
    ParamInfoTableSlot table;
    LoadParamInfoTable(table, controller.isPulseTrainModel() ? 1 : 0);
    CliFileCommands::ReportDifferences(controller, other, table.get(), items, json, out);
    FreeParamInfoTable(table);
}

} // namespace

CCliWriteReview::CCliWriteReview(bool isDryRun, bool asJson, FILE* stream)
    : dryRun(isDryRun), json(asJson), out(stream) {}

bool CCliWriteReview::ConfirmWrite(const ControllerData& present, const ControllerData& wanted,
                                   const QList<WholeWrite::Change>& changes) {
    reachedWrite = true;
    if (!dryRun)
        return true;
    Report(present, wanted, WrittenItems(changes), json, out);
    return false;
}

void CCliWriteReview::ShowVerifyResult(const ControllerData& readBack,
                                       const ControllerData& written,
                                       const QList<WholeWrite::Change>& differences) {
    Report(readBack, written, WrittenItems(differences), json, out);
}
