#pragma once

#include "comm/CommunicationWindow.h"
#include "tests/support/SimLineFixture.h"

#include <memory>

// A simulated line of demo controllers, a communication window with a short reply time-out
// and scripted message boxes.
class LineFixture : public SimLineFixture {
protected:
    void TearDown() override;

    // Starts the line with `controllers` and opens it through a fresh window.
    void StartLine(const QList<SimController>& controllers);
    void StartDemoLine(int count) { StartLine(MakeDemoControllers(count)); }
    std::unique_ptr<CCommunicationWindow> OpenWindow();

    SimulatedLine* line() { return sim.get(); }

    std::unique_ptr<CCommunicationWindow> window;
};
