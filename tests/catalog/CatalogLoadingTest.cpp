#include "data/RobotCatalogInterface.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace RobotCatalogInterface;

namespace {

// Each test starts from the program directory and goes back to it.
class CatalogLoading : public ::testing::Test {
protected:
    void SetUp() override { savedCurrent = QDir::currentPath(); }
    void TearDown() override {
        SetLibraryDirectoryForTests(QString());
        QDir::setCurrent(savedCurrent);
    }

    static void copyRealLibraries(const QString& to) {
        const QString from = LibraryDirectory();
        for (const char* name : {kCatalogFileName, kMotionFileName})
            ASSERT_TRUE(QFile::copy(from + "/" + name, to + "/" + name)) << name;
    }

    // Every call fails and leaves its output as it was.
    static void expectEverythingFails() {
        QList<ControllerName> list = {{"x", "y"}};
        EXPECT_FALSE(GetControllerList(list));
        EXPECT_EQ(list.size(), 1);
        QString text = "kept";
        EXPECT_FALSE(GetRobotNames(0, text));
        EXPECT_FALSE(GetDatabaseVersion(text));
        EXPECT_EQ(text, "kept");
        RobotParameters params;
        params.values.fill(3);
        EXPECT_FALSE(GetInitParameter("KQ-A", "LX20-L06", params));
        EXPECT_EQ(params.values[0], 3);
        EXPECT_TRUE(params.robotName.isEmpty());
        StrokeTable table{};
        table.entryCount = 2;
        EXPECT_FALSE(GetStrokeData("LX20-L06", table));
        EXPECT_EQ(table.entryCount, 0);
        int32_t accel = 42;
        EXPECT_FALSE(DllAccCalc(1, {300, 100, 0, 0, 10, 0, 0}, accel));
        EXPECT_EQ(accel, 42);
    }

    QString savedCurrent;
};

} // namespace

TEST_F(CatalogLoading, ProgramDirectoryHoldsTheLibraries) {
    EXPECT_TRUE(QDir::isAbsolutePath(LibraryDirectory()));
    EXPECT_TRUE(QFile::exists(LibraryDirectory() + "/" + kCatalogFileName));
    QString version;
    EXPECT_TRUE(GetDatabaseVersion(version));
}

TEST_F(CatalogLoading, LibrariesAreTakenFromTheGivenFolder) {
    QTemporaryDir copies;
    ASSERT_TRUE(copies.isValid());
    copyRealLibraries(copies.path());
    SetLibraryDirectoryForTests(copies.path());
    QList<ControllerName> list;
    EXPECT_TRUE(GetControllerList(list));
    EXPECT_EQ(list.size(), 7);
    int32_t accel = 0;
    EXPECT_TRUE(DllAccCalc(0, {300, 100, 0, 0, 10, 0, 0}, accel));
    EXPECT_EQ(accel, 300);
}

TEST_F(CatalogLoading, MissingLibrariesFailEveryCallAlone) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SetLibraryDirectoryForTests(empty.path());
    expectEverythingFails();
    StrokeTable table{};
    table.entryCount = 4;
    ReleaseStrokeData(table); // no library: nothing to call, the table is still emptied
    EXPECT_EQ(table.entryCount, 0);
}

TEST_F(CatalogLoading, LibrariesInTheCurrentDirectoryAreNeverUsed) {
    QTemporaryDir current;
    QTemporaryDir empty;
    ASSERT_TRUE(current.isValid() && empty.isValid());
    copyRealLibraries(current.path());
    ASSERT_TRUE(QDir::setCurrent(current.path()));

    SetLibraryDirectoryForTests(empty.path());
    expectEverythingFails();
    // A relative folder would mean the current directory: refused as well.
    SetLibraryDirectoryForTests(".");
    expectEverythingFails();
}

TEST_F(CatalogLoading, AMissingFunctionFailsOnlyItsOwnCall) {
    SetLibraryDirectoryForTests(FAKE_PARTIAL_DIR);
    QString version;
    ASSERT_TRUE(GetDatabaseVersion(version));
    EXPECT_EQ(version, "9.99");
    // The count is there but the names function is not.
    QList<ControllerName> list;
    EXPECT_FALSE(GetControllerList(list));
    QString names = "kept";
    EXPECT_FALSE(GetRobotNames(0, names));
    EXPECT_EQ(names, "kept");
    StrokeTable table{};
    table.entryCount = 1;
    EXPECT_FALSE(GetStrokeData("LX20-L06", table));
    EXPECT_EQ(table.entryCount, 0);
}

TEST_F(CatalogLoading, RefusingCatalogLeavesOutputsAsTheyWere) {
    SetLibraryDirectoryForTests(FAKE_REFUSING_DIR);
    expectEverythingFails();
}
