// Appending a second talk table to the end of the document.

#include "TlkBytes.h"
#include "TlkWindowFixture.h"

#include "Appendtlkunit.h"
#include "StringGrid.h"
#include "TLMDSpinEdit.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const std::vector<TlkRecord> kThree = {
    {"one", "vo_one", "1.5"},
    {"two", "", ""},
    {"three", "", "0.25"},
};

} // namespace

class TlkAppendTest : public TlkWindowTest {
protected:
    // Append path, with the append dialog handled by dialog (none: it must not come up).
    void append(const QString& path, std::function<void(TAppendTlkForm&)> dialog)
    {
        dialogs.answerOpen({path});
        std::unique_ptr<NoModalGuard> noDialog;
        if (dialog) whenModal<TAppendTlkForm>(dialog);
        else noDialog = std::make_unique<NoModalGuard>();
        form->tbAppendFileClick();
    }

    static std::function<void(TAppendTlkForm&)> startAt(int strRef)
    {
        return [strRef](TAppendTlkForm& d) {
            d.LMDSpinEdit1->setValue(strRef);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        };
    }

    void expectUnchangedAndUnlocked()
    {
        ASSERT_EQ(rowCount(), 2);
        EXPECT_EQ(row(1), QStringList({"0", "", "", ""}));
        EXPECT_FALSE(form->Modified);
        EXPECT_FALSE(modifiedShown());
        EXPECT_FALSE(progressShown());
        for (QAction* a : {form->tbNewFile, form->tbOpenFile, form->tbAppendFile, form->tbSave, form->tbSaveAs,
                           form->tbAddRow, form->tbEditRow, form->tbClearRow})
            EXPECT_TRUE(a->isEnabled()) << a->toolTip().toStdString();
    }
};

TEST_F(TlkAppendTest, AppendTwoAfterTheLastEntryAddsBlankRowsThenTheFilesEntries)
{
    const QString path = putTable("three.tlk", kThree);
    const QString titleBefore = title();
    bool shown = false;
    append(path, [&](TAppendTlkForm& d) {
        shown = true;
        EXPECT_EQ(d.windowTitle(), "Append .tlk file");
        EXPECT_EQ(d.Label1->text(), "Start with StrRef");
        EXPECT_EQ(d.LMDSpinEdit1->minValue(), 1);
        EXPECT_EQ(d.LMDSpinEdit1->maxValue(), 16777215);
        EXPECT_EQ(d.LMDSpinEdit1->value(), 1);
        startAt(3)(d);
    });

    ASSERT_TRUE(shown);
    EXPECT_EQ(dialogs.fileDialogs().last().request.filter, "Tlk files (*.tlk)|*.tlk|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.fileDialogs().last().request.folder, ""); // no Open yet: the platform's default
    ASSERT_EQ(rowCount(), 7);
    EXPECT_EQ(row(1), QStringList({"0", "", "", ""}));
    EXPECT_EQ(row(2), QStringList({"1", "", "", ""}));
    EXPECT_EQ(row(3), QStringList({"2", "", "", ""}));
    EXPECT_EQ(row(4), QStringList({"3", "one", "vo_one", "1.5"}));
    EXPECT_EQ(row(5), QStringList({"4", "two", "", ""}));
    EXPECT_EQ(row(6), QStringList({"5", "three", "", "0.25"}));
    EXPECT_EQ(form->StringGrid1->row(), 1);
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
    EXPECT_FALSE(progressShown());
    EXPECT_EQ(title(), titleBefore);
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

// The open dialog keeps the folder the last Open started it in; the append
// neither sets it nor records the folder it chose from.
TEST_F(TlkAppendTest, AppendDialogStartsWhereTheLastOpenDialogStarted)
{
    open(putTable("first.tlk", kThree));
    ASSERT_EQ(frame->TlkInitialDirectory, dataFolder());
    const QString other = putTable("other.tlk", {{"four", "", ""}});
    append(other, startAt(3));

    ASSERT_EQ(dialogs.fileDialogs().size(), 2);
    EXPECT_EQ(dialogs.fileDialogs()[0].request.folder, exeFolder());
    EXPECT_EQ(dialogs.fileDialogs()[1].request.folder, exeFolder());
    EXPECT_EQ(frame->TlkInitialDirectory, dataFolder());
    ASSERT_EQ(rowCount(), 5);
    EXPECT_EQ(row(4), QStringList({"3", "four", "", ""}));
}

TEST_F(TlkAppendTest, AppendOfAFileWithNoEntriesStillMarksTheTableModified)
{
    append(putFile("empty.tlk", rawTlk({}, "")), startAt(1));
    EXPECT_EQ(rowCount(), 2);
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
}

TEST_F(TlkAppendTest, AppendDialogClosedWithoutOkChangesNothing)
{
    append(putTable("three.tlk", kThree), [](TAppendTlkForm& d) { d.close(); });
    expectUnchangedAndUnlocked();
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(TlkAppendTest, AppendOfADamagedFileIsRefusedAndChangesNothing)
{
    // The header promises five entries; the file holds one.
    const QString path = putFile("damaged.tlk", rawHeader(5, 220) + rawEntry({tlk::TextPresent, "", 0, 0, 0, 3, 0}));
    dialogs.answerMessage(mbOK);
    append(path, startAt(3));

    ASSERT_EQ(dialogs.messages().size(), 1);
    const auto& box = dialogs.messages()[0];
    EXPECT_EQ(box.caption, "Ошибка");
    EXPECT_EQ(box.buttons, mbOK);
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_TRUE(box.text.contains(path)) << box.text.toStdString();
    expectUnchangedAndUnlocked();
}

TEST_F(TlkAppendTest, AppendOfAMissingFileSaysSoWithoutTheDialog)
{
    const QString path = dataFolder() + "missing.tlk";
    dialogs.answerMessage(mbOK);
    append(path, nullptr);

    expectLastBox("Ошибка", "Cannot open file " + path, mbOK, MsgIcon::Error);
    expectUnchangedAndUnlocked();
}
