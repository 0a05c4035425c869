#include "comm/CommunicationWindow.h"

#include "app/VelmoraApp.h"
#include "comm/PanelBusyIndicator.h"
#include "platform/ResourceLibrary.h"

namespace {
constexpr int kMsgClosing = 10026;
} // namespace

CCommunicationWindow::CCommunicationWindow() {
    if (const CVelmoraApp* app = CVelmoraApp::instance())
        SetParamTables(app->paramTables[0].get(), app->paramTables[1].get());
}

CCommunicationWindow::~CCommunicationWindow() {
    CPanelBusyIndicator closing(nullptr);
    if (portHub.linkState != kLinkClosed)
        closing.ShowClosing(ResourceLibrary::LoadString(kMsgClosing));
    ClosePort();
}

bool CCommunicationWindow::SearchControllers(QWidget* parentWindow) {
    CPanelBusyIndicator panel(parentWindow);
    return CControllerSession::SearchControllers(panel, parentWindow);
}
