#include "data/FileReplace.h"

#include <QSaveFile>

namespace {

bool Fail(const QSaveFile& file, QString* reason) {
    if (reason)
        *reason = file.errorString();
    return false;
}

} // namespace

bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* reason) {
    QSaveFile file(path);
    // Unbuffered, every write reaches the file at once: a buffer that failed to reach the disk
    // can never pass unnoticed into the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(file, reason);
    // A full disk or a size limit first shortens a write without a reason; the write of the
    // rest is the one that fails and carries the system's reason.
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            Fail(file, reason); // taken before the temporary goes away
            file.cancelWriting();
            return false;
        }
        written += count;
    }
    if (!file.commit())
        return Fail(file, reason);
    return true;
}
