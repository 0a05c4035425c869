#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& name, const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    path_ = QDir(dir).filePath(name + QStringLiteral(".lock"));
}

SingleInstance::~SingleInstance() {
    release();
}

bool SingleInstance::tryAcquire() {
    heldByOther_ = false;
    if (isHeld())
        return true;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    lock_ = std::make_unique<QLockFile>(path_);
    // A lock is stale only when its process is gone (QLockFile checks the process id and
    // host); a running copy is never timed out however long it runs.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0) ||
        (namesNobodyForLong() && lock_->removeStaleLockFile() && lock_->tryLock(0)))
        return true;
    heldByOther_ = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    return false;
}

bool SingleInstance::namesNobodyForLong() const {
    // A copy writes itself into its lock the moment it creates it; one that died in between
    // leaves a lock naming no process, which the stale-lock check never takes over. Removing
    // it takes the file's own lock first, so a copy still alive keeps its lock.
    constexpr qint64 kWritingGraceMs = 10000;
    qint64 pid = 0;
    QString host;
    QString app;
    if (lock_->error() != QLockFile::LockFailedError || lock_->getLockInfo(&pid, &host, &app))
        return false;
    const QDateTime written = QFileInfo(path_).lastModified();
    return written.isValid() && written.msecsTo(QDateTime::currentDateTime()) > kWritingGraceMs;
}

bool SingleInstance::isHeld() const {
    return lock_ && lock_->isLocked();
}

void SingleInstance::release() {
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
}
