#include "tooltip/HtmlLayout.h"
#include "tooltip/HtmlMarkup.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

HtmlStyleSheet Sheet() {
    HtmlStyleSheet sheet;
    sheet.Parse(QStringLiteral("body {font-size: 12pt; color:black; font-family:Tahoma}\r\n"
                               "h2 {font-size: 13pt; color:#ff9900; font-weight:bold}\r\n"
                               "code {color:#990000}\r\n"
                               "a:link {text-decoration:none; color:blue}\r\n"
                               "sub {font-size:65%; vertical-align:bottom}\r\n"
                               "big {font-size:125%}\r\n"
                               ".cpp-comment {color:green; font-style:italic}\r\n"));
    return sheet;
}

QList<HtmlItem> TextItems(const HtmlDocument& doc) {
    QList<HtmlItem> out;
    for (const HtmlItem& item : doc.items) {
        if (item.kind == HtmlItem::Text)
            out.append(item);
    }
    return out;
}

// Lays the document out and paints it, as the tip window does.
void LayOutAndPaint(const HtmlDocument& doc) {
    HtmlLayout layout(doc);
    const QSizeF size = layout.size();
    ASSERT_GE(size.width(), 0);
    ASSERT_LT(size.width(), 100000);
    ASSERT_LT(size.height(), 100000);
    QImage image(QSize(200, 100), QImage::Format_ARGB32);
    QPainter p(&image);
    layout.paint(p, QPointF(0, 0));
}

} // namespace

TEST(HtmlTokenizer, TagsAttributesAndText) {
    const QList<HtmlToken> tokens = TokenizeHtml(
        QStringLiteral("a<FONT Color=\"#ff0000\" size=+1 face='Deja Vu' bold>b</font >c<br/>"));
    ASSERT_EQ(tokens.size(), 6);
    EXPECT_EQ(tokens[0].kind, HtmlToken::Text);
    EXPECT_EQ(tokens[1].kind, HtmlToken::StartTag);
    EXPECT_EQ(tokens[1].text, QStringLiteral("font"));
    EXPECT_EQ(tokens[1].attributes.value("color"), QStringLiteral("#ff0000"));
    EXPECT_EQ(tokens[1].attributes.value("size"), QStringLiteral("+1"));
    EXPECT_EQ(tokens[1].attributes.value("face"), QStringLiteral("Deja Vu"));
    EXPECT_TRUE(tokens[1].attributes.contains("bold"));
    EXPECT_EQ(tokens[3].kind, HtmlToken::EndTag);
    EXPECT_EQ(tokens[3].text, QStringLiteral("font"));
    EXPECT_EQ(tokens[5].text, QStringLiteral("br"));
    EXPECT_TRUE(tokens[5].selfClosing);
}

TEST(HtmlTokenizer, WhatIsNotATagIsText) {
    const QList<HtmlToken> tokens =
        TokenizeHtml(QStringLiteral("1 < 2 <3 &lt;b&gt; <!-- note --> x <b"));
    // The comment is left out; the text around it stays one run.
    ASSERT_EQ(tokens.size(), 1);
    EXPECT_EQ(tokens[0].text, QStringLiteral("1 < 2 <3 <b>  x <b"));

    // A quoted ">" belongs to the value; an unclosed comment swallows the rest.
    const QList<HtmlToken> quoted =
        TokenizeHtml(QStringLiteral("<a href=\"x>y\" msg='&amp;'>k</a><!-- open"));
    ASSERT_EQ(quoted.size(), 3);
    EXPECT_EQ(quoted[0].attributes.value("href"), QStringLiteral("x>y"));
    EXPECT_EQ(quoted[0].attributes.value("msg"), QStringLiteral("&"));
}

TEST(HtmlMarkup, PlainTextUsesTheBodyStyle) {
    const HtmlDocument doc =
        ParseHtml(QStringLiteral("Transfer a data file on PC to controller."), Sheet());
    ASSERT_EQ(doc.items.size(), 1);
    const HtmlTextStyle& style = doc.items[0].style;
    EXPECT_EQ(style.family, QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(style.pointSize, 12);
    EXPECT_EQ(style.color, QColor(Qt::black));
    EXPECT_EQ(style.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(doc.plainText(), QStringLiteral("Transfer a data file on PC to controller."));
}

TEST(HtmlMarkup, TextStyleTagsNestAndUnwind) {
    const HtmlDocument doc = ParseHtml(
        QStringLiteral("<b>B<i>BI<u>BIU</b>plain<s>S</strike></s><em>E</em><strikeout>X"
                       "</strikeout><bold>Y</bold><italic>Z</italic><underline>W</underline>"),
        Sheet());
    const QList<HtmlItem> t = TextItems(doc);
    ASSERT_EQ(t.size(), 10);
    EXPECT_EQ(t[0].style.weight, QFont::Bold);
    EXPECT_FALSE(t[0].style.italic);
    EXPECT_TRUE(t[1].style.italic);
    EXPECT_TRUE(t[2].style.underline && t[2].style.italic && t[2].style.weight == QFont::Bold);
    // </b> closes the <i> and <u> opened inside it.
    EXPECT_EQ(t[3].text, QStringLiteral("plain"));
    EXPECT_EQ(t[3].style.weight, QFont::Normal);
    EXPECT_FALSE(t[3].style.italic || t[3].style.underline);
    EXPECT_TRUE(t[4].style.strikeOut);
    EXPECT_TRUE(t[5].style.italic);
    EXPECT_FALSE(t[5].style.strikeOut); // the stray </strike> closed nothing, </s> did
    EXPECT_TRUE(t[6].style.strikeOut);
    EXPECT_EQ(t[7].style.weight, QFont::Bold);
    EXPECT_TRUE(t[8].style.italic);
    EXPECT_TRUE(t[9].style.underline);
}

TEST(HtmlMarkup, FontAttributesAndSheetTags) {
    const HtmlDocument doc = ParseHtml(
        QStringLiteral("<font face=\"Courier\" size=\"5\" color=\"navy\" bkgnd=\"#fbedbb\" "
                       "weight=\"bold\" style=\"italic\">F</font>"
                       "<font size=\"-1\">small</font><font size=\"20pt\">big</font>"
                       "<code>C</code><h2>H</h2><span class=\"cpp-comment\">K</span>"
                       "<a href=\"x\">L</a>x<sub>2</sub><big>G</big>"),
        Sheet());
    const QList<HtmlItem> t = TextItems(doc);
    ASSERT_EQ(t.size(), 10);
    EXPECT_EQ(t[0].style.family, QStringLiteral("Courier"));
    EXPECT_DOUBLE_EQ(t[0].style.pointSize, 18);
    EXPECT_EQ(t[0].style.color, QColor(0, 0, 128));
    EXPECT_EQ(t[0].style.background, QColor(0xfb, 0xed, 0xbb));
    EXPECT_EQ(t[0].style.weight, QFont::Bold);
    EXPECT_TRUE(t[0].style.italic);
    EXPECT_DOUBLE_EQ(t[1].style.pointSize, 10);
    EXPECT_DOUBLE_EQ(t[2].style.pointSize, 20);
    EXPECT_EQ(t[3].style.color, QColor(0x99, 0, 0));
    EXPECT_EQ(t[4].style.color, QColor(0xff, 0x99, 0));
    EXPECT_DOUBLE_EQ(t[4].style.pointSize, 13);
    EXPECT_TRUE(t[5].style.italic);
    EXPECT_EQ(t[5].style.color, QColor(0, 128, 0));
    EXPECT_EQ(t[6].style.href, QStringLiteral("x"));
    EXPECT_EQ(t[6].style.color, QColor(Qt::blue));
    EXPECT_EQ(t[8].style.valign, HtmlTextStyle::Sub);
    EXPECT_NEAR(t[8].style.pointSize, 12 * 0.65, 1e-9);
    EXPECT_DOUBLE_EQ(t[9].style.pointSize, 15);
    // Headings are blocks: a line break follows.
    EXPECT_EQ(doc.plainText(), QStringLiteral("FsmallbigC\nH\nKLx2G"));
}

TEST(HtmlMarkup, LayoutTagsBreakTabAndRule) {
    const HtmlDocument doc =
        ParseHtml(QStringLiteral("one<br>two\nthree<t>four\tfive<hr width=\"50%\" size=3 color=red>"
                                 "<center>mid</center><right>r</right>"),
                  Sheet());
    EXPECT_EQ(doc.plainText(), QStringLiteral("one\ntwo\nthree\tfour\tfive\n\nmidr"));
    const HtmlItem* rule = nullptr;
    for (const HtmlItem& item : doc.items) {
        if (item.kind == HtmlItem::Rule)
            rule = &item;
    }
    ASSERT_TRUE(rule);
    EXPECT_TRUE(rule->rulePercent);
    EXPECT_EQ(rule->ruleWidth, 50);
    EXPECT_EQ(rule->ruleSize, 3);
    EXPECT_EQ(rule->ruleColor, QColor(Qt::red));
    const QList<HtmlItem> t = TextItems(doc);
    EXPECT_EQ(t[t.size() - 2].style.align, HtmlTextStyle::AlignCenter);
    EXPECT_EQ(t.last().style.align, HtmlTextStyle::AlignRight);

    HtmlLayout layout(doc);
    ASSERT_GE(layout.lines().size(), 5);
    EXPECT_EQ(layout.lines()[0].boxes.size(), 1);
    // Tabs move to stops: "three" and "four" do not touch.
    const auto& tabbed = layout.lines()[2].boxes;
    ASSERT_EQ(tabbed.size(), 5);
    EXPECT_GT(tabbed[2].rect.left(), tabbed[0].rect.right());
    EXPECT_DOUBLE_EQ(tabbed[1].rect.right(), tabbed[2].rect.left());
}

TEST(HtmlMarkup, TablesWithSpansAndNesting) {
    const HtmlDocument doc = ParseHtml(
        QStringLiteral("<table border=1 cellpadding=3 bgcolor=#ffffff bgeffect=softbump>"
                       "<tr bgcolor=silver><td colspan=2 align=center>head</td></tr>"
                       "<tr><td>a</td><td valign=top><table><tr><td>in</td></tr></table></td>"
                       "</tr></table>after"),
        Sheet());
    ASSERT_EQ(doc.items.size(), 2);
    ASSERT_EQ(doc.items[0].kind, HtmlItem::Table);
    const HtmlTable& table = *doc.items[0].table;
    EXPECT_EQ(table.border, 1);
    EXPECT_EQ(table.cellpadding, 3);
    EXPECT_EQ(table.bgeffect, 13);
    ASSERT_EQ(table.rows.size(), 2);
    EXPECT_EQ(table.rows[0].bgcolor, QColor(192, 192, 192));
    ASSERT_EQ(table.rows[0].cells.size(), 1);
    EXPECT_EQ(table.rows[0].cells[0].colspan, 2);
    EXPECT_EQ(table.rows[0].cells[0].align, HtmlTextStyle::AlignCenter);
    ASSERT_EQ(table.rows[1].cells.size(), 2);
    EXPECT_EQ(table.rows[1].cells[1].valign, HtmlTextStyle::Top);
    ASSERT_EQ(table.rows[1].cells[1].content.items.size(), 1);
    EXPECT_EQ(table.rows[1].cells[1].content.items[0].kind, HtmlItem::Table);
    EXPECT_EQ(doc.items[1].text, QStringLiteral("after"));

    HtmlLayout layout(doc);
    // The spanning head cell is as wide as both columns below it.
    EXPECT_GT(layout.size().width(), 0);
    LayOutAndPaint(doc);
}

TEST(HtmlMarkup, ImagesKeepTheirAttributes) {
    const HtmlDocument doc =
        ParseHtml(QStringLiteral("<icon idres=128 cx=16 cy=16><bmp idres=\"21110\" mask=#ff00ff>"
                                 "<ilst idres=5 index=2 cx=12 cy=12 speed=100><string idres=900>"),
                  Sheet());
    ASSERT_EQ(doc.items.size(), 4);
    EXPECT_EQ(doc.items[0].imageKind, QStringLiteral("icon"));
    EXPECT_EQ(doc.items[0].imageAttributes.value("cx"), QStringLiteral("16"));
    EXPECT_EQ(doc.items[1].imageAttributes.value("mask"), QStringLiteral("#ff00ff"));
    EXPECT_EQ(doc.items[2].imageAttributes.value("index"), QStringLiteral("2"));
    // Without a resource library an image keeps its stated size and a string is empty.
    HtmlLayout layout(doc);
    ASSERT_EQ(layout.lines().size(), 1);
    EXPECT_DOUBLE_EQ(layout.lines()[0].boxes[0].rect.width(), 16);
    EXPECT_DOUBLE_EQ(layout.lines()[0].boxes[2].rect.width(), 12);
}

TEST(HtmlMarkup, BrokenMarkupNeverCrashes) {
    const QStringList samples = {
        QStringLiteral("<"),
        QStringLiteral("</"),
        QStringLiteral("<b"),
        QStringLiteral("<b attr='open>text"),
        QStringLiteral("</b></i></table></td>text"),
        QStringLiteral("<td>cell without table</td><tr>"),
        QStringLiteral("<table><td>no row<td>two"),
        QStringLiteral("<table><table><table>"),
        QStringLiteral("<font size=999999999999 color=#zzzzzz face=>x"),
        QStringLiteral("<hr width=-5% size=-1><hr width=1e400>"),
        QStringLiteral("&#xFFFFFFFF; &#; &;&&&;"),
        QStringLiteral("<table colspan=0><tr><td colspan=-3 rowspan=99999>x</td></tr></table>"),
    };
    for (const QString& sample : samples) {
        const HtmlDocument doc = ParseHtml(sample, Sheet());
        LayOutAndPaint(doc);
    }
    // A rule far wider than any screen is clamped, not overflowed.
    const HtmlDocument wide =
        ParseHtml(QStringLiteral("<hr width=99999999999999999999999999999999px>"), Sheet());
    ASSERT_FALSE(wide.items.isEmpty());
    EXPECT_EQ(wide.items[0].kind, HtmlItem::Rule);
    EXPECT_EQ(wide.items[0].ruleWidth, 4000);

    // Deep nesting stays bounded.
    QString deep;
    for (int i = 0; i < 5000; ++i)
        deep += QStringLiteral("<table><tr><td><b>");
    const HtmlDocument doc = ParseHtml(deep + QStringLiteral("x"), Sheet());
    LayOutAndPaint(doc);
    EXPECT_TRUE(doc.plainText().contains(u'x'));

    // Random soup of markup pieces.
    const QStringList pieces = {"<",    ">",      "</",     "b",    "table", "td",  "tr",
                                "=",    "\"",     "'",      "&",    ";",     "amp", "#",
                                "font", " size=", "color=", "text", "\n",    "\t",  "<hr",
                                "<br>", "<t>",    "-->",    "<!--", "%",     "pt",  "/"};
    QRandomGenerator random(42);
    for (int round = 0; round < 2000; ++round) {
        QString soup;
        const int length = random.bounded(40);
        for (int k = 0; k < length; ++k)
            soup += pieces[random.bounded(int(pieces.size()))];
        LayOutAndPaint(ParseHtml(soup, Sheet()));
    }
}
