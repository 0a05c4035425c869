#pragma once

#include "cli/CliOptions.h"

// backup-all and restore-all of velmora-cli. Each returns the exit status: 0 when every
// controller succeeded, 1 when any failed or the run was refused.
namespace LineCommands {

int BackupAll(const CliOptions& options);
int RestoreAll(const CliOptions& options);

} // namespace LineCommands
