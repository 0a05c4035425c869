#pragma once

#include "controls/DrawnProgressBar.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

class QTimer;

// The popup shown over a dialog while a long controller operation runs on the UI thread:
// a one-line message and an animated bar, in the transfer style between two end icons.
// The owner is disabled from Create until Destroy; the destructor destroys, so every exit
// path of the owner's operation gives the owner back.
class CBusyPanel {
public:
    static constexpr int kLeftIconId = 21008;
    static constexpr int kRightIconId = 21030;
    static constexpr int kMessageLabelId = 1;
    static constexpr int kProgressBarId = 2;
    static constexpr int kDefaultIconSize = 32;
    static constexpr int kTickMs = 20;

    // Creates nothing yet.
    CBusyPanel(bool outlined, int barStyle, bool showPercent, bool moving, bool mirrored,
               bool reversed);
    ~CBusyPanel();
    CBusyPanel(const CBusyPanel&) = delete;
    CBusyPanel& operator=(const CBusyPanel&) = delete;

    // One of the end icons from the loaded resource library; null when it has none.
    static QIcon LoadPanelIcon(int id);

    void SetEndIcons(const QIcon& left, const QIcon& right);
    // Disables `owner` and creates the panel centred over it (without an owner, over the
    // active window or the screen). False when the panel already exists.
    bool Create(QWidget* owner, int width, int height);
    // Sets the message and paints it at once, so that it appears during a busy loop.
    void SetMessage(const QString& text);
    void SetMessageFont(const QFont& font);
    // Shows and paints the panel; an animated bar starts its 20 ms timer. Pending events are
    // delivered first so that the window system maps the panel, unless `deliverEvents` is false
    // (a caller that must not deliver any, such as a destructor).
    void Show(bool deliverEvents = true);
    // Stops the timer, destroys the panel and enables the owner again. Safe to call twice.
    void Destroy();

    bool isCreated() const { return !window.isNull(); }
    bool isAnimating() const;
    int barStyle() const { return style; }
    int iconSize() const { return measuredIconSize; }
    QFont messageFont() const { return font; }
    // Null before Create and after Destroy.
    QWidget* panelWindow() const { return window.data(); }
    CDrawnProgressBar* progressBar() const { return bar.data(); }
    QLabel* messageLabel() const { return label.data(); }
    // One animation step, as the timer does it.
    void tick();

private:
    int measureIconSize() const;

    QPointer<CDrawnProgressBar> bar;
    QPointer<QLabel> label;
    QPointer<QWidget> owner;
    int style = 0;
    bool moving = false;
    bool outlined = false;
    bool showPercent = false;
    bool mirrored = false;
    bool reversed = false;
    QIcon leftIcon;
    QIcon rightIcon;
    int measuredIconSize = kDefaultIconSize;
    QPointer<QTimer> timer;
    QFont font;
    QPointer<QWidget> window;
    // Kept for a panel created later.
    QString message = QStringLiteral("Now Loading...");
    // A font set by SetMessageFont wins over the owner's font.
    bool customFont = false;
    QFont customMessageFont;
    bool ownerDisabled = false;
};
