#include "controls/NumberEdit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QColor colorFromValue(std::uint32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QChar firstCharacter(const QString& text) {
    return text.isEmpty() ? QChar() : text.front();
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Truncated toward zero and held within 32 bits, so a huge bound cannot overflow.
std::int32_t truncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    const double truncated = std::trunc(value);
    if (truncated >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (truncated <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(truncated);
}

constexpr QChar kBackspace(8);
constexpr int kMaxTypedLength = 9;

} // namespace

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {
    const QLocale locale;
    decimalSeparator = firstCharacter(locale.decimalPoint());
    negativeSign = firstCharacter(locale.negativeSign());
    connect(this, &QLineEdit::textChanged, this, &CNumberEdit::OnTextChanged);
    // Every character comes through the key filter: no input method commits, no drops.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    ApplyColors();
}

void CNumberEdit::SetLocaleCharacters(QChar separator, QChar sign) {
    decimalSeparator = separator;
    negativeSign = sign;
}

bool CNumberEdit::SetIntegerMode(int mode) {
    if (mode != 0 && mode != 1)
        return false;
    if (mode != integerMode) {
        integerMode = mode;
        Normalize();
    }
    return true;
}

bool CNumberEdit::SetRealFormat(int digits, int decimalPlaces) {
    if (digits < 1 || digits > 10 || decimalPlaces < 1 || decimalPlaces > 5)
        return false;
    integerDigits = digits;
    decimals = decimalPlaces;
    if (integerMode == 0)
        Normalize();
    return true;
}

bool CNumberEdit::SetDigits(int digits, int decimalPlaces) {
    const bool realSet = SetRealFormat(digits, decimalPlaces);
    if (digits < 1 || digits > 9)
        return false;
    intModeDigits = digits;
    if (integerMode == 1)
        Normalize();
    return realSet;
}

bool CNumberEdit::SetRange(double max, double min) {
    bool realSet = false;
    if (max > min) {
        realMax = max;
        realMin = min;
        realSet = true;
    }
    const std::int32_t truncatedMax = truncateToInt(max);
    const std::int32_t truncatedMin = truncateToInt(min);
    if (truncatedMin >= truncatedMax)
        return false;
    intMax = truncatedMax;
    intMin = truncatedMin;
    return realSet;
}

bool CNumberEdit::SetIntRange(std::int32_t max, std::int32_t min) {
    if (min >= max)
        return false;
    intMax = max;
    intMin = min;
    return true;
}

void CNumberEdit::SetIntValue(std::int32_t value) {
    value = std::clamp(value, intMin, intMax);
    QString text = QString::number(static_cast<qint64>(value));
    if (value < 0 && !negativeSign.isNull())
        text[0] = negativeSign;
    setText(text);
}

void CNumberEdit::SetRealValue(double value) {
    if (std::isnan(value))
        value = 0.0;
    value = std::clamp(value, realMin, realMax);
    QString text = QString::number(value, 'f', decimals);
    // A value that rounds to zero is written without a sign.
    if (text.startsWith(u'-')) {
        bool allZero = true;
        for (QChar c : text)
            allZero = allZero && (!isAsciiDigit(c) || c == u'0');
        if (allZero)
            text.remove(0, 1);
        else if (!negativeSign.isNull())
            text[0] = negativeSign;
    }
    if (!decimalSeparator.isNull())
        text.replace(u'.', decimalSeparator);
    setText(text);
}

std::int32_t CNumberEdit::GetIntValue() const {
    const QString value = text();
    qsizetype i = 0;
    while (i < value.size() && (value[i] == u' ' || value[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+' ||
                             (value[i] == negativeSign && !negativeSign.isNull()))) {
        negative = value[i] != u'+';
        ++i;
    }
    std::int64_t magnitude = 0;
    constexpr std::int64_t kCap = std::int64_t{1} << 32;
    for (; i < value.size() && isAsciiDigit(value[i]); ++i) {
        magnitude = magnitude * 10 + (value[i].unicode() - u'0');
        if (magnitude > kCap)
            magnitude = kCap; // saturate: any longer run of digits is out of range anyway
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(signedValue, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

double CNumberEdit::GetRealValue() const {
    const QString value = text();
    const QChar separator = decimalSeparator.isNull() ? QChar(u'.') : decimalSeparator;
    qsizetype i = 0;
    while (i < value.size() && (value[i] == u' ' || value[i] == u'\t'))
        ++i;
    QString plain;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+' ||
                             (value[i] == negativeSign && !negativeSign.isNull()))) {
        if (value[i] != u'+')
            plain += u'-';
        ++i;
    }
    bool anyDigit = false;
    for (; i < value.size() && isAsciiDigit(value[i]); ++i) {
        plain += value[i];
        anyDigit = true;
    }
    if (i < value.size() && value[i] == separator) {
        plain += u'.';
        for (++i; i < value.size() && isAsciiDigit(value[i]); ++i) {
            plain += value[i];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    bool ok = false;
    const double parsed = QLocale::c().toDouble(plain, &ok);
    return ok ? parsed : 0.0;
}

void CNumberEdit::Normalize() {
    if (integerMode == 1)
        SetIntValue(GetIntValue());
    else
        SetRealValue(GetRealValue());
}

void CNumberEdit::SetTextColor(std::uint32_t color) {
    textColor = color;
    ApplyColors();
}

void CNumberEdit::SetBackColor(std::uint32_t color) {
    backColor = color;
    ApplyColors();
}

void CNumberEdit::SetBackgroundBrush(const QBrush& brush) {
    backgroundBrush = brush;
    ApplyColors();
}

void CNumberEdit::ClearBackgroundBrush() {
    backgroundBrush.reset();
    ApplyColors();
}

void CNumberEdit::ApplyColors() {
    QPalette colors = palette();
    colors.setColor(QPalette::Text, colorFromValue(textColor));
    if (backgroundBrush)
        colors.setBrush(QPalette::Base, *backgroundBrush);
    else
        colors.setColor(QPalette::Base, colorFromValue(backColor));
    setPalette(colors);
}

bool CNumberEdit::AcceptCharacter(QChar typed) {
    const QString current = text();
    savedText = current;

    const bool isSeparator =
        integerMode == 0 && !decimalSeparator.isNull() && typed == decimalSeparator;
    const bool isSign = !negativeSign.isNull() && typed == negativeSign;
    const bool isBackspace = typed == kBackspace;
    if (!isAsciiDigit(typed) && !isSeparator && !isSign && !isBackspace)
        return false;

    const bool special = isSeparator || isSign;
    if (special && current.contains(typed))
        return false;

    int limit = integerMode == 1 ? intModeDigits : integerDigits + decimals;
    if (!decimalSeparator.isNull() && current.contains(decimalSeparator))
        ++limit;
    if (!negativeSign.isNull() && current.contains(negativeSign))
        ++limit;
    if (special)
        ++limit;
    limit = std::min(limit, kMaxTypedLength);

    const qsizetype remaining = current.size() - selectedText().size();
    return remaining < limit || isBackspace;
}

void CNumberEdit::OnTextChanged(const QString& changed) {
    if (reverting)
        return;
    if (!negativeSign.isNull() && changed.indexOf(negativeSign, 1) >= 0) {
        // The sign belongs in front only: back to the text before the change.
        const int cursor = cursorPosition() - static_cast<int>(changed.size() - savedText.size());
        reverting = true;
        setText(savedText);
        reverting = false;
        setCursorPosition(std::clamp(cursor, 0, static_cast<int>(savedText.size())));
        return;
    }
    // Also keeps a good text for changes that did not come from typing (paste).
    savedText = changed;
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Normalize();
        QLineEdit::keyPressEvent(event); // goes on to the dialog
        return;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        QLineEdit::keyPressEvent(event);
        return;
    case Qt::Key_Backspace:
        if (event->modifiers() & Qt::ControlModifier) {
            savedText = text(); // a control character, not Backspace
            event->accept();
            return;
        }
        if (AcceptCharacter(kBackspace))
            QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }

    // Control shortcuts (clipboard, select all, undo) count as control characters and are
    // not allowed characters.
    const bool controlKey = (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) &&
                            event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z;
    const QString typed = event->text();
    if (controlKey) {
        savedText = text();
        event->accept();
        return;
    }
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(event); // cursor movement and other keys without a character
        return;
    }
    if (typed.size() == 1) {
        if (AcceptCharacter(typed.front()))
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    for (QChar c : typed) {
        if (AcceptCharacter(c))
            insert(QString(c));
    }
    event->accept();
}

void CNumberEdit::focusOutEvent(QFocusEvent* event) {
    const bool normalize = event->reason() != Qt::PopupFocusReason;
    if (normalize)
        Normalize();
    QLineEdit::focusOutEvent(event);
    if (normalize)
        emit focusLost();
}

void CNumberEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Committed text goes through the same filter as typed characters; composing is not shown.
    for (QChar c : event->commitString()) {
        if (AcceptCharacter(c))
            insert(QString(c));
    }
    event->accept();
}
