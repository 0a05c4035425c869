// Sessions over simulated lines: a search and a backup without any widget, and backups on two
// lines at the same time, each session on a thread of its own.
#include "comm/BusyIndicator.h"
#include "comm/ControllerSession.h"
#include "data/DataStore.h"
#include "platform/UserInteraction.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"
#include "tests/support/QtPrinters.h"
#include "transfer/BackupRestoreProcedure.h"

#include <QMutex>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kTimeoutMs = 500;
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

class SessionLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousUi = InstallUserInteraction(&ui);
    }
    void TearDown() override {
        for (auto& line : lines)
            line->Stop();
        InstallUserInteraction(previousUi);
    }

    SimulatedLine& StartLine(const QList<SimController>& controllers) {
        lines.push_back(std::make_unique<SimulatedLine>(controllers));
        QString error;
        EXPECT_TRUE(lines.back()->Start(-1, &error)) << error.toStdString();
        return *lines.back();
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

    QTemporaryDir folder;
    AgreeingUserInteraction ui;
    UserInteraction* previousUi = nullptr;
    std::vector<std::unique_ptr<SimulatedLine>> lines;
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
    ASSERT_TRUE(Backup(line.LinkPath(), 2, path)) << ui.texts().join('|').toStdString();
    EXPECT_EQ(ui.texts().last(), kCompleted);
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

    EXPECT_TRUE(doneA) << ui.texts().join('|').toStdString();
    EXPECT_TRUE(doneB) << ui.texts().join('|').toStdString();
    EXPECT_EQ(ui.texts().count(kCompleted), 2);
    ExpectFileOf(pathA, lineA.Controllers()[1]);
    ExpectFileOf(pathB, lineB.Controllers()[0]);
    // Each line saw the commands of its own backup only.
    EXPECT_TRUE(lineA.Log().Commands().contains(QStringLiteral("@?CONT.2")));
    EXPECT_FALSE(lineA.Log().Commands().contains(QStringLiteral("@?CONT.1")));
    EXPECT_TRUE(lineB.Log().Commands().contains(QStringLiteral("@?CONT.1")));
    EXPECT_FALSE(lineB.Log().Commands().contains(QStringLiteral("@?CONT.2")));
}
