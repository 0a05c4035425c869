#pragma once

#include <QColor>
#include <QString>

#include <optional>

// Values written in tip markup and style sheets: colours, lengths and character entities.
// Nothing here needs a widget.

// "#rrggbb", a named colour of the CSS/X11 table ("navy", "lightgoldenrodyellow") or a system
// colour keyword ("infobackground", "buttonface") taken from the application palette. Case and
// surrounding blanks do not matter. Nothing else is a colour.
std::optional<QColor> ParseHtmlColor(const QString& text);

// A length such as "12pt", "1.5em", "65%", "3" (pixels when there is no unit).
struct HtmlLength {
    enum Unit { Px, Ex, Em, In, Cm, Mm, Pt, Pc, Percent };
    double value = 0;
    Unit unit = Px;

    // In pixels, for a font of `fontPx` pixels, `dpi` dots per inch and `percentBase` pixels
    // for percentages.
    double toPixels(double fontPx, double dpi, double percentBase) const;
    // A font size in points, relative to `parentPt` for em, ex and percentages.
    double toFontPoints(double parentPt, double dpi) const;
};
std::optional<HtmlLength> ParseHtmlLength(const QString& text);

// The character of an entity name without "&" and ";" ("amp", "euro", "#169", "#x20AC");
// nullopt when unknown.
std::optional<QString> DecodeHtmlEntity(const QString& name);
// Replaces every known entity of `text`; unknown ones and a lone "&" stay as they are.
QString DecodeHtmlEntities(const QString& text);
