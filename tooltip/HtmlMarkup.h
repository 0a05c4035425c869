#pragma once

#include "tooltip/HtmlStyleSheet.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>

// Tip markup: a small subset of HTML. Parsing never fails: what is not understood is shown as
// text or left out, and nesting is bounded so that no input can exhaust the stack.

struct HtmlToken {
    enum Kind { Text, StartTag, EndTag };
    Kind kind = Text;
    QString text;                      // Text: entities decoded; tags: the name, lower case
    QMap<QString, QString> attributes; // names lower case, values with entities decoded
    bool selfClosing = false;
};
QList<HtmlToken> TokenizeHtml(const QString& markup);

struct HtmlTable;

// One element of the flow of a tip.
struct HtmlItem {
    enum Kind { Text, LineBreak, Tab, Rule, Image, Table };
    Kind kind = Text;
    QString text; // Text
    HtmlTextStyle style;
    // Rule: width in pixels (0 = full width) or percent, thickness, colour.
    int ruleWidth = 0;
    bool rulePercent = false;
    int ruleSize = 2;
    QColor ruleColor;
    // Image: tag name ("bmp", "icon", "ilst", "string") and its attributes.
    QString imageKind;
    QMap<QString, QString> imageAttributes;
    std::shared_ptr<HtmlTable> table;
};

struct HtmlDocument {
    QList<HtmlItem> items;
    // All text of the document, for tests and accessibility.
    QString plainText() const;
};

struct HtmlCell {
    HtmlDocument content;
    int colspan = 1;
    int rowspan = 1;
    QColor bgcolor;
    int align = HtmlTextStyle::AlignLeft;
    int valign = HtmlTextStyle::Middle;
    int width = 0; // pixels, 0 = as wide as the content
    int height = 0;
};
struct HtmlRow {
    QList<HtmlCell> cells;
    QColor bgcolor;
};
struct HtmlTable {
    QList<HtmlRow> rows;
    int cellpadding = 2;
    int cellspacing = 0;
    int border = 0;
    QColor borderColor = Qt::black;
    QColor bgcolor;
    QColor bgmidcolor;
    QColor bgendcolor;
    int bgeffect = -1; // -1 none; else a background effect number
    int width = 0;
    int height = 0;
    int align = HtmlTextStyle::AlignLeft;
};

// Parses `markup` with `sheet`; plain text comes out in the sheet's body style.
HtmlDocument ParseHtml(const QString& markup, const HtmlStyleSheet& sheet, double dpi = 96);

// Background effect numbers by name ("softbump" 13, "transparent" -1); nullopt when unknown.
std::optional<int> BackgroundEffectFromName(const QString& name);
