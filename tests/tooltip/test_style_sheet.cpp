#include "platform/ResourceLibrary.h"
#include "tooltip/HtmlStyleSheet.h"

#include <gtest/gtest.h>

namespace {

struct StringLibrary {
    StringLibrary() { loaded = ResourceLibrary::LoadFile(QStringLiteral(TEST_STRINGS_LIBRARY)); }
    ~StringLibrary() { ResourceLibrary::Unload(); }
    bool loaded = false;
};

} // namespace

TEST(StyleSheet, ShippedSheetHasEveryRule) {
    StringLibrary library;
    ASSERT_TRUE(library.loaded);
    const QString text = ResourceLibrary::LoadString(499);
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    HtmlStyleSheet sheet;
    sheet.Parse(text);
    const QStringList expected = {"body", "p",   "h1",  "h2",    "h3",          "h4",
                                  "h5",   "h6",  "pre", "code",  "a:link",      "a:hover",
                                  "sub",  "sup", "big", "small", ".cpp-comment"};
    for (const QString& selector : expected)
        EXPECT_NE(sheet.Find(selector), nullptr) << selector.toStdString();
    EXPECT_EQ(sheet.selectors().size(), expected.size());

    const auto* h2 = sheet.Find(QStringLiteral("h2"));
    ASSERT_TRUE(h2);
    EXPECT_EQ(h2->value(QStringLiteral("color")), QStringLiteral("#ff9900"));
    EXPECT_EQ(h2->value(QStringLiteral("font-size")), QStringLiteral("13pt"));
    EXPECT_EQ(h2->value(QStringLiteral("font-weight")), QStringLiteral("bold"));
    EXPECT_EQ(sheet.Find(QStringLiteral("pre"))->value(QStringLiteral("background-color")),
              QStringLiteral("#fbedbb"));

    const HtmlTextStyle body = sheet.BodyStyle();
    EXPECT_EQ(body.family, QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(body.pointSize, 12);
    EXPECT_EQ(body.color, QColor(Qt::black));
    EXPECT_EQ(body.weight, QFont::Normal);

    HtmlTextStyle h6 = body;
    sheet.Apply(QStringLiteral("h6"), h6);
    EXPECT_NEAR(h6.pointSize, 12 * 0.65, 1e-9);
    EXPECT_EQ(h6.color, QColor(0x62, 0x62, 0x62));

    HtmlTextStyle comment = body;
    sheet.Apply(QStringLiteral(".cpp-comment"), comment);
    EXPECT_TRUE(comment.italic);
    EXPECT_EQ(comment.color, QColor(0, 128, 0));

    HtmlTextStyle hover = body;
    sheet.Apply(QStringLiteral("a:hover"), hover);
    EXPECT_TRUE(hover.underline);
    EXPECT_EQ(hover.color, QColor(Qt::blue));
}

TEST(StyleSheet, BrokenRulesAreSkippedAndTheRestKept) {
    HtmlStyleSheet sheet;
    sheet.Parse(QStringLiteral("} stray\r\n"
                               "h1 {font-size: 14pt; color red; ;: ; font-weight:bold\r\n"
                               "h2 {color:#ff9900}\r\n"
                               "/* a comment {color:red} */ h3 {color:blue}\r\n"
                               "b, .note {font-style: italic}\r\n"
                               "bad selector {color:green}\r\n"
                               "tail {color:green"));
    // h1 was never closed: it is dropped, h2 after it survives.
    EXPECT_EQ(sheet.Find(QStringLiteral("h1")), nullptr);
    ASSERT_NE(sheet.Find(QStringLiteral("h2")), nullptr);
    EXPECT_EQ(sheet.Find(QStringLiteral("H2"))->value(QStringLiteral("color")),
              QStringLiteral("#ff9900"));
    ASSERT_NE(sheet.Find(QStringLiteral("h3")), nullptr);
    EXPECT_EQ(sheet.Find(QStringLiteral("h3"))->value(QStringLiteral("color")),
              QStringLiteral("blue"));
    EXPECT_NE(sheet.Find(QStringLiteral("b")), nullptr);
    EXPECT_NE(sheet.Find(QStringLiteral(".note")), nullptr);
    EXPECT_EQ(sheet.Find(QStringLiteral("bad selector")), nullptr);
    EXPECT_EQ(sheet.Find(QStringLiteral("tail")), nullptr);
    EXPECT_EQ(sheet.selectors().size(), 4);

    HtmlStyleSheet empty;
    empty.Parse(QStringLiteral("{{{}}} ;;; {"));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(StyleSheet, DeclarationsChangeOnlyWhatParses) {
    HtmlTextStyle style;
    style.pointSize = 10;
    ApplyStyleDeclaration(QStringLiteral("font-size"), QStringLiteral("huge"), style);
    EXPECT_DOUBLE_EQ(style.pointSize, 10);
    ApplyStyleDeclaration(QStringLiteral("font-size"), QStringLiteral("125%"), style);
    EXPECT_DOUBLE_EQ(style.pointSize, 12.5);
    ApplyStyleDeclaration(QStringLiteral("font-size"), QStringLiteral("100000pt"), style);
    EXPECT_LE(style.pointSize, 200);
    ApplyStyleDeclaration(QStringLiteral("font-size"), QStringLiteral("-3pt"), style);
    EXPECT_GT(style.pointSize, 0);

    ApplyStyleDeclaration(QStringLiteral("color"), QStringLiteral("#12345"), style);
    EXPECT_EQ(style.color, QColor(Qt::black));
    ApplyStyleDeclaration(QStringLiteral("color"), QStringLiteral("maroon"), style);
    EXPECT_EQ(style.color, QColor(128, 0, 0));

    ApplyStyleDeclaration(QStringLiteral("font-weight"), QStringLiteral("bold"), style);
    EXPECT_EQ(style.weight, QFont::Bold);
    ApplyStyleDeclaration(QStringLiteral("font-weight"), QStringLiteral("lighter"), style);
    EXPECT_EQ(style.weight, QFont::Bold - 300);
    ApplyStyleDeclaration(QStringLiteral("font-style"), QStringLiteral("oblique"), style);
    EXPECT_TRUE(style.italic);
    ApplyStyleDeclaration(QStringLiteral("text-decoration"), QStringLiteral("line-through"), style);
    EXPECT_TRUE(style.strikeOut);
    ApplyStyleDeclaration(QStringLiteral("text-decoration"), QStringLiteral("none"), style);
    EXPECT_FALSE(style.strikeOut);
    ApplyStyleDeclaration(QStringLiteral("text-transform"), QStringLiteral("capitalize"), style);
    EXPECT_EQ(style.transformed(QStringLiteral("obtain alarm history")),
              QStringLiteral("Obtain Alarm History"));
    ApplyStyleDeclaration(QStringLiteral("font-family"), QStringLiteral("'DejaVu Sans', serif"),
                          style);
    EXPECT_EQ(style.family, QStringLiteral("DejaVu Sans"));
    ApplyStyleDeclaration(QStringLiteral("vertical-align"), QStringLiteral("vcenter"), style);
    EXPECT_EQ(style.valign, HtmlTextStyle::Middle);
    ApplyStyleDeclaration(QStringLiteral("text-align"), QStringLiteral("right"), style);
    EXPECT_EQ(style.align, HtmlTextStyle::AlignRight);
}
