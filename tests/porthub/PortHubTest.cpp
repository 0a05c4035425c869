#include "PtyPeer.h"

#include "comm/CommandChannel.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "platform/ComPortTable.h"
#include "porthub/PortHub.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

class Receiver : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != CPortHubEvent::EventType())
            return QObject::event(event);
        const int code = static_cast<CPortHubEvent*>(event)->code;
        if (code == kNotifyTextReceived)
            ++textEvents;
        if (code == kNotifyLineError)
            ++errorEvents;
        if (channel)
            DispatchPortHubEvent(event, *channel);
        return true;
    }
    int textEvents = 0;
    int errorEvents = 0;
    CCommandChannel* channel = nullptr;
};

void useDevice(CPortHub& hub, const QString& path, int baud = 38400) {
    commsettag settings;
    hub.GetCommSet(&settings);
    settings.devicePath = path;
    settings.baudRate = baud;
    hub.SetCommSet(&settings);
}

// A channel over a port manager opened on the pseudo-terminal, as the communication window
// sets them up, on the thread that makes it.
struct ChannelOverPty {
    ChannelOverPty(const PtyPeer& peer, int replyTimeoutMs) {
        channel.replyTimeoutMs = replyTimeoutMs;
        window.channel = &channel;
        hub.Initialize();
        hub.AttatchWnd(&window);
        useDevice(hub, peer.devicePath());
        opened = hub.Open() != 0;
    }
    Receiver window;
    CPortHub hub;
    CCommandChannel channel{&hub};
    bool opened = false;
};

TEST(PortHub, OpensAPseudoTerminalWithTheLineSettings) {
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    CPortHub hub;
    hub.Initialize();
    EXPECT_EQ(hub.linkState, kLinkClosed);
    EXPECT_EQ(hub.highestPort, 128);
    useDevice(hub, peer.devicePath());
    ASSERT_NE(hub.Open(), 0) << hub.lastOpenError().toStdString();
    EXPECT_NE(hub.openFlag, 0);
    EXPECT_NE(hub.readyFlag, 0);
    EXPECT_EQ(hub.linkState, kLinkOpen);
    EXPECT_NE(hub.Open(), 0); // already open

    termios line{};
    ASSERT_EQ(::tcgetattr(peer.masterFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B38400);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);

    hub.Close();
    EXPECT_EQ(hub.openFlag, 0);
    EXPECT_EQ(hub.readyFlag, 0);
    EXPECT_EQ(hub.linkState, kLinkClosed);
    hub.Close(); // harmless when closed
    EXPECT_EQ(hub.SendData("@K1.1=0\r\n"), 0);

    useDevice(hub, peer.devicePath(), 115200);
    ASSERT_NE(hub.Open(), 0);
    ASSERT_EQ(::tcgetattr(peer.masterFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B115200);
}

TEST(PortHub, TextCrossesTheLineThroughTheCodePage) {
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    Receiver window;
    CPortHub hub;
    hub.Initialize();
    hub.AttatchWnd(&window);
    useDevice(hub, peer.devicePath());
    ASSERT_NE(hub.Open(), 0);

    ASSERT_NE(hub.SendData(QStringLiteral("@ROBOT.1=Caf\u00e9 \u20ac\u4e00\r\n")), 0);
    EXPECT_EQ(peer.readLine(), QByteArray("@ROBOT.1=Caf\xe9 \x80?\r\n"));

    peer.write("K1.1=\xe9\x80");
    ASSERT_TRUE(pumpUntil([&] { return hub.GetInBuff().size() == 7 && window.textEvents >= 1; }));
    EXPECT_EQ(hub.GetInBuffAtOnce(), QStringLiteral("K1.1=\u00e9\u20ac"));
    EXPECT_EQ(hub.GetInBuffAtOnce(), "");
    peer.write("\r\nOK.1\r\n");
    ASSERT_TRUE(pumpUntil([&] { return hub.GetInBuff().endsWith("OK.1\r\n"); }));
    // Since the previous call, and since the last command line.
    EXPECT_EQ(hub.GetInBuffAtOnce(), "\r\nOK.1\r\n");
    EXPECT_EQ(hub.GetInBuff(), QStringLiteral("K1.1=\u00e9\u20ac\r\nOK.1\r\n"));
    ASSERT_NE(hub.SendData("@?K2.1\r\n"), 0);
    EXPECT_EQ(hub.GetInBuff(), "");
    EXPECT_EQ(window.errorEvents, 0);

    // Detached: text still arrives, no notification does.
    EXPECT_EQ(hub.DetatchWnd(), &window);
    const int before = window.textEvents;
    peer.write("X\r\n");
    ASSERT_TRUE(pumpUntil([&] { return hub.GetInBuff() == "X\r\n"; }));
    EXPECT_EQ(window.textEvents, before);
}

TEST(PortHub, ABusyDeviceIsRefusedWithItsReason) {
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    CPortHub first;
    first.Initialize();
    useDevice(first, peer.devicePath());
    ASSERT_NE(first.Open(), 0);
    QString probeReason;
    EXPECT_FALSE(ComPortTable::ProbeDevice(peer.devicePath(), &probeReason));

    CPortHub second;
    second.Initialize();
    useDevice(second, peer.devicePath());
    EXPECT_EQ(second.Open(), 0);
    EXPECT_EQ(second.lastOpenError(), "Another program holds the port.");
    EXPECT_EQ(second.openFlag, 0);
    first.Close();
    EXPECT_NE(second.Open(), 0);
    second.Close();

    // Another program's lock on the device.
    const int fd = ::open(peer.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(second.Open(), 0);
    EXPECT_EQ(second.lastOpenError(), "Another program holds the port.");
    ::close(fd);
    EXPECT_NE(second.Open(), 0);
}

TEST(PortHub, AMissingDeviceIsRefusedWithItsReason) {
    CPortHub hub;
    hub.Initialize();
    useDevice(hub, "/dev/velmora-no-such-port");
    EXPECT_EQ(hub.Open(), 0);
    EXPECT_EQ(hub.lastOpenError(), "It does not exist.");

    commsettag settings;
    hub.GetCommSet(&settings);
    settings.devicePath.clear();
    settings.comPort = 129;
    hub.SetCommSet(&settings);
    EXPECT_EQ(hub.Open(), 0);
    EXPECT_EQ(hub.lastOpenError(), "It does not exist.");
}

TEST(PortHub, HangUpMidCommandEndsItAsLineError) {
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    ChannelOverPty link(peer, 5000);
    ASSERT_TRUE(link.opened);
    Receiver& window = link.window;
    CPortHub& hub = link.hub;
    CCommandChannel& channel = link.channel;

    // The controller takes the command, starts answering and drops off the line.
    std::thread controller([&peer] {
        const QByteArray line = peer.readLine(4000);
        if (line == "@?K20.1\r\n")
            peer.write("K20.1=");
        QThread::msleep(50);
        peer.hangUp();
    });
    int32_t value = 7;
    const bool ok = ReadK(channel, 1, 20, value);
    controller.join();
    EXPECT_FALSE(ok);
    EXPECT_EQ(channel.lastError, "NG.1=49");
    EXPECT_GE(window.errorEvents, 1);
    EXPECT_EQ(hub.linkState, kLinkBroken);
    // One error, not a storm of them: the dead device is no longer polled.
    const int errorsSeen = window.errorEvents;
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(window.errorEvents, errorsSeen);

    // Later commands on the dead line end the same way.
    EXPECT_FALSE(channel.SendNumbered(50, 1, 3));
    EXPECT_EQ(channel.lastError, "NG.1=49");
    hub.Close();
    EXPECT_EQ(hub.linkState, kLinkClosed);
}

// A channel on a thread of its own, as one session per line runs it: the reply ends the wait,
// and a silent line is waited out asleep in the thread's dispatcher instead of in polls.
TEST(PortHub, ChannelOnAWorkerThreadSleepsUntilTheReply) {
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    std::thread controller;
    bool opened = false;
    bool answered = false;
    QString answer;
    ChannelFailure::Kind silentFailure = ChannelFailure::Kind::None;
    int dispatcherPasses = 0;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        ChannelOverPty link(peer, 300);
        opened = link.opened;
        if (!opened)
            return;
        // The controller listens once the port is open: a pseudo-terminal nobody holds
        // reads as hung up.
        controller = std::thread([&peer] {
            if (peer.readLine(4000) == "@?K20.1\r\n")
                peer.write("K20.1=2\r\nOK.1\r\n");
        });
        answered = link.channel.QueryNumbered(kKeyK, 1, 20, answer);
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        const auto count = [&dispatcherPasses] { ++dispatcherPasses; };
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, count);
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, count);
        QString unused;
        (void)link.channel.QueryNumbered(kKeyK, 1, 21, unused);
        silentFailure = link.channel.lastFailure.kind;
        link.hub.DetatchWnd();
    }));
    worker->start();
    worker->wait();
    if (controller.joinable())
        controller.join();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(answer.startsWith("K20.1=2")) << answer.toStdString();
    EXPECT_EQ(silentFailure, ChannelFailure::Kind::TimedOut);
    // A poll every millisecond would take some hundreds of passes over the 300 ms.
    EXPECT_LT(dispatcherPasses, 30);
}

} // namespace
