#pragma once

#include <QString>

// What a whole-line run tells while it goes: how many controllers the line's search found, then
// each controller as it starts and as it ends. The command-line tool prints it, the dialogs
// list it. Called on the thread of the line's session.
class LineProgress {
public:
    virtual ~LineProgress() = default;
    // After the line's search: the number of controllers the run will go through on `line`
    // (for a restore, those of the set found on it). Not called when the search failed.
    virtual void LineSearched(const QString& line, int controllers) {
        static_cast<void>(line);
        static_cast<void>(controllers);
    }
    virtual void ControllerStarted(const QString& line, int node, const QString& controller) = 0;
    // `reason`: why it failed; for a controller that took its data, what it still needs (a
    // restart), or empty.
    virtual void ControllerEnded(const QString& line, int node, const QString& controller, bool ok,
                                 const QString& reason, double seconds) = 0;
};
