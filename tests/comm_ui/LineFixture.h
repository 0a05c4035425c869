#pragma once

#include "comm/CommunicationWindow.h"
#include "platform/UserInteraction.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A simulated line of demo controllers, a communication window with a short reply time-out
// and scripted message boxes.
class LineFixture : public ::testing::Test {
protected:
    // Short: every broadcast waits one full time-out for late answers.
    static constexpr int kTestTimeoutMs = 500;

    void SetUp() override;
    void TearDown() override;

    // Starts the line with `controllers` and opens it through a fresh window.
    void StartLine(const QList<SimController>& controllers);
    void StartDemoLine(int count) { StartLine(MakeDemoControllers(count)); }
    std::unique_ptr<CCommunicationWindow> OpenWindow();

    // The commands sent since the last call (or the start).
    QStringList TakeCommands();

    SimulatedLine* line() { return sim.get(); }

    std::unique_ptr<SimulatedLine> sim;
    std::unique_ptr<CCommunicationWindow> window;
    ScriptedUserInteraction ui;
    UserInteraction* previousUi = nullptr;
    int commandsSeen = 0;
};
