// Any bytes as the answer of a point or alarm slot query: parsing must neither crash nor
// change a point that the answer does not put in use.
#include "comm/AlarmRecord.h"
#include "comm/ItemOperations.h"
#include "data/CodePage.h"
#include "data/DataStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString answer =
        CodePage::FromAnsi(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString value = ValueTextOf(answer, true);
    if (value.contains(QLatin1String("\r\n")) || value.size() >= answer.size() + 1)
        __builtin_trap();

    PointRecord point;
    point.speed = 4242;
    const PointRecord before = point;
    if (ParsePointReply(point, 12, value)) {
        if (point.number != 12 || point.runType <= 0)
            __builtin_trap();
    } else if (point != before) {
        __builtin_trap();
    }

    AlarmRecord first;
    AlarmRecord second;
    ParseAlarmRecord(value, first);
    ParseAlarmRecord(value, second);
    if (!(first == second))
        __builtin_trap();
    return 0;
}
