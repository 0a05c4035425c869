#include "data/CodePage.h"
#include "data/DataStore.h"
#include "data/ItemPresentation.h"
#include "data/RecordCompare.h"
#include "tests/support/FileFailures.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

class DataFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(store.CreateControllerData(slot));
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static QByteArray readAll(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeAll(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    ControllerDataSlot load(const QByteArray& bytes, bool withPoints = true,
                            bool withParams = true) {
        ControllerDataSlot fresh;
        EXPECT_TRUE(store.CreateControllerData(fresh));
        store.LoadDataBytes(bytes, *fresh, withPoints, withParams);
        return fresh;
    }

    QTemporaryDir dir;
    CDataStore store;
    ControllerDataSlot slot;
};

void fillEverything(ControllerData& data) {
    data.controllerName = QStringLiteral("KQ-A2");
    data.userName = QStringLiteral("M\u00fcller-\u00c4\u00b0");
    data.robotName = QStringLiteral("ROBOT \u65e5\u672c");
    data.interfaceInfo = QStringLiteral("NPN");
    data.version = QStringLiteral("1.23 \u20ac");
    data.dbVersion = QStringLiteral("4.5.6");
    data.ipAddress = QStringLiteral("c0a80001");
    data.subnetMask = QStringLiteral("ffffff00");
    data.gateway = QStringLiteral("0a0000fe");
    for (int i = 0; i < kPointCount; ++i) {
        PointRecord& point = data.points[i];
        point.number = i + 1;
        for (int f = 1; f < kPointFieldCount; ++f)
            point.field(f) = (f % 2 ? -1 : 1) * (i * 1000 + f);
        point.runType = 1 + i % 8;
    }
    for (int i = 0; i < kParamCount; ++i)
        data.params().values[i] = (i % 3 == 0 ? -1 : 1) * (i * 70001);
    data.params().values[10] = std::numeric_limits<int32_t>::min();
    data.params().values[11] = std::numeric_limits<int32_t>::max();
}

QStringList linesOf(const QByteArray& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.last().isEmpty()); // every line, the last included, ends with CR LF
    lines.removeLast();
    return lines;
}

} // namespace

TEST_F(DataFile, FreshRecordWritesKeysAndZeroParametersOnly) {
    ASSERT_TRUE(store.SaveDataFile(path("fresh.kqd"), *slot, true, true));
    const QByteArray bytes = readAll(path("fresh.kqd"));
    EXPECT_FALSE(bytes.contains("PNT"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    const QStringList lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 9 + 138 + 8);
    const QStringList keys{
        "CONT=", "USER=", "ROBOT=", "IF=", "VER=", "DBVER=", "IPADDR=", "MASK=", "GATEWAY="};
    EXPECT_EQ(lines.mid(0, 9), keys);
    EXPECT_EQ(lines[9], QStringLiteral("K1=0"));
    EXPECT_EQ(lines[146], QStringLiteral("K138=0"));
    EXPECT_EQ(lines[147], QStringLiteral("H0=0"));
    EXPECT_EQ(lines[154], QStringLiteral("H7=0"));
}

TEST_F(DataFile, SwitchesAndUnusedPointsDecideWhatIsWritten) {
    slot->points[4] = PointRecord{5, 1, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    slot->points[9] = PointRecord{0, 1, 10, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // not in use
    slot->ipAddress = QStringLiteral("c0a8");
    slot->gateway = QStringLiteral("c0a80001ff");
    const QStringList lines = linesOf(CodePage::ToAnsi(FormatDataFileText(*slot, true, false)));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[6], QStringLiteral("IPADDR="));
    EXPECT_EQ(lines[8], QStringLiteral("GATEWAY="));
    EXPECT_EQ(lines[9], QStringLiteral("PNT5=M1,P10,S0,AC0,DC0,Q0,ZL0,ZH0,N0,J0,F0,C0,T0"));
    EXPECT_EQ(linesOf(CodePage::ToAnsi(FormatDataFileText(*slot, false, false))).size(), 9);
}

TEST_F(DataFile, FullRecordSurvivesWriteAndRead) {
    fillEverything(*slot);
    slot->modelCode = QStringLiteral("A2");
    slot->params().robotName = QStringLiteral("not stored");
    ASSERT_TRUE(store.SaveDataFile(path("full.kqd"), *slot, true, true));

    ControllerDataSlot back;
    ASSERT_TRUE(store.CreateControllerData(back));
    ASSERT_TRUE(store.LoadDataFile(path("full.kqd"), *back, true, true));
    EXPECT_EQ(back->controllerName, slot->controllerName);
    EXPECT_EQ(back->userName, QStringLiteral("M\u00fcller-\u00c4\u00b0"));
    EXPECT_EQ(back->robotName, QStringLiteral("ROBOT ??"));
    EXPECT_EQ(back->params().robotName, QStringLiteral("ROBOT ??"));
    EXPECT_EQ(back->interfaceInfo, slot->interfaceInfo);
    EXPECT_EQ(back->version, slot->version);
    EXPECT_EQ(back->dbVersion, slot->dbVersion);
    EXPECT_EQ(back->ipAddress, slot->ipAddress);
    EXPECT_EQ(back->subnetMask, slot->subnetMask);
    EXPECT_EQ(back->gateway, slot->gateway);
    EXPECT_TRUE(back->modelCode.isEmpty());
    EXPECT_EQ(back->points, slot->points);
    EXPECT_EQ(back->params().values, slot->params().values);
    EXPECT_TRUE(readAll(path("full.kqd")).contains("USER=M\xfcller-\xc4\xb0\r\n"));
}

TEST_F(DataFile, IpFieldsAreReadDottedAndStoredAsLowerCaseHex) {
    auto data = load("IPADDR=192.168.0.1\nMASK=255.255.255.0\nGATEWAY=10.0.0.254");
    EXPECT_EQ(data->ipAddress, QStringLiteral("c0a80001"));
    EXPECT_EQ(data->subnetMask, QStringLiteral("ffffff00"));
    EXPECT_EQ(data->gateway, QStringLiteral("0a0000fe"));
    data->ipAddress = QStringLiteral("x");
    store.LoadDataBytes("IPADDR=192.168.0\nMASK=256.0.0.1\nGATEWAY=1.2.3.4.5\n", *data, true, true);
    EXPECT_TRUE(data->ipAddress.isEmpty());
    EXPECT_TRUE(data->subnetMask.isEmpty());
    EXPECT_TRUE(data->gateway.isEmpty());
}

TEST_F(DataFile, KeysAreCaseSensitivePrefixesAndValuesAreNotTrimmed) {
    auto data = load("cont=lower\r\nCONTROLLER=x\r\nUSER\r\nROBOT= a=b \r\nVER=1\r\nVER=2\r\n"
                     "\r\nDBVER=9\nIF=PNP");
    EXPECT_EQ(data->controllerName, QStringLiteral("x"));
    EXPECT_TRUE(data->userName.isEmpty());
    EXPECT_EQ(data->robotName, QStringLiteral(" a=b "));
    EXPECT_EQ(data->version, QStringLiteral("2"));
    EXPECT_EQ(data->dbVersion, QStringLiteral("9"));
    EXPECT_EQ(data->interfaceInfo, QStringLiteral("PNP"));
}

TEST_F(DataFile, SwitchesOffLeavePointsAndParametersAsTheyWere) {
    slot->points[0] = PointRecord{1, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    slot->params().K(3) = 33;
    const auto points = slot->points;
    store.LoadDataBytes("PNT1=M1,P1\r\nPNT2=M1,P2\r\nK3=1\r\nH0=5\r\nCONT=KQ-F\r\n", *slot, false,
                        false);
    EXPECT_EQ(slot->points, points);
    EXPECT_EQ(slot->params().K(3), 33);
    EXPECT_EQ(slot->params().H(0), 0);
    EXPECT_EQ(slot->controllerName, QStringLiteral("KQ-F"));
    store.LoadDataBytes("PNT2=M1,P2\r\nK3=1\r\nH0=5", *slot, true, true);
    EXPECT_EQ(slot->points[1].position, 2);
    EXPECT_EQ(slot->params().K(3), 1);
    EXPECT_EQ(slot->params().H(0), 5);
}

TEST_F(DataFile, LineBreaksInsideAValueCannotAddLines) {
    slot->userName = QStringLiteral("crew\r\nK38=9\nPNT1=M1,P5");
    ASSERT_TRUE(store.SaveDataFile(path("inject.kqd"), *slot, true, true));
    ControllerDataSlot back;
    ASSERT_TRUE(store.CreateControllerData(back));
    ASSERT_TRUE(store.LoadDataFile(path("inject.kqd"), *back, true, true));
    EXPECT_EQ(back->userName, QStringLiteral("crew  K38=9 PNT1=M1,P5"));
    EXPECT_EQ(back->params().K(38), 0);
    EXPECT_FALSE(back->points[0].inUse());
}

TEST_F(DataFile, MissingOrUnreadableFilesLeaveTheRecordUnchangedAndSayWhy) {
    slot->controllerName = QStringLiteral("keep");
    QString reason;
    EXPECT_FALSE(store.LoadDataFile(path("missing.kqd"), *slot, true, true, &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(strerror(ENOENT)));
    reason.clear();
    EXPECT_FALSE(store.LoadDataFile(dir.path(), *slot, true, true, &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(strerror(EISDIR)));
    EXPECT_EQ(slot->controllerName, QStringLiteral("keep"));
}

TEST_F(DataFile, FailedSaveKeepsTheFolderAndTheOldFileAndSaysWhy) {
    QString reason;
    EXPECT_FALSE(store.SaveDataFile(path("no/such/folder/x.kqd"), *slot, true, true, &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(QDir(path("no")).exists());

    // A folder in the way of the target: the rename fails and the temporary goes away.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.kqd")));
    reason.clear();
    EXPECT_FALSE(store.SaveDataFile(path("taken.kqd"), *slot, true, true, &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("taken.kqd")});
}

TEST_F(DataFile, WriteErrorPartWayLeavesTheOldFileByteIdentical) {
    const QByteArray old = QByteArray("CONT=old\r\n").repeated(400); // 4000 bytes
    writeAll(path("old.kqd"), old);
    fillEverything(*slot);

    // A file size limit below the new content makes the write fail after the temporary exists.
    QString reason;
    bool savedOk = true;
    {
        const FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.isActive());
        savedOk = store.SaveDataFile(path("old.kqd"), *slot, true, true, &reason);
    }
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(reason, QString::fromLocal8Bit(strerror(EFBIG)));
    EXPECT_EQ(readAll(path("old.kqd")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("old.kqd")});
}

TEST_F(DataFile, WriteErrorHeldInTheBufferLeavesTheOldFileByteIdentical) {
    // A record small enough to sit in the write buffer fails only when it is flushed.
    const QByteArray old("CONT=old\r\n");
    writeAll(path("small.kqd"), old);
    slot->controllerName = QStringLiteral("KQ-A");

    bool savedOk = true;
    {
        const FileSizeLimit limit(64);
        ASSERT_TRUE(limit.isActive());
        savedOk = store.SaveDataFile(path("small.kqd"), *slot, false, false);
    }
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(readAll(path("small.kqd")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("small.kqd")});
}

TEST_F(DataFile, JunkNulBytesAndHugeLinesLoadWithoutHarm) {
    QByteArray junk(1 << 20, '\0');
    QRandomGenerator random(1234);
    for (char& c : junk)
        c = static_cast<char>(random.bounded(256));
    junk += "\nCONT=after junk\r\nK7=7\n";
    junk += QByteArray("H1\0=3", 5); // a NUL inside a line: the line is still read to its end
    auto data = load(junk);
    EXPECT_EQ(data->controllerName, QStringLiteral("after junk"));
    EXPECT_EQ(data->params().K(7), 7);
    EXPECT_EQ(data->params().H(1), 3);

    // About 100 MB of lines of 1 MB: points without tags, huge numbers, huge texts, bare CRs.
    QByteArray huge;
    const QByteArray filler(1 << 20, 'Z');
    const QByteArray digits(1 << 20, '9');
    for (int i = 0; i < 25; ++i) {
        huge += "PNT9=M1," + filler + "\r\n";
        huge += "K9=" + digits + "\n";
        huge += "USER=" + filler + "\r\r\n";
        huge += QByteArray(1 << 20, '\r') + "\n";
    }
    huge += "CONT=end";
    data = load(huge);
    EXPECT_EQ(data->points[8], (PointRecord{9, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(data->params().K(9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(data->userName.size(), (1 << 20) + 1); // a CR before CR LF belongs to the value
    EXPECT_EQ(data->controllerName, QStringLiteral("end"));
}

// A compare lists what a whole-data write would send, in its order, with the items it never
// sends after them.
TEST_F(DataFile, CompareListsWrittenItemsInWriteOrderAndNeverWrittenApart) {
    using WholeWrite::Change;
    const auto item = [](const char* name, bool never = false, bool deleted = false) {
        return Change{QLatin1String(name), never, deleted};
    };
    const struct {
        const char* what;
        void (*change)(ControllerData&);
        QList<Change> expected;
    } rows[] = {
        {"nothing", [](ControllerData&) {}, {}},
        {"K1, K44, K72: decimals first, then K21.., then K1..K19",
         [](ControllerData& d) {
             d.params().K(1) += 1;
             d.params().K(44) += 1;
             d.params().K(72) += 1;
         },
         {item("K72"), item("K44"), item("K1")}},
        {"link and node parameters are never written",
         [](ControllerData& d) {
             d.params().K(35) += 1;
             d.params().K(kNodeParam) += 1;
             d.params().H(7) += 1;
         },
         {item("H7"), item("K35", true), item("K38", true)}},
        {"deleted point before changed point, addresses after, run mode last",
         [](ControllerData& d) {
             d.points[4].timer += 1;
             d.points[9] = PointRecord{};
             d.ipAddress = QStringLiteral("c0a80002");
             d.params().K(kRunModeParam) += 1;
         },
         {item("PNT10", false, true), item("PNT5"), item("IPADDR"), item("K20")}},
        {"identity texts and an empty name stay the controller's",
         [](ControllerData& d) {
             d.userName.clear();
             d.robotName.clear();
             d.version = QStringLiteral("9");
         },
         {item("ROBOT", true), item("USER", true), item("VER", true)}},
    };
    ControllerDataSlot present;
    ASSERT_TRUE(store.CreateControllerData(present));
    fillEverything(*present);
    for (const auto& row : rows) {
        ControllerData wanted = *present;
        row.change(wanted);
        const QList<Change> changes = WholeWrite::Changes(wanted, *present);
        QStringList got, expected;
        for (const Change& c : changes)
            got << QStringLiteral("%1/%2/%3").arg(c.item).arg(c.neverWritten).arg(c.pointDeleted);
        for (const Change& c : row.expected)
            expected
                << QStringLiteral("%1/%2/%3").arg(c.item).arg(c.neverWritten).arg(c.pointDeleted);
        EXPECT_EQ(got, expected) << row.what;
    }
}

// Items as every listing shows them, from the parameter tables the program ships.
TEST_F(DataFile, ItemsPresentScaledWithNamesUnitsAndChoices) {
    ParamInfoTableSlot tables[2];
    for (int which = 0; which < 2; ++which) {
        QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/resources/TEXT/%1").arg(191 + 4 * which));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ASSERT_TRUE(LoadParamInfoTableFromBytes(tables[which], file.readAll()));
    }
    ControllerData& data = *slot;
    data.params().K(kDecimalsParam) = 3;
    data.params().K(1) = -12345; // a length: scaled by K72
    data.params().K(44) = 15000; // two places of its own
    data.params().K(14) = 1;     // a list
    data.params().K(19) = 250;
    data.points[2] = PointRecord{3, 1, 1000, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    data.ipAddress = QStringLiteral("c0a8010a");
    data.robotName = QStringLiteral("Arm");
    const struct {
        int table; // -1: none
        const char* item;
        const char* name;
        const char* unit;
        const char* value;
    } rows[] = {
        {0, "K1", "(-) soft limit", "mm", "-12.345"},
        {1, "K44", "Max speed (default value)", "mm/s", "150.00"},
        {0, "K14", "Origin dir.", "", "CW"},
        {0, "K19", "Brake release delay", "ms", "250"},
        {1, "K19", "", "", "250"}, // the pulse-train table has no K19
        {-1, "K44", "", "", "15000"},
        {0, "IPADDR", "", "", "192.168.1.10"},
        {0, "ROBOT", "", "", "Arm"},
        {0, "PNT3", "", "", "M1,P1000,S50,AC0,DC0,Q0,ZL0,ZH0,N0,J0,F0,C0,T7"},
        {0, "PNT4", "", "", ""},
    };
    for (const auto& row : rows) {
        const ItemText text = PresentItem(data, row.table < 0 ? nullptr : tables[row.table].get(),
                                          QLatin1String(row.item));
        EXPECT_EQ(text.item, QLatin1String(row.item));
        EXPECT_EQ(text.name, QLatin1String(row.name)) << row.item;
        EXPECT_EQ(text.unit, QLatin1String(row.unit)) << row.item;
        EXPECT_EQ(text.value, QLatin1String(row.value)) << row.item << " table " << row.table;
    }
}
