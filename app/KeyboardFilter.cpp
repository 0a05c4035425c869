#include "app/KeyboardFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

KeyboardFilter::KeyboardFilter(QChar decimalSeparator, QObject* parent)
    : QObject(parent), decimalSeparator_(decimalSeparator) {}

bool KeyboardFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    lastKeyWasMainPeriod_ =
        key->key() == Qt::Key_Period && !key->modifiers().testFlag(Qt::KeypadModifier);

    // A "." from anything but the main period key (the keypad's decimal key above all) types
    // the locale's separator. Without a separator, or when it is "." anyway, nothing changes.
    if (lastKeyWasMainPeriod_ || key->text() != QLatin1String(".") || decimalSeparator_.isNull() ||
        decimalSeparator_ == u'.')
        return false;

    QKeyEvent replacement(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                          key->nativeVirtualKey(), key->nativeModifiers(),
                          QString(decimalSeparator_), key->isAutoRepeat(),
                          static_cast<quint16>(key->count()), key->device());
    // Delivered at once, to the same receiver, so that it keeps its place among the keys.
    QCoreApplication::sendEvent(watched, &replacement);
    key->setAccepted(replacement.isAccepted());
    return true;
}
