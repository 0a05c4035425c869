#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Tells when a port of the port table may have come or gone: a device made or removed in /dev
// (a USB adapter plugged in or out) or a simulator line published or withdrawn. The system
// reports changes to the watched folders; nothing is polled. A burst of changes (a device node
// made, then its group and mode set) gives one `changed` once the folders have been quiet for
// kSettleMs.
class CPortWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 300;

    explicit CPortWatcher(QObject* parent = nullptr);
    ~CPortWatcher() override;

    // The folders watched now: /dev and the simulator's folder, or until that exists the folder
    // it will be made in.
    QStringList watchedFolders() const;

signals:
    void changed();

private:
    void watchFolders();
    void onFolderChanged();

    QFileSystemWatcher watcher;
    QTimer settle;
};
