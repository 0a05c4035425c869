#include "app/VelmoraApp.h"

#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class KeyboardFilterTest : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(saved); }

    // Types on the main period key and on the keypad's decimal key.
    QString type(const QLocale& locale) {
        QLocale::setDefault(locale);
        CVelmoraApp app;
        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_1);
        QTest::keyClick(&edit, Qt::Key_Period);
        mainPeriodFlag = app.lastKeyWasMainPeriod();
        QTest::keyClick(&edit, Qt::Key_2);
        QTest::keyClick(&edit, Qt::Key_Period, Qt::KeypadModifier);
        keypadFlag = app.lastKeyWasMainPeriod();
        QTest::keyClick(&edit, Qt::Key_3, Qt::KeypadModifier);
        return edit.text();
    }

    QLocale saved;
    bool mainPeriodFlag = false;
    bool keypadFlag = true;
};

TEST_F(KeyboardFilterTest, KeypadDecimalTypesTheCommaOfACommaLocale) {
    EXPECT_EQ(type(QLocale(QLocale::German, QLocale::Germany)), "1.2,3");
    EXPECT_TRUE(mainPeriodFlag);
    EXPECT_FALSE(keypadFlag);
}

TEST_F(KeyboardFilterTest, PeriodLocaleKeepsBothPeriods) {
    EXPECT_EQ(type(QLocale(QLocale::English, QLocale::UnitedStates)), "1.2.3");
}

TEST_F(KeyboardFilterTest, OnlyWhileTheApplicationObjectLives) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QLineEdit edit;
    edit.show();
    {
        CVelmoraApp app;
        QTest::keyClick(&edit, Qt::Key_Period, Qt::KeypadModifier);
    }
    QTest::keyClick(&edit, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(edit.text(), ",.");
}

TEST_F(KeyboardFilterTest, ThroughTheWindowSystem) {
    // The same keys delivered to the window as the platform delivers them.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    CVelmoraApp app;
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QWindow* window = edit.windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_4);
    QTest::keyClick(window, Qt::Key_Period, Qt::KeypadModifier);
    QTest::keyClick(window, Qt::Key_5);
    QTest::keyClick(window, Qt::Key_Period);
    EXPECT_EQ(edit.text(), "4,5.");
}

} // namespace
