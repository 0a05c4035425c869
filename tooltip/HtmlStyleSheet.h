#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMap>
#include <QString>

// How a run of tip text looks. Sizes are points; the colour of the background is invalid when
// the run has none of its own.
struct HtmlTextStyle {
    enum VAlign { Baseline, Sub, Super, Top, Middle, Bottom };
    enum Transform { NoTransform, Uppercase, Lowercase, Capitalize };
    enum Align { AlignLeft, AlignCenter, AlignRight, AlignJustify };

    QString family = QStringLiteral("Tahoma");
    double pointSize = 9;
    int weight = QFont::Normal;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool overline = false;
    QColor color = Qt::black;
    QColor background;
    VAlign valign = Baseline;
    Transform transform = NoTransform;
    Align align = AlignLeft;
    QString href; // inside a link

    QFont font() const;
    // `text` after the text-transform.
    QString transformed(const QString& text) const;
    bool operator==(const HtmlTextStyle&) const = default;
};

// A style sheet: rules of a selector (a tag name, "a:link", "a:hover" or ".class") and its
// declarations "property: value" separated by ";" inside braces. Broken rules are skipped;
// the rest still counts.
class HtmlStyleSheet {
public:
    using Declarations = QMap<QString, QString>; // property -> value, property lower case

    void Parse(const QString& text);
    void Clear() { rules.clear(); }
    bool isEmpty() const { return rules.isEmpty(); }
    // nullptr when the selector has no rule. Selectors are matched without regard to case.
    const Declarations* Find(const QString& selector) const;
    QStringList selectors() const { return rules.keys(); }

    // Applies the rule of `selector`, if any, to `style`.
    void Apply(const QString& selector, HtmlTextStyle& style, double dpi = 96) const;
    // The style of plain tip text: the defaults with the "body" rule applied.
    HtmlTextStyle BodyStyle(double dpi = 96) const;

private:
    QMap<QString, Declarations> rules;
};

// Applies one declaration; unknown properties and values that do not parse change nothing.
void ApplyStyleDeclaration(const QString& property, const QString& value, HtmlTextStyle& style,
                           double dpi = 96);
