#pragma once

#include <QString>

// Indexes of the keyword table used by name in the program.
enum KeywordIndex : int {
    kKeyK = 0,
    kKeyPointFirst = 1, // M; fields 1..13 are indexes 1..13
    kKeyPointLast = 13, // T
    kKeyRec = 38,
    kKeyPnt = 39,
    kKeyCont = 40,
    kKeyIf = 41,
    kKeyRobot = 42,
    kKeyVer = 43,
    kKeyVer2 = 44,
    kKeyH = 45,
    kKeyComText = 46, // COMR to read, COMW to write
    kKeySetId = 47,
    kKeyType = 48,
    kKeyDel = 50,
    kKeyReadPnt = 56,
    kKeyReadPrm = 57,
    kKeyReadHprm = 58,
    kKeyCount = 71,
};

// "@?" (query) or "@" followed by the keyword of `index`; "???" outside the table.
QString BuildKeyword(int index, bool query);
// The bare keyword of `index` in its command or query form; "???" outside the table.
QString KeywordText(int index, bool query);
