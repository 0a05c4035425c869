#include "platform/SingleInstance.h"

#include <QDir>
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
    if (lock_->tryLock(0))
        return true;
    heldByOther_ = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    return false;
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
