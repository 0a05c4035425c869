#pragma once

#include <QFile>
#include <QTemporaryDir>

// A runtime folder of this test run's own, in which the simulated lines are published; a
// process started by the tests inherits it. Removed when the run ends.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
    }

private:
    QTemporaryDir folder;
};
