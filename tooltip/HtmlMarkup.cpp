#include "tooltip/HtmlMarkup.h"

#include "tooltip/HtmlValues.h"

#include <algorithm>

namespace {

// Bounds that keep hostile markup cheap: nested styles and nested tables.
constexpr int kMaxStyleDepth = 64;
constexpr int kMaxTableDepth = 8;
constexpr int kMaxSpan = 64;

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

// The text between "<" and ">" of a tag.
HtmlToken parseTag(const QString& inner) {
    HtmlToken token;
    qsizetype i = 0;
    const qsizetype n = inner.size();
    token.kind = HtmlToken::StartTag;
    if (i < n && inner[i] == u'/') {
        token.kind = HtmlToken::EndTag;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && isNameChar(inner[i]))
        ++i;
    token.text = inner.mid(nameStart, i - nameStart).toLower();
    while (i < n) {
        while (i < n && (inner[i].isSpace() || inner[i] == u'/')) {
            if (inner[i] == u'/')
                token.selfClosing = true;
            ++i;
        }
        if (i >= n)
            break;
        token.selfClosing = false;
        const qsizetype attrStart = i;
        while (i < n && !inner[i].isSpace() && inner[i] != u'=' && inner[i] != u'/')
            ++i;
        if (i == attrStart) {
            ++i; // a stray character that cannot start a name
            continue;
        }
        const QString name = inner.mid(attrStart, i - attrStart).toLower();
        while (i < n && inner[i].isSpace())
            ++i;
        QString value;
        if (i < n && inner[i] == u'=') {
            ++i;
            while (i < n && inner[i].isSpace())
                ++i;
            if (i < n && (inner[i] == u'"' || inner[i] == u'\'')) {
                const QChar quote = inner[i++];
                qsizetype end = inner.indexOf(quote, i);
                if (end < 0)
                    end = n;
                value = inner.mid(i, end - i);
                i = end + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !inner[i].isSpace())
                    ++i;
                value = inner.mid(valueStart, i - valueStart);
            }
        }
        token.attributes.insert(name, DecodeHtmlEntities(value));
    }
    return token;
}

// Where the tag opened at `start` ends ("> " outside quotes); -1 when it never does.
qsizetype tagEnd(const QString& s, qsizetype start) {
    QChar quote;
    for (qsizetype j = start + 1; j < s.size(); ++j) {
        const QChar c = s[j];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            // Only an attribute value opens a quote.
            if (j > 0 && s[j - 1] == u'=')
                quote = c;
        } else if (c == u'>') {
            return j;
        }
    }
    return quote.isNull() ? -1 : s.indexOf(u'>', start + 1);
}

int htmlFontSize(const QString& value, double parentPt, double dpi) {
    static const int sizes[] = {8, 10, 12, 14, 18, 24, 36};
    const QString v = value.trimmed();
    bool ok = false;
    const int n = v.toInt(&ok);
    if (ok) {
        int index = (v.startsWith(u'+') || v.startsWith(u'-')) ? 3 + n : n;
        return sizes[qBound(1, index, 7) - 1];
    }
    if (auto length = ParseHtmlLength(v))
        return qRound(qBound(1.0, length->toFontPoints(parentPt, dpi), 200.0));
    return qRound(parentPt);
}

int intAttribute(const QMap<QString, QString>& a, const char* name, int fallback, int low,
                 int high) {
    bool ok = false;
    const int value = a.value(QLatin1String(name)).trimmed().toInt(&ok);
    return ok ? qBound(low, value, high) : fallback;
}

QColor colorAttribute(const QMap<QString, QString>& a, const char* name, const QColor& fallback) {
    const auto found = a.constFind(QLatin1String(name));
    if (found == a.constEnd())
        return fallback;
    return ParseHtmlColor(*found).value_or(fallback);
}

int alignAttribute(const QString& v, int fallback) {
    const QString a = v.trimmed().toLower();
    if (a == QLatin1String("left"))
        return HtmlTextStyle::AlignLeft;
    if (a == QLatin1String("center"))
        return HtmlTextStyle::AlignCenter;
    if (a == QLatin1String("right"))
        return HtmlTextStyle::AlignRight;
    if (a == QLatin1String("justify"))
        return HtmlTextStyle::AlignJustify;
    return fallback;
}

int valignAttribute(const QString& v, int fallback) {
    const QString a = v.trimmed().toLower();
    if (a == QLatin1String("top"))
        return HtmlTextStyle::Top;
    if (a == QLatin1String("middle") || a == QLatin1String("vcenter") ||
        a == QLatin1String("center"))
        return HtmlTextStyle::Middle;
    if (a == QLatin1String("bottom"))
        return HtmlTextStyle::Bottom;
    if (a == QLatin1String("baseline"))
        return HtmlTextStyle::Baseline;
    return fallback;
}

bool isBlockTag(const QString& t) {
    return t == QLatin1String("p") || t == QLatin1String("pre") ||
           (t.size() == 2 && t[0] == u'h' && t[1] >= u'1' && t[1] <= u'6');
}

bool isImageTag(const QString& t) {
    return t == QLatin1String("bmp") || t == QLatin1String("icon") || t == QLatin1String("ilst") ||
           t == QLatin1String("string");
}

class Builder {
public:
    Builder(const QList<HtmlToken>& markup, const HtmlStyleSheet& styles, double resolution)
        : tokens(markup), sheet(styles), dpi(resolution) {}

    // Fills `doc` from token `pos` on. Inside a table cell (`inCell`) it stops before the
    // tags that end the cell.
    void flow(HtmlDocument& doc, const HtmlTextStyle& base, int tableDepth, bool inCell) {
        struct Open {
            QString tag;
            HtmlTextStyle style;
        };
        QList<Open> stack;
        const auto current = [&]() -> const HtmlTextStyle& {
            return stack.isEmpty() ? base : stack.constLast().style;
        };
        const auto lineBreak = [&](bool onlyIfNeeded) {
            if (onlyIfNeeded &&
                (doc.items.isEmpty() || doc.items.constLast().kind == HtmlItem::LineBreak))
                return;
            HtmlItem item;
            item.kind = HtmlItem::LineBreak;
            item.style = current();
            doc.items.append(item);
        };

        while (pos < tokens.size()) {
            const HtmlToken& token = tokens[pos];
            if (token.kind == HtmlToken::Text) {
                ++pos;
                addText(doc, token.text, current());
                continue;
            }
            const QString& tag = token.text;
            if (inCell && (tag == QLatin1String("td") || tag == QLatin1String("tr") ||
                           (tag == QLatin1String("table") && token.kind == HtmlToken::EndTag))) {
                if (token.kind == HtmlToken::EndTag && tag == QLatin1String("td"))
                    ++pos;
                return;
            }
            ++pos;
            if (token.kind == HtmlToken::EndTag) {
                for (qsizetype k = stack.size() - 1; k >= 0; --k) {
                    if (stack[k].tag == tag) {
                        stack.resize(k);
                        if (isBlockTag(tag))
                            lineBreak(false);
                        break;
                    }
                }
                continue;
            }
            if (tag == QLatin1String("br")) {
                lineBreak(false);
            } else if (tag == QLatin1String("t")) {
                HtmlItem item;
                item.kind = HtmlItem::Tab;
                item.style = current();
                doc.items.append(item);
            } else if (tag == QLatin1String("hr")) {
                lineBreak(true);
                doc.items.append(rule(token, current()));
                lineBreak(false);
            } else if (isImageTag(tag)) {
                HtmlItem item;
                item.kind = HtmlItem::Image;
                item.style = current();
                item.imageKind = tag;
                item.imageAttributes = token.attributes;
                doc.items.append(item);
            } else if (tag == QLatin1String("table")) {
                if (tableDepth >= kMaxTableDepth)
                    continue;
                HtmlItem item;
                item.kind = HtmlItem::Table;
                item.style = current();
                item.table = table(token, current(), tableDepth + 1);
                doc.items.append(item);
            } else {
                HtmlTextStyle style = current();
                if (!applyTag(token, style))
                    continue; // unknown tag: left out
                if (isBlockTag(tag))
                    lineBreak(true);
                if (!token.selfClosing && stack.size() < kMaxStyleDepth)
                    stack.append({tag, style});
            }
        }
    }

    qsizetype pos = 0;

private:
    static void addText(HtmlDocument& doc, const QString& text, const HtmlTextStyle& style) {
        QString run;
        const auto flush = [&]() {
            if (run.isEmpty())
                return;
            HtmlItem item;
            item.kind = HtmlItem::Text;
            item.text = run;
            item.style = style;
            doc.items.append(item);
            run.clear();
        };
        for (QChar c : text) {
            if (c == u'\r')
                continue;
            if (c == u'\n' || c == u'\t') {
                flush();
                HtmlItem item;
                item.kind = c == u'\n' ? HtmlItem::LineBreak : HtmlItem::Tab;
                item.style = style;
                doc.items.append(item);
            } else {
                run += c;
            }
        }
        flush();
    }

    HtmlItem rule(const HtmlToken& token, const HtmlTextStyle& style) const {
        HtmlItem item;
        item.kind = HtmlItem::Rule;
        item.style = style;
        const QString width = token.attributes.value(QStringLiteral("width")).trimmed();
        if (auto length = ParseHtmlLength(width)) {
            item.rulePercent = length->unit == HtmlLength::Percent;
            // Bounded before rounding: a huge length must not overflow the integer.
            const double value = item.rulePercent ? length->value : length->toPixels(12, dpi, 0);
            item.ruleWidth = qRound(std::clamp(value, 0.0, item.rulePercent ? 100.0 : 4000.0));
        }
        item.ruleSize = intAttribute(token.attributes, "size", 2, 1, 50);
        item.ruleColor = colorAttribute(token.attributes, "color", style.color);
        return item;
    }

    void inlineStyle(const QString& declarations, HtmlTextStyle& style) const {
        for (const QString& item : declarations.split(u';')) {
            const qsizetype colon = item.indexOf(u':');
            if (colon > 0)
                ApplyStyleDeclaration(item.left(colon).trimmed().toLower(), item.mid(colon + 1),
                                      style, dpi);
        }
    }

    // The style inside `token`; false for a tag that is not a style or layout tag.
    bool applyTag(const HtmlToken& token, HtmlTextStyle& style) const {
        const QString& tag = token.text;
        const auto& a = token.attributes;
        if (tag == QLatin1String("b") || tag == QLatin1String("bold")) {
            style.weight = QFont::Bold;
        } else if (tag == QLatin1String("i") || tag == QLatin1String("italic") ||
                   tag == QLatin1String("em")) {
            style.italic = true;
        } else if (tag == QLatin1String("u") || tag == QLatin1String("underline")) {
            style.underline = true;
        } else if (tag == QLatin1String("s") || tag == QLatin1String("strikeout") ||
                   tag == QLatin1String("strike")) {
            style.strikeOut = true;
        } else if (tag == QLatin1String("font")) {
            if (a.contains(QStringLiteral("face")))
                ApplyStyleDeclaration(QStringLiteral("font-family"), a.value("face"), style, dpi);
            if (a.contains(QStringLiteral("size")))
                style.pointSize = htmlFontSize(a.value("size"), style.pointSize, dpi);
            if (a.contains(QStringLiteral("color")))
                ApplyStyleDeclaration(QStringLiteral("color"), a.value("color"), style, dpi);
            if (a.contains(QStringLiteral("weight")))
                ApplyStyleDeclaration(QStringLiteral("font-weight"), a.value("weight"), style, dpi);
            if (a.contains(QStringLiteral("bkgnd")))
                ApplyStyleDeclaration(QStringLiteral("background-color"), a.value("bkgnd"), style,
                                      dpi);
            const QString fontStyle = a.value(QStringLiteral("style"));
            if (fontStyle.contains(u':'))
                inlineStyle(fontStyle, style);
            else if (!fontStyle.isEmpty())
                ApplyStyleDeclaration(QStringLiteral("font-style"), fontStyle, style, dpi);
            return true;
        } else if (tag == QLatin1String("sub") || tag == QLatin1String("sup")) {
            const bool sub = tag == QLatin1String("sub");
            if (sheet.Find(tag))
                sheet.Apply(tag, style, dpi);
            else
                style.pointSize = qMax(1.0, style.pointSize * 0.65);
            style.valign = sub ? HtmlTextStyle::Sub : HtmlTextStyle::Super;
        } else if (tag == QLatin1String("big") || tag == QLatin1String("small")) {
            if (sheet.Find(tag))
                sheet.Apply(tag, style, dpi);
            else
                style.pointSize *= tag == QLatin1String("big") ? 1.25 : 0.75;
        } else if (tag == QLatin1String("code") || tag == QLatin1String("pre") ||
                   tag == QLatin1String("body") || tag == QLatin1String("p") ||
                   (tag.size() == 2 && tag[0] == u'h' && tag[1] >= u'1' && tag[1] <= u'6')) {
            sheet.Apply(tag, style, dpi);
        } else if (tag == QLatin1String("span")) {
            const QString cls = a.value(QStringLiteral("class")).trimmed();
            if (!cls.isEmpty())
                sheet.Apply(QLatin1Char('.') + cls, style, dpi);
        } else if (tag == QLatin1String("a")) {
            style.href = a.value(QStringLiteral("href"));
            if (style.href.isEmpty())
                style.href = a.value(QStringLiteral("msg"));
            sheet.Apply(QStringLiteral("a:link"), style, dpi);
        } else if (tag == QLatin1String("left") || tag == QLatin1String("center") ||
                   tag == QLatin1String("right") || tag == QLatin1String("justify")) {
            style.align = HtmlTextStyle::Align(alignAttribute(tag, style.align));
        } else if (tag == QLatin1String("baseline") || tag == QLatin1String("top") ||
                   tag == QLatin1String("vcenter") || tag == QLatin1String("middle") ||
                   tag == QLatin1String("bottom")) {
            style.valign = HtmlTextStyle::VAlign(valignAttribute(tag, style.valign));
        } else {
            return false;
        }
        if (tag != QLatin1String("font") && a.contains(QStringLiteral("style")))
            inlineStyle(a.value(QStringLiteral("style")), style);
        return true;
    }

    std::shared_ptr<HtmlTable> table(const HtmlToken& token, const HtmlTextStyle& style,
                                     int depth) {
        auto t = std::make_shared<HtmlTable>();
        const auto& a = token.attributes;
        t->cellpadding = intAttribute(a, "cellpadding", t->cellpadding, 0, 100);
        t->cellspacing = intAttribute(a, "cellspacing", t->cellspacing, 0, 100);
        t->border = intAttribute(a, "border", t->border, 0, 20);
        t->borderColor = colorAttribute(a, "bordercolor", t->borderColor);
        t->bgcolor = colorAttribute(a, "bgcolor", QColor());
        t->bgmidcolor = colorAttribute(a, "bgmidcolor", QColor());
        t->bgendcolor = colorAttribute(a, "bgendcolor", QColor());
        const QString effect = a.value(QStringLiteral("bgeffect"));
        bool numeric = false;
        const int effectNumber = effect.toInt(&numeric);
        if (numeric && effectNumber >= -1 && effectNumber <= 15)
            t->bgeffect = effectNumber;
        else if (auto named = BackgroundEffectFromName(effect))
            t->bgeffect = *named;
        t->width = intAttribute(a, "width", 0, 0, 4000);
        t->height = intAttribute(a, "height", 0, 0, 4000);
        t->align = alignAttribute(a.value(QStringLiteral("align")), t->align);

        while (pos < tokens.size()) {
            const HtmlToken& tok = tokens[pos];
            if (tok.kind == HtmlToken::EndTag && tok.text == QLatin1String("table")) {
                ++pos;
                break;
            }
            if (tok.kind == HtmlToken::StartTag && tok.text == QLatin1String("tr")) {
                ++pos;
                HtmlRow row;
                row.bgcolor = colorAttribute(tok.attributes, "bgcolor", QColor());
                t->rows.append(row);
                continue;
            }
            if (tok.kind == HtmlToken::StartTag && tok.text == QLatin1String("td")) {
                ++pos;
                if (t->rows.isEmpty())
                    t->rows.append(HtmlRow());
                HtmlCell cell;
                const auto& ca = tok.attributes;
                cell.colspan = intAttribute(ca, "colspan", 1, 1, kMaxSpan);
                cell.rowspan = intAttribute(ca, "rowspan", 1, 1, kMaxSpan);
                cell.bgcolor = colorAttribute(ca, "bgcolor", QColor());
                cell.align = alignAttribute(ca.value(QStringLiteral("align")), t->align);
                cell.valign = valignAttribute(ca.value(QStringLiteral("valign")), cell.valign);
                cell.width = intAttribute(ca, "width", 0, 0, 4000);
                cell.height = intAttribute(ca, "height", 0, 0, 4000);
                HtmlTextStyle cellStyle = style;
                cellStyle.align = HtmlTextStyle::Align(cell.align);
                flow(cell.content, cellStyle, depth, true);
                t->rows.last().cells.append(cell);
                continue;
            }
            if (tok.kind == HtmlToken::StartTag && tok.text == QLatin1String("table")) {
                // A table opened between cells ends this one: no cell holds it.
                break;
            }
            ++pos; // text and other tags between cells are dropped
        }
        return t;
    }

    const QList<HtmlToken>& tokens;
    const HtmlStyleSheet& sheet;
    double dpi;
};

} // namespace

QList<HtmlToken> TokenizeHtml(const QString& markup) {
    QList<HtmlToken> tokens;
    QString text;
    const auto flush = [&]() {
        if (text.isEmpty())
            return;
        HtmlToken token;
        token.kind = HtmlToken::Text;
        token.text = DecodeHtmlEntities(text);
        tokens.append(token);
        text.clear();
    };
    qsizetype i = 0;
    const qsizetype n = markup.size();
    while (i < n) {
        const QChar c = markup[i];
        if (c == u'<') {
            if (markup.mid(i, 4) == QLatin1String("<!--")) {
                const qsizetype end = markup.indexOf(QLatin1String("-->"), i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            const QChar next = i + 1 < n ? markup[i + 1] : QChar();
            const QChar after = i + 2 < n ? markup[i + 2] : QChar();
            if (next.isLetter() || (next == u'/' && after.isLetter())) {
                const qsizetype end = tagEnd(markup, i);
                if (end > i) {
                    flush();
                    tokens.append(parseTag(markup.mid(i + 1, end - i - 1)));
                    i = end + 1;
                    continue;
                }
            }
        }
        text += c;
        ++i;
    }
    flush();
    return tokens;
}

QString HtmlDocument::plainText() const {
    QString out;
    for (const HtmlItem& item : items) {
        switch (item.kind) {
        case HtmlItem::Text:
            out += item.style.transformed(item.text);
            break;
        case HtmlItem::LineBreak:
            out += u'\n';
            break;
        case HtmlItem::Tab:
            out += u'\t';
            break;
        case HtmlItem::Table:
            for (const HtmlRow& row : item.table->rows) {
                QStringList cells;
                for (const HtmlCell& cell : row.cells)
                    cells << cell.content.plainText();
                out += cells.join(u'\t') + u'\n';
            }
            break;
        case HtmlItem::Rule:
        case HtmlItem::Image:
            break;
        }
    }
    return out;
}

HtmlDocument ParseHtml(const QString& markup, const HtmlStyleSheet& sheet, double dpi) {
    const QList<HtmlToken> tokens = TokenizeHtml(markup);
    HtmlDocument doc;
    Builder builder(tokens, sheet, dpi);
    while (builder.pos < tokens.size())
        builder.flow(doc, sheet.BodyStyle(dpi), 0, false);
    return doc;
}

std::optional<int> BackgroundEffectFromName(const QString& name) {
    static const char* names[] = {"solid",      "hgradient",  "vgradient",  "hcgradient",
                                  "vcgradient", "3hgradient", "3vgradient", "noise",
                                  "diagshade",  "hshade",     "vshade",     "hbump",
                                  "vbump",      "softbump",   "hardbump",   "metal"};
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("transparent"))
        return -1;
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (n == QLatin1String(names[i]))
            return i;
    }
    return std::nullopt;
}
