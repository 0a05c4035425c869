#pragma once

#include <QByteArray>
#include <QString>

// The controller's end of a pseudo-terminal: the test reads what the port manager sends and
// writes what a controller would answer.
class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return master >= 0; }
    QString devicePath() const { return slavePath; }
    int masterFd() const { return master; }

    void write(const QByteArray& bytes);
    // Reads until `count` bytes or a line end arrived, at most `limitMs`.
    QByteArray readLine(int limitMs = 3000);
    void hangUp();

private:
    int master = -1;
    QString slavePath;
};

// Pumps events until `done` holds or `limitMs` passed; the result of `done`.
template <typename Predicate> bool pumpUntil(Predicate done, int limitMs = 3000);

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

template <typename Predicate> bool pumpUntil(Predicate done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}
