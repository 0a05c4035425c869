#include "controls/BusyPanel.h"

#include "controls/DrawnProgressBar.h"
#include "platform/ResourceArt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

const char* const kControlId = "controlId";
// Several panels may be up over one owner at once (one nested in another's operation);
// the owner gets its own enabled state back when the last of them goes.
const char* const kPanelDepth = "busyPanelDepth";
const char* const kOwnerWasEnabled = "busyPanelOwnerWasEnabled";

void disableOwner(QWidget* owner) {
    const int depth = owner->property(kPanelDepth).toInt();
    if (depth == 0)
        owner->setProperty(kOwnerWasEnabled, !owner->testAttribute(Qt::WA_ForceDisabled));
    owner->setProperty(kPanelDepth, depth + 1);
    owner->setEnabled(false);
}

void releaseOwner(QWidget* owner) {
    const int depth = owner->property(kPanelDepth).toInt() - 1;
    if (depth > 0) {
        owner->setProperty(kPanelDepth, depth);
        return;
    }
    owner->setProperty(kPanelDepth, QVariant());
    const bool wasEnabled = owner->property(kOwnerWasEnabled).toBool();
    owner->setProperty(kOwnerWasEnabled, QVariant());
    owner->setEnabled(wasEnabled);
}

QRect globalRect(const QWidget* widget) {
    if (widget->isWindow())
        return widget->frameGeometry();
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// The popup itself: no caption, a thin border, and no way for the user to close it or to
// type into it.
class PanelWindow : public QWidget {
public:
    PanelWindow(QWidget* parent, bool withIcons, const QIcon& leftIcon, const QIcon& rightIcon,
                int iconExtent)
        : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
          drawIcons(withIcons), left(leftIcon), right(rightIcon), iconSize(iconExtent) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
        setContentsMargins(1, 1, 1, 1);
    }

protected:
    bool event(QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            event->accept();
            return true;
        default:
            return QWidget::event(event);
        }
    }

    void closeEvent(QCloseEvent* event) override { event->ignore(); }

    // A click on the owner, or its activation, brings the owner up over the panel in many
    // window managers: the panel comes back over it at once, for as long as it exists.
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::WindowActivate:
            if (isVisible())
                raise();
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (!drawIcons)
            return;
        const QRect client = contentsRect();
        const int top = client.top() + 38 - iconSize / 2;
        left.paint(&painter, QRect(client.left() + 18, top, iconSize, iconSize));
        right.paint(&painter,
                    QRect(client.left() + client.width() - iconSize - 14, top, iconSize, iconSize));
    }

private:
    bool drawIcons;
    QIcon left;
    QIcon right;
    int iconSize;
};

} // namespace

CBusyPanel::CBusyPanel(bool withOutline, int barStyle, bool withPercent, bool withMotion,
                       bool mirror, bool reverse)
    : style(barStyle), moving(withMotion), outlined(withOutline), showPercent(withPercent),
      mirrored(mirror), reversed(reverse) {}

CBusyPanel::~CBusyPanel() {
    Destroy();
}

QIcon CBusyPanel::LoadPanelIcon(int id) {
    return ResourceArt::Icon(id);
}

void CBusyPanel::SetEndIcons(const QIcon& left, const QIcon& right) {
    leftIcon = left;
    rightIcon = right;
}

int CBusyPanel::measureIconSize() const {
    if (leftIcon.isNull() || rightIcon.isNull())
        return kDefaultIconSize;
    // An icon comes at the standard icon size when it has one that large, as the platform
    // loads icons; smaller icons keep their own width.
    const auto width = [](const QIcon& icon) {
        if (icon.availableSizes().isEmpty())
            return kDefaultIconSize;
        return icon.actualSize(QSize(kDefaultIconSize, kDefaultIconSize)).width();
    };
    return std::max({1, width(leftIcon), width(rightIcon)});
}

bool CBusyPanel::Create(QWidget* ownerWidget, int width, int height) {
    if (window)
        return false;
    owner = ownerWidget;
    // The panel is made after the owner is disabled: a child window that exists when its
    // parent is disabled goes grey with it.
    if (owner) {
        disableOwner(owner);
        ownerDisabled = true;
    }
    font = customFont ? customMessageFont : owner ? owner->font() : QApplication::font();
    measuredIconSize = style == CDrawnProgressBar::Arrows ? measureIconSize() : kDefaultIconSize;

    const bool bothIcons = !leftIcon.isNull() && !rightIcon.isNull();
    auto* panel = new PanelWindow(owner ? owner->window() : nullptr,
                                  style == CDrawnProgressBar::Arrows && bothIcons, leftIcon,
                                  rightIcon, measuredIconSize);
    window = panel;
    panel->resize(width, height);
    // A transient of the owner's window, kept over it (see PanelWindow::eventFilter).
    if (owner)
        owner->window()->installEventFilter(panel);

    QRect around;
    if (owner) {
        around = globalRect(owner);
    } else if (QWidget* active = QApplication::activeWindow()) {
        around = globalRect(active);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        around = screen->availableGeometry();
    }
    const int aroundRight = around.x() + around.width();
    const int aroundBottom = around.y() + around.height();
    panel->move((around.x() + aroundRight - width) / 2, (around.y() + aroundBottom - height) / 2);

    const QRect client = panel->contentsRect();
    const int w = client.width();
    const int s = measuredIconSize;
    const auto place = [&client](QWidget* child, int left, int top, int right, int bottom) {
        child->setGeometry(client.left() + left, client.top() + top, std::max(0, right - left),
                           std::max(0, bottom - top));
    };

    label = new QLabel(message, panel);
    label->setProperty(kControlId, kMessageLabelId);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAutoFillBackground(false);
    label->setFont(font);
    place(label, s + 30, 65, w - s - 30, 95);

    bar = new CDrawnProgressBar(outlined, style, showPercent, moving, mirrored, reversed, panel);
    bar->setProperty(kControlId, kProgressBarId);
    if (style == CDrawnProgressBar::Arrows)
        place(bar, s + 27, 25, w - s - 27, 55);
    else
        place(bar, s + 27, 15, w - s - 27, 45);
    QFont percentFont(QStringLiteral("Tahoma"));
    percentFont.setPixelSize(20);
    percentFont.setWeight(QFont::ExtraBold);
    bar->setTextFont(percentFont);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setStep(1);

    timer = new QTimer(panel);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(kTickMs);
    QObject::connect(timer, &QTimer::timeout, panel, [this] { tick(); });
    return true;
}

void CBusyPanel::SetMessage(const QString& text) {
    message = text;
    if (!label)
        return;
    label->setText(text);
    if (label->isVisible())
        label->repaint();
}

void CBusyPanel::SetMessageFont(const QFont& messageFont) {
    customFont = true;
    customMessageFont = messageFont;
    font = messageFont;
    if (!label)
        return;
    label->setFont(messageFont);
    if (label->isVisible())
        label->repaint();
}

void CBusyPanel::Show(bool deliverEvents) {
    if (!window)
        return;
    window->show();
    window->raise();
    if (moving || style == CDrawnProgressBar::Arrows)
        timer->start();
    // Let the window system map the panel, then paint it before the caller's work goes on.
    if (deliverEvents)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (window)
        window->repaint();
}

void CBusyPanel::Destroy() {
    if (timer)
        timer->stop();
    delete bar.data();
    delete label.data();
    if (ownerDisabled && owner)
        releaseOwner(owner);
    ownerDisabled = false;
    delete window.data();
    owner = nullptr;
}

bool CBusyPanel::isAnimating() const {
    return timer && timer->isActive();
}

void CBusyPanel::tick() {
    if (bar)
        bar->stepIt();
}
