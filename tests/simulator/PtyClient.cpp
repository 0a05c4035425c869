#include "PtyClient.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

bool PtyClient::Open(const QString& path) {
    Close();
    fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    return fd >= 0;
}

void PtyClient::Close() {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool PtyClient::Write(const QByteArray& bytes) {
    return fd >= 0 && ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) ==
                          static_cast<ssize_t>(bytes.size());
}

bool PtyClient::ReadSome(QByteArray& into, int ms) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0)
        return true;
    if (p.revents & POLLIN) {
        char buffer[4096];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            into.append(buffer, count);
            return true;
        }
        return false;
    }
    return !(p.revents & (POLLHUP | POLLERR));
}

QByteArray PtyClient::ReadFor(int ms, bool* hungUp) {
    return ReadUntil([](const QByteArray&) { return false; }, ms, hungUp);
}

int CountVerdicts(const QByteArray& bytes) {
    return static_cast<int>(bytes.count("OK.") + bytes.count("NG."));
}

QByteArray PtyClient::Ask(const QByteArray& command, int okCount, int timeoutMs) {
    if (!Write(command + "\r\n"))
        return {};
    return ReadUntil(
        [okCount](const QByteArray& bytes) {
            // Whole lines only: the verdict line must have its CR.
            return CountVerdicts(bytes) >= okCount &&
                   (bytes.endsWith('\r') || bytes.endsWith('\n'));
        },
        timeoutMs);
}
