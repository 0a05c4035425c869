#include "platform/ResourceLibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ResourceLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResourceLibrary::LoadFile(TEST_LIBRARY_PATH)); }
    void TearDown() override { ResourceLibrary::Unload(); }
};

TEST_F(ResourceLibraryTest, StringsByIdWithEscapes) {
    EXPECT_EQ(ResourceLibrary::LoadString(110), "ENG");
    EXPECT_EQ(ResourceLibrary::LoadString(200), "Line one\nLine two\tTabbed");
    // An unknown escape is kept as written.
    EXPECT_EQ(ResourceLibrary::LoadString(201), "Back\\slash\\q");
    // A CR LF line end of the table is not part of the text.
    EXPECT_EQ(ResourceLibrary::LoadString(300), "Windows");
    EXPECT_EQ(ResourceLibrary::LoadString(202), "");
}

TEST_F(ResourceLibraryTest, MissingIdsAndResourcesAreEmpty) {
    EXPECT_TRUE(ResourceLibrary::LoadString(111).isEmpty());
    EXPECT_TRUE(ResourceLibrary::LoadString(99).isEmpty());
    EXPECT_TRUE(ResourceLibrary::LoadCustom("TEXT", 8).isEmpty());
    EXPECT_TRUE(ResourceLibrary::LoadCustom("ALM", 7).isEmpty());
    EXPECT_TRUE(ResourceLibrary::IconPath(128).isEmpty());
    EXPECT_TRUE(ResourceLibrary::TemplatePath(6).isEmpty());
}

TEST_F(ResourceLibraryTest, CustomResourcesAreByteExact) {
    const QByteArray expected("A|1|\r\n\x80\xff\x00"
                              "end",
                              12);
    EXPECT_EQ(ResourceLibrary::LoadCustom("TEXT", 7), expected);
    EXPECT_FALSE(ResourceLibrary::TemplatePath(5).isEmpty());
}

TEST(ResourceLibraryLoad, RefusesMissingAndForeignFilesAndUnloadForgetsStrings) {
    QTemporaryDir dir;
    EXPECT_FALSE(ResourceLibrary::Load(dir.path()));
    EXPECT_FALSE(ResourceLibrary::IsLoaded());

    QFile junk(dir.filePath(ResourceLibrary::kFileName));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a resource library");
    junk.close();
    EXPECT_FALSE(ResourceLibrary::Load(dir.path()));

    ASSERT_TRUE(QFile::copy(TEST_LIBRARY_PATH, dir.filePath("copy.rcc")));
    ASSERT_TRUE(ResourceLibrary::LoadFile(dir.filePath("copy.rcc")));
    EXPECT_EQ(ResourceLibrary::LoadString(110), "ENG");
    ResourceLibrary::Unload();
    EXPECT_FALSE(ResourceLibrary::IsLoaded());
    EXPECT_TRUE(ResourceLibrary::LoadString(110).isEmpty());
    EXPECT_TRUE(ResourceLibrary::LoadCustom("TEXT", 7).isEmpty());
}

} // namespace
