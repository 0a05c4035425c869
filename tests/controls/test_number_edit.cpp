#include "controls/NumberEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A dialog with the edit, a second field to take the focus, and a default button.
struct Host {
    Host() {
        auto* layout = new QVBoxLayout(&dialog);
        edit = new CNumberEdit(&dialog);
        other = new QLineEdit(&dialog);
        button = new QPushButton(QStringLiteral("OK"), &dialog);
        button->setDefault(true);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addWidget(button);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        edit->setFocus();
    }
    void Type(const QString& keys) { QTest::keyClicks(edit, keys); }
    void LeaveField() {
        other->setFocus();
        QApplication::processEvents();
    }
    QDialog dialog;
    CNumberEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    QPushButton* button = nullptr;
};

// Restores the default locale when a test changed it.
struct LocaleGuard {
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(previous); }
    QLocale previous = QLocale();
};

} // namespace

TEST(NumberEditTyping, LetsOnlyDigitsSeparatorAndSignThrough) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    host.Type(QStringLiteral("a1b 2x,3"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("123"));
    host.Type(QStringLiteral(".4.5"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("123.45")); // the second separator is dropped
}

TEST(NumberEditTyping, IntegerModeRefusesTheSeparator) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    ASSERT_TRUE(host.edit->SetIntegerMode(1));
    host.edit->clear();
    host.Type(QStringLiteral("-12.5"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("-125"));
}

TEST(NumberEditTyping, SignOnlyOnceAndOnlyInFront) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    host.Type(QStringLiteral("--5"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("-5"));

    host.edit->clear();
    host.Type(QStringLiteral("12-"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("12")); // undone at once
    EXPECT_EQ(host.edit->cursorPosition(), 2);
    QTest::keyClick(host.edit, Qt::Key_Home);
    QTest::keyClick(host.edit, '-');
    EXPECT_EQ(host.edit->text(), QStringLiteral("-12"));
}

TEST(NumberEditTyping, LengthLimitFollowsFormatAndNeverPassesNine) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    // 4 digits + 2 decimals + separator + sign.
    host.Type(QStringLiteral("-1234.567"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("-1234.56"));

    host.edit->clear();
    host.Type(QStringLiteral("12345678"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("123456")); // no separator typed: 6 characters

    ASSERT_TRUE(host.edit->SetDigits(9, 2));
    ASSERT_TRUE(host.edit->SetIntegerMode(1));
    host.edit->clear();
    host.Type(QStringLiteral("-1234567890"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("-12345678"));
    EXPECT_EQ(host.edit->text().size(), 9);
}

TEST(NumberEditTyping, SelectionIsReplacedEvenAtTheLimit) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    host.Type(QStringLiteral("-1234.56"));
    ASSERT_EQ(host.edit->text(), QStringLiteral("-1234.56"));
    host.edit->setSelection(1, 2);
    QTest::keyClick(host.edit, '7');
    EXPECT_EQ(host.edit->text(), QStringLiteral("-734.56"));

    host.edit->selectAll();
    QTest::keyClick(host.edit, '9');
    EXPECT_EQ(host.edit->text(), QStringLiteral("9"));
}

TEST(NumberEditTyping, BackspaceWorksAtTheLimit) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    host.Type(QStringLiteral("-1234.56"));
    QTest::keyClick(host.edit, Qt::Key_Backspace);
    EXPECT_EQ(host.edit->text(), QStringLiteral("-1234.5"));
    EXPECT_EQ(host.edit->SavedText(), QStringLiteral("-1234.5"));
}

TEST(NumberEditTyping, ClipboardShortcutsDoNotReachTheField) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    QApplication::clipboard()->setText(QStringLiteral("55"));
    host.Type(QStringLiteral("1"));
    QTest::keyClick(host.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(host.edit->text(), QStringLiteral("1"));
    QTest::keyClick(host.edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(host.edit, '2');
    EXPECT_EQ(host.edit->text(), QStringLiteral("12")); // nothing was selected
}

TEST(NumberEditTyping, PastedSignInsideIsUndoneWithoutLosingText) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    host.Type(QStringLiteral("5"));
    host.edit->insert(QStringLiteral("1-2"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("5"));
}

TEST(NumberEditFocus, EmptyFieldsNormaliseToTheRange) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    ASSERT_TRUE(host.edit->SetDigits(4, 2));
    ASSERT_TRUE(host.edit->SetRange(5000, 0.01));
    QSignalSpy lost(host.edit, &CNumberEdit::focusLost);
    host.LeaveField();
    EXPECT_EQ(host.edit->text(), QStringLiteral("0.01"));
    EXPECT_EQ(lost.count(), 1);

    Host intHost;
    ASSERT_TRUE(intHost.edit->SetIntegerMode(1));
    ASSERT_TRUE(intHost.edit->SetRange(300, 0));
    intHost.edit->clear();
    intHost.edit->setFocus();
    intHost.LeaveField();
    EXPECT_EQ(intHost.edit->text(), QStringLiteral("0"));
}

TEST(NumberEditFocus, ValueAboveRangeBecomesTheMaximum) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    ASSERT_TRUE(host.edit->SetRange(5000, 0.01));
    host.Type(QStringLiteral("99999"));
    host.LeaveField();
    EXPECT_EQ(host.edit->text(), QStringLiteral("5000.00"));
}

TEST(NumberEditFocus, EnterNormalisesAndReachesTheDialog) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    QSignalSpy clicked(host.button, &QPushButton::clicked);
    host.Type(QStringLiteral("-12.5"));
    QTest::keyClick(host.edit, Qt::Key_Return);
    EXPECT_EQ(host.edit->text(), QStringLiteral("-12.50"));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(NumberEditLocale, CommaLocaleTakesCommaAndRejectsPeriod) {
    const LocaleGuard guard(QLocale(QLocale::German, QLocale::Germany));
    Host host;
    ASSERT_EQ(host.edit->DecimalSeparator(), QChar(u','));
    host.Type(QStringLiteral("1.2,5"));
    EXPECT_EQ(host.edit->text(), QStringLiteral("12,5"));
    EXPECT_DOUBLE_EQ(host.edit->GetRealValue(), 12.5);
    host.LeaveField();
    EXPECT_EQ(host.edit->text(), QStringLiteral("12,50"));
    host.edit->SetRealValue(-1234.5);
    EXPECT_EQ(host.edit->text(), QStringLiteral("-1234,50"));
}

TEST(NumberEditSettings, SetRangeSetsRealAndIntegerBounds) {
    CNumberEdit edit;
    EXPECT_TRUE(edit.SetRange(300, 0));
    EXPECT_EQ(edit.RealMax(), 300.0);
    EXPECT_EQ(edit.RealMin(), 0.0);
    EXPECT_EQ(edit.IntMax(), 300);
    EXPECT_EQ(edit.IntMin(), 0);

    // Both truncate to 0: the real range is set, the integer range stays.
    EXPECT_FALSE(edit.SetRange(0.5, 0.2));
    EXPECT_EQ(edit.RealMax(), 0.5);
    EXPECT_EQ(edit.RealMin(), 0.2);
    EXPECT_EQ(edit.IntMax(), 300);
    EXPECT_EQ(edit.IntMin(), 0);

    // max below min: the real range stays, the integer range is refused as well.
    EXPECT_FALSE(edit.SetRange(1.0, 5.0));
    EXPECT_EQ(edit.RealMax(), 0.5);
    EXPECT_EQ(edit.IntMax(), 300);

    // Huge bounds saturate instead of overflowing.
    EXPECT_TRUE(edit.SetRange(1e12, -1e12));
    EXPECT_EQ(edit.IntMax(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(edit.IntMin(), std::numeric_limits<std::int32_t>::min());
}

TEST(NumberEditSettings, RefusedArgumentsChangeNothing) {
    CNumberEdit edit;
    edit.setText(QStringLiteral("12.75"));
    EXPECT_FALSE(edit.SetIntegerMode(2));
    EXPECT_EQ(edit.IntegerMode(), 0);
    EXPECT_EQ(edit.text(), QStringLiteral("12.75"));

    for (auto [digits, places] : {std::pair{0, 2}, {11, 2}, {4, 0}, {4, 6}}) {
        EXPECT_FALSE(edit.SetRealFormat(digits, places)) << digits << "," << places;
        EXPECT_EQ(edit.IntegerDigits(), 4);
        EXPECT_EQ(edit.Decimals(), 2);
    }
    EXPECT_FALSE(edit.SetIntRange(5, 5));
    EXPECT_EQ(edit.IntMax(), 999999999);

    // Ten digits suit the real format only.
    EXPECT_FALSE(edit.SetDigits(10, 3));
    EXPECT_EQ(edit.IntegerDigits(), 10);
    EXPECT_EQ(edit.Decimals(), 3);
    EXPECT_EQ(edit.IntModeDigits(), 8);
    EXPECT_EQ(edit.text(), QStringLiteral("12.750"));

    EXPECT_TRUE(edit.SetDigits(4, 3));
    EXPECT_EQ(edit.IntModeDigits(), 4);
}

TEST(NumberEditSettings, SwitchingModeNormalises) {
    const LocaleGuard guard(QLocale::c());
    CNumberEdit edit;
    edit.setText(QStringLiteral("12.75"));
    EXPECT_TRUE(edit.SetIntegerMode(1));
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    EXPECT_TRUE(edit.SetIntegerMode(0));
    EXPECT_EQ(edit.text(), QStringLiteral("12.00"));
}

TEST(NumberEditValues, SettersClampAndRound) {
    const LocaleGuard guard(QLocale::c());
    CNumberEdit edit;
    ASSERT_TRUE(edit.SetIntRange(300, -5));
    edit.SetIntValue(1000);
    EXPECT_EQ(edit.text(), QStringLiteral("300"));
    edit.SetIntValue(-7);
    EXPECT_EQ(edit.text(), QStringLiteral("-5"));

    edit.SetRealValue(2.125);
    EXPECT_EQ(edit.text(), QStringLiteral("2.13")); // 2.125 is exact in binary: rounds up
    edit.SetRealValue(-0.001);
    EXPECT_EQ(edit.text(), QStringLiteral("0.00"));
    edit.SetRealValue(std::nan(""));
    EXPECT_EQ(edit.text(), QStringLiteral("0.00"));
    edit.SetRealValue(-1e9);
    EXPECT_EQ(edit.text(), QStringLiteral("-9999.00"));
}

TEST(NumberEditValues, GettersParseLeniently) {
    const LocaleGuard guard(QLocale::c());
    CNumberEdit edit;
    const auto intOf = [&edit](const char* text) {
        edit.setText(QString::fromLatin1(text));
        return edit.GetIntValue();
    };
    EXPECT_EQ(intOf("  12abc"), 12);
    EXPECT_EQ(intOf("-12abc"), -12);
    EXPECT_EQ(intOf("+7"), 7);
    EXPECT_EQ(intOf("abc"), 0);
    EXPECT_EQ(intOf("-"), 0);
    EXPECT_EQ(intOf("3.9"), 3);
    EXPECT_EQ(intOf("99999999999"), std::numeric_limits<std::int32_t>::max());

    const auto realOf = [&edit](const char* text) {
        edit.setText(QString::fromLatin1(text));
        return edit.GetRealValue();
    };
    EXPECT_DOUBLE_EQ(realOf(" 1.5x"), 1.5);
    EXPECT_DOUBLE_EQ(realOf("-1.5x"), -1.5);
    EXPECT_DOUBLE_EQ(realOf(".5"), 0.5);
    EXPECT_DOUBLE_EQ(realOf("."), 0.0);
    EXPECT_DOUBLE_EQ(realOf("7."), 7.0);
    EXPECT_DOUBLE_EQ(realOf("1e5"), 1.0); // no exponents: typing cannot produce them
}

TEST(NumberEditColours, TextAndBackgroundReachThePaintedField) {
    CNumberEdit edit;
    edit.resize(120, 28);
    edit.SetTextColor(0x0000FF); // red in the low byte
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(255, 0, 0));
    edit.SetBackColor(0x00FFFF);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(255, 255, 0));
    edit.SetBackgroundBrush(QColor(10, 20, 30));
    EXPECT_TRUE(edit.HasBackgroundBrush());
    const QImage image = edit.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(10, 20, 30));
    edit.ClearBackgroundBrush();
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(255, 255, 0));
}

TEST(NumberEditTyping, InputMethodTextIsFilteredLikeKeys) {
    const LocaleGuard guard(QLocale::c());
    Host host;
    host.edit->setReadOnly(true);
    host.edit->setReadOnly(false); // turns input methods back on in the base class
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("4x2.-5.1"));
    QApplication::sendEvent(host.edit, &commit);
    EXPECT_EQ(host.edit->text(), QStringLiteral("42.51"));
}
