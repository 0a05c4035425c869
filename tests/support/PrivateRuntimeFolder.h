#pragma once

#include <QFile>
#include <QTemporaryDir>

// A runtime folder of this test run's own, in which the simulated lines are published, and a
// data folder of its own, which takes the rollback points of the writes the tests make; a
// process started by the tests inherits both. Removed when the run ends.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    }

    // The data folder ($XDG_DATA_HOME) of this run.
    QString DataHome() const { return data.path(); }

private:
    QTemporaryDir folder;
    QTemporaryDir data;
};
