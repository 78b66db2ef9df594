#include "Edit2daunit.h"
#include "Mainunit.h"
#include "ScriptedDialogs.h"
#include "Tlkeditunit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainFormTest : public ::testing::Test {
protected:
    QString exeFolder() const { return dir_.path() + "/"; }
    QString settingsPath() const { return exeFolder() + "varnholdstd.conf"; }
    void putSettings(const QByteArray& text)
    {
        QFile f(settingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    TMainForm& frame()
    {
        if (!frame_) {
            frame_ = std::make_unique<TMainForm>(dialogs_, exeFolder());
            MainForm = frame_.get();
            frame_->show();
        }
        return *frame_;
    }
    QList<QMdiSubWindow*> children() { return frame().mdiArea()->subWindowList(); }
    void TearDown() override
    {
        EXPECT_FALSE(dialogs_.unexpected()) << dialogs_.problems().join("\n").toStdString();
        frame_.reset();
        MainForm = nullptr;
    }

    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TMainForm> frame_;
};

TEST_F(MainFormTest, FirstStartUsesTheExecutableFolderAndWritesNothing)
{
    EXPECT_EQ(frame().windowTitle(), "Quellmoor Toolkit *Standart Edition*");
    EXPECT_EQ(frame().TlkInitialDirectory, exeFolder());
    EXPECT_EQ(frame()._2daInitialDirectory, exeFolder());
    frame().EditTlk->trigger();
    auto* tlk = qobject_cast<TTlkEditForm*>(children().value(0)->widget());
    ASSERT_TRUE(tlk);
    EXPECT_EQ(tlk->FileName, exeFolder() + "new.tlk");
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(MainFormTest, ReadsEachFolderOrFallsBackForIt)
{
    putSettings("[Settings]\r\ntlkinitialdirectory=/data/tlk/\r\n");
    EXPECT_EQ(frame().TlkInitialDirectory, "/data/tlk/");
    EXPECT_EQ(frame()._2daInitialDirectory, exeFolder());
}

TEST_F(MainFormTest, EachEditorOpensOnceAndItsActionComesBackWhenItCloses)
{
    struct Case {
        QAction* TMainForm::*action;
        const char* title;
    };
    for (Case c : {Case{&TMainForm::EditTlk, "Tlk edit window - ["}, Case{&TMainForm::Edit2da, "2da edit window"}}) {
        QAction* action = frame().*c.action;
        action->trigger();
        action->trigger(); // disabled now: does nothing
        ASSERT_EQ(children().size(), 1) << c.title;
        QMdiSubWindow* sub = children().first();
        EXPECT_TRUE(sub->windowTitle().startsWith(c.title)) << sub->windowTitle().toStdString();
        EXPECT_FALSE(action->isEnabled());

        // The window menu lists the open child.
        QMenu* windowMenu = frame().menuBar()->actions().value(2)->menu();
        ASSERT_TRUE(windowMenu);
        emit windowMenu->aboutToShow();
        EXPECT_TRUE(windowMenu->actions().last()->text().contains(c.title));

        sub->close();
        QApplication::processEvents();
        EXPECT_TRUE(children().isEmpty());
        EXPECT_TRUE(action->isEnabled());
    }
}

TEST_F(MainFormTest, MenusAndShortcuts)
{
    const auto menus = frame().menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&Файл");
    EXPECT_EQ(menus[1]->text(), "&Действия");
    EXPECT_EQ(menus[2]->text(), "&Окно");
    EXPECT_EQ(frame().Exit->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    EXPECT_EQ(frame().EditTlk->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    EXPECT_EQ(frame().Edit2da->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(frame().EditTlk->statusTip(), "Редактировать .tlk файл");
    EXPECT_EQ(frame().Edit2da->statusTip(), "Редактировать .2da файлы");
}

} // namespace
