#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

// The program's end of a simulated line, with plain POSIX I/O.
class PtyClient {
public:
    PtyClient() = default;
    ~PtyClient() { Close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool Open(const QString& path);
    void Close();
    bool IsOpen() const { return fd >= 0; }

    bool Write(const QByteArray& bytes);
    // Sends `command` with CR LF and reads until `okCount` lines holding "OK." or "NG." have
    // come in, or `timeoutMs` passed.
    QByteArray Ask(const QByteArray& command, int okCount = 1, int timeoutMs = 2000);
    // Reads until `done(bytes so far)` or `timeoutMs`; reports a hang-up in `hungUp`.
    template <typename Done> QByteArray ReadUntil(Done done, int timeoutMs, bool* hungUp = nullptr);
    // Everything that arrives within `ms`.
    QByteArray ReadFor(int ms, bool* hungUp = nullptr);

private:
    // Waits up to `ms` for bytes; appends them. False on a hang-up or error.
    bool ReadSome(QByteArray& into, int ms);
    int fd = -1;
};

int CountVerdicts(const QByteArray& bytes);

template <typename Done> QByteArray PtyClient::ReadUntil(Done done, int timeoutMs, bool* hungUp) {
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs && !done(bytes)) {
        if (!ReadSome(bytes, 5)) {
            if (hungUp)
                *hungUp = true;
            break;
        }
    }
    return bytes;
}
