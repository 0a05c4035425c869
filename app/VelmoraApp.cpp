#include "app/VelmoraApp.h"

#include "app/KeyboardFilter.h"
#include "platform/LibraryLoader.h"
#include "platform/ResourceArt.h"
#include "platform/ResourceLibrary.h"
#include "platform/SingleInstance.h"
#include "platform/UserInteraction.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

CVelmoraApp* theApp = nullptr;

// Start-up messages whose text must survive a library that loads but cannot be read.
QString messageText(int id, const char* fallback) {
    const QString text = ResourceLibrary::LoadString(id);
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

QChar firstCharacter(const QString& text) {
    return text.isEmpty() ? QChar() : text.front();
}

constexpr int kLanguageString = 110;
constexpr int kDamagedMessage = 41022;
constexpr int kAlreadyRunningMessage = 57002;
constexpr int kPanelIconLeft = 21008;
constexpr int kPanelIconRight = 21030;

} // namespace

CVelmoraApp::CVelmoraApp() {
    const QLocale locale;
    decimalSeparator = firstCharacter(locale.decimalPoint());
    negativeSign = firstCharacter(locale.negativeSign());
    uiLanguage = 2;
    keyboardFilter_ = std::make_unique<KeyboardFilter>(decimalSeparator);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(keyboardFilter_.get());
    theApp = this;
}

CVelmoraApp::~CVelmoraApp() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(keyboardFilter_.get());
    if (theApp == this)
        theApp = nullptr;
}

CVelmoraApp* CVelmoraApp::instance() {
    return theApp;
}

bool CVelmoraApp::lastKeyWasMainPeriod() const {
    return keyboardFilter_->lastKeyWasMainPeriod();
}

int CVelmoraApp::LanguageFromCode(const QString& code) {
    if (code == QLatin1String("JPN"))
        return 0;
    if (code == QLatin1String("ENG"))
        return 1;
    return 2;
}

QString CVelmoraApp::LibraryLoadFailureText() {
    return QStringLiteral("Failed to load %1. This application has failed to start.\n"
                          "Re-installing the application may fix this problem.")
        .arg(QString::fromLatin1(ResourceLibrary::kFileName));
}

bool CVelmoraApp::InitInstance() {
    // 1. The resource library, from the program directory only.
    if (!ResourceLibrary::Load(ProgramDirectory())) {
        UI().ShowMessage(nullptr, LibraryLoadFailureText(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    // 2. From here on every text, template and icon comes from it.
    resourceLibrary = ResourceLibrary::LoadedFilePath();

    // 3. Language of the library.
    uiLanguage = LanguageFromCode(ResourceLibrary::LoadString(kLanguageString));

    // 4. Installation check, before the single-instance test.
    if (!VerifyInstallation()) {
        UI().ShowMessage(
            nullptr, messageText(kDamagedMessage, "A file is damaged. Please install it again."),
            MsgButtons::Ok);
        return false;
    }

    // 5./6. Apartment, common controls and control hosting need no set-up on this platform.

    // 7. One running copy per user. A lock that cannot even be created (no writable runtime
    // folder) is no other copy: the program then runs without it rather than claim one.
    singleInstance_ = std::make_unique<SingleInstance>(ApplicationName());
    if (!singleInstance_->tryAcquire() && singleInstance_->heldByOther()) {
        singleInstance_.reset();
        UI().ShowMessage(nullptr, messageText(kAlreadyRunningMessage, "Already Running"),
                         MsgButtons::Ok);
        return false;
    }

    // 8. Parameter tables; a table that fails to load stays empty.
    LoadParamInfoTable(paramTables[0], 0);
    LoadParamInfoTable(paramTables[1], 1);

    // 9. Busy panel end icons.
    panelIcons[0] = ResourceArt::Icon(kPanelIconLeft);
    panelIcons[1] = ResourceArt::Icon(kPanelIconRight);

    // 10. The main window, modally; the program ends when it closes.
    if (mainWindowRunner_)
        mainWindowRunner_();
    return true;
}

int CVelmoraApp::ExitInstance() {
    FreeParamInfoTable(paramTables[0]);
    FreeParamInfoTable(paramTables[1]);
    panelIcons[0] = QIcon();
    panelIcons[1] = QIcon();
    if (!resourceLibrary.isEmpty()) {
        ResourceLibrary::Unload();
        resourceLibrary.clear();
    }
    singleInstance_.reset();
    return 0;
}

bool CVelmoraApp::VerifyInstallation() const {
    const QString library = ResourceLibrary::LoadedFilePath();
    if (library.isEmpty())
        return false;
    QFile record(QFileInfo(library).absolutePath() + QStringLiteral("/system.dat"));
    if (!record.open(QIODevice::ReadOnly))
        return false;
    // The digest in hex, alone or followed by a file name ("<digest>  langresFree.rcc").
    const QByteArray recorded = record.read(4096).simplified().split(' ').value(0);
    if (recorded.size() != 64)
        return false;
    QFile file(library);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return false;
    return hash.result().toHex() == recorded.toLower();
}

QString ApplicationName() {
    const QString name =
        QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    if (!name.isEmpty())
        return name;
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget())
        .completeBaseName();
}

QString ProgramDirectory() {
    return LibraryLoader::ProgramDirectory();
}

QString FileNameOfPath(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}
