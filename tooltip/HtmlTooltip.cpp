#include "tooltip/HtmlTooltip.h"

#include "platform/ResourceLibrary.h"
#include "tooltip/HtmlLayout.h"
#include "tooltip/TipBackground.h"
#include "tooltip/WindowCompositing.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

constexpr Qt::WindowFlags kTipFlags =
    Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
// The tip appears this far below the mouse pointer, so that it never covers it.
constexpr int kBelowPointer = 20;

QColor colorValue(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

qint64 steadyNow() {
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

bool descendsFrom(const QWidget* widget, const QWidget* ancestor) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == ancestor)
            return true;
    }
    return false;
}

// Whether a modal dialog keeps the user from `window`: an application-modal one blocks every
// window but itself and those it owns, a window-modal one only the windows it stands over.
bool blockedByModal(const QWidget* window) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal || descendsFrom(window, modal))
        return false;
    if (modal->windowModality() == Qt::WindowModal)
        return modal->parentWidget() && descendsFrom(modal->parentWidget(), window);
    return true;
}

} // namespace

CHtmlTooltip::CHtmlTooltip() : QWidget(nullptr, kTipFlags) {
    compositing = WindowSystemComposites;
    translucent = compositing();
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setCursor(Qt::ArrowCursor);
    const QColor info = palette().color(QPalette::ToolTipBase);
    light = middle = dark = info;
    border = palette().color(QPalette::ToolTipText);
    clock = steadyNow;
    cursor = [] { return QCursor::pos(); };
    followTimer = new QTimer(this);
    followTimer->setInterval(kFollowIntervalMs);
    connect(followTimer, &QTimer::timeout, this, &CHtmlTooltip::Tick);
}

CHtmlTooltip::~CHtmlTooltip() = default;

bool CHtmlTooltip::CreateTipWindow(QWidget* ownerWindow, bool) {
    if (!ownerWindow || owner)
        return false;
    owner = ownerWindow;
    setParent(ownerWindow, kTipFlags);
    followTimer->start();
    return true;
}

bool CHtmlTooltip::LoadStyleSheet(int id) {
    const QString text = ResourceLibrary::LoadString(id);
    SetStyleSheetText(text);
    return !text.isEmpty();
}

void CHtmlTooltip::SetStyleSheetText(const QString& text) {
    sheet.Clear();
    sheet.Parse(text);
}

void CHtmlTooltip::SetBackgroundColors(quint32 lightValue, quint32 middleValue, quint32 darkValue) {
    light = colorValue(lightValue);
    middle = colorValue(middleValue);
    dark = colorValue(darkValue);
    update();
}

void CHtmlTooltip::SetBackgroundEffect(int newEffect, int granularity) {
    effect = newEffect;
    grain = granularity;
    update();
}

void CHtmlTooltip::AddTip(QWidget* control, const QString& text, const QRect& rect) {
    if (!control)
        return;
    tools.append({control, text, rect});
    // Qt drops plain mouse moves of controls that do not track the mouse, filters included.
    control->setMouseTracking(true);
    control->installEventFilter(this);
    // A control destroyed under its tip takes the tip with it (its pointer is already gone).
    connect(control, &QObject::destroyed, this, [this] {
        if (!shownTool)
            hideTip();
    });
}

void CHtmlTooltip::RemoveTip(QWidget* control) {
    if (shownTool == control)
        hideTip();
    tools.removeIf([control](const Tool& t) { return t.control == control; });
    hoveredIndex = -1;
    if (control)
        control->removeEventFilter(this);
}

void CHtmlTooltip::SetClock(Clock newClock) {
    clock = newClock ? std::move(newClock) : Clock(steadyNow);
}

void CHtmlTooltip::SetCursorSource(CursorSource source) {
    cursor = source ? std::move(source) : CursorSource([] { return QCursor::pos(); });
}

void CHtmlTooltip::SetCompositingSource(CompositingSource source) {
    compositing = source ? std::move(source) : CompositingSource(WindowSystemComposites);
}

void CHtmlTooltip::SetFollowTimerActive(bool active) {
    if (active)
        followTimer->start();
    else
        followTimer->stop();
}

QString CHtmlTooltip::tipText() const {
    for (const Tool& t : tools) {
        if (shownTool && t.control == shownTool)
            return t.text;
    }
    return QString();
}

QRect CHtmlTooltip::tipRect() const {
    if (!translucent)
        return rect();
    return QRect(0, 0, qMax(1, width() - shadowOffset.x()), qMax(1, height() - shadowOffset.y()));
}

bool CHtmlTooltip::MayShowFor(const QWidget* control, const QPoint& globalPos) const {
    if (!control || !control->isVisible())
        return false;
    const QWidget* window = control->window();
    if (window->isMinimized() || !window->isActiveWindow() || blockedByModal(window))
        return false;
    // The tip window itself never covers the pointer's way to the control.
    const QWidget* top = QApplication::topLevelAt(globalPos);
    if (top == this)
        return true;
    if (top != window)
        return false;
    const QWidget* under = window->childAt(window->mapFromGlobal(globalPos));
    return under == control || control->isAncestorOf(under);
}

const CHtmlTooltip::Tool* CHtmlTooltip::toolAt(const QPoint& globalPos) const {
    for (const Tool& t : tools) {
        if (!MayShowFor(t.control, globalPos))
            continue;
        const QRect area = t.rect.isNull() ? t.control->rect() : t.rect;
        if (area.contains(t.control->mapFromGlobal(globalPos)))
            return &t;
    }
    return nullptr;
}

void CHtmlTooltip::Tick() {
    follow(cursor());
}

void CHtmlTooltip::follow(const QPoint& globalPos) {
    const Tool* tool = toolAt(globalPos);
    const int index = tool ? int(tool - tools.constData()) : -1;
    const qint64 now = clock();
    if (index != hoveredIndex) {
        hideTip();
        hoveredIndex = index;
        restStart = now;
        lastPos = globalPos;
        expired = false;
        return;
    }
    if (!tool)
        return;
    if (shownTool) {
        if (now - shownAt >= displayTimeMs) {
            hideTip();
            expired = true;
        }
        return;
    }
    if (expired)
        return;
    if (globalPos != lastPos) {
        // Still moving: the rest starts again.
        lastPos = globalPos;
        restStart = now;
        return;
    }
    if (now - restStart >= initialDelayMs) {
        showTip(*tool, globalPos);
        shownAt = now;
    }
}

void CHtmlTooltip::ForwardMessage(QObject* receiver, QEvent* event) {
    if (!event)
        return;
    switch (event->type()) {
    case QEvent::MouseMove:
        follow(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        break;
    case QEvent::Enter:
        follow(static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
        break;
    case QEvent::Leave:
        if (hoveredIndex >= 0 && receiver == tools[hoveredIndex].control) {
            hideTip();
            hoveredIndex = -1;
            expired = false;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        // The user acts on the control: the tip goes and stays away until the mouse leaves.
        if (shownTool || hoveredIndex >= 0) {
            hideTip();
            expired = true;
        }
        break;
    case QEvent::Hide:
    case QEvent::Destroy:
        if (receiver == shownTool)
            hideTip();
        break;
    default:
        break;
    }
}

bool CHtmlTooltip::eventFilter(QObject* watched, QEvent* event) {
    ForwardMessage(watched, event);
    return false;
}

void CHtmlTooltip::showTip(const Tool& tool, const QPoint& globalPos) {
    const bool see = compositing();
    if (see != translucent) {
        translucent = see;
        setAttribute(Qt::WA_TranslucentBackground, see);
        setAttribute(Qt::WA_NoSystemBackground, see);
        // A window takes its pixel format when it is made: make it again with the new one.
        if (testAttribute(Qt::WA_WState_Created))
            setParent(parentWidget(), kTipFlags);
    }
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    document = ParseHtml(tool.text, sheet);
    layout = std::make_unique<HtmlLayout>(document, screen ? screen->devicePixelRatio()
                                                           : devicePixelRatioF());
    const QSize content = layout->size().toSize();
    const QSize tip(content.width() + margins.left() + margins.right(),
                    content.height() + margins.top() + margins.bottom());
    resize(translucent ? tip + QSize(shadowOffset.x(), shadowOffset.y()) : tip);

    QPoint at = globalPos + QPoint(0, kBelowPointer);
    if (screen) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height() > area.bottom())
            at.setY(globalPos.y() - height() - 4);
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - width())));
        at.setY(qMax(area.top(), at.y()));
    }
    move(at);
    shownTool = tool.control;
    show();
    raise();
    update();
}

void CHtmlTooltip::hideTip() {
    if (shownTool || isVisible())
        hide();
    shownTool = nullptr;
    layout.reset();
}

QImage CHtmlTooltip::renderPlate(QSize size) const {
    // At the window's own pixel density, grains scaled with it: the same shading, every device
    // pixel drawn rather than enlarged.
    const qreal ratio = devicePixelRatioF();
    QImage plate = RenderTipBackground((QSizeF(size) * ratio).toSize(), effect,
                                       qMax(1, qRound(grain * ratio)), light, middle, dark);
    plate.setDevicePixelRatio(ratio);
    return plate;
}

void CHtmlTooltip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = tipRect();
    if (!translucent) {
        // Every pixel is the tip's own: the plate to the edges, a square frame, no shadow.
        p.drawImage(area.topLeft(), renderPlate(area.size()));
        p.setPen(QPen(border, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(area.adjusted(0, 0, -1, -1));
        paintText(p);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline =
        TipOutline(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), corner.width(), corner.height());
    PaintTipShadow(p, outline, shadowOffset, shadowDarkness);
    p.save();
    p.setClipPath(outline);
    p.drawImage(area.topLeft(), renderPlate(area.size()));
    p.restore();
    p.setPen(QPen(border, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    paintText(p);
}

void CHtmlTooltip::paintText(QPainter& p) const {
    if (!layout)
        return;
    p.setRenderHint(QPainter::TextAntialiasing);
    layout->paint(p, QPointF(margins.left(), margins.top()));
}
