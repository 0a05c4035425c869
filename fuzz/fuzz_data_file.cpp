// Any bytes as a data file: the reader must neither crash nor hang, and whatever it accepted
// must come back unchanged through the writer.
#include "data/CodePage.h"
#include "data/DataStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CDataStore store;
    ControllerDataSlot loaded;
    ControllerDataSlot reloaded;
    if (!store.CreateControllerData(loaded) || !store.CreateControllerData(reloaded))
        __builtin_trap();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    store.LoadDataBytes(bytes, *loaded, true, true);

    const QByteArray written = CodePage::ToAnsi(FormatDataFileText(*loaded, true, true));
    store.LoadDataBytes(written, *reloaded, true, true);
    if (reloaded->points != loaded->points ||
        reloaded->params().values != loaded->params().values ||
        reloaded->ipAddress != loaded->ipAddress || reloaded->subnetMask != loaded->subnetMask ||
        reloaded->gateway != loaded->gateway)
        __builtin_trap();
    return 0;
}
