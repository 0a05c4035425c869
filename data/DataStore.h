#pragma once

#include "data/ControllerData.h"

#include <QString>
#include <QStringView>

// Creates and frees controller data records, and reads and writes data files.
class CDataStore {
public:
    CDataStore();

    int32_t blockCount = 1;

    // False (and nothing changed) when the slot is occupied.
    bool CreateControllerData(ControllerDataSlot& slot) const;
    // False when the slot is empty.
    bool FreeControllerData(ControllerDataSlot& slot) const;

    // Writes through a temporary file in the same folder renamed over `path` only when all
    // was written; on failure the previous file is left untouched, false is returned and
    // `reason` (optional) receives the system's reason.
    bool SaveDataFile(const QString& path, const ControllerData& data, bool withPoints,
                      bool withParams, QString* reason = nullptr) const;
    // False only when the file cannot be opened (`reason`, optional, says why); otherwise true
    // whatever the lines held.
    bool LoadDataFile(const QString& path, ControllerData& data, bool withPoints, bool withParams,
                      QString* reason = nullptr) const;
    // The same reader over bytes already in memory (files, fuzzing).
    void LoadDataBytes(const QByteArray& bytes, ControllerData& data, bool withPoints,
                       bool withParams) const;

    // The line parsers shared with the controller replies. Each changes at most one point
    // or parameter; an unrecognised line changes nothing.
    void ParsePointLine(ControllerData& data, QStringView line) const;
    void ParseKLine(ControllerData& data, QStringView line) const;
    void ParseHLine(ControllerData& data, QStringView line) const;
};

// A record created by `store` and freed on every exit path of its scope.
class ScopedControllerData {
public:
    explicit ScopedControllerData(const CDataStore& owner) : store(owner) {
        store.CreateControllerData(slot);
    }
    ~ScopedControllerData() { store.FreeControllerData(slot); }
    ScopedControllerData(const ScopedControllerData&) = delete;
    ScopedControllerData& operator=(const ScopedControllerData&) = delete;
    ControllerData& operator*() { return *slot; }
    ControllerData* operator->() { return slot.get(); }
    explicit operator bool() const { return slot != nullptr; }

private:
    const CDataStore& store;
    ControllerDataSlot slot;
};

bool CopyControllerData(ControllerData& destination, const ControllerData& source);

// Parses the fields of one point after its "=" ("M1,P10000,...,T0") into `point`, numbering it
// `number`. A run type that is not above 0 leaves `point` untouched and gives false.
bool ParsePointReply(PointRecord& point, int number, QStringView text);

// The line forms the controllers and the data file share (without line end).
QString FormatPointLine(const PointRecord& point); // "PNT1=M1,P10000,...,T0"
QString FormatKLine(int n, int32_t value);         // "K2=15000"
QString FormatHLine(int n, int32_t value);         // "H0=100"
// The whole data file text, lines ended by CR LF, before conversion to the code page.
QString FormatDataFileText(const ControllerData& data, bool withPoints, bool withParams);
