#include "simulator/SimulatedLine.h"

#include "data/CodePage.h"
#include "platform/ComPortTable.h"
#include "simulator/SimResponder.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

// Whether the open file `fd` is still the file at `path` (not removed or replaced meanwhile).
bool isFileAtPath(int fd, const QByteArray& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

constexpr int kLineCount = 32;
constexpr int kStreamingParam = 99; // K99 "Data streaming"
constexpr int kHangUpPollMs = 5;
// How far a paced reply may fall behind its wire clock before the clock gives up on catching
// up (after a pause or a slow reader).
constexpr int64_t kSliceLagNs = 5'000'000;
constexpr int64_t kStuckWriteNs = 2'000'000'000; // give up a reply nobody reads after 2 s

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString errnoText(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SimulatedLine::SimulatedLine(QList<SimController> initial) : controllers(std::move(initial)) {}

SimulatedLine::~SimulatedLine() {
    Stop();
}

QString SimulatedLine::LinkPath() const {
    std::lock_guard lock(stateMutex);
    return linkPath;
}

QString SimulatedLine::DevicePath() const {
    std::lock_guard lock(stateMutex);
    return slavePath;
}

void SimulatedLine::SetBaudRate(int baud) {
    std::lock_guard lock(stateMutex);
    baudRate = std::max(0, baud);
}

void SimulatedLine::SetReplyDelayMs(int ms) {
    std::lock_guard lock(stateMutex);
    replyDelayMs = std::max(0, ms);
}

void SimulatedLine::AddFault(const FaultRule& rule) {
    std::lock_guard lock(stateMutex);
    faults.Add(rule);
}

void SimulatedLine::SetRandomFaults(const RandomFaults& plan) {
    std::lock_guard lock(stateMutex);
    faults.SetRandom(plan);
}

void SimulatedLine::SetBehaviour(const SimBehaviour& changed) {
    std::lock_guard lock(stateMutex);
    behaviour = changed;
}

SimBehaviour SimulatedLine::Behaviour() const {
    std::lock_guard lock(stateMutex);
    return behaviour;
}

void SimulatedLine::ClearFaults() {
    std::lock_guard lock(stateMutex);
    faults.Clear();
}

QList<SimController> SimulatedLine::Controllers() const {
    std::lock_guard lock(stateMutex);
    return controllers;
}

void SimulatedLine::SetControllers(const QList<SimController>& replacement) {
    std::lock_guard lock(stateMutex);
    controllers = replacement;
}

void SimulatedLine::UpdateControllers(const std::function<void(QList<SimController>&)>& change) {
    std::lock_guard lock(stateMutex);
    change(controllers);
}

void SimulatedLine::SetParameter(int node, int k, int32_t value) {
    UpdateControllers([&](QList<SimController>& list) {
        for (SimController& controller : list) {
            if (controller.node() == node)
                controller.data.params().K(k) = value;
        }
    });
}

void SimulatedLine::IgnoreWrite(const QString& item) {
    std::lock_guard lock(stateMutex);
    behaviour.ignoredWrites << item;
}

bool SimulatedLine::Start(int requestedIndex, QString* error) {
    if (running)
        return true;
    QString reason;
    {
        std::lock_guard lock(stateMutex);
        ranges = nullptr;
        if (behaviour.rangeChecks) {
            ranges = SimParamRanges::Shared(&reason);
            if (!ranges) {
                if (error)
                    *error = reason + QStringLiteral(" (range checks can be turned off)");
                return false;
            }
        }
        // Power-up: every controller streams its status until told otherwise.
        if (behaviour.streaming) {
            for (SimController& controller : controllers)
                controller.data.params().K(kStreamingParam) = 1;
        }
    }
    // Until the first poll tells otherwise, nobody has the port open.
    peerGone = true;
    lastTrafficNs = nowNs();
    if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        reason = errnoText("pipe");
    } else if (QString device; OpenTerminal(masterFd, device, &reason)) {
        {
            std::lock_guard lock(stateMutex);
            slavePath = device;
        }
        lineIndex = requestedIndex;
        if (Publish(&reason)) {
            stopping = false;
            running = true;
            traffic.Add(TrafficEntry::Kind::Event, QStringLiteral("line %1 published: %2 -> %3")
                                                       .arg(lineIndex)
                                                       .arg(LinkPath(), DevicePath())
                                                       .toUtf8());
            worker = std::thread([this] { Run(); });
            return true;
        }
    }
    if (error)
        *error = reason;
    CloseTerminal();
    closeFd(wakeFds[0]);
    closeFd(wakeFds[1]);
    lineIndex = -1;
    return false;
}

void SimulatedLine::Stop() {
    if (running) {
        stopping = true;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeFds[1], &byte, 1);
        if (worker.joinable())
            worker.join();
        running = false;
    }
    CloseTerminal();
    closeFd(wakeFds[0]);
    closeFd(wakeFds[1]);
    if (lockFd >= 0) {
        // Still holding the lock: the link and the lock file are ours to remove.
        const QString link = LinkPath();
        ::unlink(QFile::encodeName(link).constData());
        ::unlink(QFile::encodeName(link + QStringLiteral(".lock")).constData());
        closeFd(lockFd);
    }
    std::lock_guard lock(stateMutex);
    linkPath.clear();
}

bool SimulatedLine::OpenTerminal(int& masterOut, QString& deviceOut, QString* error) {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = errnoText("posix_openpt");
        return false;
    }
    char name[128] = {};
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
        *error = errnoText("pseudo-terminal set-up");
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Raw mode on the slave: no echo, no line editing, no CR/LF translation. The settings stay
    // with the terminal when the slave is closed.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        *error = errnoText("open slave");
        ::close(fd);
        return false;
    }
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B38400);
    settings.c_cflag |= CLOCAL | CREAD;
    const bool raw = ::tcsetattr(slave, TCSANOW, &settings) == 0;
    ::close(slave);
    if (!raw) {
        *error = errnoText("raw mode");
        ::close(fd);
        return false;
    }
    masterOut = fd;
    deviceOut = QString::fromLocal8Bit(name);
    return true;
}

void SimulatedLine::CloseTerminal() {
    closeFd(masterFd);
}

bool SimulatedLine::Publish(QString* error) {
    const QString folder = ComPortTable::SimulatorLineFolder();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Cannot create the folder %1").arg(folder);
        return false;
    }
    const int first = lineIndex < 0 ? 0 : lineIndex;
    const int last = lineIndex < 0 ? kLineCount - 1 : lineIndex;
    if (first >= kLineCount) {
        *error = QStringLiteral("Line %1 is outside 0..%2").arg(lineIndex).arg(kLineCount - 1);
        return false;
    }
    for (int k = first; k <= last; ++k) {
        const QString link = folder + QStringLiteral("/line%1").arg(k);
        // A line belongs to whoever holds the lock on its lock file; a dead owner's lock is
        // gone, so its stale link is taken over.
        const QByteArray lockName = QFile::encodeName(link + QStringLiteral(".lock"));
        const int fd = ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            *error = errnoText("lock file");
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            *error = QStringLiteral("Line %1 is in use by another simulator").arg(k);
            continue;
        }
        // An owner that stops removes its lock file before letting go of it: a lock won on a
        // file no longer at the path is worth nothing, since the next comer locks a new file
        // there. Try the same line again.
        if (!isFileAtPath(fd, lockName)) {
            ::close(fd);
            --k;
            continue;
        }
        lockFd = fd;
        lineIndex = k;
        {
            std::lock_guard lock(stateMutex);
            linkPath = link;
        }
        const QByteArray target = QFile::encodeName(DevicePath());
        const QByteArray temporary =
            QFile::encodeName(folder + QStringLiteral("/.line%1.%2").arg(k).arg(::getpid()));
        ::unlink(temporary.constData());
        if (::symlink(target.constData(), temporary.constData()) != 0 ||
            ::rename(temporary.constData(), QFile::encodeName(link).constData()) != 0) {
            *error = errnoText("publish link");
            ::unlink(temporary.constData());
            closeFd(lockFd);
            return false;
        }
        return true;
    }
    if (lineIndex < 0)
        *error = QStringLiteral("No free simulator line (0..%1)").arg(kLineCount - 1);
    return false;
}

void SimulatedLine::Run() {
    char buffer[4096];
    while (!stopping) {
        pollfd fds[2] = {{masterFd, POLLIN, 0}, {wakeFds[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, peerGone ? kHangUpPollMs : StreamWaitMs());
        if (stopping)
            break;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents & POLLIN) {
            char drain[16];
            while (::read(wakeFds[0], drain, sizeof drain) > 0) {
            }
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
            if (count > 0) {
                peerGone = false;
                HandleBytes(buffer, count);
                continue;
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // The program side has closed the port; wait for it to come back.
            if (!peerGone) {
                peerGone = true;
                pending.clear();
                skipLf = false;
                FlushUnread();
            }
            pollfd wake = {wakeFds[0], POLLIN, 0};
            ::poll(&wake, 1, kHangUpPollMs);
        } else if (ready == 0) {
            peerGone = false;
        }
        if (!peerGone && !stopping && StreamWaitMs() == 0)
            SendStatusLine();
    }
}

int SimulatedLine::StreamWaitMs() {
    std::lock_guard lock(stateMutex);
    if (!behaviour.streaming || muted)
        return -1;
    const bool anyStreaming =
        std::any_of(controllers.begin(), controllers.end(),
                    [](const SimController& c) { return c.data.params().K(kStreamingParam) != 0; });
    if (!anyStreaming)
        return -1;
    const int64_t due =
        lastTrafficNs + int64_t(std::max(1, behaviour.streamIntervalMs)) * 1'000'000;
    return static_cast<int>(std::max<int64_t>(0, (due - nowNs() + 999'999) / 1'000'000));
}

void SimulatedLine::SendStatusLine() {
    QByteArray bytes;
    {
        std::lock_guard lock(stateMutex);
        QList<const SimController*> streaming;
        for (const SimController& controller : controllers) {
            if (controller.data.params().K(kStreamingParam) != 0)
                streaming.append(&controller);
        }
        if (streaming.isEmpty())
            return;
        std::stable_sort(
            streaming.begin(), streaming.end(),
            [](const SimController* a, const SimController* b) { return a->node() < b->node(); });
        const SimController& controller =
            *streaming[(statusTurn / 3) % static_cast<int>(streaming.size())];
        const int node = controller.node();
        static const char* const kForms[] = {"RUN.%1", "MSG.%1=Ready", "END.%1"};
        const QString line = QString::fromLatin1(kForms[statusTurn % 3]).arg(node);
        ++statusTurn;
        bytes = SimResponder::EncodeLines({line}, controller.lineEnd(), behaviour.noise);
    }
    traffic.Add(TrafficEntry::Kind::Status, bytes);
    ++statusLines;
    Send(bytes, 0, 0);
    lastTrafficNs = nowNs();
}

void SimulatedLine::FlushUnread() {
    // Replies that the program never read would otherwise greet its next opening.
    const QByteArray path = QFile::encodeName(DevicePath());
    const int slave = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    ::tcflush(slave, TCIFLUSH);
    ::close(slave);
}

void SimulatedLine::HandleBytes(const char* bytes, qsizetype size) {
    bytesReceived += size;
    lastTrafficNs = nowNs();
    PaceWire(size);
    qsizetype start = 0;
    if (skipLf && size > 0 && bytes[0] == '\n')
        start = 1;
    skipLf = false;
    pending.append(bytes + start, size - start);
    while (!stopping) {
        qsizetype end = -1;
        for (qsizetype i = 0; i < pending.size(); ++i) {
            if (pending[i] == '\r' || pending[i] == '\n') {
                end = i;
                break;
            }
        }
        if (end < 0)
            break;
        const QByteArray line = pending.left(end);
        qsizetype used = end + 1;
        if (pending[end] == '\r') {
            if (used < pending.size() && pending[used] == '\n')
                ++used;
            else if (used == pending.size())
                skipLf = true;
        }
        pending.remove(0, used);
        HandleLine(line);
    }
    // A line without end that keeps growing is noise, not a command.
    if (pending.size() > 4096)
        pending.clear();
}

void SimulatedLine::HandleLine(const QByteArray& line) {
    traffic.Add(TrafficEntry::Kind::Command, line);
    if (line.isEmpty())
        return; // a bare line end: the controllers wait for a command
    const int index = ++commandCount;
    const QString text = CodePage::FromAnsi(line);

    FaultOutcome outcome;
    int delayMs = 0;
    SimRules rules;
    {
        std::lock_guard lock(stateMutex);
        outcome = faults.Apply(text, index);
        delayMs = replyDelayMs + outcome.delayMs;
        rules.debugModeForWrites = behaviour.debugModeForWrites;
        rules.ranges = ranges;
        rules.followUps = behaviour.followUps;
        rules.loadingLine = behaviour.loadingLine;
        rules.noise = behaviour.noise + outcome.noise;
        rules.ignoredWrites = behaviour.ignoredWrites;
    }
    if (!outcome.IsClean())
        traffic.Add(TrafficEntry::Kind::Event, QStringLiteral("fault at command %1: %2")
                                                   .arg(index)
                                                   .arg(outcome.injected.join(QStringLiteral(", ")))
                                                   .toUtf8());
    if (outcome.silence) {
        muted = true;
        return;
    }
    if (outcome.lineError) {
        HangUp();
        return;
    }
    // The reply starts once the whole command is in, as on the wire.
    SleepUntil(wireFreeNs);
    SleepMs(delayMs);

    QByteArray reply;
    if (outcome.echo)
        reply += line + "\r\n";
    reply += outcome.garbage;
    {
        std::lock_guard lock(stateMutex);
        reply += SimResponder::Respond(controllers, text, outcome.ngCode, rules);
    }
    if (reply.isEmpty() || stopping)
        return;
    traffic.Add(TrafficEntry::Kind::Reply, reply);
    muted = false;
    Send(reply, outcome.pieceBytes, outcome.pauseMs);
    lastTrafficNs = nowNs();
}

void SimulatedLine::HangUp() {
    // Closing the master hangs up the program's device. The fresh terminal is behind the link
    // before that, so an opening right after the error finds the new line.
    ++lineErrors;
    traffic.Add(TrafficEntry::Kind::Event, QByteArray("hang-up (line error)"));
    pending.clear();
    skipLf = false;
    int freshFd = -1;
    QString freshDevice;
    QString error;
    if (!OpenTerminal(freshFd, freshDevice, &error)) {
        traffic.Add(TrafficEntry::Kind::Event, error.toUtf8());
        CloseTerminal();
        stopping = true;
        return;
    }
    const QString link = LinkPath();
    const QByteArray temporary =
        QFile::encodeName(link + QStringLiteral(".%1.tmp").arg(::getpid()));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(freshDevice).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), QFile::encodeName(link).constData()) != 0) {
        ::unlink(temporary.constData());
        traffic.Add(TrafficEntry::Kind::Event, errnoText("republish link").toUtf8());
    }
    CloseTerminal();
    masterFd = freshFd;
    {
        std::lock_guard lock(stateMutex);
        slavePath = freshDevice;
    }
    peerGone = true;
}

void SimulatedLine::Send(const QByteArray& bytes, int pieceBytes, int pauseMs) {
    int baud = 0;
    {
        std::lock_guard lock(stateMutex);
        baud = baudRate;
    }
    // Paced output goes out in slices of about a millisecond of wire time.
    const qsizetype slice = baud > 0 ? std::max<qsizetype>(1, baud / 10000) : bytes.size();
    qsizetype pos = 0;
    while (pos < bytes.size() && !stopping) {
        const qsizetype piece =
            pieceBytes > 0 ? std::min<qsizetype>(pieceBytes, bytes.size() - pos) : bytes.size();
        for (qsizetype done = 0; done < piece && !stopping;) {
            const qsizetype size = std::min(slice, piece - done);
            if (baud > 0) {
                // The wire clock runs on from the previous slice: a late wake-up must not
                // stretch the whole reply.
                wireFreeNs = std::max(wireFreeNs, nowNs() - kSliceLagNs) +
                             size * 10 * 1'000'000'000LL / baud;
                SleepUntil(wireFreeNs);
            }
            if (!WriteAll(bytes.mid(pos + done, size)))
                return; // nobody is listening: the rest is lost, as on a real line
            done += size;
        }
        pos += piece;
        if (pieceBytes > 0 && pos < bytes.size())
            SleepMs(pauseMs);
    }
}

bool SimulatedLine::WriteAll(const QByteArray& bytes) {
    qsizetype done = 0;
    int64_t lastProgress = nowNs();
    while (done < bytes.size() && !stopping) {
        const ssize_t count =
            ::write(masterFd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (count > 0) {
            done += count;
            bytesSent += count;
            lastProgress = nowNs();
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd fds[2] = {{masterFd, POLLOUT, 0}, {wakeFds[0], POLLIN, 0}};
        ::poll(fds, 2, 20);
        if (fds[0].revents & (POLLHUP | POLLERR))
            return false;
        if (nowNs() - lastProgress > kStuckWriteNs) {
            traffic.Add(TrafficEntry::Kind::Event, QByteArray("reply dropped: nobody reads"));
            return false;
        }
    }
    return done == bytes.size();
}

void SimulatedLine::PaceWire(qsizetype bytes) {
    int baud = 0;
    {
        std::lock_guard lock(stateMutex);
        baud = baudRate;
    }
    if (baud <= 0)
        return;
    wireFreeNs = std::max(wireFreeNs, nowNs()) + bytes * 10 * 1'000'000'000LL / baud;
}

void SimulatedLine::SleepUntil(int64_t deadlineNs) {
    for (int64_t now = nowNs(); now < deadlineNs && !stopping; now = nowNs()) {
        const int64_t step = std::min<int64_t>(deadlineNs - now, 20'000'000);
        timespec pause{static_cast<time_t>(step / 1'000'000'000),
                       static_cast<long>(step % 1'000'000'000)};
        ::nanosleep(&pause, nullptr);
    }
}

void SimulatedLine::SleepMs(int ms) {
    if (ms > 0)
        SleepUntil(nowNs() + int64_t(ms) * 1'000'000);
}
