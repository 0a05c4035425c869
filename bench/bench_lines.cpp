// Whole-line backup against the paced simulator: 16 controllers at 38400 baud, its wall time
// against one search plus the nodes' wire time and against 16 single backups, then four lines
// of 16 at the same time against one line alone.
#include "comm/ControllerSession.h"
#include "platform/UserInteraction.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"
#include "transfer/BackupRestoreProcedure.h"
#include "transfer/LineProgress.h"
#include "transfer/LineRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kBaud = 38400;

class Agree : public UserInteraction {
public:
    MsgResult ShowMessage(QObject*, const QString&, MsgButtons buttons, MsgIcon) override {
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    bool ChooseFile(QObject*, const FileChoice&, QString&) override { return false; }
};

class Quiet : public LineProgress {
public:
    void ControllerStarted(const QString&, int, const QString&) override {}
    void ControllerEnded(const QString&, int, const QString&, bool, const QString&,
                         double) override {}
};

class FirstNode : public NodeChooser {
public:
    int node = 1;
    NodeChoice ChooseNode(const CControllerSession&) override {
        return NodeChoice{NodeChoice::Kind::Node, node};
    }
};

std::unique_ptr<SimulatedLine> StartLine() {
    auto line = std::make_unique<SimulatedLine>(MakeDemoControllers(kNodeCount));
    line->SetBaudRate(kBaud);
    QString error;
    if (!line->Start(-1, &error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return nullptr;
    }
    return line;
}

int64_t Bytes(const SimulatedLine& line) {
    return line.BytesReceived() + line.BytesSent();
}

double WireMs(int64_t bytes) {
    return static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud;
}

PortTarget Target(const SimulatedLine& line) {
    return PortTarget{0, line.LinkPath(), kBaud};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Agree agree;
    InstallUserInteraction(&agree);
    QTemporaryDir dir;
    Quiet quiet;
    std::unique_ptr<SimulatedLine> line = StartLine();
    if (!line)
        return 1;

    // One search alone.
    QElapsedTimer timer;
    timer.start();
    int64_t before = Bytes(*line);
    {
        CControllerSession session;
        NoBusyIndicator busy;
        if (!session.OpenDevice(line->LinkPath(), kBaud) || !session.SearchControllers(busy))
            std::fprintf(stderr, "search failed\n");
    }
    const double searchMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const int64_t searchBytes = Bytes(*line) - before;

    // The whole line.
    Manifest manifest;
    before = Bytes(*line);
    timer.restart();
    if (!LineRun::BackupLines({Target(*line)}, dir.filePath("one"), {}, quiet, manifest))
        std::fprintf(stderr, "whole-line backup failed\n");
    const double lineMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double nodesWireMs = WireMs(Bytes(*line) - before - searchBytes);
    std::printf("whole line of 16      wall %9.1f ms  search %8.1f ms + nodes' wire %8.1f ms  "
                "ratio %5.3f\n",
                lineMs, searchMs, nodesWireMs, lineMs / (searchMs + nodesWireMs));

    // 16 single backups, each with its own search.
    timer.restart();
    for (int node = 1; node <= kNodeCount; ++node) {
        CControllerSession session;
        FirstNode chooser;
        chooser.node = node;
        NoBusyIndicator busy;
        CBackupRestoreProcedure procedure(session, chooser, busy);
        procedure.transferFileName = dir.filePath(QStringLiteral("single%1.kqd").arg(node));
        if (!procedure.RunTransferProcedure(Target(*line)))
            std::fprintf(stderr, "single backup of node %d failed\n", node);
    }
    const double singlesMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("16 single backups     wall %9.1f ms  whole line / singles %5.3f\n", singlesMs,
                lineMs / singlesMs);

    // Four lines at the same time.
    std::vector<std::unique_ptr<SimulatedLine>> lines;
    QList<PortTarget> ports;
    lines.push_back(std::move(line));
    for (int i = 0; i < 3; ++i) {
        lines.push_back(StartLine());
        if (!lines.back())
            return 1;
    }
    for (const auto& each : lines)
        ports << Target(*each);
    timer.restart();
    if (!LineRun::BackupLines(ports, dir.filePath("four"), {}, quiet, manifest))
        std::fprintf(stderr, "four-line backup failed\n");
    const double fourMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("four lines of 16      wall %9.1f ms  against one line alone %5.3f\n", fourMs,
                fourMs / lineMs);
    for (const auto& each : lines)
        each->Stop();
    InstallUserInteraction(nullptr);
    return 0;
}
