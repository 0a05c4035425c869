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
        const bool ok = ReadAlarmRecord(commandChannel, node, slot, record);
        if (!ok || record.code == 0) {
            // A silent controller or a broken line leaves no trustworthy history at all.
            if (commandChannel.lastFailure.StopsTransfer())
                return QString();
            break;
        }
        AlarmText entry;
        if (LookupAlarmText(record.code, entry) == 0)
            record.name = entry.name;
        records.append(record);
    }

    readTime = AlarmHistoryText::CurrentReadTime();
    historyText = AlarmHistoryText::Build(readTime, controller, records);
    return historyText;
}

bool CDlgAlarm::SaveAlarmHistory(const QString& path) const {
    QByteArray bytes = CodePage::ToAnsi(historyText);
    bytes.replace("\n", "\r\n");
    return ReplaceFileContents(path, bytes);
}
