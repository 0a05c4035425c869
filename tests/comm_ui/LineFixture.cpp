#include "LineFixture.h"

void LineFixture::StartLine(const QList<SimController>& controllers) {
    // The window is driven without the search's @K99=0, so no status streaming.
    SimBehaviour quiet;
    quiet.streaming = false;
    StartSimLine(controllers, &quiet);
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

void LineFixture::TearDown() {
    window.reset();
    SimLineFixture::TearDown();
}
