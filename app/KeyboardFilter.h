#pragma once

#include <QChar>
#include <QObject>

// Installed on the application: the numeric keypad's decimal key types the locale's decimal
// separator, while the main keyboard's period key still types a period.
class KeyboardFilter : public QObject {
    Q_OBJECT
public:
    explicit KeyboardFilter(QChar decimalSeparator, QObject* parent = nullptr);

    bool lastKeyWasMainPeriod() const { return lastKeyWasMainPeriod_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QChar decimalSeparator_;
    bool lastKeyWasMainPeriod_ = false;
};
