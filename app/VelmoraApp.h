#pragma once

#include "data/ParamInfoTable.h"

#include <QChar>
#include <QIcon>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class KeyboardFilter;
class SingleInstance;

// The application object: one per process, made by main() right after the QApplication.
// Other parts read its tables, icons and locale characters through CVelmoraApp::instance().
class CVelmoraApp {
public:
    // Runs the main window modally; returns when it closes.
    using MainWindowRunner = std::function<void()>;

    // Reads the decimal separator and negative sign from the default locale and installs the
    // keyboard filter on the running Q(Core)Application, if there is one.
    CVelmoraApp();
    ~CVelmoraApp();
    CVelmoraApp(const CVelmoraApp&) = delete;
    CVelmoraApp& operator=(const CVelmoraApp&) = delete;

    // The one application object; nullptr when none exists.
    static CVelmoraApp* instance();

    void SetMainWindowRunner(MainWindowRunner runner) { mainWindowRunner_ = std::move(runner); }

    // Start-up: resource library, language, installation check, single instance, tables, icons,
    // main window. Whatever it returns, the program ends afterwards.
    bool InitInstance();
    // Releases what start-up acquired; returns the exit code.
    int ExitInstance();

    // SHA-256 of the loaded resource library against the digest recorded in system.dat.
    bool VerifyInstallation() const;

    // uiLanguage for the library's language code (string 110): "JPN" 0, "ENG" 1, else 2.
    static int LanguageFromCode(const QString& code);
    // Fixed text shown when the resource library cannot be loaded (it cannot come from there).
    static QString LibraryLoadFailureText();

    std::array<ParamInfoTableSlot, 2> paramTables; // 0: TEXT 191, 1: TEXT 195
    std::array<QIcon, 2> panelIcons;               // icons 21008 and 21030
    QString resourceLibrary;                       // path of the loaded library; empty if none
    int uiLanguage = 2;                            // 0 Japanese, 1 English, 2 other
    QChar decimalSeparator;                        // first character; null when none
    QChar negativeSign;                            // first character; null when none

    // The keyboard filter's state (see KeyboardFilter).
    bool lastKeyWasMainPeriod() const;

private:
    std::unique_ptr<KeyboardFilter> keyboardFilter_;
    std::unique_ptr<SingleInstance> singleInstance_;
    MainWindowRunner mainWindowRunner_;
};

// The application's name: the program's file name without its extension ("VelmoraFree").
QString ApplicationName();
// Directory of the running program, ending with "/".
QString ProgramDirectory();
// The part of `path` after its last "/".
QString FileNameOfPath(const QString& path);
