#pragma once

#include <QStringList>

#include <cstdio>

// velmora-cli commands that read data files only: show and diff.
namespace CliFileCommands {

// True when `arguments` (without the program name) name one of these commands.
bool Handles(const QStringList& arguments);
// The exit status: 0 done (diff: nothing differs), 1 some items differ, 2 a usage error or a file
// that cannot be read.
int Run(const QStringList& arguments, FILE* out, FILE* err);

} // namespace CliFileCommands
