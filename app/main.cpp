#include "app/DlgLauncher.h"
#include "app/VelmoraApp.h"
#include "app/WorkflowActions.h"
#include "controls/ControlRegistry.h"
#include "platform/GuiUserInteraction.h"
#include "platform/QuitOnSignal.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    CVelmoraApp app;
    GuiUserInteraction interaction;
    InstallUserInteraction(&interaction);
    QuitOnTerminationSignals();
    // Dialog templates name the program's own controls.
    RegisterControlClasses();

    app.SetMainWindowRunner([] {
        CDlgLauncher launcher(WorkflowActions());
        launcher.exec();
    });
    const bool started = app.InitInstance();
    const int code = app.ExitInstance();
    InstallUserInteraction(nullptr);
    // A refused start-up tells the shell so.
    return started ? code : 1;
}
