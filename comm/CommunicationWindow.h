#pragma once

#include "comm/ControllerSession.h"

class QWidget;

// The controller session of the transfer dialogs: the session with the program's parameter
// tables, the search's busy panel over a window and the closing panel while the port closes.
// Everything else (the port, the channel, the node table, the transfers) is the session's.
class CCommunicationWindow : public CControllerSession {
    Q_OBJECT
public:
    CCommunicationWindow();
    // Shows the closing panel while the port closes; a command still waiting ends with the
    // closed port. Delivers no events.
    ~CCommunicationWindow() override;

    using CControllerSession::SearchControllers;
    // Searches with the busy panel over `parentWindow` (null: no owner), messages over it too.
    bool SearchControllers(QWidget* parentWindow);
};
