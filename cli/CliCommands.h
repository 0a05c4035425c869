#pragma once

#include "cli/CliOptions.h"

#include <cstdio>

// The subcommands of velmora-cli. Each returns the exit status: 0 done, 1 failure or refusal.
namespace CliCommands {

int Ports(FILE* out);
int Search(const CliOptions& options, FILE* out);
// A restore's --dry-run and --verify list items on `out`.
int BackupOrRestore(const CliOptions& options, FILE* out);
int Alarms(const CliOptions& options);

} // namespace CliCommands
