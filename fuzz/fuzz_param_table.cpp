// Any bytes as a parameter table text: no crash, no hang, no allocation beyond the input, and
// every entry consistent.
#include "data/ParamInfoTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParamInfoTableSlot slot;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!LoadParamInfoTableFromBytes(slot, bytes))
        return 0;
    for (int number = 1; number <= 146; ++number) {
        const ParamInfo& head = slot->entries[number - 1];
        for (const ParamInfo* entry = &head; entry; entry = entry->nextVariant.get()) {
            if (entry->itemLabels.size() != entry->itemValues.size() ||
                entry->itemLabels.size() > static_cast<qsizetype>(size))
                __builtin_trap();
            if (entry->itemLabels.size() > 0 && entry->itemLabels.size() > entry->maxValue)
                __builtin_trap();
            if (&ParamInfoFor(*slot, number, entry->variant) != FindVariant(&head, entry->variant))
                __builtin_trap();
        }
    }
    FreeParamInfoTable(slot);
    return 0;
}
