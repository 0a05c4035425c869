#pragma once

#include <QString>

// What a long operation shows while it runs. The dialogs show the busy panel; the command-line
// tool and background sessions show nothing.
class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    // `towardsPc`: data flows from the controller to the PC (arrows point to the PC's icon).
    virtual void Show(const QString& message, bool towardsPc) = 0;
    // The line search: arrows towards the PC, in the search's own font where there is one.
    virtual void ShowSearch(const QString& message) { Show(message, true); }
    virtual void Close() = 0;
};

// Shows nothing.
class NoBusyIndicator : public BusyIndicator {
public:
    void Show(const QString&, bool) override {}
    void Close() override {}
};
