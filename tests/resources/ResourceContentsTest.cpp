#include "platform/ResourceLibrary.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QImage>

namespace {

class ShippedLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResourceLibrary::Load(LANGRES_DIR)); }
    void TearDown() override { ResourceLibrary::Unload(); }
};

TEST_F(ShippedLibrary, LanguageTitleAndMissingId) {
    EXPECT_EQ(ResourceLibrary::LoadString(110), "ENG");
    EXPECT_EQ(ResourceLibrary::LoadString(900), "Velmora Free Edition");
    EXPECT_EQ(ResourceLibrary::LoadString(12345), "");
}

TEST_F(ShippedLibrary, EscapesAreResolved) {
    EXPECT_EQ(ResourceLibrary::LoadString(10069),
              "Could not obtain the data below. The file may be corrupted.\n\n%s\t%s\t%s");
    EXPECT_EQ(ResourceLibrary::LoadString(57004), "Software\\Velmora\\VelmoraFree\\Settings");
    EXPECT_EQ(ResourceLibrary::LoadString(10154).count('\n'), 3);
    EXPECT_TRUE(ResourceLibrary::LoadString(10154).endsWith("will be set to \"Disable\"."));
    EXPECT_EQ(ResourceLibrary::LoadString(520), "Data File (*.%s)|*.%s||");
    EXPECT_EQ(ResourceLibrary::LoadString(523), "Alarm History (*.%s)|*.%s||");
}

TEST_F(ShippedLibrary, LauncherCommandsSplitIntoTipAndCaption) {
    const QStringList parts = ResourceLibrary::LoadString(32817).split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], "Transfer controller data to PC and save it to a file.");
    EXPECT_EQ(parts[1], "Data Transfer [Controller to PC]");
}

TEST_F(ShippedLibrary, TooltipStyleSheetIsExact) {
    const QString sheet = ResourceLibrary::LoadString(499);
    ASSERT_TRUE(sheet.endsWith("\r\n"));
    const QStringList lines = sheet.chopped(2).split("\r\n");
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines.first(), "body {font-size: 12pt; color:black; font-family:Tahoma}");
    EXPECT_EQ(lines[7],
              "h6 {font-size: 65%; color:#626262; font-family:Tahoma; font-weight:normal}");
    EXPECT_EQ(lines[11], "a:hover {text-decoration:underline; color:blue}");
    EXPECT_EQ(lines.last(), ".cpp-comment {color:green; font-style:italic}");
}

TEST_F(ShippedLibrary, IconsAndBannerLoad) {
    for (int id : {128, 21003, 21004, 21008, 21030, 21045, 21046, 21113, 21114, 21115}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(QImage(ResourceLibrary::IconPath(id)).size(), QSize(32, 32));
        EXPECT_EQ(QImage(ResourceLibrary::IconPath(id, 16)).size(), QSize(16, 16));
    }
    const QImage banner(ResourceLibrary::BitmapPath(21110));
    EXPECT_EQ(banner.size(), QSize(311, 175));
    QFile raw(ResourceLibrary::BitmapPath(21110));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray header = raw.read(30);
    EXPECT_EQ(static_cast<uint8_t>(header[28]), 24); // bits per pixel
}

TEST(InstallationRecord, MatchesTheLibrary) {
    QFile record(QStringLiteral(LANGRES_DIR "/system.dat"));
    QFile library(QStringLiteral(LANGRES_DIR "/langresFree.rcc"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    ASSERT_TRUE(library.open(QIODevice::ReadOnly));
    const QByteArray digest =
        QCryptographicHash::hash(library.readAll(), QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(record.readAll().trimmed(), digest);
}

} // namespace
