#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

// One description of a parameter; variants of the same parameter are chained behind the head.
struct ParamInfo {
    char kind = 0;       // 'M', 'I', 'C', 'O', 'H'; 0 when the number has no record
    uint16_t number = 0; // K1..K138, or the H number 0..7
    int32_t variant = 0;
    QString name;
    QString description;
    QString unit;
    uint16_t attributes = 0; // bit 4: a change needs a controller restart
    uint16_t accessMask = 0;
    uint8_t valueType = 0; // 1 list, 2 integer, 3 decimal
    int8_t decimals = 0;   // -1: the controller's own K72
    int32_t defaultValue = 0;
    int32_t minValue = 0;
    int32_t maxValue = 0; // lists: the number of items
    QStringList itemLabels;
    QList<int32_t> itemValues;
    std::unique_ptr<ParamInfo> nextVariant;

    ParamInfo() = default;
    // Unlinks the chain one by one: a long chain must not recurse through destructors.
    ~ParamInfo();
    ParamInfo(ParamInfo&&) noexcept = default;
    ParamInfo& operator=(ParamInfo&&) noexcept = default;

    bool isEmpty() const { return kind == 0; }
};

inline constexpr uint16_t kRestartAttribute = 0x0004;

struct ParamInfoTable {
    std::array<ParamInfo, 146> entries; // entries[i - 1] heads the chain of table number i
};

using ParamInfoTableSlot = std::unique_ptr<ParamInfoTable>;

// `which` 0: TEXT 191 (standard models), 1: TEXT 195 (pulse-train models), read from the
// resource library. False when the slot is occupied or the resource is missing or empty.
bool LoadParamInfoTable(ParamInfoTableSlot& slot, int which);
// The same from the table text's bytes (ANSI code page). A list announcing more items than its
// record holds gets arrays only as long as the item fields present; `maxValue` keeps the
// announced count, so walk `itemLabels.size()`, not `maxValue`.
bool LoadParamInfoTableFromBytes(ParamInfoTableSlot& slot, const QByteArray& bytes);
void FreeParamInfoTable(ParamInfoTableSlot& slot);
// number 1..146; the head when no entry of the chain has the variant.
const ParamInfo& ParamInfoFor(const ParamInfoTable& table, int number, int variant);
const ParamInfo* FindVariant(const ParamInfo* entry, int variant);
