#pragma once

#include <QString>

// What a whole-line run tells while it goes: each controller as it starts and as it ends. The
// command-line tool prints it, the dialogs list it. Called on the thread of the line's session.
class LineProgress {
public:
    virtual ~LineProgress() = default;
    virtual void ControllerStarted(const QString& line, int node, const QString& controller) = 0;
    virtual void ControllerEnded(const QString& line, int node, const QString& controller, bool ok,
                                 const QString& reason, double seconds) = 0;
};
