#include "app/WorkflowActions.h"

#include "alarm/DlgTransportAlarmV2.h"
#include "app/AboutDlg.h"
#include "transfer/DlgTransportGenerationV2.h"
#include "transfer/DlgTransportV2.h"

namespace {

void RunTransport(QWidget* parent, bool saveToPc) {
    CDlgTransportV2 dialog(parent);
    dialog.saveToPc = saveToPc;
    dialog.exec();
}

} // namespace

LauncherActions WorkflowActions() {
    LauncherActions actions;
    actions.backup = [](QWidget* parent) { RunTransport(parent, true); };
    actions.restore = [](QWidget* parent) { RunTransport(parent, false); };
    actions.alarmHistory = [](QWidget* parent) {
        CDlgTransportAlarmV2 dialog(parent);
        dialog.exec();
    };
    actions.generation = [](QWidget* parent) {
        CDlgTransportGenerationV2 dialog(parent);
        dialog.exec();
    };
    actions.about = [](QWidget* parent) {
        CAboutDlg dialog(parent);
        dialog.exec();
    };
    return actions;
}
