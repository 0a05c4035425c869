#include "platform/DialogWindows.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QWidget>

namespace DialogWindows {

namespace {

// The window icon, three title-bar buttons and the spacing round them, as window managers
// commonly draw them.
constexpr int kTitleBarDecorations = 150;

// Gives activation back to the window below a dialog that has just gone.
void Reactivate(QWidget* parentWindow) {
    QWidget* below = QApplication::activeModalWidget();
    if (!below)
        below = parentWindow;
    if (!below || !below->isVisible() || below->isMinimized() || QApplication::activePopupWidget())
        return;
    if (QApplication::activeWindow() != below)
        below->activateWindow();
    if (!below->focusWidget())
        below->setFocus(Qt::ActiveWindowFocusReason);
}

class EndingDialogWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A dialog's end hides it from within the program; the window system's own hiding
        // (minimising) is no end.
        if (event->type() == QEvent::Hide && !event->spontaneous() && watched->isWidgetType()) {
            const auto* dialog = qobject_cast<QDialog*>(watched);
            // The window is down and out of the modal stack by now: the request goes to the
            // window system before anything else can happen, the next key included.
            if (dialog && dialog->isWindow())
                Reactivate(dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr);
        }
        return QObject::eventFilter(watched, event);
    }
};

// The key a caption's single "&" marks, lower case; null without one ("&&" is an ampersand).
QChar AccessKeyOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return caption.at(i + 1).toLower();
    }
    return {};
}

} // namespace

int TitleWidth(const QString& title) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarDecorations;
}

void FixSize(QWidget* dialog) {
    if (!dialog)
        return;
    const int width = dialog->width();
    const int needed = TitleWidth(dialog->windowTitle());
    if (needed > width) {
        const int grow = needed - width;
        const int middle = width / 2;
        const QList<QWidget*> children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (child->isWindow())
                continue;
            const QRect place = child->geometry();
            const bool button = qobject_cast<QPushButton*>(child) != nullptr;
            if (place.left() >= middle || (button && place.center().x() > middle))
                child->move(place.x() + grow, place.y());
            else if (place.right() >= middle)
                child->resize(place.width() + grow, place.height());
        }
    }
    dialog->setFixedSize(qMax(width, needed), dialog->height());
    if (dialog->windowFlags() & Qt::WindowMaximizeButtonHint)
        dialog->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

void ReactivateBelowEndingDialogs() {
    static QPointer<EndingDialogWatcher> watcher;
    QCoreApplication* app = QCoreApplication::instance();
    if (watcher || !app)
        return;
    watcher = new EndingDialogWatcher(app);
    app->installEventFilter(watcher);
}

QStringList WithAccessKeys(const QStringList& captions) {
    QSet<QChar> taken;
    for (const QString& caption : captions) {
        const QChar key = AccessKeyOf(caption);
        if (!key.isNull())
            taken.insert(key);
    }
    QStringList result = captions;
    for (QString& caption : result) {
        if (!AccessKeyOf(caption).isNull())
            continue;
        qsizetype chosen = -1;
        for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
            for (qsizetype i = 0; i < caption.size(); ++i) {
                const QChar c = caption.at(i);
                if (!c.isLetterOrNumber() || taken.contains(c.toLower()))
                    continue;
                const bool wordStart = i == 0 || !caption.at(i - 1).isLetterOrNumber();
                if (pass == 0 && !wordStart)
                    continue;
                chosen = i;
                break;
            }
        }
        if (chosen < 0)
            continue;
        taken.insert(caption.at(chosen).toLower());
        caption.insert(chosen, u'&');
    }
    return result;
}

void GiveAccessKeys(QWidget* dialog) {
    if (!dialog)
        return;
    QList<QPushButton*> buttons;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (!button->isHidden() && button->window() == dialog && !button->text().isEmpty())
            buttons << button;
    }
    QStringList captions;
    for (const QPushButton* button : buttons)
        captions << button->text();
    const QStringList keyed = WithAccessKeys(captions);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        if (keyed.at(i) != captions.at(i))
            buttons.at(i)->setText(keyed.at(i));
    }
}

} // namespace DialogWindows
