#pragma once

#include "data/ParamInfoTable.h"

#include <QString>

#include <cstdint>

// The value ranges a controller enforces on its K and H parameters: those of the parameter
// tables TEXT 191 (standard models) and TEXT 195 (pulse-train models, a "B" in the model code),
// read from the resource library langresFree.rcc.
class SimParamRanges {
public:
    // The tables of the resource library in the program directory, loaded once per process;
    // null, with the reason in `error`, when they cannot be loaded.
    static const SimParamRanges* Shared(QString* error = nullptr);
    // The tables of a resource library file of the caller's choice; false with `error`.
    bool LoadLibrary(const QString& path, QString* error);
    // The tables from their text bytes (ANSI code page).
    bool LoadTexts(const QByteArray& standard, const QByteArray& pulseTrain);

    // Whether the controller of `modelCode` takes `value` for table number `number` (1..138
    // K1..K138, 139..146 H0..H7). A list takes the values of its items, a number its range;
    // every variant of the parameter counts. Lengths with the controller's own decimal places
    // (`decimals` -1) are ranged in thousandths of a millimetre, so `k72` scales them. A number
    // without a record, or a record without a value type, takes anything.
    bool Accepts(const QString& modelCode, int number, int32_t value, int32_t k72) const;
    // `value` moved into the range of that parameter (lists: unchanged).
    int32_t Clamp(const QString& modelCode, int number, int32_t value) const;

    static bool IsPulseTrainModel(const QString& modelCode);

private:
    const ParamInfoTable* tableFor(const QString& modelCode) const;

    ParamInfoTableSlot tables[2];
};
