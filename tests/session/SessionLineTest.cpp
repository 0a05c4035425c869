// Sessions over simulated lines: a search and a backup without any widget, backups on two
// lines at the same time, each session on a thread of its own, and closing under a command.
#include "comm/BusyIndicator.h"
#include "comm/ControllerSession.h"
#include "comm/Keywords.h"
#include "data/DataStore.h"
#include "platform/UserInteraction.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SimLineFixture.h"
#include "transfer/BackupRestoreProcedure.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kTimeoutMs = kLineTestTimeoutMs;
const QString kCompleted = QStringLiteral("Data transfer is completed.");

// Agrees to every question and records the texts; sessions on several threads share it.
class AgreeingUserInteraction : public UserInteraction {
public:
    MsgResult ShowMessage(QObject*, const QString& text, MsgButtons buttons, MsgIcon) override {
        QMutexLocker lock(&mutex);
        shown << text;
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    bool ChooseFile(QObject*, const FileChoice&, QString&) override { return false; }
    QStringList texts() {
        QMutexLocker lock(&mutex);
        return shown;
    }

private:
    QMutex mutex;
    QStringList shown;
};

class NodeOf : public NodeChooser {
public:
    explicit NodeOf(int wanted) : node(wanted) {}
    NodeChoice ChooseNode(const CControllerSession& session) override {
        return session.nodePresent[static_cast<std::size_t>(node - 1)]
                   ? NodeChoice{NodeChoice::Kind::Node, node}
                   : NodeChoice{};
    }

private:
    int node;
};

// Counts what the search shows.
class CountingIndicator : public BusyIndicator {
public:
    void Show(const QString&, bool) override { ++shown; }
    void ShowSearch(const QString& message) override {
        ++shown;
        searchMessage = message;
    }
    void Close() override { ++closed; }
    int shown = 0;
    int closed = 0;
    QString searchMessage;
};

// Counts the events posted to it, to tell whether anyone delivered them.
class EventProbe : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++delivered;
        return true;
    }
    int delivered = 0;
};

// A whole backup of `node` on the line at `linkPath`, in a session of the calling thread.
bool Backup(const QString& linkPath, int node, const QString& file) {
    CControllerSession session;
    session.channel.replyTimeoutMs = kTimeoutMs;
    NodeOf chooser(node);
    NoBusyIndicator busy;
    CBackupRestoreProcedure procedure(session, chooser, busy);
    procedure.saveToPc = true;
    procedure.transferFileName = file;
    return procedure.RunTransferProcedure(PortTarget{0, linkPath, 0});
}

class SessionLineTest : public SimLineFixture {
protected:
    UserInteraction& Interaction() override { return agreeing; }

    // The first line is `sim`, the others run beside it.
    SimulatedLine& StartLine(const QList<SimController>& controllers) {
        return sim ? AddSimLine(controllers) : StartSimLine(controllers);
    }

    // The file holds exactly what the controller holds.
    static void ExpectFileOf(const QString& path, const SimController& controller) {
        ControllerData saved;
        saved.points.resize(kPointCount);
        saved.robotParams.resize(1);
        ASSERT_TRUE(CDataStore().LoadDataFile(path, saved, true, true)) << path.toStdString();
        EXPECT_EQ(saved.controllerName, controller.data.controllerName);
        EXPECT_EQ(saved.robotName, controller.data.robotName);
        EXPECT_EQ(saved.points, controller.data.points);
        EXPECT_EQ(saved.params().values, controller.data.params().values);
    }

    AgreeingUserInteraction agreeing;
};

} // namespace

TEST_F(SessionLineTest, SearchesAndBacksUpWithoutWidgets) {
    SimulatedLine& line = StartLine(MakeDemoControllers(3));
    {
        CControllerSession session;
        session.channel.replyTimeoutMs = kTimeoutMs;
        ASSERT_TRUE(session.OpenDevice(line.LinkPath()));
        CountingIndicator busy;
        ASSERT_TRUE(session.SearchControllers(busy));
        EXPECT_EQ(busy.searchMessage, QStringLiteral("Searching for controllers..."));
        EXPECT_EQ(busy.shown, 1);
        EXPECT_EQ(busy.closed, 1);
        EXPECT_EQ(line.Log().Commands(), (QStringList{"@K99=0", "@?CONT", "@?COMR2"}));
        const QList<SimController> controllers = line.Controllers();
        for (int n = 1; n <= kNodeCount; ++n) {
            EXPECT_EQ(session.nodePresent[n - 1], n <= 3) << n;
            EXPECT_EQ(session.nodeModelName[n - 1],
                      n <= 3 ? controllers[n - 1].data.controllerName : QString())
                << n;
        }
    }
    const QString path = folder.filePath(QStringLiteral("node2.kqd"));
    ASSERT_TRUE(Backup(line.LinkPath(), 2, path)) << agreeing.texts().join('|').toStdString();
    EXPECT_EQ(agreeing.texts().last(), kCompleted);
    ExpectFileOf(path, line.Controllers()[1]);
}

TEST_F(SessionLineTest, TwoLinesAreBackedUpAtTheSameTime) {
    QList<SimController> first = MakeDemoControllers(2);
    QList<SimController> second = MakeDemoControllers(2);
    // Different records on the two lines, so that a crossed wire shows.
    second[0].data.params().K(1) = -100;
    second[0].data.params().H(0) = 100;
    SimulatedLine& lineA = StartLine(first);
    SimulatedLine& lineB = StartLine(second);
    const QString pathA = folder.filePath(QStringLiteral("a.kqd"));
    const QString pathB = folder.filePath(QStringLiteral("b.kqd"));

    bool doneA = false;
    bool doneB = false;
    std::unique_ptr<QThread> threadA(
        QThread::create([&] { doneA = Backup(lineA.LinkPath(), 2, pathA); }));
    std::unique_ptr<QThread> threadB(
        QThread::create([&] { doneB = Backup(lineB.LinkPath(), 1, pathB); }));
    threadA->start();
    threadB->start();
    ASSERT_TRUE(threadA->wait(QDeadlineTimer(60000)));
    ASSERT_TRUE(threadB->wait(QDeadlineTimer(60000)));

    EXPECT_TRUE(doneA) << agreeing.texts().join('|').toStdString();
    EXPECT_TRUE(doneB) << agreeing.texts().join('|').toStdString();
    EXPECT_EQ(agreeing.texts().count(kCompleted), 2);
    ExpectFileOf(pathA, lineA.Controllers()[1]);
    ExpectFileOf(pathB, lineB.Controllers()[0]);
    // Each line saw the commands of its own backup only.
    EXPECT_TRUE(lineA.Log().Commands().contains(QStringLiteral("@?CONT.2")));
    EXPECT_FALSE(lineA.Log().Commands().contains(QStringLiteral("@?CONT.1")));
    EXPECT_TRUE(lineB.Log().Commands().contains(QStringLiteral("@?CONT.1")));
    EXPECT_FALSE(lineB.Log().Commands().contains(QStringLiteral("@?CONT.2")));
}

TEST_F(SessionLineTest, ClosingThePortEndsAWaitingCommandAtOnceWithoutDeliveringEvents) {
    SimulatedLine& line = StartLine(MakeDemoControllers(1));
    line.AddFault(FaultRule{}); // silence: the command waits for a reply that never comes
    CControllerSession session;
    session.channel.replyTimeoutMs = kTimeoutMs;
    ASSERT_TRUE(session.OpenDevice(line.LinkPath()));

    EventProbe probe;
    bool closed = false;
    int deliveredWhileClosing = -1;
    // Runs inside the command's wait, as a user's "close" would, once the line has the command
    // (the simulator reads on a thread of its own).
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (closed || line.Log().Commands().isEmpty())
            return;
        QCoreApplication::postEvent(&probe, new QEvent(QEvent::User));
        session.ClosePort();
        deliveredWhileClosing = probe.delivered;
        closed = session.portHub.openFlag == 0;
    });
    closer.start(1);
    QString answer;
    EXPECT_FALSE(session.channel.QueryKeyword(kKeyVer, 1, answer, true));

    EXPECT_TRUE(closed);
    EXPECT_EQ(deliveredWhileClosing, 0);
    EXPECT_EQ(session.channel.lastFailure.kind, ChannelFailure::Kind::SendFailed);
    EXPECT_FALSE(session.channel.busy);
    EXPECT_EQ(line.Log().Commands(), QStringList{"@?VER.1"});
    // The next command fails at once on the closed port, too.
    EXPECT_FALSE(session.channel.SetValue(kKeyK, 1, 1, 0));
    EXPECT_EQ(session.channel.lastFailure.kind, ChannelFailure::Kind::SendFailed);
}

TEST_F(SessionLineTest, DestroyingASessionUnderACommandDeliversNoEventsAndFreesThePort) {
    SimulatedLine& line = StartLine(MakeDemoControllers(1));
    auto session = std::make_unique<CControllerSession>();
    session->channel.replyTimeoutMs = kTimeoutMs;
    ASSERT_TRUE(session->OpenDevice(line.LinkPath()));
    session->channel.busy = true; // a command in progress, its wait further down the stack

    EventProbe probe;
    QCoreApplication::postEvent(&probe, new QEvent(QEvent::User));
    session.reset();
    EXPECT_EQ(probe.delivered, 0);
    QCoreApplication::sendPostedEvents(&probe);
    EXPECT_EQ(probe.delivered, 1);

    CControllerSession next;
    next.channel.replyTimeoutMs = kTimeoutMs;
    EXPECT_TRUE(next.OpenDevice(line.LinkPath())) << agreeing.texts().join('|').toStdString();
}
