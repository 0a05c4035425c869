// Cutting reply text into lines, and taking list answers into a record, without a port.
#include "comm/ReplyLines.h"
#include "comm/ListAnswers.h"
#include "data/DataStore.h"

#include <gtest/gtest.h>

namespace {

QString Bytes(std::initializer_list<char16_t> prefix, const char* rest) {
    QString text;
    for (const char16_t c : prefix)
        text += QChar(c);
    return text + QString::fromLatin1(rest);
}

TEST(ReplyLines, CutAtCrWithItsLfAndCleanedAtTheStart) {
    struct Case {
        const char* what;
        QString text;
        PartialLine partial;
        QStringList lines;
    };
    const QList<Case> cases = {
        {"CR LF", "K1=10\r\nOK.1\r\n", PartialLine::Keep, {"K1=10", "OK.1"}},
        {"CR alone", "CONT.3=KQ-C\rOK.3\r", PartialLine::Keep, {"CONT.3=KQ-C", "OK.3"}},
        {"mixed", "A=1\rB=2\r\nC=3\r", PartialLine::Keep, {"A=1", "B=2", "C=3"}},
        {"late LF of the previous reply", "\nK1=10\r\n", PartialLine::Keep, {"K1=10"}},
        {"partial line kept", "K1=10\r\nOK.1", PartialLine::Keep, {"K1=10", "OK.1"}},
        {"partial line dropped", "K1=10\r\nOK.1", PartialLine::Drop, {"K1=10"}},
        {"empty lines", "\r\r\n\rK2=1\r", PartialLine::Keep, {"K2=1"}},
        {"NUL",
         Bytes({0}, "OK.1\r\n") + Bytes({0}, "K1=-100\r\n"),
         PartialLine::Keep,
         {"OK.1", "K1=-100"}},
        {"0xFF", Bytes({0xFF, 0xFF}, "H0=100\r"), PartialLine::Keep, {"H0=100"}},
        {"0x80 as the code page gives it",
         Bytes({0x20AC}, "PNT1=M1\r\n"),
         PartialLine::Keep,
         {"PNT1=M1"}},
        {"ESC and DEL", Bytes({0x1B, 0x7F, 0x01}, "OK.2\r"), PartialLine::Keep, {"OK.2"}},
        {"junk line",
         Bytes({'~', '?', '#', 0xFF, 0x20AC}, "\r\nOK.1\r\n"),
         PartialLine::Keep,
         {"OK.1"}},
        // Only the start of a line is cleaned: damage inside a line stays for the reader.
        {"inside a line",
         Bytes({}, "K1=1") + QChar(0) + "2\r",
         PartialLine::Keep,
         {QString("K1=1") + QChar(0) + "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CutReplyLines(c.text, c.partial), c.lines);
    }
    EXPECT_EQ(JoinReplyLines({"K1=10", "OK.1"}), "K1=10\r\nOK.1\r\n");
}

class ListAnswers : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.CreateControllerData(slot)); }
    void TearDown() override { store.FreeControllerData(slot); }

    static QString KList(int skip = 0, int twice = 0) {
        QString text;
        for (int k = 1; k <= kKParamCount; ++k) {
            if (k != skip)
                text += QString("K%1=%2\r\n").arg(k).arg(k == 1 ? -100 : k);
            if (k == twice)
                text += QString("K%1=7\r\n").arg(k);
        }
        return text;
    }
    static QString HList() {
        QString text;
        for (int h = 0; h <= 7; ++h)
            text += QString("H%1=%2\r").arg(h).arg(100 + h);
        return text;
    }

    CDataStore store;
    ControllerDataSlot slot;
};

TEST_F(ListAnswers, ParameterListsMustNameEveryItemOnce) {
    ControllerData& data = *slot;
    data.params().K(kNodeParam) = 5;
    ASSERT_TRUE(TakeKList(store, data, "LOADING.5\r\n" + KList() + "RUN.5\r\n"));
    EXPECT_EQ(data.params().K(1), -100);
    EXPECT_EQ(data.params().K(138), 138);
    EXPECT_EQ(data.params().K(kNodeParam), 5); // present in the list, not taken
    ASSERT_TRUE(TakeHList(store, data, HList()));
    EXPECT_EQ(data.params().H(0), 100);
    EXPECT_EQ(data.params().H(7), 107);

    struct Case {
        const char* what;
        QString kList;
    };
    const QList<Case> bad = {
        {"missing K5", KList(5)},
        {"missing K38", KList(kNodeParam)},
        {"K5 twice", KList(0, 5)},
        {"K5 without a value", KList(5) + "K5\r\n"},
        {"damaged value", KList(5) + "K5=1" + QChar(0) + "2\r\n"},
        {"K139", KList() + "K139=0\r\n"},
        {"empty", ""},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(TakeKList(store, data, c.kList));
    }
    EXPECT_FALSE(TakeHList(store, data, HList().remove("H3=103\r")));
    EXPECT_FALSE(TakeHList(store, data, HList() + "H0=1\r"));
    EXPECT_FALSE(TakeHList(store, data, ""));
}

TEST_F(ListAnswers, PointListTakesPointLinesAndFailsOnAnythingElse) {
    ControllerData& data = *slot;
    const QString one = "PNT1=M1,P-10000,S100,AC100,DC100,Q100,ZL0,ZH0,N100,J0,F0,C0,T0\r\n";
    const QString two = "PNT7=M2,P5000,S50,AC90,DC80,Q100,ZL-1,ZH1,N100,J0,F0,C3,T9\r";
    const QString junk = Bytes({'~', '?', '#', 0xFF}, "\r\n");
    ASSERT_TRUE(TakePointList(store, data, "@READ PNT.2\r\n" + one + junk + two + "END.2\r\n"));
    EXPECT_EQ(data.points[0].number, 1);
    EXPECT_EQ(data.points[0].position, -10000);
    EXPECT_EQ(data.points[6].number, 7);
    EXPECT_EQ(data.points[6].call, 3);

    // A controller without points.
    ControllerDataSlot empty;
    ASSERT_TRUE(store.CreateControllerData(empty));
    EXPECT_TRUE(TakePointList(store, *empty, ""));
    for (const PointRecord& point : empty->points)
        EXPECT_FALSE(point.inUse());
    store.FreeControllerData(empty);

    const QStringList bad = {
        one + "PNT1=M1,P0\r\n",                        // twice
        "PNT0=M1,P0\r\n",                              // outside 1..255
        "PNT256=M1,P0\r\n",                            // outside 1..255
        "PNT3=M1,P1" + QString(QChar(0)) + "0,S5\r\n", // damaged inside
        "PNT3=\r\n",                                   // no fields
        "PNT3\r\n",                                    // no "="
        "XPNT3=M1,P0\r\n",                             // neither a point line nor a reply
    };
    for (const QString& answer : bad) {
        SCOPED_TRACE(answer.toStdString());
        EXPECT_FALSE(TakePointList(store, data, answer));
    }
}

} // namespace
