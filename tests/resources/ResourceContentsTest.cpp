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

// Texts the program shows as they stand, by id: a changed character here is a changed message.
TEST_F(ShippedLibrary, ShownTextsAreExact) {
    const QList<QPair<int, QString>> texts = {
        {273, "Time [d:h:m]"},
        {336, "Controller Name"},
        {344, "User Specified Name"},
        {355, "Node"},
        {356, "%s - COM%d"},
        {357, "%s(Node:%02d)"},
        {463, "On"},
        {464, "Off"},
        {906, "Data Transfer [PC to Controller]"},
        {907, "Data Transfer [Controller to PC]"},
        {911, "Switch Controller"},
        {921, "Alarm History"},
        {923, "Write Data to Controller"},
        {924, "Node Select"},
        {926, "RobotData Initialize"},
        {10016, "Robot is not selected."},
        {10017, "File to be transferred is not selected."},
        {10022, "Connection is not selected."},
        {10026, "Closing connection to controller..."},
        {10040, "Controller name mismatch.\nSource:%s / Destination:%s"},
        {10041, "Robot name mismatch. Do you want to proceed?\nSource:%s / Destination:%s"},
        {10048, "Data transfer failed."},
        {10083, "Automatic Node Number Assignment is completed.\n\n"},
        {10095, "Controller"},
        {10098, "Item"},
        {10099, "Value"},
        {10135, "The Run Mode will be changed to Debug Mode while transferring data. Do you want "
                "to proceed?\nCurrent Run Mode: %s"},
        {10139, "%b %d, %Y %H:%M:%S"},
        {10142, " Please restart controller."},
        {10150, "Connection controller has been changed. Cannot continue process."},
        {10151, "\n\nConnection is closed. Please retry after checking the connection and power "
                "supply to the controller."},
        {10154, "Cannot create a connection. Multiple controllers with the same node number "
                "exist.\nPerform the automatic node number assignment.\n\nCAUTION: LCD Setting "
                "parameter will be set to \"Disable\"."},
        {10157, "Controller name mismatch. Do you want to proceed?\nSource:%s / Destination:%s"},
        {32806, "Obtain the Alarm History of controller.\nObtain Alarm History"},
        {32818, "Transfer a data file on PC to controller.\nData Transfer [PC to Controller]"},
        {32866, "Initialize All the parameters and point data.\nInitialize robot data"},
        {21111, "Tahoma"},
        {40001, "The file name is too long."},
        {40004, "Failed to save the file."},
        {40007, "Undefined Error"},
        {41002, "Can not open the COM port."},
        {41003, "Searching for controllers..."},
        {41005, "Appropriate controller not found."},
        {41008, "Failed in automatic node number assignment.\nPlease retry after checking the "
                "connection and power supply to the controller."},
        {41022, "A file is damaged. Please install it again."},
        {57002, "Already Running"},
        {57005, "&About..."},
        {57006, "Custom Settings...OK?"},
        {57201, "kqd"},
        {57202, "alr"},
        {57205, "KQInitParameter.rid"},
        {57210, "KQInitParameter.rid3"}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(ResourceLibrary::LoadString(id), text) << id;
}

// The column headings of the point table and the run type names, in field and value order.
TEST_F(ShippedLibrary, PointHeadingsAndRunTypeNames) {
    const QStringList headings = {"Point Number", "Run Type", "Position", "Speed",   "Accel.",
                                  "Deccel.",      "Push",     "Zone(-)",  "Zone(+)", "Near width",
                                  "Jump",         "Flag",     "Call",     "Timer"};
    for (int i = 0; i < headings.size(); ++i)
        EXPECT_EQ(ResourceLibrary::LoadString(230 + i), headings[i]) << 230 + i;
    const QStringList runTypes = {"ABS",      "INC",      "ABS Merge",     "INC Merge",
                                  "ABS Push", "INC Push", "ABS Dec. Push", "INC Dec. Push"};
    for (int i = 0; i < runTypes.size(); ++i)
        EXPECT_EQ(ResourceLibrary::LoadString(251 + i), runTypes[i]) << 251 + i;
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
        // The drawing for screens at 200 %; the 16-pixel icon's is the 32-pixel one.
        const QStringList all = ResourceLibrary::IconPaths(id);
        ASSERT_EQ(all.size(), 3);
        EXPECT_EQ(QImage(all[0]).size(), QSize(32, 32));
        EXPECT_EQ(QImage(all[1]).size(), QSize(64, 64));
        EXPECT_EQ(QImage(all[2]).size(), QSize(16, 16));
    }
    EXPECT_TRUE(ResourceLibrary::IconPaths(1).isEmpty()); // not the start of "128"
    const QImage banner(ResourceLibrary::BitmapPath(21110));
    EXPECT_EQ(banner.size(), QSize(311, 175));
    EXPECT_EQ(QImage(ResourceLibrary::BitmapPath(21110, 2)).size(), QSize(622, 350));
    EXPECT_TRUE(ResourceLibrary::BitmapPath(21110, 3).isEmpty());
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
