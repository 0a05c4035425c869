#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One controller of a backup set.
struct ManifestEntry {
    QString line;   // COM<n>, or the device's file name outside the port table
    QString device; // the device path the line was opened on
    int node = 0;
    QString controller;
    QString user;
    QString robot;
    QString file; // relative to the set's folder; empty when the controller failed
    qint64 size = 0;
    QString sha256; // lower-case hex
    bool ok = false;
    QString reason;
};

// manifest.json of a backup set folder: written last and atomically, read back by a restore.
struct Manifest {
    QDateTime started;
    QDateTime finished;
    QList<ManifestEntry> controllers;

    static QString FileName() { return QStringLiteral("manifest.json"); }
    // "<line>-node<NN>-<controller>.kqd" with what a file name cannot hold replaced by "_".
    static QString BackupFileName(const QString& line, int node, const QString& controller);
    // SHA-256 of a file in lower-case hex; empty when it cannot be read.
    static QString FileHash(const QString& path);

    bool Write(const QString& dir, QString* reason = nullptr) const;
    bool Read(const QString& dir, QString* reason = nullptr);
    // Every ok entry's file is present with its hash; otherwise false with the first mismatch.
    bool CheckFiles(const QString& dir, QString* reason = nullptr) const;
};
