#include "data/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Conversions, StandardIntegerParsing) {
    EXPECT_EQ(ParseStandardInteger(u"42"), 42);
    EXPECT_EQ(ParseStandardInteger(u" \t-17xyz"), -17);
    EXPECT_EQ(ParseStandardInteger(u"+5,3"), 5);
    EXPECT_EQ(ParseStandardInteger(u"0050000"), 50000);
    EXPECT_EQ(ParseStandardInteger(u""), 0);
    EXPECT_EQ(ParseStandardInteger(u"abc"), 0);
    EXPECT_EQ(ParseStandardInteger(u"-"), 0);
    EXPECT_EQ(ParseStandardInteger(u"- 5"), 0);
    EXPECT_EQ(ParseStandardInteger(u"2147483647"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseStandardInteger(u"-2147483648"), std::numeric_limits<int32_t>::min());
}

TEST(Conversions, StandardIntegerSaturates) {
    EXPECT_EQ(ParseStandardInteger(u"2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseStandardInteger(u"99999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseStandardInteger(u"-2147483649"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ParseStandardInteger(u"-99999999999"), std::numeric_limits<int32_t>::min());
    const QString million(1'000'000, QLatin1Char('9'));
    EXPECT_EQ(ParseStandardInteger(million), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseStandardInteger(QLatin1Char('-') + million),
              std::numeric_limits<int32_t>::min());
}

TEST(Conversions, FormatScaled) {
    EXPECT_EQ(FormatScaled(12345, 2), QStringLiteral("123.45"));
    EXPECT_EQ(FormatScaled(12345, 0), QStringLiteral("12345"));
    EXPECT_EQ(FormatScaled(-5, 1), QStringLiteral("-0.5"));
    EXPECT_EQ(FormatScaled(-1, 3), QStringLiteral("-0.001"));
    EXPECT_EQ(FormatScaled(2000, 2), QStringLiteral("20.00"));
    // Negative place counts show the integer as it is.
    EXPECT_EQ(FormatScaled(77, -1), QStringLiteral("77"));
}

TEST(Conversions, ScaleToIntegerTruncatesAfterTheSmallCorrection) {
    EXPECT_EQ(ScaleToInteger(1.234, 2), 123);
    EXPECT_EQ(ScaleToInteger(50.0, 2), 5000);
    EXPECT_EQ(ScaleToInteger(1.2349, 3), 1234);
    EXPECT_EQ(ScaleToInteger(-1.5, 0), -1);
    EXPECT_EQ(ScaleToInteger(2.9999999, 0), 3);
    EXPECT_EQ(ScaleToInteger(-0.29, 1), -2);
    EXPECT_EQ(ScaleToInteger(1.5, -2), 1);
    EXPECT_EQ(ScaleToInteger(1.5, 12), 1'500'000'000'000);
    EXPECT_EQ(ScaleToInteger(std::nan(""), 2), 0);
    EXPECT_EQ(ScaleToInteger(1e300, 3), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ScaleToInteger(-1e300, 3), std::numeric_limits<int64_t>::min());
}

TEST(Conversions, IpValuesAndDottedText) {
    EXPECT_EQ(IpTextToValue(QStringLiteral("192.168.0.1")), 0xC0A80001u);
    EXPECT_EQ(IpValueToText(0xC0A80001u), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(IpValueToText(0xFFFFFFFFu), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(IpTextToValue(QStringLiteral("1.2")), 0x01020000u);
    EXPECT_EQ(IpTextToValue(QStringLiteral("256.x.1.1")), 0x00000101u);
}

TEST(Conversions, HexTextToValueUsesTheLastEightCharacters) {
    EXPECT_EQ(HexTextToValue(QStringLiteral("c0a80001")), 0xC0A80001u);
    EXPECT_EQ(HexTextToValue(QStringLiteral("1c0a80001")), 0xC0A80001u);
    EXPECT_EQ(HexTextToValue(QStringLiteral("C0A80001")), 0xC0A80001u);
    EXPECT_EQ(HexTextToValue(QStringLiteral("00zz")), 0u);
    EXPECT_EQ(HexTextToValue(QStringLiteral("z1")), 1u);
}

TEST(Conversions, IpTextToHex) {
    QString hex = QStringLiteral("stale");
    EXPECT_EQ(IpTextToHex(QStringLiteral("192.168.0.1"), hex), 0);
    EXPECT_EQ(hex, QStringLiteral("c0a80001"));
    EXPECT_EQ(IpTextToHex(QStringLiteral("1.2..4"), hex), 0);
    EXPECT_EQ(hex, QStringLiteral("01020004"));
    EXPECT_EQ(IpTextToHex(QStringLiteral("1.2.3.4."), hex), 0);
    EXPECT_EQ(hex, QStringLiteral("01020304"));
    for (const char* bad : {"192.168.0", "1.2.3.", "1.2.3.4.5", "1.2.3.256", "256.0.0.1",
                            "1.2.3.4..", "1.2.3.0004", "1.2.3.-4", "1.2.3. 4", "", "a.b.c.d"}) {
        hex = QStringLiteral("stale");
        EXPECT_EQ(IpTextToHex(QString::fromLatin1(bad), hex), -1) << bad;
        EXPECT_TRUE(hex.isEmpty()) << bad;
    }
}

TEST(Conversions, IpHexToText) {
    QString dotted;
    EXPECT_EQ(IpHexToText(QStringLiteral("c0a80001"), dotted), 0);
    EXPECT_EQ(dotted, QStringLiteral("192.168.0.1"));
    EXPECT_EQ(IpHexToText(QStringLiteral("C0A80001FF"), dotted), 0);
    EXPECT_EQ(dotted, QStringLiteral("192.168.0.1"));
    for (const char* bad : {"c0a8", "", "c0a80g01", "c0a800 1"}) {
        dotted = QStringLiteral("stale");
        EXPECT_EQ(IpHexToText(QString::fromLatin1(bad), dotted), -1) << bad;
        EXPECT_TRUE(dotted.isEmpty()) << bad;
    }
}

TEST(Conversions, HexByteValue) {
    EXPECT_EQ(HexByteValue(QStringLiteral("ff")), 255);
    EXPECT_EQ(HexByteValue(QStringLiteral("0A")), 10);
    EXPECT_EQ(HexByteValue(QStringLiteral("a0")), 160);
    EXPECT_EQ(HexByteValue(QStringLiteral("g0")), -1);
    EXPECT_EQ(HexByteValue(QStringLiteral("0x")), -1);
}

TEST(Conversions, FormatMinutesDhm) {
    EXPECT_EQ(FormatMinutesDhm(59), QStringLiteral("0:00:59"));
    EXPECT_EQ(FormatMinutesDhm(1440), QStringLiteral("1:00:00"));
    EXPECT_EQ(FormatMinutesDhm(1500), QStringLiteral("1:01:00"));
    EXPECT_EQ(FormatMinutesDhm(0xFFFFFFFFu), QStringLiteral("2982616:04:15"));
}

TEST(Conversions, SplitFirst) {
    QString text = QStringLiteral("K12=5");
    EXPECT_EQ(SplitFirst(text, QStringLiteral("=")), QStringLiteral("K12"));
    EXPECT_EQ(text, QStringLiteral("5"));
    text = QStringLiteral("abc");
    EXPECT_EQ(SplitFirst(text, QStringLiteral("=")), QStringLiteral("abc"));
    EXPECT_TRUE(text.isEmpty());
    text = QStringLiteral("a::b::c");
    EXPECT_EQ(SplitFirst(text, QStringLiteral("::")), QStringLiteral("a"));
    EXPECT_EQ(text, QStringLiteral("b::c"));
}

TEST(Conversions, FileExtensionOf) {
    EXPECT_EQ(FileExtensionOf(QStringLiteral("/tmp/backup.kqd")), QStringLiteral("kqd"));
    EXPECT_EQ(FileExtensionOf(QStringLiteral("/tmp/a.b.alr")), QStringLiteral("alr"));
    EXPECT_EQ(FileExtensionOf(QStringLiteral("/tmp/backup")), QString());
    EXPECT_EQ(FileExtensionOf(QStringLiteral("/tmp/v1.2/backup")), QString());
    EXPECT_EQ(FileExtensionOf(QStringLiteral("backup.")), QString());
}
