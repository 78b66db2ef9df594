// The row commands and the record dialog: Add Row, Edit Row, Clear Row.

#include "TlkBytes.h"
#include "TlkWindowFixture.h"

#include "StringGrid.h"
#include "TLMDSpinEdit.h"
#include "Tlkeditrecunit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const std::vector<TlkRecord> kThree = {
    {"Hello", "vo_hello", "1.5"},
    {"first\r\nsecond", "vo_two", "2.25"},
    {"", "", ""},
};

} // namespace

class TlkRowTest : public TlkWindowTest {
protected:
    // A double-click on a row as the platform delivers it: press, release,
    // press within the double-click time, release.
    void doubleClickRow(int r)
    {
        StringGrid* grid = form->StringGrid1;
        const QPoint pos = grid->cellRect(1, r).center();
        ASSERT_FALSE(pos.isNull()) << "row " << r << " is not in view";
        QTest::mouseDClick(frame->windowHandle(), Qt::LeftButton, {}, grid->viewport()->mapTo(frame.get(), pos));
    }
};

// ---- Add Row ----------------------------------------------------------------

struct CloseWay {
    const char* name;
    void (*close)(TTERForm&);
};
void PrintTo(const CloseWay& c, std::ostream* os) { *os << c.name; }

class AddRowClosedTest : public TlkRowTest, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(AddRowClosedTest, OffersTheNextStrRefAndAddsNothing)
{
    bool shown = false;
    whenModal<TTERForm>([&](TTERForm& d) {
        shown = true;
        EXPECT_EQ(d.windowTitle(), "Edit tlk record");
        EXPECT_EQ(d.LMDSpinEdit1->minValue(), 1);
        EXPECT_EQ(d.LMDSpinEdit1->maxValue(), 16777215);
        EXPECT_EQ(d.LMDSpinEdit1->value(), 1);
        EXPECT_TRUE(d.LMDSpinEdit1->isEnabled());
        EXPECT_EQ(d.Memo1->toPlainText(), "");
        EXPECT_EQ(d.Edit1->text(), "");
        EXPECT_EQ(d.Edit2->text(), "");
        d.Memo1->setPlainText("typed but not kept");
        GetParam().close(d);
    });
    form->tbAddRowClick();

    EXPECT_TRUE(shown);
    EXPECT_EQ(rowCount(), 2);
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(modifiedShown());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AddRowClosedTest,
    ::testing::Values(CloseWay{"CancelButton", [](TTERForm& d) { QTest::mouseClick(d.BitBtn2, Qt::LeftButton); }},
                      CloseWay{"Escape", [](TTERForm& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
                      CloseWay{"CloseBox", [](TTERForm& d) { d.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TlkRowTest, AddRowThreeAfterTheLastEntryAddsBlankRowsAndSelectsTheRecord)
{
    open(putTable("three.tlk", kThree));
    whenModal<TTERForm>([](TTERForm& d) {
        QTest::keyClicks(d.Memo1, "first");
        QTest::keyClick(d.Memo1, Qt::Key_Return);
        QTest::keyClicks(d.Memo1, "second");
        d.LMDSpinEdit1->setValue(6);
        QTest::keyClicks(d.Edit1, "VO_GREET01");
        QTest::keyClicks(d.Edit2, " 1.5 ");
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    form->tbAddRowClick();

    ASSERT_EQ(rowCount(), 8);
    EXPECT_EQ(row(3), QStringList({"2", "", "", ""}));
    for (int r = 4; r <= 6; ++r) EXPECT_EQ(row(r), QStringList({QString::number(r - 1), "", "", ""}));
    EXPECT_EQ(row(7), QStringList({"6", "first\nsecond", "vo_greet01", " 1.5 "}));
    EXPECT_EQ(form->StringGrid1->row(), 7);
    EXPECT_EQ(form->StaticText1->text(), "first\nsecond");
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
}

TEST_F(TlkRowTest, AddRowWithATypedStrRefBelowTheNextNeverOverwritesAnEntry)
{
    open(putTable("three.tlk", kThree));
    whenModal<TTERForm>([](TTERForm& d) {
        d.Memo1->setPlainText("new");
        d.LMDSpinEdit1->setFocus();
        QTest::keyClick(d.LMDSpinEdit1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(d.LMDSpinEdit1, "1");
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    form->tbAddRowClick();

    ASSERT_EQ(rowCount(), 5);
    EXPECT_EQ(row(2), QStringList({"1", "first\r\nsecond", "vo_two", "2.25"}));
    EXPECT_EQ(row(4), QStringList({"3", "new", "", ""}));
}

// ---- the duration check -------------------------------------------------------

struct DurationCase {
    const char* name;
    char separator;
    const char* typed;
    bool accepted;
};
void PrintTo(const DurationCase& c, std::ostream* os) { *os << c.name; }

class DurationCheckTest : public TlkRowTest, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(DurationCheckTest, RefusedDurationKeepsTheDialogOpenWithItsValues)
{
    const DurationCase& c = GetParam();
    form->setDecimalSeparator(c.separator);
    bool stayedOpen = false;
    whenModal<TTERForm>([&](TTERForm& d) {
        d.Memo1->setPlainText("text");
        d.Edit2->setText(c.typed);
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        if (c.accepted) return;
        stayedOpen = d.isVisible();
        EXPECT_EQ(d.focusWidget(), d.Edit2);
        EXPECT_EQ(d.Memo1->toPlainText(), "text");
        EXPECT_EQ(d.Edit2->text(), c.typed);
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
    });
    if (!c.accepted) dialogs.answerMessage(mbOK);
    form->tbAddRowClick();

    if (c.accepted) {
        ASSERT_EQ(rowCount(), 3);
        EXPECT_EQ(row(2), QStringList({"1", "text", "", c.typed}));
        EXPECT_TRUE(dialogs.messages().isEmpty());
    } else {
        EXPECT_TRUE(stayedOpen);
        expectLastBox("Ошибка",
                      QString("Ошибка преобразования строки в дробное число.\nSysem message:\n'%1' is not a valid "
                              "floating point value")
                          .arg(c.typed),
                      mbOK, MsgIcon::Error);
        EXPECT_EQ(rowCount(), 2);
        EXPECT_FALSE(form->Modified);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DurationCheckTest,
    ::testing::Values(DurationCase{"CommaWhereThePointIsTheSeparator", '.', "1,5", false},
                      DurationCase{"PointWhereTheCommaIsTheSeparator", ',', "1.5", false},
                      DurationCase{"Letters", ',', "abc", false},
                      DurationCase{"CommaWithBlanksAround", ',', " 1,5 ", true},
                      DurationCase{"PointWithExponent", '.', "2.5e1", true},
                      DurationCase{"Empty", '.', "", true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Edit Row -----------------------------------------------------------------

TEST_F(TlkRowTest, DoubleClickOnARowEditsItInTheRecordDialog)
{
    open(putTable("three.tlk", kThree));
    bool shown = false;
    whenModal<TTERForm>([&](TTERForm& d) {
        shown = true;
        EXPECT_EQ(d.LMDSpinEdit1->value(), 1);
        EXPECT_FALSE(d.LMDSpinEdit1->isEnabled());
        EXPECT_EQ(d.Memo1->toPlainText(), "first\nsecond");
        EXPECT_EQ(d.Edit1->text(), "vo_two");
        EXPECT_EQ(d.Edit2->text(), "2.25");
        d.Memo1->appendPlainText("third");
        d.Edit1->setText("vo_changed");
        d.Edit2->clear();
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    doubleClickRow(2);

    ASSERT_TRUE(shown);
    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(row(2), QStringList({"1", "first\nsecond\nthird", "vo_changed", ""}));
    EXPECT_EQ(row(1), QStringList({"0", "Hello", "vo_hello", "1.5"}));
    EXPECT_EQ(form->StringGrid1->row(), 2);
    EXPECT_EQ(form->StaticText1->text(), "first\nsecond\nthird");
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
}

TEST_F(TlkRowTest, RecordDialogLowerCasesTypedSoundAndRefusesTextTheCodePageCannotHold)
{
    bool refusedAndStayedOpen = false;
    whenModal<TTERForm>([&](TTERForm& d) {
        d.Memo1->setPlainText(QString::fromUtf8("caf\xC3\xA9")); // e acute: not in the Cyrillic code page
        d.Edit1->setFocus();
        QTest::keyClicks(d.Edit1, "VO_Greet01_LONGER_THAN_16");
        EXPECT_EQ(d.Edit1->text(), "vo_greet01_longe");
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        refusedAndStayedOpen = d.isVisible();
        d.Memo1->setPlainText(QString::fromUtf8("\xD0\xBC\xD0\xB5\xD1\x87")); // Cyrillic: fits
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    dialogs.answerMessage(mbOK);
    form->tbAddRowClick();

    EXPECT_TRUE(refusedAndStayedOpen);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].caption, "Ошибка");
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("cannot be stored")) << dialogs.messages()[0].text.toStdString();
    ASSERT_EQ(rowCount(), 3);
    EXPECT_EQ(row(2), QStringList({"1", QString::fromUtf8("\xD0\xBC\xD0\xB5\xD1\x87"), "vo_greet01_longe", ""}));
}

TEST_F(TlkRowTest, EditRowKeepsALoadedSoundReferenceAsItIs)
{
    open(putTable("caps.tlk", {{"x", "VO_CAPS", ""}}));
    whenModal<TTERForm>([&](TTERForm& d) {
        EXPECT_EQ(d.Edit1->text(), "VO_CAPS");
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    form->tbEditRowClick();
    EXPECT_EQ(row(1), QStringList({"0", "x", "VO_CAPS", ""}));
}

TEST_F(TlkRowTest, EditRowConfirmedWithoutChangeStillMarksTheTableModified)
{
    open(putTable("three.tlk", kThree));
    ASSERT_TRUE(form->StringGrid1->setCurrentCell(0, 1));
    whenModal<TTERForm>([](TTERForm& d) { QTest::mouseClick(d.BitBtn1, Qt::LeftButton); });
    form->tbEditRow->trigger();

    EXPECT_EQ(row(1), QStringList({"0", "Hello", "vo_hello", "1.5"}));
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
}

TEST_F(TlkRowTest, SelectingARowShowsItsTextBelowTheGrid)
{
    open(putTable("three.tlk", kThree));
    StringGrid* grid = form->StringGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(2, 2).center());
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(form->StaticText1->text(), "first\r\nsecond");
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->row(), 3);
    EXPECT_EQ(form->StaticText1->text(), "");
}

// ---- Clear Row ----------------------------------------------------------------

TEST_F(TlkRowTest, ClearRowAsksAndEmptiesTheRecordOnlyOnYes)
{
    open(putTable("three.tlk", kThree));
    ASSERT_TRUE(form->StringGrid1->setCurrentCell(0, 2));

    dialogs.answerMessage(mbNo);
    form->tbClearRowClick();
    expectLastBox("Question", "Delete info from tlk record?", mbYes | mbNo, MsgIcon::Question);
    EXPECT_EQ(row(2), QStringList({"1", "first\r\nsecond", "vo_two", "2.25"}));
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(modifiedShown());

    dialogs.answerMessage(mbYes);
    form->tbClearRowClick();
    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(row(2), QStringList({"1", "", "", ""}));
    EXPECT_EQ(row(3), QStringList({"2", "", "", ""}));
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
}

TEST_F(TlkRowTest, WithNoEntriesEditRowAndClearRowDoNothing)
{
    open(putFile("empty.tlk", rawTlk({}, "")));
    NoModalGuard noDialog;
    form->tbEditRowClick();
    form->tbClearRowClick();
    QTest::mouseDClick(form->StringGrid1->viewport(), Qt::LeftButton, {}, QPoint(20, 8));

    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0), QStringList({"StrRef", "String Text", "Sound File Reference", "Sound Duration, sec"}));
    EXPECT_FALSE(form->Modified);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}
