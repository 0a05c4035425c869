// The rollback points' folder, names and pruning, on files of a temporary folder.
#include "transfer/RollbackPoint.h"
#include "data/DataStore.h"
#include "simulator/DemoControllers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool Touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

TEST(RollbackPoint, LivesInTheUsersDataFolderUnderNamesThatSortByTime) {
    EXPECT_EQ(RollbackPoint::Folder(),
              QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/VelmoraFree/rollback");
    const QDateTime time(QDate(2026, 12, 9), QTime(4, 15, 2));
    EXPECT_EQ(RollbackPoint::FileName(time, "COM97", 3, "KQ-A"),
              QString("20261209-041502-COM97-node03-KQ-A.kqd"));
    EXPECT_EQ(RollbackPoint::FileName(time, "ttyUSB0", 16, "A/B:C*"),
              QString("20261209-041502-ttyUSB0-node16-A_B_C_.kqd"));
}

TEST(RollbackPoint, SavesEveryPointAndKeepsTheNewestFifty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.filePath("rollback"));
    ASSERT_TRUE(folder.mkpath("."));
    // Fifty older points, a day apart, and two files of the user's own.
    QStringList older;
    for (int day = 0; day < RollbackPoint::kKept; ++day) {
        older << RollbackPoint::FileName(QDateTime(QDate(2026, 1, 1).addDays(day), QTime(12, 0)),
                                         "COM1", 1, "KQ-A");
        ASSERT_TRUE(Touch(folder.filePath(older.last())));
    }
    ASSERT_TRUE(Touch(folder.filePath("notes.txt")));
    ASSERT_TRUE(Touch(folder.filePath("mine.kqd")));

    const CDataStore store;
    const ControllerData present = MakeDemoController(3, "KQ-C").data;
    QString first;
    QString second;
    ASSERT_TRUE(RollbackPoint::Save(store, present, "COM97", folder.path(), first));
    ASSERT_TRUE(RollbackPoint::Save(store, present, "COM97", folder.path(), second));
    // Two points of the same second are both kept, each a whole data file.
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo(first).fileName().endsWith("-COM97-node03-KQ-C.kqd"))
        << first.toStdString();
    ControllerData loaded;
    loaded.points.resize(kPointCount);
    loaded.robotParams.resize(1);
    ASSERT_TRUE(store.LoadDataFile(second, loaded, true, true));
    EXPECT_EQ(loaded.points, present.points);
    EXPECT_EQ(loaded.params().values, present.params().values);

    // The two oldest points went; the user's files stay.
    QStringList expected = older.mid(2);
    expected << QFileInfo(first).fileName() << QFileInfo(second).fileName() << "notes.txt"
             << "mine.kqd";
    expected.sort();
    QStringList left = folder.entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, expected);

    // A folder that cannot be made: no file, and the reason.
    ASSERT_TRUE(Touch(dir.filePath("blocker")));
    QString path = "stale";
    QString reason;
    EXPECT_FALSE(RollbackPoint::Save(store, present, "COM97", dir.filePath("blocker/rollback"),
                                     path, &reason));
    EXPECT_TRUE(path.isEmpty());
    EXPECT_FALSE(reason.isEmpty());
}
