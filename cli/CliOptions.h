#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The command line of velmora-cli.
struct CliOptions {
    enum class Command {
        None,
        Ports,
        Search,
        Backup,
        Restore,
        Alarms,
        BackupAll,
        RestoreAll,
        Verify
    };

    Command command = Command::None;
    QString port;       // as given: a device path or COM<n>
    QString devicePath; // the device behind `port`
    int comNumber = 0;  // the COM number of the device; 0 when it has none
    int node = 0;       // 1..16
    QString file;       // absolute path
    int32_t baudRate = 38400;
    int replyTimeoutMs = 2000; // how long a controller may take to answer
    bool assumeYes = false;
    // backup-all and restore-all: every --port (the first is port/devicePath/comNumber too),
    // the set's folder and the --node values (none: all).
    struct Line {
        QString port;
        QString devicePath;
        int comNumber = 0;
    };
    QList<Line> lines;
    QString dir;
    QList<int> nodes;
    bool help = false;
    bool json = false; // verify, restore --dry-run / --verify: one JSON document on standard output
    // restore: stop before the write and list what it would send; read the controller back
    // after the write and compare; save no rollback point.
    bool dryRun = false;
    bool verifyAfterWrite = false;
    bool noRollback = false;

    // False with a message in `error` for anything it cannot take (a usage error).
    static bool Parse(const QStringList& arguments, CliOptions& options, QString& error);
    static QString Usage();
};
