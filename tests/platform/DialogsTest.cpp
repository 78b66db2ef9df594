#include "QtDialogs.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogsTest, ClosingABoxAnswersCancelThenNoThenOk)
{
    struct Case {
        int buttons;
        int answer;
    };
    for (const Case& c : {Case{mbYes | mbNo | mbCancel, mbCancel}, Case{mbOK | mbCancel, mbCancel},
                          Case{mbYes | mbNo, mbNo}, Case{mbOK, mbOK}})
        EXPECT_EQ(closedBoxAnswer(c.buttons), c.answer) << c.buttons;
}

TEST(DialogsTest, FilterBecomesQtNameFilters)
{
    EXPECT_EQ(qtNameFilters("Tlk files (*.tlk)|*.tlk|All files (*.*)|*.*"),
              (QStringList{"Tlk files (*.tlk)", "All files (*)"}));
    EXPECT_EQ(qtNameFilters("Tables|*.2da;*.txt"), (QStringList{"Tables (*.2da *.txt)"}));
    EXPECT_TRUE(qtNameFilters("").isEmpty());
}

TEST(ScriptedDialogsTest, AnswersInTurnAndRecordsEveryBoxAndDialog)
{
    ScriptedDialogs dialogs;
    dialogs.answerMessage(mbNo);
    dialogs.answerOpen({"/a/x.2da", "/a/y.2da"});
    dialogs.answerSave("");
    dialogs.answerMessage(mbYes);

    EXPECT_EQ(dialogs.messageBox("Question", "Save?", mbYes | mbNo, MsgIcon::Question), mbNo);
    FileDialogRequest open{"Select", "2da files (*.2da)|*.2da", "/a/", "", "2da", true, false};
    EXPECT_EQ(dialogs.openFiles(open), (QStringList{"/a/x.2da", "/a/y.2da"}));
    EXPECT_EQ(dialogs.saveFile({"Save As...", "", "", "new.tlk", "tlk", false, true}), QString());
    EXPECT_EQ(dialogs.messageBox("Вопрос", "Файл", mbYes | mbNo, MsgIcon::Question), mbYes);

    EXPECT_FALSE(dialogs.unexpected()) << dialogs.problems().join('\n').toStdString();
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
    ASSERT_EQ(dialogs.messages().size(), 2);
    const auto& first = dialogs.messages()[0];
    EXPECT_EQ(first.caption, "Question");
    EXPECT_EQ(first.text, "Save?");
    EXPECT_EQ(first.buttons, mbYes | mbNo);
    EXPECT_EQ(first.icon, MsgIcon::Question);
    EXPECT_EQ(first.answer, mbNo);
    ASSERT_EQ(dialogs.fileDialogs().size(), 2);
    EXPECT_EQ(dialogs.fileDialogs()[0].kind, ScriptedDialogs::FileKind::Open);
    EXPECT_EQ(dialogs.fileDialogs()[0].request.folder, "/a/");
    EXPECT_TRUE(dialogs.fileDialogs()[0].request.multiSelect);
    EXPECT_EQ(dialogs.fileDialogs()[1].kind, ScriptedDialogs::FileKind::Save);
    EXPECT_TRUE(dialogs.fileDialogs()[1].request.confirmOverwrite);
    EXPECT_TRUE(dialogs.fileDialogs()[1].answer.isEmpty());
}

TEST(ScriptedDialogsTest, UnscriptedBoxesAndDialogsAreRecordedAndFlagged)
{
    struct Case {
        const char* what;
        std::function<void(ScriptedDialogs&)> run;
    };
    const Case cases[] = {
        {"box without an answer",
         [](ScriptedDialogs& d) { EXPECT_EQ(d.messageBox("c", "t", mbYes | mbNo | mbCancel, MsgIcon::Question), mbCancel); }},
        {"answer the box does not offer",
         [](ScriptedDialogs& d) {
             d.answerMessage(mbOK);
             EXPECT_EQ(d.messageBox("c", "t", mbYes | mbNo, MsgIcon::Question), mbNo);
         }},
        {"open dialog without an answer", [](ScriptedDialogs& d) { EXPECT_TRUE(d.openFiles({}).isEmpty()); }},
        {"save answer for an open dialog",
         [](ScriptedDialogs& d) {
             d.answerSave("/x");
             EXPECT_TRUE(d.openFiles({}).isEmpty());
         }},
        {"several files for a single-file dialog",
         [](ScriptedDialogs& d) {
             d.answerOpen({"/a", "/b"});
             d.openFiles({});
         }},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        c.run(dialogs);
        EXPECT_TRUE(dialogs.unexpected()) << c.what;
        EXPECT_EQ(dialogs.messages().size() + dialogs.fileDialogs().size(), 1) << c.what;
    }
}

} // namespace
