#pragma once

class UserInteraction;

// The program after its QApplication exists: start-up, the launcher, shut-down, with `interaction`
// as the user-interaction service throughout. Returns the process exit code.
int RunProgram(UserInteraction& interaction);
