#pragma once

#include <QString>

class CCommandChannel;
class CPortHub;
struct ControllerData;

// The alarm history reader: reads slots 1 to 50 of one node, names each alarm from the alarm
// text table and keeps the result as the text of an alarm history file. It is created for one
// save and discarded afterwards; it shows nothing, so it is no widget.
class CDlgAlarm {
public:
    static constexpr int kMaxSlots = 50;

    CDlgAlarm() = default;
    CDlgAlarm(const CDlgAlarm&) = delete;
    CDlgAlarm& operator=(const CDlgAlarm&) = delete;

    // Reads the history of `node` and formats it with the identity texts and K72 of `data`.
    // Reading stops at the first slot with code 0 or a failed query; the slots read so far are
    // kept, except when the reading stopped on a reply time-out, a line error or a closed port:
    // then the result is empty.
    // Returns a copy of historyText.
    QString ReadAlarmHistory(ControllerData& data, CPortHub& portHub, CCommandChannel& channel,
                             int node);

    // Writes historyText to `path` in the ANSI code page with CR LF line ends. The file is
    // replaced only once the new contents are complete: a failed save leaves any existing file
    // as it was. False when the file cannot be written; `reason` (optional) then says why.
    bool SaveAlarmHistory(const QString& path, QString* reason = nullptr) const;

    ControllerData* data = nullptr;
    CPortHub* portHub = nullptr;
    CCommandChannel* channel = nullptr;
    int node = 0;
    QString readTime;
    QString historyText;
    // Slots queried by the last ReadAlarmHistory.
    int slotsQueried = 0;
};
