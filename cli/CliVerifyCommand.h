#pragma once

#include "cli/CliOptions.h"

#include <cstdio>

namespace CliCommands {

// Reads the node (no write at all) and lists what a restore of the file would write: 0 when
// nothing, 1 when something or on a failure.
int Verify(const CliOptions& options, FILE* out);

} // namespace CliCommands
