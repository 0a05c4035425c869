#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>

// Ways to make a file save fail that work for every user, root included.

// While it lives, no file of this process may grow beyond `bytes`: a write past the limit
// fails with EFBIG (the signal that would end the process is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool isActive() const { return active; }

private:
    rlimit previous{};
    void (*previousHandler)(int) = SIG_DFL;
    bool active = false;
};

// A folder in which no file can be created: `base`/readonly made read-only, or, where the
// permissions do not stop this user (root), a read-only system folder. Empty when none is
// found.
inline QString UnwritableFolder(const QString& base) {
    const auto refuses = [](const QString& folder) {
        QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            return false;
        }
        return QDir(folder).exists();
    };
    const QString own = QDir(base).filePath(QStringLiteral("readonly"));
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (refuses(own))
        return own;
    for (const QString& system : {QStringLiteral("/sys"), QStringLiteral("/proc")}) {
        if (refuses(system))
            return system;
    }
    return QString();
}
