#pragma once

#include "tooltip/HtmlMarkup.h"
#include "tooltip/HtmlStyleSheet.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class HtmlLayout;
class QPainter;
class QTimer;

// A tip window for controls: when the mouse rests on a registered control for the initial
// delay, its tip text appears, rendered from tip markup with the style sheet, on a shaded
// background with a border and a drop shadow; it goes after the display time or when the
// mouse leaves the control.
//
// A tip belongs to what the user can see and reach: it shows only while the control's window is
// active, not minimised and not blocked by a modal dialog, and while the control is the widget
// under the mouse (no other window covers it there). Where the window system does not composite
// (WindowSystemComposites), the tip is drawn opaque, with square corners and no shadow.
class CHtmlTooltip : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>;        // milliseconds, monotonic
    using CursorSource = std::function<QPoint()>; // global mouse position
    using CompositingSource = std::function<bool()>;

    static constexpr int kInitialDelayMs = 500;
    static constexpr int kDisplayTimeMs = 5000;
    static constexpr int kFollowIntervalMs = 100;

    CHtmlTooltip();
    ~CHtmlTooltip() override;

    // Becomes a top-most tip window owned by `owner` (destroyed with it) and starts the timer
    // that follows the mouse. False without an owner or when already created.
    bool CreateTipWindow(QWidget* owner, bool flag = false);
    // The style sheet from string `id` of the resource library. False when the string is empty.
    bool LoadStyleSheet(int id);
    void SetStyleSheetText(const QString& text);
    // Colour values with red in the low byte.
    void SetBackgroundColors(quint32 light, quint32 middle, quint32 dark);
    void SetBackgroundEffect(int effect, int granularity);
    // Registers a tool; `rect` (control coordinates) limits it to part of the control.
    void AddTip(QWidget* control, const QString& text, const QRect& rect = QRect());
    void RemoveTip(QWidget* control);
    // Every event of the owner's controls passes here first (the tools are watched already).
    void ForwardMessage(QObject* receiver, QEvent* event);
    // One step of the mouse-following timer.
    void Tick();

    // For tests: a clock and a mouse position of their own; the real timer can be left off.
    void SetClock(Clock clock);
    void SetCursorSource(CursorSource source);
    void SetFollowTimerActive(bool active);
    // Whether the window system composites; asked as each tip is shown.
    void SetCompositingSource(CompositingSource source);

    bool isTipShown() const { return shownTool != nullptr; }
    QWidget* tipControl() const { return shownTool; }
    QString tipText() const;
    const HtmlStyleSheet& styleSheet() const { return sheet; }
    const HtmlDocument& tipDocument() const { return document; }
    QColor lightColor() const { return light; }
    QColor middleColor() const { return middle; }
    QColor darkColor() const { return dark; }
    int backgroundEffect() const { return effect; }
    int granularity() const { return grain; }
    int initialDelay() const { return initialDelayMs; }
    int displayTime() const { return displayTimeMs; }
    // The tip's outline within the window (without the shadow).
    QRect tipRect() const;
    // Whether the tip shown last was drawn with see-through corners and shadow.
    bool drawnTranslucent() const { return translucent; }
    // Whether `control`'s tip may show with the mouse at `globalPos` (see the class comment).
    bool MayShowFor(const QWidget* control, const QPoint& globalPos) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Tool {
        QPointer<QWidget> control;
        QString text;
        QRect rect;
    };
    const Tool* toolAt(const QPoint& globalPos) const;
    void follow(const QPoint& globalPos);
    void showTip(const Tool& tool, const QPoint& globalPos);
    void hideTip();
    void paintText(QPainter& p) const;
    // The shaded plate behind the text, `size` in the window's units.
    QImage renderPlate(QSize size) const;

    QList<Tool> tools;
    HtmlStyleSheet sheet;
    QColor light;
    QColor middle;
    QColor dark;
    int effect = 0;
    int grain = 1;
    QColor border;
    int initialDelayMs = kInitialDelayMs;
    int displayTimeMs = kDisplayTimeMs;
    QPoint shadowOffset{7, 7};
    int shadowDarkness = 50;
    QMargins margins{16, 12, 16, 12};
    QSize corner{6, 6};

    Clock clock;
    CursorSource cursor;
    CompositingSource compositing;
    bool translucent = true;
    QTimer* followTimer = nullptr;
    QPointer<QWidget> owner;

    int hoveredIndex = -1; // the tool under the mouse, shown or not
    QPointer<QWidget> shownTool;
    QPoint lastPos;
    qint64 restStart = 0;
    qint64 shownAt = 0;
    bool expired = false; // shown once already, or cancelled: wait until the mouse leaves
    HtmlDocument document;
    std::unique_ptr<HtmlLayout> layout;
};
