// The StrRef jump and the text search.

#include "TlkWindowFixture.h"

#include "StringGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

// "Яблоко" in Windows-1251.
const char* const kAppleRu = "\xDF\xE1\xEB\xEE\xEA\xEE";

const std::vector<TlkRecord> kFruit = {
    {"Apple pie", "vo_apple", ""},   // StrRef 0, row 1
    {"banana", "", ""},              // 1, row 2
    {"green APPLE", "", ""},         // 2, row 3
    {"none", "VO_APPLE2", ""},       // 3, row 4
    {"an apple", "", ""},            // 4, row 5
    {kAppleRu, "", ""},              // 5, row 6
};

} // namespace

class TlkSearchTest : public TlkWindowTest {
protected:
    void SetUp() override
    {
        TlkWindowTest::SetUp();
        if (HasFatalFailure()) return;
        open(putTable("fruit.tlk", kFruit));
        ASSERT_EQ(rowCount(), 7);
    }

    void gotoStrRef(const QString& text)
    {
        form->Edit1->setText(text);
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    }

    void find(const QString& text, int where = 0)
    {
        form->ComboBox1->setCurrentIndex(where);
        form->Edit2->setText(text);
        QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
    }

    // The find result as the user sees it, once the tool bar has laid it out.
    QString result() const
    {
        QCoreApplication::processEvents();
        return form->Label6->isVisible() ? form->Label6->text() : QString();
    }
};

// ---- Goto StrRef ----------------------------------------------------------------

struct GotoCase {
    const char* name;
    const char* text;
    enum Outcome { Row, ConversionFailure, MissingStrRef } outcome;
    int row;
};
void PrintTo(const GotoCase& c, std::ostream* os) { *os << c.name; }

class GotoTest : public TlkSearchTest, public ::testing::WithParamInterface<GotoCase> {};

TEST_P(GotoTest, SelectsTheRowOrSaysWhy)
{
    const GotoCase& c = GetParam();
    ASSERT_TRUE(form->StringGrid1->setCurrentCell(0, 2));
    form->ComboBox1->setFocus();
    if (c.outcome != GotoCase::Row) dialogs.answerMessage(mbOK);

    gotoStrRef(QString::fromUtf8(c.text));

    switch (c.outcome) {
    case GotoCase::Row:
        EXPECT_TRUE(dialogs.messages().isEmpty());
        EXPECT_EQ(form->StringGrid1->row(), c.row);
        EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
        break;
    case GotoCase::ConversionFailure:
        expectLastBox("Ошибка",
                      QString("Ошибка преобразования строки в целое число.\nSysem message:\n'%1' is not a valid "
                              "integer value")
                          .arg(QString::fromUtf8(c.text)),
                      mbOK, MsgIcon::Error);
        EXPECT_EQ(form->StringGrid1->row(), 2);
        EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
        break;
    case GotoCase::MissingStrRef:
        expectLastBox("Ошибка",
                      "Скорее всего строки с таким StrRef'ом тут нету.  Гы-гы 8-).\nSysem message:\nGrid index out "
                      "of range",
                      mbOK, MsgIcon::Error);
        EXPECT_EQ(form->StringGrid1->row(), 2);
        EXPECT_EQ(QApplication::focusWidget(), form->ComboBox1);
        break;
    }
    EXPECT_FALSE(form->Modified);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GotoTest,
    ::testing::Values(GotoCase{"First", "0", GotoCase::Row, 1}, GotoCase{"Last", "5", GotoCase::Row, 6},
                      GotoCase{"LeadingSpaces", "  3", GotoCase::Row, 4}, GotoCase{"Hexadecimal", "0x4", GotoCase::Row, 5},
                      GotoCase{"Empty", "", GotoCase::ConversionFailure, 0},
                      GotoCase{"TrailingSpace", "3 ", GotoCase::ConversionFailure, 0},
                      GotoCase{"Letters", "abc", GotoCase::ConversionFailure, 0},
                      GotoCase{"OnePastTheLast", "6", GotoCase::MissingStrRef, 0},
                      GotoCase{"Negative", "-1", GotoCase::MissingStrRef, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TlkSearchTest, EnterInTheGotoBoxJumps)
{
    form->Edit1->setFocus();
    form->Edit1->setText("4");
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    EXPECT_EQ(form->StringGrid1->row(), 5);
    EXPECT_EQ(form->StaticText1->text(), "an apple");
}

// ---- Find string ----------------------------------------------------------------

TEST_F(TlkSearchTest, RepeatedFindVisitsTheMatchesDownwardThenSaysNotFound)
{
    ASSERT_EQ(form->StringGrid1->row(), 1); // "Apple pie": the row Find starts below
    form->Edit2->setFocus();
    form->Edit2->setText("apple");

    QTest::keyClick(form->Edit2, Qt::Key_Return);
    EXPECT_EQ(form->StringGrid1->row(), 3);
    EXPECT_EQ(result(), "Gotcha!!!");
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(QApplication::focusWidget(), form->Edit2);

    QTest::keyClick(form->Edit2, Qt::Key_Return);
    EXPECT_EQ(form->StringGrid1->row(), 5);
    EXPECT_EQ(form->StaticText1->text(), "an apple");

    QTest::keyClick(form->Edit2, Qt::Key_Return);
    EXPECT_EQ(form->StringGrid1->row(), 5);
    EXPECT_EQ(result(), "Not found");

    // The result goes away by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return result().isEmpty(); }, 3000));
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(form->Modified);
}

struct FindCase {
    const char* name;
    int where; // 0 texts, 1 sound references
    const char* text;
    int row; // 0: not found
};
void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindTest : public TlkSearchTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindTest, FindsTheFirstMatchBelowTheCurrentRow)
{
    const FindCase& c = GetParam();
    find(QString::fromUtf8(c.text), c.where);
    EXPECT_EQ(form->StringGrid1->row(), c.row ? c.row : 1);
    EXPECT_EQ(result(), c.row ? "Gotcha!!!" : "Not found");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FindTest,
    ::testing::Values(FindCase{"CapitalsFindSmallLetters", 0, "BANANA", 2},
                      FindCase{"CyrillicIgnoresCase", 0, "ЯБЛОКО", 6},
                      FindCase{"SoundReferencesOnly", 1, "apple", 4},
                      FindCase{"TextsAreNotSoundReferences", 1, "banana", 0},
                      FindCase{"EmptyFindsNothing", 0, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });
