#include "alarm/AlarmTextTable.h"

#include "data/CodePage.h"
#include "platform/ResourceLibrary.h"

namespace {

constexpr int kNameSize = 34;
constexpr int kTextSize = 256;
constexpr int kUndefinedErrorString = 40007;

// A field's text ends at its first zero byte or at the end of the field.
QString fieldText(const char* field, int size) {
    int length = 0;
    while (length < size && field[length] != '\0')
        ++length;
    return CodePage::FromAnsi(field, length);
}

} // namespace

int LookupAlarmTextIn(const QByteArray& table, uint8_t code, AlarmText& out) {
    const qsizetype size = table.size();
    const char* bytes = table.constData();
    // A trailing partial entry is never read past its end.
    for (qsizetype pos = 0; pos + kAlarmEntrySize <= size; pos += kAlarmEntrySize) {
        if (static_cast<uint8_t>(bytes[pos]) != code)
            continue;
        const char* entry = bytes + pos + 1;
        out.code = code;
        out.name = fieldText(entry, kNameSize);
        out.cause = fieldText(entry + kNameSize, kTextSize);
        out.remedy = fieldText(entry + kNameSize + kTextSize, kTextSize);
        return 0;
    }
    out.name = ResourceLibrary::LoadString(kUndefinedErrorString);
    return -2;
}

int LookupAlarmText(uint8_t code, AlarmText& out) {
    const QByteArray table = ResourceLibrary::LoadCustom("ALM", 189);
    // An empty table is still a table: it merely holds no code.
    if (table.isEmpty() && !ResourceLibrary::HasCustom("ALM", 189))
        return -1;
    return LookupAlarmTextIn(table, code, out);
}
