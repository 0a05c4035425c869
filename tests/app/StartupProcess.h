#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A copy of the program in a folder of its own, with a runtime folder and a message log, so
// that tests can break the installation and start real processes of it.
class Installation {
public:
    // `library`: the resource library to install; empty for the one the build made (or, until
    // the build makes one, the test library holding the shipped texts).
    explicit Installation(const QString& library = QString());

    bool isValid() const { return valid_; }
    QString programDirectory() const { return programDir_; }
    QString libraryPath() const { return programDir_ + QStringLiteral("/langresFree.rcc"); }
    QString recordPath() const { return programDir_ + QStringLiteral("/system.dat"); }
    QString lockPath() const { return runtimeDir_ + QStringLiteral("/VelmoraFree.lock"); }
    // Shares the runtime folder (and so the single-instance lock) of `other`.
    void shareRuntimeWith(const Installation& other);

    std::unique_ptr<QProcess> start(const QString& workingDirectory = QString()) const;
    // Runs to the end; false when it did not end in time.
    bool run(int* exitCode, const QString& workingDirectory = QString()) const;

    // Logged messages, each "<icon>\t<text>" with the text's line breaks as "\n".
    QStringList messages() const;

    // Flips one byte in the middle of the largest payload of the library: the file stays a
    // loadable resource file but its digest changes.
    bool damageLibrary() const;

private:
    QTemporaryDir dir_;
    QString programDir_;
    QString runtimeDir_;
    QString logPath_;
    bool valid_ = false;
};

// Waits until `path` exists (or vanishes, with `exists` false); false on time-out.
bool WaitForFile(const QString& path, bool exists = true, int timeoutMs = 15000);
// Waits until the lock file names process `pid` as its holder.
bool WaitForLockOwner(const QString& path, qint64 pid, int timeoutMs = 15000);
