#pragma once

#include "platform/UserInteraction.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Reply time-out of the tests on a simulated line: short enough for quick time-out cases, long
// enough for a sanitizer build on a busy machine (every broadcast waits one full time-out).
inline constexpr int kLineTestTimeoutMs = 500;

// Scripted answers and recorded texts, with a hook that runs as each message is shown (the
// moment to look at a dialog or to change the line behind its back).
class HookedUserInteraction : public ScriptedUserInteraction {
public:
    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons,
                          MsgIcon icon) override;
    std::function<void(const QString& text)> onShow;
};

// Simulated lines of controllers, a scripted user-interaction service installed for the test
// (the previous one back afterwards), a folder for files, and what the line received.
class SimLineFixture : public ::testing::Test {
protected:
    static constexpr int kTestTimeoutMs = kLineTestTimeoutMs;

    void SetUp() override;
    // Stops the lines and restores the service; a fixture closes its own ports first.
    void TearDown() override;

    // The service the test runs with: `ui`, unless a fixture brings its own.
    virtual UserInteraction& Interaction() { return ui; }

    // Starts `sim` (a line started before is stopped) with `controllers` and, when given,
    // `behaviour`; the test fails when the line cannot start.
    SimulatedLine& StartSimLine(const QList<SimController>& controllers,
                                const SimBehaviour* behaviour = nullptr);
    // One more line beside `sim`, running until the test ends.
    SimulatedLine& AddSimLine(const QList<SimController>& controllers);
    QString LinePath() const { return sim->LinkPath(); }

    QString FilePath(const QString& name) const { return folder.filePath(name); }
    // Commands `sim` received since the last call (or its start).
    QStringList TakeCommands();
    // Of `commands`, those that change a controller (not queries, not the line preparation).
    static QStringList Writes(const QStringList& commands);
    // Every such command `sim` received.
    QStringList Writes() const { return Writes(sim->Log().Commands()); }
    // The controller of `sim` on `node` as it is now; an empty one when none is there.
    SimController ControllerOnNode(int node) const;

    std::unique_ptr<SimulatedLine> sim;
    std::vector<std::unique_ptr<SimulatedLine>> moreLines;
    HookedUserInteraction ui;
    QTemporaryDir folder;
    UserInteraction* previousUi = nullptr;
    int commandsSeen = 0;

private:
    static void start(SimulatedLine& line);
};
