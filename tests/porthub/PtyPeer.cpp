#include "PtyPeer.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QElapsedTimer>

PtyPeer::PtyPeer() {
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        master = -1;
        return;
    }
    slavePath = QString::fromLocal8Bit(name);
    ::close(slave);
}

PtyPeer::~PtyPeer() {
    hangUp();
}

void PtyPeer::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (master >= 0 && done < bytes.size()) {
        const ssize_t n =
            ::write(master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return;
        if (n > 0)
            done += n;
    }
}

QByteArray PtyPeer::readLine(int limitMs) {
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (master >= 0 && !out.endsWith('\n') && timer.elapsed() < limitMs) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0)
            continue;
        char c = 0;
        if (::read(master, &c, 1) == 1)
            out += c;
        else
            break;
    }
    return out;
}

void PtyPeer::hangUp() {
    if (master >= 0) {
        ::close(master);
        master = -1;
    }
}
