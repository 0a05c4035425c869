#pragma once

#include <QDialog>
#include <QHash>
#include <QPixmap>

#include <functional>

class CHtmlTooltip;
class CIconButton;
class QLabel;
class QMenu;
class QPushButton;

// What the launcher's buttons and its menu start. Each runs one workflow dialog modally over
// `parent` and returns when it closes; the composition of the program (WorkflowActions) fills
// them with the real dialogs, tests with their own.
struct LauncherActions {
    std::function<void(QWidget* parent)> backup;
    std::function<void(QWidget* parent)> restore;
    std::function<void(QWidget* parent)> alarmHistory;
    std::function<void(QWidget* parent)> generation;
    std::function<void(QWidget* parent)> about;
};

// The program's main window (template 190): the banner with the catalog's database version
// over its foot, the four workflow buttons and "Exit". The window system gives a program no
// system menu of its own here, so "&About..." and a separator head the window's context menu.
class CDlgLauncher : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 190;
    static constexpr int kIdBanner = 1364;
    static constexpr int kIdBackup = 1365;
    static constexpr int kIdRestore = 1366;
    static constexpr int kIdAlarm = 1367;
    static constexpr int kIdGeneration = 1368;
    static constexpr int kIdDontShowAgain = 1370;
    static constexpr int kIdLaunch = 1371;
    static constexpr int kIdExit = 1372;
    static constexpr int kIdVersion = 1375;
    static constexpr int kBannerBitmap = 21110;

    // `banner`: the picture to lay the window out from; null takes bitmap 21110 of the library.
    explicit CDlgLauncher(LauncherActions actions, QWidget* parent = nullptr,
                          const QPixmap& banner = QPixmap());
    ~CDlgLauncher() override;

    // The window's menu: "&About...", a separator, then the usual window commands.
    QMenu* BuildWindowMenu();
    // "Database Version\tVer <version>", "Ver -" without a catalog version.
    static QString VersionLine(const QString& version);

    CIconButton* workflowButton(int id) const;
    // The tooltip text registered for a workflow button.
    QString ToolTipText(int id) const { return tipTexts.value(id); }
    QPushButton* exitButton() const { return exit; }
    QLabel* versionLabel() const { return version; }
    QLabel* bannerLabel() const { return bannerPicture; }
    CHtmlTooltip* tooltip() const { return tips; }

    void RunAbout();

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // A new font lays the window out again for its captions.
    void changeEvent(QEvent* event) override;

private:
    void SetUpButtons();
    void LayOut();
    // The workflow buttons' width: the banner's, or more where a caption needs it.
    int ButtonWidth(int bannerWidth) const;
    void Run(const std::function<void(QWidget*)>& action);

    LauncherActions actions;
    QPixmap banner;
    QLabel* bannerPicture = nullptr;
    QLabel* version = nullptr;
    QPushButton* exit = nullptr;
    CHtmlTooltip* tips = nullptr;
    QHash<int, QString> tipTexts;
};
