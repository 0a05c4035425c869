#pragma once

#include "app/DlgLauncher.h"

// The launcher's actions with the program's real dialogs: each is constructed on the spot, run
// modally over the launcher and destroyed when it returns.
LauncherActions WorkflowActions();
