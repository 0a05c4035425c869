#include "alarm/DlgAlarm.h"

#include "alarm/AlarmHistoryText.h"
#include "alarm/AlarmTextTable.h"
#include "comm/AlarmRecord.h"
#include "comm/CommandChannel.h"
#include "data/CodePage.h"
#include "data/FileReplace.h"

#include <QList>

QString CDlgAlarm::ReadAlarmHistory(ControllerData& controller, CPortHub& hub,
                                    CCommandChannel& commandChannel, int nodeNumber) {
    data = &controller;
    portHub = &hub;
    channel = &commandChannel;
    node = nodeNumber;
    historyText.clear();
    readTime.clear();
    slotsQueried = 0;

    QList<AlarmRecord> records;
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        AlarmRecord record;
        ++slotsQueried;
        // An empty slot (code 0) ends the history. A slot that could not be read, refused
        // included, leaves no trustworthy history at all: saving the slots before it would pass
        // a shortened history off as the whole.
        if (!ReadAlarmRecord(commandChannel, node, slot, record))
            return QString();
        if (record.code == 0)
            break;
        AlarmText entry;
        if (LookupAlarmText(record.code, entry) == 0)
            record.name = entry.name;
        records.append(record);
    }

    readTime = AlarmHistoryText::CurrentReadTime();
    historyText = AlarmHistoryText::Build(readTime, controller, records);
    return historyText;
}

bool CDlgAlarm::SaveAlarmHistory(const QString& path, QString* reason) const {
    QByteArray bytes = CodePage::ToAnsi(historyText);
    bytes.replace("\n", "\r\n");
    return ReplaceFileContents(path, bytes, reason);
}
