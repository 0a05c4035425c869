#include "LineFixture.h"

void LineFixture::SetUp() {
    previousUi = InstallUserInteraction(&ui);
}

void LineFixture::StartLine(const QList<SimController>& controllers) {
    sim = std::make_unique<SimulatedLine>(controllers);
    // The window is driven without the search's @K99=0, so no status streaming.
    SimBehaviour quiet;
    quiet.streaming = false;
    sim->SetBehaviour(quiet);
    QString error;
    ASSERT_TRUE(sim->Start(-1, &error)) << error.toStdString();
    window = OpenWindow();
    ASSERT_TRUE(window);
}

std::unique_ptr<CCommunicationWindow> LineFixture::OpenWindow() {
    auto opened = std::make_unique<CCommunicationWindow>();
    opened->channel.replyTimeoutMs = kTestTimeoutMs;
    if (!opened->OpenPort(CCommunicationWindow::kSerialPortKind,
                          static_cast<uint16_t>(sim->ComNumber())))
        return nullptr;
    return opened;
}

QStringList LineFixture::TakeCommands() {
    const QStringList all = sim->Log().Commands();
    const QStringList fresh = all.mid(commandsSeen);
    commandsSeen = static_cast<int>(all.size());
    return fresh;
}

void LineFixture::TearDown() {
    window.reset();
    if (sim)
        sim->Stop();
    sim.reset();
    InstallUserInteraction(previousUi);
}
