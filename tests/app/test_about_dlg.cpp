// The about box over the built resource library, with and without the robot catalog.
#include "app/AboutDlg.h"
#include "catalog/CatalogData.h"
#include "data/RobotCatalogInterface.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResourceLibrary::LoadFile(QStringLiteral(LANGRES_PATH))); }
    void TearDown() override {
        ResourceLibrary::Unload();
        RobotCatalogInterface::SetLibraryDirectoryForTests(QString());
    }
};

VersionTranslation Translation(quint16 language, quint16 codePage, QMap<QString, QString> strings) {
    VersionTranslation t;
    t.language = language;
    t.codePage = codePage;
    t.strings = std::move(strings);
    return t;
}

} // namespace

TEST(VersionInfo, ProgramCarriesTheProductVersionAndNotice) {
    const VersionInfo& info = ProgramVersionInfo();
    ASSERT_FALSE(info.translations.isEmpty());
    EXPECT_EQ(QueryVersionString(info, QStringLiteral("ProductVersion")), QStringLiteral("1.4.2"));
    const auto legal = QueryVersionString(info, QStringLiteral("LegalCopyright"));
    ASSERT_TRUE(legal);
    EXPECT_TRUE(legal->startsWith(QStringLiteral("Copyright")));
    EXPECT_EQ(VersionStringPath(info.translations.first(), QStringLiteral("ProductVersion")),
              QStringLiteral("\\StringFileInfo\\040904b0\\ProductVersion"));
}

TEST(VersionInfo, FirstTranslationHavingTheValueWins) {
    VersionInfo info;
    info.translations << Translation(0x0411, 0x03a4, {{"LegalCopyright", "first notice"}})
                      << Translation(0x0409, 0x04b0,
                                     {{"ProductVersion", "2.0.1"}, {"LegalCopyright", "second"}});
    EXPECT_EQ(QueryVersionString(info, QStringLiteral("ProductVersion")), QStringLiteral("2.0.1"));
    EXPECT_EQ(QueryVersionString(info, QStringLiteral("LegalCopyright")),
              QStringLiteral("first notice"));
    EXPECT_FALSE(QueryVersionString(info, QStringLiteral("Comments")));
    EXPECT_FALSE(QueryVersionString(VersionInfo(), QStringLiteral("ProductVersion")));
}

TEST_F(AboutBoxTest, ShowsProgramAndCatalogVersions) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Version Info."));
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdName), QStringLiteral("test_about_box"));
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdProductVersion), QStringLiteral("Ver.1.4.2"));
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdLegalNotice),
              *QueryVersionString(ProgramVersionInfo(), QStringLiteral("LegalCopyright")));
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdDatabaseVersion),
              QStringLiteral("Ver.") + QString::fromLatin1(catalog::kDatabaseVersion.data(),
                                                           catalog::kDatabaseVersion.size()));
    auto* icon = FindControl<QLabel>(static_cast<QWidget*>(&about), CAboutDlg::kIdIcon);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    auto* group = about.findChild<QGroupBox*>();
    ASSERT_TRUE(group);
    EXPECT_EQ(group->title(), QStringLiteral("Associated file version"));
}

TEST_F(AboutBoxTest, WithoutCatalogTheDatabaseLineIsVerAlone) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    RobotCatalogInterface::SetLibraryDirectoryForTests(empty.path());
    CAboutDlg about;
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdDatabaseVersion), QStringLiteral("Ver."));
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdProductVersion), QStringLiteral("Ver.1.4.2"));
}

TEST_F(AboutBoxTest, MissingVersionValuesKeepTheTemplateTexts) {
    VersionInfo onlyLegal;
    onlyLegal.translations << Translation(0x0409, 0x04b0, {})
                           << Translation(0x0407, 0x04e4, {{"LegalCopyright", "Notice B"}});
    CAboutDlg about(nullptr, &onlyLegal);
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdProductVersion), QStringLiteral("Ver.1.0.0"));
    EXPECT_EQ(about.ControlText(CAboutDlg::kIdLegalNotice), QStringLiteral("Notice B"));
}

TEST_F(AboutBoxTest, OkClosesTheBox) {
    CAboutDlg about;
    about.show();
    auto* ok = FindControl<QPushButton>(static_cast<QWidget*>(&about), CAboutDlg::kIdOk);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->isDefault());
    ok->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}
