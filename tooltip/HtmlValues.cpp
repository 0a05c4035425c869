#include "tooltip/HtmlValues.h"

#include <QGuiApplication>
#include <QHash>
#include <QPalette>

#include <cmath>

namespace {

std::optional<QColor> systemColor(const QString& name) {
    struct Entry {
        const char* keyword;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    };
    static const Entry table[] = {
        {"activeborder", QPalette::Active, QPalette::Window},
        {"activecaption", QPalette::Active, QPalette::Highlight},
        {"appworkspace", QPalette::Active, QPalette::Dark},
        {"background", QPalette::Active, QPalette::Window},
        {"buttonface", QPalette::Active, QPalette::Button},
        {"buttonhighlight", QPalette::Active, QPalette::Light},
        {"buttonshadow", QPalette::Active, QPalette::Dark},
        {"buttontext", QPalette::Active, QPalette::ButtonText},
        {"captiontext", QPalette::Active, QPalette::HighlightedText},
        {"graytext", QPalette::Disabled, QPalette::Text},
        {"highlight", QPalette::Active, QPalette::Highlight},
        {"highlighttext", QPalette::Active, QPalette::HighlightedText},
        {"inactiveborder", QPalette::Inactive, QPalette::Window},
        {"inactivecaption", QPalette::Inactive, QPalette::Highlight},
        {"inactivecaptiontext", QPalette::Inactive, QPalette::HighlightedText},
        {"infobackground", QPalette::Active, QPalette::ToolTipBase},
        {"infotext", QPalette::Active, QPalette::ToolTipText},
        {"menu", QPalette::Active, QPalette::Base},
        {"menutext", QPalette::Active, QPalette::Text},
        {"scrollbar", QPalette::Active, QPalette::Mid},
        {"threeddarkshadow", QPalette::Active, QPalette::Shadow},
        {"threedface", QPalette::Active, QPalette::Button},
        {"threedhighlight", QPalette::Active, QPalette::Light},
        {"threedlightshadow", QPalette::Active, QPalette::Midlight},
        {"threedshadow", QPalette::Active, QPalette::Dark},
        {"window", QPalette::Active, QPalette::Base},
        {"windowframe", QPalette::Active, QPalette::Shadow},
        {"windowtext", QPalette::Active, QPalette::WindowText},
    };
    for (const Entry& e : table) {
        if (name == QLatin1String(e.keyword)) {
            const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                         ? QGuiApplication::palette()
                                         : QPalette();
            return palette.color(e.group, e.role);
        }
    }
    return std::nullopt;
}

int hexDigit(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

std::optional<QColor> ParseHtmlColor(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value.startsWith(u'#')) {
        if (value.size() != 7)
            return std::nullopt;
        int channels[3];
        for (int i = 0; i < 3; ++i) {
            const int high = hexDigit(value[1 + 2 * i]);
            const int low = hexDigit(value[2 + 2 * i]);
            if (high < 0 || low < 0)
                return std::nullopt;
            channels[i] = high * 16 + low;
        }
        return QColor(channels[0], channels[1], channels[2]);
    }
    if (value.isEmpty())
        return std::nullopt;
    for (QChar c : value) {
        if (c < u'a' || c > u'z')
            return std::nullopt;
    }
    if (auto system = systemColor(value))
        return system;
    // The named-colour table of CSS/X11 (the SVG names), standard values.
    if (value != QLatin1String("transparent") && QColor::isValidColorName(value))
        return QColor::fromString(value);
    return std::nullopt;
}

double HtmlLength::toPixels(double fontPx, double dpi, double percentBase) const {
    switch (unit) {
    case Px:
        return value;
    case Ex:
        return value * fontPx / 2;
    case Em:
        return value * fontPx;
    case In:
        return value * dpi;
    case Cm:
        return value * dpi / 2.54;
    case Mm:
        return value * dpi / 25.4;
    case Pt:
        return value * dpi / 72;
    case Pc:
        return value * dpi / 6;
    case Percent:
        return value * percentBase / 100;
    }
    return value;
}

double HtmlLength::toFontPoints(double parentPt, double dpi) const {
    const double parentPx = parentPt * dpi / 72;
    return toPixels(parentPx, dpi, parentPx) * 72 / dpi;
}

std::optional<HtmlLength> ParseHtmlLength(const QString& text) {
    const QString value = text.trimmed().toLower();
    qsizetype end = 0;
    while (end < value.size() && (value[end].isDigit() || value[end] == u'.' ||
                                  (end == 0 && (value[end] == u'-' || value[end] == u'+'))))
        ++end;
    bool ok = false;
    const double number = value.left(end).toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    static const struct {
        const char* suffix;
        HtmlLength::Unit unit;
    } units[] = {{"", HtmlLength::Px},      {"px", HtmlLength::Px}, {"ex", HtmlLength::Ex},
                 {"em", HtmlLength::Em},    {"in", HtmlLength::In}, {"cm", HtmlLength::Cm},
                 {"mm", HtmlLength::Mm},    {"pt", HtmlLength::Pt}, {"pc", HtmlLength::Pc},
                 {"%", HtmlLength::Percent}};
    const QString suffix = value.mid(end).trimmed();
    for (const auto& u : units) {
        if (suffix == QLatin1String(u.suffix))
            return HtmlLength{number, u.unit};
    }
    return std::nullopt;
}

std::optional<QString> DecodeHtmlEntity(const QString& name) {
    static const QHash<QString, char16_t> named = {
        {QStringLiteral("amp"), u'&'},       {QStringLiteral("bull"), u'\u2022'},
        {QStringLiteral("copy"), u'\u00A9'}, {QStringLiteral("euro"), u'\u20AC'},
        {QStringLiteral("gt"), u'>'},        {QStringLiteral("iquest"), u'\u00BF'},
        {QStringLiteral("lt"), u'<'},        {QStringLiteral("nbsp"), u'\u00A0'},
        {QStringLiteral("para"), u'\u00B6'}, {QStringLiteral("pound"), u'\u00A3'},
        {QStringLiteral("quot"), u'"'},      {QStringLiteral("reg"), u'\u00AE'},
        {QStringLiteral("trade"), u'\u2122'}};
    const auto found = named.constFind(name.toLower());
    if (found != named.constEnd())
        return QString(QChar(*found));
    if (name.size() >= 2 && name[0] == u'#' && name.size() <= 10) {
        bool ok = false;
        const bool hex = name[1] == u'x' || name[1] == u'X';
        const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    return std::nullopt;
}

QString DecodeHtmlEntities(const QString& text) {
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'&') {
            const qsizetype semicolon = text.indexOf(u';', i + 1);
            if (semicolon > i + 1 && semicolon - i <= 12) {
                if (auto decoded = DecodeHtmlEntity(text.mid(i + 1, semicolon - i - 1))) {
                    out += *decoded;
                    i = semicolon + 1;
                    continue;
                }
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}
