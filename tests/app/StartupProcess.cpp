#include "StartupProcess.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

Installation::Installation(const QString& library) {
    if (!dir_.isValid())
        return;
    programDir_ = dir_.filePath(QStringLiteral("program"));
    runtimeDir_ = dir_.filePath(QStringLiteral("runtime"));
    logPath_ = dir_.filePath(QStringLiteral("messages.log"));
    if (!QDir().mkpath(programDir_) || !QDir().mkpath(runtimeDir_))
        return;
    QFile::setPermissions(runtimeDir_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QFileInfo program(QStringLiteral(VELMORA_PROGRAM));
    const QDir built = program.absoluteDir();
    if (!QFile::copy(program.absoluteFilePath(), programDir_ + QStringLiteral("/VelmoraFree")))
        return;
    // Libraries the program links from its own folder.
    for (const QString& name : built.entryList({QStringLiteral("*.so*")}, QDir::Files))
        QFile::copy(built.filePath(name), programDir_ + u'/' + name);

    QString source = library;
    const bool shipped = source.isEmpty() && built.exists(QStringLiteral("langresFree.rcc")) &&
                         built.exists(QStringLiteral("system.dat"));
    if (shipped) {
        if (!QFile::copy(built.filePath(QStringLiteral("langresFree.rcc")), libraryPath()) ||
            !QFile::copy(built.filePath(QStringLiteral("system.dat")), recordPath()))
            return;
    } else {
        if (source.isEmpty())
            source = QStringLiteral(TEST_ENG_LIBRARY);
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        if (!writeFile(libraryPath(), bytes) ||
            !writeFile(recordPath(),
                       QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + '\n'))
            return;
    }
    valid_ = true;
}

void Installation::shareRuntimeWith(const Installation& other) {
    runtimeDir_ = other.runtimeDir_;
}

std::unique_ptr<QProcess> Installation::start(const QString& workingDirectory) const {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_);
    env.insert(QStringLiteral("VELMORA_TEST_MESSAGE_LOG"), logPath_);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(workingDirectory.isEmpty() ? dir_.path() : workingDirectory);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(programDir_ + QStringLiteral("/VelmoraFree"), {});
    process->waitForStarted();
    return process;
}

bool Installation::run(int* exitCode, const QString& workingDirectory) const {
    auto process = start(workingDirectory);
    if (!process->waitForFinished(30000)) {
        process->kill();
        process->waitForFinished();
        return false;
    }
    if (exitCode)
        *exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    return true;
}

QStringList Installation::messages() const {
    QFile file(logPath_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool Installation::damageLibrary() const {
    QFile file(libraryPath());
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    // Header: "qres", version, tree offset, data offset, names offset (big-endian 32 bit).
    if (bytes.size() < 20 || !bytes.startsWith("qres"))
        return false;
    const auto at = [&bytes](qsizetype offset) {
        return qFromBigEndian<quint32>(bytes.constData() + offset);
    };
    const qsizetype dataStart = at(12);
    const qsizetype namesStart = at(16);
    const qsizetype treeStart = at(8);
    const qsizetype dataEnd = std::min<qsizetype>(
        bytes.size(), std::min(namesStart, treeStart) > dataStart ? std::min(namesStart, treeStart)
                                                                  : bytes.size());
    // Payloads follow one another, each behind its 32-bit length.
    qsizetype best = -1;
    quint32 bestSize = 0;
    for (qsizetype pos = dataStart; pos + 4 <= dataEnd;) {
        const quint32 size = at(pos);
        if (size == 0 || pos + 4 + qsizetype(size) > dataEnd)
            break;
        if (size > bestSize) {
            bestSize = size;
            best = pos + 4;
        }
        pos += 4 + size;
    }
    if (best < 0 || bestSize < 8)
        return false;
    const qsizetype target = best + bestSize / 2;
    bytes[target] = char(bytes[target] ^ 0x5a);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

bool WaitForFile(const QString& path, bool exists, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (QFileInfo::exists(path) != exists) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool WaitForLockOwner(const QString& path, qint64 pid, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.readLine().trimmed().toLongLong() == pid)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}
