#pragma once

#include <QBrush>
#include <QChar>
#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <optional>

// Single-line edit for one number, integer or real with a fixed number of decimals.
// Typing lets through only digits, the locale's decimal separator (real mode) and the
// locale's negative sign, each sign once and the negative sign only in front, and keeps the
// text within a short length. Leaving the field or pressing Enter parses the text, clamps it
// into the range and rewrites it in canonical form.
class CNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    // Locale characters are those of the default QLocale at construction.
    explicit CNumberEdit(QWidget* parent = nullptr);

    // 0 = real, 1 = integer; anything else: false, nothing changes.
    bool SetIntegerMode(int mode);
    // Integer digits 1..10, decimals 1..5; out of range: false, nothing changes.
    bool SetRealFormat(int digits, int decimalPlaces);
    // SetRealFormat, then digits 1..9 also become the integer-mode digits.
    // True only when both steps succeeded.
    bool SetDigits(int digits, int decimalPlaces);
    // Real bounds when max > min; integer bounds from both truncated toward zero when they
    // still differ. True only when both were set.
    bool SetRange(double max, double min);
    // False when min >= max; nothing changes then.
    bool SetIntRange(std::int32_t max, std::int32_t min);

    void SetIntValue(std::int32_t value);
    void SetRealValue(double value);
    // Lenient parses of the text, not clamped; 0 when nothing parses.
    std::int32_t GetIntValue() const;
    double GetRealValue() const;
    void Normalize();

    // Colours as 32-bit values, red in the low byte.
    void SetTextColor(std::uint32_t color);
    void SetBackColor(std::uint32_t color);
    // The field's own background; when absent the field keeps the host's default look.
    void SetBackgroundBrush(const QBrush& brush);
    void ClearBackgroundBrush();

    // Overrides the locale characters (0 = none).
    void SetLocaleCharacters(QChar decimalSeparator, QChar negativeSign);
    QChar DecimalSeparator() const { return decimalSeparator; }
    QChar NegativeSign() const { return negativeSign; }

    int IntegerMode() const { return integerMode; }
    int IntegerDigits() const { return integerDigits; }
    int Decimals() const { return decimals; }
    int IntModeDigits() const { return intModeDigits; }
    double RealMax() const { return realMax; }
    double RealMin() const { return realMin; }
    std::int32_t IntMax() const { return intMax; }
    std::int32_t IntMin() const { return intMin; }
    QString SavedText() const { return savedText; }
    std::uint32_t TextColor() const { return textColor; }
    std::uint32_t BackColor() const { return backColor; }
    bool HasBackgroundBrush() const { return backgroundBrush.has_value(); }

signals:
    // After the text was normalised on focus loss (not when a popup takes the focus).
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Whether a typed character may reach the edit; remembers the text first.
    bool AcceptCharacter(QChar typed);
    void OnTextChanged(const QString& text);
    void ApplyColors();

    std::int32_t integerMode = 0;
    std::int32_t integerDigits = 4;
    std::int32_t decimals = 2;
    std::int32_t intModeDigits = 8;
    double realMax = 9999.0;
    double realMin = -9999.0;
    std::int32_t intMax = 999999999;
    std::int32_t intMin = -999999999;
    QString savedText;
    std::optional<QBrush> backgroundBrush;
    std::uint32_t textColor = 0x000000;
    std::uint32_t backColor = 0xFFFFFF;

    QChar decimalSeparator;
    QChar negativeSign;
    bool reverting = false;
};
