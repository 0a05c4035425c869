#include "tooltip/HtmlValues.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

TEST(HtmlColor, HashFormNeedsExactlySixHexDigits) {
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("#ff9900")), QColor(0xff, 0x99, 0x00));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral(" #FBEDBB ")), QColor(0xfb, 0xed, 0xbb));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("#626262")), QColor(0x62, 0x62, 0x62));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("#f90")));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("#ff99000")));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("#gg0000")));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("#")));
    EXPECT_FALSE(ParseHtmlColor(QString()));
}

TEST(HtmlColor, NamedColoursHaveTheirStandardValues) {
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("black")), QColor(0, 0, 0));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("Blue")), QColor(0, 0, 255));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("green")), QColor(0, 128, 0));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("lightgoldenrodyellow")), QColor(250, 250, 210));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("rebeccapurple")).has_value(),
              QColor::isValidColorName(QStringLiteral("rebeccapurple")));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("navy")), QColor(0, 0, 128));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("blurple")));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("rgb(1,2,3)")));
    EXPECT_FALSE(ParseHtmlColor(QStringLiteral("transparent")));
}

TEST(HtmlColor, SystemKeywordsFollowThePalette) {
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("InfoBackground")),
              palette.color(QPalette::Active, QPalette::ToolTipBase));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("infotext")),
              palette.color(QPalette::Active, QPalette::ToolTipText));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("buttonface")),
              palette.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ParseHtmlColor(QStringLiteral("window")),
              palette.color(QPalette::Active, QPalette::Base));
}

TEST(HtmlLength, UnitsConvertToPixelsAndPoints) {
    auto pt = ParseHtmlLength(QStringLiteral("12pt"));
    ASSERT_TRUE(pt);
    EXPECT_EQ(pt->unit, HtmlLength::Pt);
    EXPECT_DOUBLE_EQ(pt->toPixels(16, 96, 0), 16);
    EXPECT_DOUBLE_EQ(pt->toFontPoints(10, 96), 12);

    auto percent = ParseHtmlLength(QStringLiteral("65%"));
    ASSERT_TRUE(percent);
    EXPECT_DOUBLE_EQ(percent->toFontPoints(20, 96), 13);
    EXPECT_DOUBLE_EQ(percent->toPixels(0, 96, 200), 130);

    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("1in"))->toPixels(0, 96, 0), 96);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("2.54cm"))->toPixels(0, 96, 0), 96);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("25.4mm"))->toPixels(0, 96, 0), 96);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("1pc"))->toPixels(0, 96, 0), 16);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("2em"))->toPixels(10, 96, 0), 20);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("2ex"))->toPixels(10, 96, 0), 10);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("7px"))->toPixels(10, 96, 0), 7);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("7"))->toPixels(10, 96, 0), 7);
    EXPECT_DOUBLE_EQ(ParseHtmlLength(QStringLiteral("1.5EM"))->toFontPoints(10, 96), 15);

    EXPECT_FALSE(ParseHtmlLength(QStringLiteral("12furlongs")));
    EXPECT_FALSE(ParseHtmlLength(QStringLiteral("pt")));
    EXPECT_FALSE(ParseHtmlLength(QString()));
    EXPECT_FALSE(ParseHtmlLength(QStringLiteral("1e999pt")));
}

TEST(HtmlEntity, EveryListedEntityDecodes) {
    const struct {
        const char* name;
        char16_t c;
    } cases[] = {{"amp", u'&'},        {"bull", u'\u2022'}, {"copy", u'\u00A9'},
                 {"euro", u'\u20AC'},  {"gt", u'>'},        {"iquest", u'\u00BF'},
                 {"lt", u'<'},         {"nbsp", u'\u00A0'}, {"para", u'\u00B6'},
                 {"pound", u'\u00A3'}, {"quot", u'"'},      {"reg", u'\u00AE'},
                 {"trade", u'\u2122'}};
    for (const auto& c : cases) {
        const auto decoded = DecodeHtmlEntity(QLatin1String(c.name));
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(*decoded, QString(QChar(c.c))) << c.name;
    }
    EXPECT_EQ(DecodeHtmlEntity(QStringLiteral("#169")), QStringLiteral("\u00A9"));
    EXPECT_EQ(DecodeHtmlEntity(QStringLiteral("#x20AC")), QStringLiteral("\u20AC"));
    EXPECT_FALSE(DecodeHtmlEntity(QStringLiteral("#xD800")));
    EXPECT_FALSE(DecodeHtmlEntity(QStringLiteral("#0")));
    EXPECT_FALSE(DecodeHtmlEntity(QStringLiteral("#99999999")));
    EXPECT_FALSE(DecodeHtmlEntity(QStringLiteral("nosuch")));
}

TEST(HtmlEntity, TextKeepsWhatItCannotDecode) {
    EXPECT_EQ(DecodeHtmlEntities(QStringLiteral("a &amp; b &lt;c&gt;")),
              QStringLiteral("a & b <c>"));
    EXPECT_EQ(DecodeHtmlEntities(QStringLiteral("R&D &nosuch; &amp")),
              QStringLiteral("R&D &nosuch; &amp"));
    EXPECT_EQ(DecodeHtmlEntities(QStringLiteral("&&amp;;")), QStringLiteral("&&;"));
    EXPECT_EQ(DecodeHtmlEntities(QStringLiteral("&")), QStringLiteral("&"));
}
