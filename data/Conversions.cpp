#include "data/Conversions.h"

#include <cmath>
#include <limits>

namespace {

bool isCSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

int HexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

int32_t ParseStandardInteger(QStringView text) {
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate the magnitude up to one past INT32_MAX, which is exactly INT32_MIN's magnitude.
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < size && isDigit(text[i]); ++i) {
        if (magnitude < kLimit)
            magnitude = std::min<int64_t>(magnitude * 10 + (text[i].unicode() - u'0'), kLimit);
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    return static_cast<int32_t>(std::min<int64_t>(magnitude, kLimit - 1));
}

QString FormatScaled(int32_t value, int8_t places) {
    const int digits = places > 0 ? places : 0;
    double factor = 1.0;
    for (int i = 0; i < digits; ++i)
        factor *= 10.0;
    return QString::number(static_cast<double>(value) / factor, 'f', digits);
}

int64_t ScaleToInteger(double x, int8_t places) {
    double factor = 1.0;
    for (int i = 0; i < places; ++i)
        factor *= 10.0;
    double v = factor * x;
    // Not rounding: the 0.005 only absorbs representation error of the product.
    v = v < 0 ? v - 0.005 : v + 0.005;
    if (std::isnan(v))
        return 0;
    constexpr double kTop = 9223372036854775808.0; // 2^63
    if (v >= kTop)
        return std::numeric_limits<int64_t>::max();
    if (v <= -kTop)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

QString IpValueToText(uint32_t value) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg((value >> 24) & 0xFF)
        .arg((value >> 16) & 0xFF)
        .arg((value >> 8) & 0xFF)
        .arg(value & 0xFF);
}

uint32_t IpTextToValue(const QString& text) {
    QString rest = text;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const QString part = SplitFirst(rest, QStringLiteral("."));
        value = (value << 8) | (static_cast<uint32_t>(ParseStandardInteger(part)) & 0xFF);
    }
    return value;
}

uint32_t HexTextToValue(const QString& text) {
    const QStringView last = QStringView(text).right(8);
    uint32_t value = 0;
    for (QChar c : last) {
        const int digit = HexDigitValue(c);
        value = (value << 4) | static_cast<uint32_t>(digit < 0 ? 0 : digit);
    }
    return value;
}

int IpTextToHex(const QString& dotted, QString& hex) {
    hex.clear();
    QStringView rest(dotted);
    QString result;
    for (int i = 0; i < 4; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        QStringView part;
        if (dot < 0) {
            part = rest;
            rest = {};
        } else {
            part = rest.left(dot);
            rest = rest.mid(dot + 1);
        }
        if (i < 3 && rest.isEmpty())
            return -1;
        if (part.size() > 3)
            return -1;
        int value = 0;
        for (QChar c : part) {
            if (!isDigit(c))
                return -1;
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > 255)
            return -1;
        result += QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
    }
    if (!rest.isEmpty())
        return -1;
    hex = result;
    return 0;
}

int IpHexToText(const QString& hex, QString& dotted) {
    QString result;
    for (int i = 0; i < 4; ++i) {
        const QString pair = hex.mid(2 * i, 2);
        const int value = pair.isEmpty() ? -1 : HexByteValue(pair);
        if (value < 0) {
            dotted.clear();
            return -1;
        }
        result += QString::number(value);
        if (i < 3)
            result += QLatin1Char('.');
    }
    dotted = result;
    return 0;
}

int HexByteValue(const QString& text) {
    int sum = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0)
            return -1;
        sum += i == 0 ? digit * 16 : digit;
    }
    return sum;
}

QString FormatMinutesDhm(uint32_t minutes) {
    const uint32_t days = minutes / 1440;
    const uint32_t hours = (minutes - days * 1440) / 60;
    const uint32_t rest = minutes % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(days)
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

QString SplitFirst(QString& text, const QString& separator) {
    const qsizetype at = text.indexOf(separator);
    if (at < 0) {
        QString whole = text;
        text.clear();
        return whole;
    }
    QString first = text.left(at);
    text.remove(0, at + separator.size());
    return first;
}

QString FileExtensionOf(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A dot in a folder name does not make an extension of the file's name.
    if (dot < 0 || dot < path.lastIndexOf(QLatin1Char('/')))
        return {};
    return path.mid(dot + 1);
}
