#include "comm/ConnectableDialog.h"

#include "comm/CommandChannel.h"
#include "platform/TemplateLoader.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QKeyEvent>

namespace {

bool IsEnterOrEscape(const QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

} // namespace

CConnectableDialog::CConnectableDialog(int templateId, QWidget* parent) : QDialog(parent) {
    if (templateId > 0)
        loadTemplate(templateId);
}

CConnectableDialog::~CConnectableDialog() {
    isOpen = false;
}

bool CConnectableDialog::loadTemplate(int templateId) {
    if (loadedTemplate == templateId)
        return true;
    if (loadedTemplate != 0 || !LoadDialogTemplate(templateId, this))
        return false;
    loadedTemplate = templateId;
    watchButtons();
    return true;
}

void CConnectableDialog::watchButtons() {
    // A focused push button would click on Enter by itself.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->installEventFilter(this);
}

bool CConnectableDialog::CreateConnected(int templateId, QWidget* parent, ControllerData* data_,
                                         CPortHub* portHub_, CCommandChannel* channel_, int node_) {
    data = data_;
    portHub = portHub_;
    channel = channel_;
    node = node_;
    if (parent != parentWidget())
        setParent(parent, windowFlags());
    if (templateId > 0 && !loadTemplate(templateId))
        return false;
    winId(); // the window exists from here on, shown or not
    isOpen = true;
    return true;
}

void CConnectableDialog::DestroyWindow() {
    hide();
    isOpen = false;
}

bool CConnectableDialog::event(QEvent* event) {
    if (channel && DispatchPortHubEvent(event, *channel))
        return true;
    // Buttons a derived dialog adds after the template are guarded as well.
    if (event->type() == QEvent::Show) {
        watchButtons();
    } else if (event->type() == QEvent::ChildPolished) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (auto* button = qobject_cast<QAbstractButton*>(child))
            button->installEventFilter(this);
    }
    return QDialog::event(event);
}

bool CConnectableDialog::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnterOrEscape(event)) {
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CConnectableDialog::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
