#include "app/VelmoraApp.h"
#include "platform/ResourceLibrary.h"
#include "platform/UserInteraction.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) : saved_(QLocale()) {
        QLocale::setDefault(locale);
    }
    ~DefaultLocale() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

TEST(VelmoraApp, OneInstanceWithLocaleCharactersAndUnknownLanguage) {
    EXPECT_EQ(CVelmoraApp::instance(), nullptr);
    {
        DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        CVelmoraApp app;
        EXPECT_EQ(CVelmoraApp::instance(), &app);
        EXPECT_EQ(app.decimalSeparator, u',');
        EXPECT_EQ(app.negativeSign, u'-');
        EXPECT_EQ(app.uiLanguage, 2);
        EXPECT_FALSE(app.paramTables[0]);
        EXPECT_FALSE(app.paramTables[1]);
        EXPECT_TRUE(app.resourceLibrary.isEmpty());
    }
    EXPECT_EQ(CVelmoraApp::instance(), nullptr);

    // Only the first character is kept; read once, at construction.
    DefaultLocale swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    const QString sign = QLocale().negativeSign();
    CVelmoraApp app;
    EXPECT_EQ(app.decimalSeparator, u',');
    EXPECT_EQ(app.negativeSign, sign.front());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(app.decimalSeparator, u',');
}

TEST(VelmoraApp, LanguageCodes) {
    EXPECT_EQ(CVelmoraApp::LanguageFromCode("JPN"), 0);
    EXPECT_EQ(CVelmoraApp::LanguageFromCode("ENG"), 1);
    EXPECT_EQ(CVelmoraApp::LanguageFromCode("eng"), 2);
    EXPECT_EQ(CVelmoraApp::LanguageFromCode("ENG "), 2);
    EXPECT_EQ(CVelmoraApp::LanguageFromCode(""), 2);
}

TEST(VelmoraApp, PathHelpers) {
    EXPECT_EQ(FileNameOfPath("/home/u/data/backup.kqd"), "backup.kqd");
    EXPECT_EQ(FileNameOfPath("backup.kqd"), "backup.kqd");
    EXPECT_EQ(FileNameOfPath("/home/u/"), "");
    const QString dir = ProgramDirectory();
    EXPECT_TRUE(dir.endsWith('/'));
    EXPECT_EQ(QDir(dir), QDir(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(ApplicationName(), "test_app");
}

// The whole start-up in this process, with the library and record the build put beside it.
TEST(VelmoraApp, StartUpHoldsLibraryTablesIconsAndLockWhileTheMainWindowRuns) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    ScriptedUserInteraction ui;
    UserInteraction* previous = InstallUserInteraction(&ui);
    const QString lock = runtime.filePath(QStringLiteral("test_app.lock"));

    bool ran = false;
    {
        CVelmoraApp app;
        app.SetMainWindowRunner([&] {
            ran = true;
            EXPECT_TRUE(ResourceLibrary::IsLoaded());
            EXPECT_EQ(QFileInfo(app.resourceLibrary).fileName(), "langresFree.rcc");
            EXPECT_EQ(app.uiLanguage, 1);
            ASSERT_TRUE(app.paramTables[0]);
            ASSERT_TRUE(app.paramTables[1]);
            // K83 exists only in the pulse-train table: the two must not be swapped.
            EXPECT_TRUE(app.paramTables[0]->entries[82].isEmpty());
            EXPECT_FALSE(app.paramTables[1]->entries[82].isEmpty());
            EXPECT_FALSE(app.panelIcons[0].isNull());
            EXPECT_FALSE(app.panelIcons[1].isNull());
            EXPECT_TRUE(QFile::exists(lock));
        });
        EXPECT_TRUE(app.InitInstance());
        EXPECT_EQ(app.ExitInstance(), 0);
        EXPECT_FALSE(app.paramTables[0]);
        EXPECT_FALSE(app.paramTables[1]);
        EXPECT_FALSE(ResourceLibrary::IsLoaded());
        EXPECT_FALSE(QFile::exists(lock));
    }
    EXPECT_TRUE(ran);
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(u'|').toStdString();
    InstallUserInteraction(previous);
    if (savedRuntime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

class InstallationCheck : public ::testing::Test {
protected:
    void SetUp() override {
        QFile source(TEST_ENG_LIBRARY);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        bytes = source.readAll();
        library = dir.filePath("langresFree.rcc");
        QFile copy(library);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write(bytes);
        copy.close();
        digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        ASSERT_TRUE(ResourceLibrary::LoadFile(library));
    }
    void TearDown() override { ResourceLibrary::Unload(); }

    void record(const QByteArray& text) {
        QFile file(dir.filePath("system.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QTemporaryDir dir;
    QByteArray bytes;
    QString library;
    QByteArray digest;
    CVelmoraApp app;
};

TEST_F(InstallationCheck, MatchingDigestInItsUsualForms) {
    record(digest);
    EXPECT_TRUE(app.VerifyInstallation());
    record(digest + "\n");
    EXPECT_TRUE(app.VerifyInstallation());
    record(digest.toUpper() + "  langresFree.rcc\n");
    EXPECT_TRUE(app.VerifyInstallation());
}

TEST_F(InstallationCheck, MissingWrongOrChangedFails) {
    EXPECT_FALSE(app.VerifyInstallation()); // no record
    record("");
    EXPECT_FALSE(app.VerifyInstallation());
    record(digest.left(63));
    EXPECT_FALSE(app.VerifyInstallation());
    QByteArray other = digest;
    other[0] = other[0] == 'a' ? 'b' : 'a';
    record(other);
    EXPECT_FALSE(app.VerifyInstallation());

    record(digest);
    ASSERT_TRUE(app.VerifyInstallation());
    QFile file(library);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(bytes.size() / 2);
    file.write(QByteArray(1, char(bytes[bytes.size() / 2] ^ 1)));
    file.close();
    EXPECT_FALSE(app.VerifyInstallation());

    ResourceLibrary::Unload();
    EXPECT_FALSE(app.VerifyInstallation()); // nothing loaded
}

TEST_F(InstallationCheck, ExitReleasesTablesIconsAndLibrary) {
    ASSERT_TRUE(LoadParamInfoTable(app.paramTables[0], 0));
    app.panelIcons[0] = QIcon(QPixmap(16, 16));
    app.resourceLibrary = library;
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(app.paramTables[0]);
    EXPECT_TRUE(app.panelIcons[0].isNull());
    EXPECT_TRUE(app.resourceLibrary.isEmpty());
    EXPECT_FALSE(ResourceLibrary::IsLoaded());
}

} // namespace
