#include "app/RunProgram.h"

#include "app/DlgLauncher.h"
#include "app/VelmoraApp.h"
#include "app/WorkflowActions.h"
#include "controls/ControlRegistry.h"
#include "platform/QuitOnSignal.h"
#include "platform/UserInteraction.h"

int RunProgram(UserInteraction& interaction) {
    CVelmoraApp app;
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
