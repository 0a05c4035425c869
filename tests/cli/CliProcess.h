#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One run of velmora-cli as a user runs it: a process whose standard input is a closed pipe, so
// there is no terminal to answer questions on.
struct CliRun {
    int status = -1; // exit code; -1 did not start or finish, -2 crashed
    QString out;
    QString err;
};

CliRun RunCli(const QStringList& arguments,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// `arguments` of a command on a line, with a short reply time-out unless they name one: the
// simulated line answers at once, and every quiet period a search waits out lasts this long.
QStringList WithShortReplyTimeout(const QStringList& arguments);
