#include "tooltip/HtmlStyleSheet.h"

#include "tooltip/HtmlValues.h"

#include <QGuiApplication>
#include <QRegularExpression>

namespace {

// Font sizes stay within what a tip can show, so that odd input cannot ask for huge fonts.
constexpr double kMinPoints = 1;
constexpr double kMaxPoints = 200;

QString stripComments(const QString& text) {
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                break;
            i = end + 2;
            continue;
        }
        out += text[i++];
    }
    return out;
}

} // namespace

QFont HtmlTextStyle::font() const {
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setWeight(QFont::Weight(qBound(1, weight, 1000)));
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    f.setOverline(overline);
    return f;
}

QString HtmlTextStyle::transformed(const QString& text) const {
    switch (transform) {
    case Uppercase:
        return text.toUpper();
    case Lowercase:
        return text.toLower();
    case Capitalize: {
        QString out = text;
        bool start = true;
        for (QChar& c : out) {
            if (start && c.isLetter())
                c = c.toUpper();
            start = c.isSpace();
        }
        return out;
    }
    case NoTransform:
        break;
    }
    return text;
}

void HtmlStyleSheet::Parse(const QString& text) {
    const QString source = stripComments(text);
    QString selectorText;
    QString body;
    bool inBody = false;
    const auto commit = [this, &selectorText, &body]() {
        Declarations declarations;
        for (const QString& item : body.split(u';')) {
            const qsizetype colon = item.indexOf(u':');
            if (colon <= 0)
                continue;
            const QString property = item.left(colon).trimmed().toLower();
            const QString value = item.mid(colon + 1).trimmed();
            if (!property.isEmpty() && !value.isEmpty())
                declarations.insert(property, value);
        }
        static const QRegularExpression blank(QStringLiteral("\\s"));
        // Only the selector's own line counts: junk on earlier lines is not part of it.
        const qsizetype lineStart =
            qMax(selectorText.lastIndexOf(u'\n'), selectorText.lastIndexOf(u';')) + 1;
        for (const QString& raw : selectorText.mid(lineStart).split(u',')) {
            const QString selector = raw.trimmed().toLower();
            if (selector.isEmpty() || selector.contains(blank))
                continue;
            Declarations& target = rules[selector];
            for (auto it = declarations.cbegin(); it != declarations.cend(); ++it)
                target.insert(it.key(), it.value());
        }
    };
    for (QChar c : source) {
        if (!inBody) {
            if (c == u'{') {
                inBody = true;
                body.clear();
            } else if (c == u'}') {
                selectorText.clear(); // a stray closing brace
            } else {
                selectorText += c;
            }
            continue;
        }
        if (c == u'}') {
            commit();
            inBody = false;
            selectorText.clear();
        } else if (c == u'{') {
            // The previous rule was never closed: it is dropped, and what follows its last
            // line break or ";" becomes the next selector.
            const qsizetype cut = qMax(body.lastIndexOf(u'\n'), body.lastIndexOf(u';'));
            selectorText = body.mid(cut + 1);
            body.clear();
        } else {
            body += c;
        }
    }
}

const HtmlStyleSheet::Declarations* HtmlStyleSheet::Find(const QString& selector) const {
    const auto found = rules.constFind(selector.toLower());
    return found == rules.constEnd() ? nullptr : &found.value();
}

void HtmlStyleSheet::Apply(const QString& selector, HtmlTextStyle& style, double dpi) const {
    const Declarations* declarations = Find(selector);
    if (!declarations)
        return;
    for (auto it = declarations->cbegin(); it != declarations->cend(); ++it)
        ApplyStyleDeclaration(it.key(), it.value(), style, dpi);
}

HtmlTextStyle HtmlStyleSheet::BodyStyle(double dpi) const {
    HtmlTextStyle style;
    // Without a body rule, tips use the application's font.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QFont font = QGuiApplication::font();
        style.family = font.family();
        if (font.pointSizeF() > 0)
            style.pointSize = font.pointSizeF();
    }
    Apply(QStringLiteral("body"), style, dpi);
    return style;
}

void ApplyStyleDeclaration(const QString& property, const QString& rawValue, HtmlTextStyle& style,
                           double dpi) {
    const QString value = rawValue.trimmed().toLower();
    if (property == QLatin1String("font-size") || property == QLatin1String("size")) {
        if (auto length = ParseHtmlLength(value)) {
            const double points = length->toFontPoints(style.pointSize, dpi);
            if (points > 0)
                style.pointSize = qBound(kMinPoints, points, kMaxPoints);
        }
    } else if (property == QLatin1String("font-family")) {
        QString family = rawValue.section(u',', 0, 0).trimmed();
        if (family.size() >= 2 && (family.startsWith(u'"') || family.startsWith(u'\'')))
            family = family.mid(1, family.size() - 2);
        if (!family.isEmpty())
            style.family = family;
    } else if (property == QLatin1String("font-style")) {
        if (value == QLatin1String("normal"))
            style.italic = false;
        else if (value == QLatin1String("italic") || value == QLatin1String("oblique"))
            style.italic = true;
    } else if (property == QLatin1String("font-weight")) {
        bool numeric = false;
        const int number = value.toInt(&numeric);
        if (numeric && number >= 100 && number <= 900)
            style.weight = number;
        else if (value == QLatin1String("normal"))
            style.weight = QFont::Normal;
        else if (value == QLatin1String("bold"))
            style.weight = QFont::Bold;
        else if (value == QLatin1String("bolder"))
            style.weight = qMin(900, style.weight + 300);
        else if (value == QLatin1String("lighter"))
            style.weight = qMax(100, style.weight - 300);
    } else if (property == QLatin1String("text-align")) {
        if (value == QLatin1String("left"))
            style.align = HtmlTextStyle::AlignLeft;
        else if (value == QLatin1String("center"))
            style.align = HtmlTextStyle::AlignCenter;
        else if (value == QLatin1String("right"))
            style.align = HtmlTextStyle::AlignRight;
    } else if (property == QLatin1String("text-transform")) {
        if (value == QLatin1String("none"))
            style.transform = HtmlTextStyle::NoTransform;
        else if (value == QLatin1String("uppercase"))
            style.transform = HtmlTextStyle::Uppercase;
        else if (value == QLatin1String("lowercase"))
            style.transform = HtmlTextStyle::Lowercase;
        else if (value == QLatin1String("capitalize"))
            style.transform = HtmlTextStyle::Capitalize;
    } else if (property == QLatin1String("color")) {
        if (auto colour = ParseHtmlColor(value))
            style.color = *colour;
    } else if (property == QLatin1String("background-color")) {
        if (auto colour = ParseHtmlColor(value))
            style.background = *colour;
    } else if (property == QLatin1String("text-decoration")) {
        if (value == QLatin1String("none")) {
            style.underline = style.strikeOut = style.overline = false;
        } else if (value == QLatin1String("underline")) {
            style.underline = true;
        } else if (value == QLatin1String("line-through")) {
            style.strikeOut = true;
        } else if (value == QLatin1String("overline")) {
            style.overline = true;
        }
    } else if (property == QLatin1String("vertical-align")) {
        if (value == QLatin1String("baseline"))
            style.valign = HtmlTextStyle::Baseline;
        else if (value == QLatin1String("middle") || value == QLatin1String("vcenter"))
            style.valign = HtmlTextStyle::Middle;
        else if (value == QLatin1String("top"))
            style.valign = HtmlTextStyle::Top;
        else if (value == QLatin1String("bottom"))
            style.valign = HtmlTextStyle::Bottom;
    }
    // border-color, border-width, border-style, margin and padding concern tables and blocks;
    // they are read where those are laid out.
}
