#include "TLMDSpinEdit.h"

#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        spin.setMinValue(0);
        spin.setMaxValue(100);
    }
    void type(const QString& text)
    {
        spin.clear();
        QTest::keyClicks(&spin, text);
    }
    void leave()
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&spin, &out);
    }

    TLMDSpinEdit spin;
};

TEST_F(SpinEditTest, SettingTheValueClampsIt)
{
    struct Case {
        int set;
        int expected;
    };
    for (const Case& c : {Case{50, 50}, Case{0, 0}, Case{100, 100}, Case{101, 100}, Case{-1, 0}, Case{INT_MAX, 100}}) {
        spin.setValue(c.set);
        EXPECT_EQ(spin.value(), c.expected) << c.set;
        EXPECT_EQ(spin.text(), QString::number(c.expected)) << c.set;
    }
    // A new range clamps what is shown.
    spin.setValue(80);
    spin.setMaxValue(40);
    EXPECT_EQ(spin.text(), "40");
    spin.setMinValue(60);
    EXPECT_EQ(spin.text(), "60");
}

TEST_F(SpinEditTest, ReadingParsesTheTextAndUnparsableTextReadsAsMinValue)
{
    spin.setMinValue(7);
    struct Case {
        const char* typed;
        int value;
        const char* textAfter;
    };
    const Case cases[] = {
        {"42", 42, "42"},        {"+42", 42, "+42"},        {"0042", 42, "0042"},
        {"500", 100, "500"},     {"-3", 7, "-3"},           {"99999999999", 100, "99999999999"},
        {"", 7, "7"},            {"-", 7, "7"},             {"+-5", 7, "7"},
        {"4-2", 7, "7"},
    };
    for (const Case& c : cases) {
        type(c.typed);
        ASSERT_EQ(spin.text(), c.typed);
        EXPECT_EQ(spin.value(), c.value) << c.typed;
        EXPECT_EQ(spin.text(), c.textAfter) << c.typed;
    }
}

TEST_F(SpinEditTest, LeavingTheBoxClampsWhatWasTyped)
{
    spin.setMinValue(10);
    struct Case {
        const char* typed;
        const char* shown;
    };
    for (const Case& c : {Case{"500", "100"}, Case{"3", "10"}, Case{"-", "10"}, Case{"55", "55"}}) {
        type(c.typed);
        leave();
        EXPECT_EQ(spin.text(), c.shown) << c.typed;
    }
}

TEST_F(SpinEditTest, OnlyDigitsAndSignsCanBeTyped)
{
    type("1a2 .3,x+-$");
    EXPECT_EQ(spin.text(), "123+-");
    spin.setEditorEnabled(false);
    spin.setValue(5);
    QTest::keyClicks(&spin, "9");
    EXPECT_EQ(spin.text(), "5");
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 6) << "stepping works without the editor";
}

TEST_F(SpinEditTest, KeysStepByOneAndByTenWithinTheRange)
{
    struct Case {
        int start;
        Qt::Key key;
        int expected;
    };
    const Case cases[] = {
        {50, Qt::Key_Up, 51},       {50, Qt::Key_Down, 49},    {50, Qt::Key_PageUp, 60},
        {50, Qt::Key_PageDown, 40}, {95, Qt::Key_PageUp, 100}, {5, Qt::Key_PageDown, 0},
        {100, Qt::Key_Up, 100},     {0, Qt::Key_Down, 0},
    };
    for (const Case& c : cases) {
        spin.setValue(c.start);
        QTest::keyClick(&spin, c.key);
        EXPECT_EQ(spin.value(), c.expected) << c.start << " key " << std::hex << c.key;
    }
    spin.setValue(50);
    spin.setEnabled(false);
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 50) << "a disabled box does not step";
}

TEST_F(SpinEditTest, ChangeSignalFollowsEveryChangeOfTheShownValue)
{
    spin.setValue(3);
    QSignalSpy changed(&spin, &TLMDSpinEdit::valueChanged);
    spin.setValue(4);
    spin.setValue(4); // no change
    QTest::keyClick(&spin, Qt::Key_Up);
    spin.setValue(200);
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[0][0], 4);
    EXPECT_EQ(changed[1][0], 5);
    EXPECT_EQ(changed[2][0], 100);
}

} // namespace
