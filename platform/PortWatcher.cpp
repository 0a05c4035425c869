#include "platform/PortWatcher.h"

#include "platform/ComPortTable.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr const char* kDeviceFolder = "/dev";

} // namespace

CPortWatcher::CPortWatcher(QObject* parent) : QObject(parent) {
    settle.setSingleShot(true);
    settle.setInterval(kSettleMs);
    connect(&settle, &QTimer::timeout, this, &CPortWatcher::changed);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &CPortWatcher::onFolderChanged);
    watchFolders();
}

CPortWatcher::~CPortWatcher() = default;

QStringList CPortWatcher::watchedFolders() const {
    return watcher.directories();
}

void CPortWatcher::watchFolders() {
    QStringList wanted{QString::fromLatin1(kDeviceFolder)};
    // The simulator makes its folder when it publishes its first line: until then the folder
    // above it tells when it appears.
    const QString lines = ComPortTable::SimulatorLineFolder();
    wanted.append(QFileInfo(lines).isDir() ? lines : QFileInfo(lines).absolutePath());
    const QStringList current = watcher.directories();
    for (const QString& folder : current) {
        if (!wanted.contains(folder))
            watcher.removePath(folder);
    }
    for (const QString& folder : wanted) {
        if (!current.contains(folder) && QFileInfo(folder).isDir())
            watcher.addPath(folder);
    }
}

void CPortWatcher::onFolderChanged() {
    // The simulator's folder may have been made or removed: watch what is there now.
    watchFolders();
    settle.start();
}
