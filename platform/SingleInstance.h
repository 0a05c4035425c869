#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One running copy per user: a lock file named after the program in the user's runtime
// folder, held until this object goes (or the process ends). A lock left by a process that
// no longer runs is taken over, and so is one that names no process and is not being written.
class SingleInstance {
public:
    // `name`: the program's file name without extension, e.g. "VelmoraFree".
    // `folder`: empty for the user's runtime folder.
    explicit SingleInstance(const QString& name, const QString& folder = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock; false when another running copy holds it or
    // the lock file cannot be created.
    bool tryAcquire();
    bool isHeld() const;
    void release();

    // True when tryAcquire failed because another running copy holds the lock.
    bool heldByOther() const { return heldByOther_; }
    QString lockFilePath() const { return path_; }

private:
    // The lock is held by another, names no process and was written long ago.
    bool namesNobodyForLong() const;

    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool heldByOther_ = false;
};
