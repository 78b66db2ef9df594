// The editor's document life cycle: new, open, save, save as and close.

#include "TlkBytes.h"
#include "TlkWindowFixture.h"

#include "GridModel.h"
#include "IniFile.h"
#include "StringGrid.h"
#include "TlkWriter.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

const char* const kFilter = "Tlk files (*.tlk)|*.tlk|All files (*.*)|*.*";

const std::vector<TlkRecord> kThree = {
    {"Hello", "vo_hello", "1.5"},
    {"World", "", ""},
    {"", "", ""},
};

// The three entries of kThree with unused fields filled, so that a file
// written again by the editor differs from it.
std::string threeEntriesWithVariance()
{
    return rawTlk({{tlk::TextPresent | tlk::SoundPresent | tlk::SoundLengthPresent, "vo_hello", 7, 9, 0, 5, 1.5f},
                   {tlk::TextPresent, "", 3, 0, 5, 5, 0},
                   {0, "", 0, 0, 0, 0, 0}},
                  "HelloWorld");
}

// The frame's own cursor is the default one (not the close's hourglass).
bool defaultCursor(const QWidget& w) { return w.cursor().shape() == Qt::ArrowCursor; }

// Enabled states of New, Open, Append, Save, Save As, Add, Edit and Clear.
QList<bool> commandStates(const TTlkEditForm& form)
{
    QList<bool> states;
    for (QAction* a : {form.tbNewFile, form.tbOpenFile, form.tbAppendFile, form.tbSave, form.tbSaveAs,
                       form.tbAddRow, form.tbEditRow, form.tbClearRow})
        states << a->isEnabled();
    return states;
}

const QList<bool> kAllEnabled(8, true);

} // namespace

TEST_F(TlkWindowTest, NewWindowShowsOneEntryNamedAfterTheInitialFolder)
{
    EXPECT_EQ(title(), titleFor(exeFolder() + "new.tlk"));
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(row(0), QStringList({"StrRef", "String Text", "Sound File Reference", "Sound Duration, sec"}));
    EXPECT_EQ(row(1), QStringList({"0", "", "", ""}));
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(modifiedShown());
    EXPECT_FALSE(progressShown());
    EXPECT_FALSE(frame->EditTlk->isEnabled());
    EXPECT_FALSE(QFile::exists(settingsPath()));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.fileDialogs().isEmpty());
}

TEST_F(TlkWindowTest, OpeningASmallFileShowsItsRowsAndRecordsItsFolder)
{
    const QString path = putTable("three.tlk", kThree);
    open(path);

    ASSERT_EQ(dialogs.fileDialogs().size(), 1);
    const auto& request = dialogs.fileDialogs()[0].request;
    EXPECT_EQ(dialogs.fileDialogs()[0].kind, ScriptedDialogs::FileKind::Open);
    EXPECT_EQ(request.folder, exeFolder());
    EXPECT_EQ(request.filter, kFilter);

    ASSERT_EQ(rowCount(), 4);
    EXPECT_EQ(row(1), QStringList({"0", "Hello", "vo_hello", "1.5"}));
    EXPECT_EQ(row(2), QStringList({"1", "World", "", ""}));
    EXPECT_EQ(row(3), QStringList({"2", "", "", ""}));
    EXPECT_EQ(form->ProgressBar1->maximum(), 3);
    EXPECT_FALSE(progressShown());
    EXPECT_EQ(title(), titleFor(path));
    EXPECT_TRUE(form->OpenedFromFile);
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(modifiedShown());

    EXPECT_EQ(frame->TlkInitialDirectory, dataFolder());
    const IniFile settings(settingsPath().toStdString());
    EXPECT_EQ(settings.readString("settings", "TlkInitialDirectory", "<missing>"), dataFolder().toStdString());
    // Saving never moves the folder; the next open starts in the file's folder.
    dialogs.answerOpen({});
    form->tbOpenFileClick();
    EXPECT_EQ(dialogs.fileDialogs().last().request.folder, dataFolder());
}

TEST_F(TlkWindowTest, OpenCancelledAfterTheQuestionLeavesTheFreshTableStillMarkedModified)
{
    const QString path = putTable("three.tlk", kThree);
    open(path);
    modify();

    dialogs.answerMessage(mbNo);
    dialogs.answerOpen({});
    form->tbOpenFileClick();

    expectLastBox("Question", "This Talk table was modified. Wanna save?", mbYes | mbNo, MsgIcon::Question);
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(row(1), QStringList({"0", "", "", ""}));
    EXPECT_EQ(title(), titleFor(dataFolder() + "new.tlk"));
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
}

TEST_F(TlkWindowTest, OpenWhileModifiedAnsweredNoLoadsTheFileAndTheCloseStillAsks)
{
    modify();
    const QString path = putTable("three.tlk", kThree);
    dialogs.answerMessage(mbNo);
    open(path);

    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(title(), titleFor(path));
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());

    dialogs.answerMessage(mbCancel);
    EXPECT_FALSE(closeEditor());
    expectLastBox("Question", "File was modified, but not saved. Wanna save?", mbYes | mbNo | mbCancel,
                  MsgIcon::Question);
}

TEST_F(TlkWindowTest, OpeningAFileWithNoEntriesShowsTheHeaderRowOnly)
{
    open(putFile("empty.tlk", rawTlk({}, "")));
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(form->OpenedFromFile);
}

// An open that fails after its dialog ends without a message, leaving the
// fresh table and an unlocked tool bar. The folder is recorded once the file
// could be opened, before it is read.
struct FailedOpenCase {
    const char* name;
    bool exists;
    std::string bytes;
};
void PrintTo(const FailedOpenCase& c, std::ostream* os) { *os << c.name; }

class FailedOpenTest : public TlkWindowTest, public ::testing::WithParamInterface<FailedOpenCase> {};

TEST_P(FailedOpenTest, EndsSilentlyWithTheFreshTable)
{
    const FailedOpenCase& c = GetParam();
    const QString path = c.exists ? putFile("bad.tlk", c.bytes) : dataFolder() + "missing.tlk";
    open(path);

    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(title(), titleFor(exeFolder() + "new.tlk"));
    EXPECT_FALSE(form->OpenedFromFile);
    EXPECT_FALSE(progressShown());
    EXPECT_EQ(commandStates(*form), kAllEnabled);
    const IniFile settings(settingsPath().toStdString());
    EXPECT_EQ(settings.readString("settings", "TlkInitialDirectory", "<missing>"),
              c.exists ? dataFolder().toStdString() : std::string("<missing>"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedOpenTest,
    ::testing::Values(FailedOpenCase{"Missing", false, ""},
                      FailedOpenCase{"ShorterThanItsHeader", true, "TLK V3.0"},
                      FailedOpenCase{"EntryTableBeyondTheEnd", true, rawHeader(5, 220)},
                      FailedOpenCase{"TextOutsideTheStringData", true,
                                     rawTlk({{tlk::TextPresent, "", 0, 0, 2, 10, 0}}, "abc")}),
    [](const auto& info) { return std::string(info.param.name); });

// A settings file that cannot be written does not stop the open: the folder
// is still used for the rest of the session.
TEST_F(TlkWindowTest, OpenGoesOnWhenTheSettingsFileCannotBeWritten)
{
    ASSERT_TRUE(QDir().mkpath(settingsPath())); // a folder where the file should be
    const QString path = putTable("three.tlk", kThree);
    open(path);

    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(title(), titleFor(path));
    EXPECT_EQ(frame->TlkInitialDirectory, dataFolder());
}

TEST_F(TlkWindowTest, SaveDoesNothingWhileUnmodified)
{
    form->tbSaveClick(); // a table never saved: still no dialog
    const std::string bytes = threeEntriesWithVariance();
    const QString path = putFile("three.tlk", bytes);
    open(path);
    form->tbSaveClick();

    EXPECT_EQ(dialogs.fileDialogs().size(), 1); // the open's
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(readBytes(path), bytes);
}

TEST_F(TlkWindowTest, SaveOfAnOpenedFileWritesItWithoutADialog)
{
    const QString path = putFile("three.tlk", threeEntriesWithVariance());
    open(path);
    ASSERT_TRUE(form->StringGrid1->setCurrentCell(0, 1));
    modify();

    form->tbSaveClick();

    EXPECT_EQ(dialogs.fileDialogs().size(), 1);
    // Entries without a text get the running offset, as the writer packs them.
    EXPECT_EQ(readBytes(path),
              rawTlk({{}, {tlk::TextPresent, "", 0, 0, 0, 5, 0}, {0, "", 0, 0, 5, 0, 0}}, "World"));
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(modifiedShown());
    EXPECT_FALSE(progressShown());
    EXPECT_EQ(title(), titleFor(path));
    EXPECT_EQ(QDir(dataFolder()).entryList(QDir::Files), QStringList({"three.tlk"}));
}

TEST_F(TlkWindowTest, SaveOfANewTableAsksStartingInTheInitialFolderEveryTime)
{
    addRow(1, "hello");
    const QString first = dataFolder() + "first.tlk";
    dialogs.answerSave(first);
    form->tbSaveClick();

    ASSERT_EQ(dialogs.fileDialogs().size(), 1);
    const auto& request = dialogs.fileDialogs()[0].request;
    EXPECT_EQ(dialogs.fileDialogs()[0].kind, ScriptedDialogs::FileKind::Save);
    EXPECT_EQ(request.title, "Save As...");
    EXPECT_EQ(request.filter, kFilter);
    EXPECT_EQ(request.folder, exeFolder());
    EXPECT_EQ(request.fileName, "");
    EXPECT_EQ(request.defaultExt, "tlk");
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(readBytes(first), tlkBytes({{}, {"hello", "", ""}}));
    EXPECT_EQ(title(), titleFor(first));
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(modifiedShown());

    // Not opened from a file: Save goes on asking, offering the last name.
    modify();
    dialogs.answerSave({});
    form->tbSaveClick();
    ASSERT_EQ(dialogs.fileDialogs().size(), 2);
    EXPECT_EQ(dialogs.fileDialogs()[1].request.folder, exeFolder());
    EXPECT_EQ(dialogs.fileDialogs()[1].request.fileName, first);
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(title(), titleFor(first));
    EXPECT_EQ(frame->TlkInitialDirectory, exeFolder());
}

TEST_F(TlkWindowTest, SaveAfterNewFollowingAnOpenAsksInsteadOfReplacingNewTlk)
{
    open(putTable("three.tlk", kThree));
    const QString existing = putFile("new.tlk", "someone else's file");
    form->tbNewFileClick();
    modify();

    dialogs.answerSave({});
    form->tbSaveClick();

    ASSERT_EQ(dialogs.fileDialogs().size(), 2);
    EXPECT_EQ(dialogs.fileDialogs()[1].kind, ScriptedDialogs::FileKind::Save);
    EXPECT_EQ(dialogs.fileDialogs()[1].request.fileName, existing);
    EXPECT_EQ(readBytes(existing), "someone else's file");
    EXPECT_TRUE(form->Modified);
}

// ---- closing ----------------------------------------------------------------

struct CloseCase {
    const char* name;
    int answer;
    enum Save { NoDialog, Cancelled, Saved, Failed } save;
    bool closes;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class CloseQuestionTest : public TlkWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuestionTest, AnswerDecidesWhetherTheWindowCloses)
{
    const CloseCase& c = GetParam();
    const QString path = putTable("three.tlk", kThree);
    open(path);
    ASSERT_TRUE(form->StringGrid1->setCurrentCell(0, 1));
    modify();
    frame->StatusBar1->showMessage("before");
    const QString target = c.save == CloseCase::Failed ? dataFolder() + "missing/saved.tlk" : dataFolder() + "saved.tlk";

    dialogs.answerMessage(c.answer);
    if (c.save == CloseCase::Cancelled) dialogs.answerSave({});
    if (c.save == CloseCase::Saved || c.save == CloseCase::Failed) dialogs.answerSave(target);
    if (c.save == CloseCase::Failed) dialogs.answerMessage(mbOK);
    const bool closed = closeEditor();

    ASSERT_GE(dialogs.messages().size(), 2);
    const auto& question = dialogs.messages()[1];
    EXPECT_EQ(question.caption, "Question");
    EXPECT_EQ(question.text, "File was modified, but not saved. Wanna save?");
    EXPECT_EQ(question.buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(question.icon, MsgIcon::Question);
    if (c.save != CloseCase::NoDialog) {
        ASSERT_EQ(dialogs.fileDialogs().size(), 2);
        EXPECT_EQ(dialogs.fileDialogs()[1].request.fileName, path); // Save As offers the opened file
    }
    EXPECT_EQ(QFile::exists(target), c.save == CloseCase::Saved);
    if (c.save == CloseCase::Saved) {
        EXPECT_EQ(readBytes(target), tlkBytes({{}, kThree[1], kThree[2]}));
    }
    if (c.save == CloseCase::Failed) {
        expectSaveError(target);
    }
    EXPECT_EQ(readBytes(path), tlkBytes(kThree));

    ASSERT_EQ(closed, c.closes);
    EXPECT_EQ(frame->EditTlk->isEnabled(), c.closes);
    EXPECT_TRUE(defaultCursor(*frame));
    if (c.closes) {
        EXPECT_EQ(frame->StatusBar1->currentMessage(), "Ready");
    } else {
        EXPECT_EQ(frame->StatusBar1->currentMessage(), "before");
        EXPECT_TRUE(form->Modified);
        EXPECT_TRUE(modifiedShown());
        EXPECT_EQ(title(), titleFor(path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CloseQuestionTest,
    ::testing::Values(CloseCase{"YesThenSaveCancelled", mbYes, CloseCase::Cancelled, true},
                      CloseCase{"YesThenSaved", mbYes, CloseCase::Saved, true},
                      CloseCase{"YesThenSaveFailed", mbYes, CloseCase::Failed, false},
                      CloseCase{"No", mbNo, CloseCase::NoDialog, true},
                      CloseCase{"Cancel", mbCancel, CloseCase::NoDialog, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TlkWindowTest, UnmodifiedWindowClosesWithoutAQuestionAndTheActionOpensANewOne)
{
    ASSERT_TRUE(closeEditor());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(frame->EditTlk->isEnabled());
    EXPECT_TRUE(defaultCursor(*frame));

    frame->EditTlk->trigger();
    EXPECT_TRUE(TlkEditForm);
    EXPECT_FALSE(frame->EditTlk->isEnabled());
    frame->EditTlk->trigger(); // disabled: no second window
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
}

TEST_F(TlkWindowTest, FrameCloseAsksTheModifiedEditorAndCancelKeepsEverythingOpen)
{
    modify();
    frame->StatusBar1->showMessage("before");

    dialogs.answerMessage(mbCancel);
    EXPECT_FALSE(frame->close());
    expectLastBox("Question", "File was modified, but not saved. Wanna save?", mbYes | mbNo | mbCancel,
                  MsgIcon::Question);
    EXPECT_TRUE(frame->isVisible());
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(defaultCursor(*frame));
    EXPECT_EQ(frame->StatusBar1->currentMessage(), "before");

    dialogs.answerMessage(mbNo);
    EXPECT_TRUE(frame->close());
}

// ---- the tool bar lock during long loops -------------------------------------

namespace {

// A search in the middle of a long loop, as Enter in the search box starts it.
void findDuringLoop(TTlkEditForm& form)
{
    form.Edit2->setText("entry number 7");
    QTest::keyClick(form.Edit2, Qt::Key_Return);
}

// Looks at the editor's controls every time the event loop runs while one of
// its long loops is busy; during is called at the first such look.
class BusyProbe {
public:
    struct Sample {
        QList<bool> commands; // New, Open, Append, Save, Save As, Add, Edit, Clear
        QList<bool> search;   // Goto box and button, Find box, "Where:", Find button
        bool progress = false;
        QString caption;
    };

    BusyProbe(TTlkEditForm& form, std::function<void()> during = {})
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this, &form, during] {
            if (!form.isBusy()) return;
            Sample s;
            s.commands = commandStates(form);
            for (QWidget* w : std::initializer_list<QWidget*>{form.Edit1, form.SpeedButton1, form.Edit2,
                                                              form.ComboBox1, form.SpeedButton2})
                s.search << w->isEnabled();
            s.progress = !form.ProgressLabel->isHidden() && !form.ProgressBar1->isHidden();
            s.caption = form.ProgressLabel->text();
            samples.push_back(s);
            if (samples.size() == 1 && during) during();
        });
        timer_.start();
    }

    std::vector<Sample> samples;

private:
    QTimer timer_;
};

const QList<bool> kSearchEnabled(5, true);

} // namespace

TEST_F(TlkWindowTest, OpenLocksEveryFileAndRowCommandButNotTheSearch)
{
    const QString path = putFile("large.tlk", manyEntriesTlk(300000));
    // A search that ends in the middle of the open leaves the lock in place.
    BusyProbe probe(*form, [&] { findDuringLoop(*form); });
    open(path);

    ASSERT_GE(probe.samples.size(), 2u);
    for (const auto& s : probe.samples) {
        EXPECT_EQ(s.commands, QList<bool>(8, false));
        EXPECT_EQ(s.search, kSearchEnabled);
    }
    ASSERT_EQ(rowCount(), 300001);
    EXPECT_EQ(row(300000), QStringList({"299999", "entry number 299999", "", ""}));
    EXPECT_EQ(commandStates(*form), kAllEnabled);
    EXPECT_FALSE(progressShown());
}

TEST_F(TlkWindowTest, SaveLocksUpToAddRowAndHoldsOffRowChangesAndTheCloseUntilItEnds)
{
    const QString path = putFile("large.tlk", manyEntriesTlk(300000));
    open(path);
    modify();
    ASSERT_TRUE(form->StringGrid1->setCurrentCell(0, 3));
    const TlkDocument before = form->document();

    bool closeAccepted = true;
    NoModalGuard noDialog;
    BusyProbe probe(*form, [&] {
        // The enabled row commands and a close request, in the middle of the save.
        form->tbClearRowClick();
        form->tbEditRowClick();
        closeAccepted = form->parentWidget()->close();
    });
    // The pump lets messages run at its first look, so the probe runs early.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    form->tbSaveClick();

    ASSERT_FALSE(probe.samples.empty());
    for (const auto& s : probe.samples) {
        EXPECT_EQ(s.commands, QList<bool>({false, false, false, false, false, false, true, true}));
        EXPECT_EQ(s.search, kSearchEnabled);
        EXPECT_TRUE(s.progress);
        EXPECT_EQ(s.caption, "Saving Progress:");
    }
    EXPECT_FALSE(closeAccepted);
    EXPECT_TRUE(readBytes(path) == writeTlkBytes(before, '.')) << "the saved file is not the table as it was";
    EXPECT_FALSE(form.isNull());
    EXPECT_EQ(row(3), QStringList({"2", "entry number 2", "", ""}));
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(progressShown());

    // The close asked for during the save happens once it has ended.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }));
    EXPECT_TRUE(frame->EditTlk->isEnabled());
}

TEST_F(TlkWindowTest, SearchDuringASaveLeavesTheFileCommandsLocked)
{
    const QString path = putFile("large.tlk", manyEntriesTlk(300000));
    open(path);
    modify();
    const TlkDocument before = form->document();

    QList<bool> afterFind;
    BusyProbe probe(*form, [&] {
        findDuringLoop(*form);
        afterFind = commandStates(*form);
        // What clicks on New and Open do now.
        form->tbNewFile->trigger();
        form->tbOpenFile->trigger();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    form->tbSaveClick();

    EXPECT_EQ(afterFind, QList<bool>({false, false, false, false, false, false, true, true}));
    EXPECT_TRUE(readBytes(path) == writeTlkBytes(before, '.')) << "the saved file is not the table as it was";
    EXPECT_EQ(rowCount(), 300001);
    EXPECT_EQ(title(), titleFor(path));
    EXPECT_EQ(form->StringGrid1->row(), 8); // the search's find
    EXPECT_EQ(commandStates(*form), kAllEnabled);
}

// ---- saves that fail ---------------------------------------------------------

namespace {

// Makes a file's folder refuse changes: the immutable flag on the file for
// root (whom permissions do not stop), the folder's write bits otherwise.
class ReadOnlyTarget {
public:
    explicit ReadOnlyTarget(const QString& path) : path_(path)
    {
        if (geteuid() == 0) {
            ok_ = setImmutable(true);
        } else {
            folder_ = QFileInfo(path).absolutePath();
            ok_ = QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    ~ReadOnlyTarget()
    {
        if (!ok_) return;
        if (folder_.isEmpty()) setImmutable(false);
        else QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ok() const { return ok_; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString path_;
    QString folder_;
    bool ok_ = false;
};

struct FailedSaveCase {
    const char* name;
    enum How { SaveAsIntoMissingFolder, SaveOverReadOnlyTarget, SaveWithNoRoomForTheTemporaryName } how;
};
void PrintTo(const FailedSaveCase& c, std::ostream* os) { *os << c.name; }

} // namespace

class FailedSaveTest : public TlkWindowTest, public ::testing::WithParamInterface<FailedSaveCase> {};

TEST_P(FailedSaveTest, ShowsTheSystemMessageAndKeepsDocumentNameAndOldFile)
{
    const auto how = GetParam().how;
    // The temporary file's name adds 8 characters to the target's; 250 leave no room.
    const QString name = how == FailedSaveCase::SaveWithNoRoomForTheTemporaryName ? QString(246, 'n') + ".tlk"
                                                                                   : QString("three.tlk");
    const std::string original = tlkBytes(kThree);
    const QString path = putFile(name, original);
    open(path);
    ASSERT_EQ(title(), titleFor(path));
    modify();

    QString target = path;
    std::unique_ptr<ReadOnlyTarget> readOnly;
    if (how == FailedSaveCase::SaveOverReadOnlyTarget) {
        readOnly = std::make_unique<ReadOnlyTarget>(path);
        if (!readOnly->ok()) GTEST_SKIP() << "this file system cannot make a file read-only for this user";
    }
    dialogs.answerMessage(mbOK);
    if (how == FailedSaveCase::SaveAsIntoMissingFolder) {
        target = dataFolder() + "missing/other.tlk";
        dialogs.answerSave(target);
        form->tbSaveAsClick();
    } else {
        form->tbSaveClick();
    }

    expectSaveError(target);
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(modifiedShown());
    EXPECT_EQ(form->FileName, path);
    EXPECT_EQ(title(), titleFor(path));
    EXPECT_FALSE(progressShown());
    EXPECT_TRUE(form->tbSave->isEnabled());
    EXPECT_TRUE(form->tbNewFile->isEnabled());
    readOnly.reset();
    EXPECT_EQ(readBytes(path), original);
    EXPECT_EQ(QDir(dataFolder()).entryList(QDir::Files), QStringList({name}));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedSaveTest,
    ::testing::Values(FailedSaveCase{"SaveAsIntoMissingFolder", FailedSaveCase::SaveAsIntoMissingFolder},
                      FailedSaveCase{"SaveOverReadOnlyTarget", FailedSaveCase::SaveOverReadOnlyTarget},
                      FailedSaveCase{"SaveWithNoRoomForTheTemporaryName",
                                     FailedSaveCase::SaveWithNoRoomForTheTemporaryName}),
    [](const auto& info) { return std::string(info.param.name); });
