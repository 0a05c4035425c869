#include "data/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = CodePage::FromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(CodePage::ToAnsi(text), all);
}

TEST(CodePage, DecodesTheWindowsRangeAndUndefinedBytes) {
    EXPECT_EQ(CodePage::FromAnsi(QByteArray("\x80")), QString(QChar(0x20AC)));
    EXPECT_EQ(CodePage::FromAnsi(QByteArray("\x8a")), QString(QChar(0x0160)));
    EXPECT_EQ(CodePage::FromAnsi(QByteArray("\x9f")), QString(QChar(0x0178)));
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const QByteArray byte(1, static_cast<char>(undefined));
        EXPECT_EQ(CodePage::FromAnsi(byte), QString(QChar(undefined)));
    }
    EXPECT_EQ(CodePage::FromAnsi(QByteArray("\xe9")), QStringLiteral("\u00e9"));
}

TEST(CodePage, EncodesRepresentableTextAndReplacesTheRest) {
    EXPECT_EQ(CodePage::ToAnsi(QStringLiteral("M\u00fcller-\u00c4\u00b0")),
              QByteArray("M\xfcller-\xc4\xb0"));
    EXPECT_EQ(CodePage::ToAnsi(QStringLiteral("\u20ac\u2122")), QByteArray("\x80\x99"));
    EXPECT_EQ(CodePage::ToAnsi(QStringLiteral("\u65e5\u672c")), QByteArray("??"));
    // A character beyond the basic plane is one character, so one "?".
    EXPECT_EQ(CodePage::ToAnsi(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
    // C1 controls that the code page maps to printable characters have no byte of their own.
    EXPECT_EQ(CodePage::ToAnsi(QString(QChar(0x0080))), QByteArray("?"));
    EXPECT_EQ(CodePage::ToAnsi(QString(QChar(0xD800))), QByteArray("?"));
    EXPECT_EQ(CodePage::ToAnsi(QString(QChar(0))), QByteArray(1, '\0'));
}
