#include "data/FileReplace.h"

#include <QSaveFile>

bool ReplaceFileContents(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The device buffers the bytes, and a commit does not notice a buffer that failed to reach
    // the disk: flush first, so that a short write never replaces the old file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
