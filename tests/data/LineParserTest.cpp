#include "data/DataStore.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class LineParser : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.CreateControllerData(slot)); }

    CDataStore store;
    ControllerDataSlot slot;
};

const PointRecord kSample{7, 1, 10000, 100, 100, 100, 100, 0, 0, 100, 0, 0, 0, 0};

} // namespace

TEST_F(LineParser, PointLineRoundTrip) {
    const QString line = FormatPointLine(kSample);
    EXPECT_EQ(line,
              QStringLiteral("PNT7=M1,P10000,S100,AC100,DC100,Q100,ZL0,ZH0,N100,J0,F0,C0,T0"));
    store.ParsePointLine(*slot, line);
    EXPECT_EQ(slot->points[6], kSample);

    const PointRecord negative{255, 8,  -5000, -1, -2, -3,  -4,
                               -5,  -6, -7,    -8, -9, -10, std::numeric_limits<int32_t>::min()};
    store.ParsePointLine(*slot, FormatPointLine(negative));
    EXPECT_EQ(slot->points[254], negative);
}

TEST_F(LineParser, PointLinesOutsideTheTableOrWithoutRunTypeChangeNothing) {
    slot->points[0] = kSample;
    const auto before = slot->points;
    store.ParsePointLine(*slot, u"PNT0=M1,P5");
    store.ParsePointLine(*slot, u"PNT256=M1,P5");
    store.ParsePointLine(*slot, u"PNT-1=M1,P5");
    store.ParsePointLine(*slot, u"PNT1=M0,P5,S5");
    store.ParsePointLine(*slot, u"PNT1=M-2,P5,S5");
    store.ParsePointLine(*slot, u"PNT1=P5,S5");
    store.ParsePointLine(*slot, u"PNT1");
    store.ParsePointLine(*slot, u"pnt2=M1,P5");
    store.ParsePointLine(*slot, u"XPNT2=M1,P5");
    EXPECT_EQ(slot->points, before);
}

TEST_F(LineParser, ShortPointLineZeroesTheLaterFields) {
    slot->points[2] = PointRecord{3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    store.ParsePointLine(*slot, u"PNT3=M2,P-250,S40");
    EXPECT_EQ(slot->points[2], (PointRecord{3, 2, -250, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // A missing tag ends the line: that field and every later one become 0.
    store.ParsePointLine(*slot, u"PNT3=M2,P1,S2,DC4,Q5");
    EXPECT_EQ(slot->points[2], (PointRecord{3, 2, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Non-numeric values read as 0, oversized ones saturate.
    store.ParsePointLine(*slot, u"PNT3=M1,Pxx,S99999999999");
    EXPECT_EQ(slot->points[2].position, 0);
    EXPECT_EQ(slot->points[2].speed, std::numeric_limits<int32_t>::max());
}

TEST_F(LineParser, PointReplyWithoutItsKey) {
    PointRecord point = kSample;
    EXPECT_FALSE(ParsePointReply(point, 12, u"time out"));
    EXPECT_EQ(point, kSample);
    EXPECT_TRUE(ParsePointReply(point, 12, u"M3,P1,S2,AC3,DC4,Q5,ZL6,ZH7,N8,J9,F10,C11,T12"));
    EXPECT_EQ(point, (PointRecord{12, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(LineParser, KAndHLines) {
    store.ParseKLine(*slot, FormatKLine(2, 15000));
    store.ParseKLine(*slot, u"K138=-7");
    store.ParseKLine(*slot, u"K5=99999999999");
    store.ParseHLine(*slot, u"H0=-2427");
    store.ParseHLine(*slot, FormatHLine(7, 3));
    store.ParseHLine(*slot, u"H5=55");
    EXPECT_EQ(FormatKLine(2, 15000), QStringLiteral("K2=15000"));
    EXPECT_EQ(FormatHLine(0, -1), QStringLiteral("H0=-1"));
    EXPECT_EQ(slot->params().K(2), 15000);
    EXPECT_EQ(slot->params().values[137], -7);
    EXPECT_EQ(slot->params().K(5), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(slot->params().values[138], -2427);
    EXPECT_EQ(slot->params().values[145], 3);
    EXPECT_EQ(slot->params().H(5), 55);

    const auto before = slot->params().values;
    store.ParseKLine(*slot, u"K0=1");
    store.ParseKLine(*slot, u"K139=1");
    store.ParseKLine(*slot, u"H1=1");
    store.ParseHLine(*slot, u"H8=1");
    store.ParseHLine(*slot, u"H-1=1");
    store.ParseHLine(*slot, u"K1=1");
    // Without "=" a line is no parameter line: neither its own number nor 0 takes a zero.
    store.ParseKLine(*slot, u"K5");
    store.ParseHLine(*slot, u"H5");
    store.ParseHLine(*slot, u"H0");
    store.ParseHLine(*slot, u"HELLO");
    EXPECT_EQ(slot->params().values, before);
}
