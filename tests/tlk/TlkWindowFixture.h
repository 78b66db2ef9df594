#pragma once

// The talk table editor in a main frame, on real temporary files, with
// scripted message boxes and file dialogs.

#include "Mainunit.h"
#include "ScriptedDialogs.h"
#include "Tlkeditunit.h"
#include "TlkDocument.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

// Texts in test output as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Talk table bytes holding exactly these records, as the writer packs them.
std::string tlkBytes(const std::vector<TlkRecord>& records);
// n entries with short distinct texts, for loops long enough to pump.
std::string manyEntriesTlk(std::uint32_t n);

std::string readBytes(const QString& path);
void writeBytes(const QString& path, const std::string& bytes);

// Runs act on the next modal dialog once it is up; act must close it. A
// dialog of another kind, none at all, or one left open fails the test
// (and is closed, so the test never hangs).
void whenModalWidget(std::function<void(QDialog&)> act);
template <typename T>
void whenModal(std::function<void(T&)> act)
{
    whenModalWidget([act](QDialog& d) {
        if (auto* t = qobject_cast<T*>(&d)) act(*t);
        else ADD_FAILURE() << "a modal dialog of another kind came up: " << d.windowTitle().toStdString();
    });
}

// While it lives, any modal dialog that comes up fails the test and is closed.
class NoModalGuard {
public:
    NoModalGuard();
    ~NoModalGuard();

private:
    QTimer timer_;
};

class TlkWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The executable's folder (with its "/"): the settings file goes there.
    QString exeFolder() const { return dir_.path() + "/exe/"; }
    QString dataFolder() const { return dir_.path() + "/data/"; }
    QString settingsPath() const { return exeFolder() + "varnholdstd.conf"; }
    // Writes a file into the data folder; returns its full path.
    QString putFile(const QString& name, const std::string& bytes);
    QString putTable(const QString& name, const std::vector<TlkRecord>& records);

    // Open through the editor with the open dialog answering path.
    void open(const QString& path);
    // A modified table: Clear Row on the current row, answered Yes.
    void modify();
    // Add Row through the record dialog, filled and confirmed with Ok.
    void addRow(int strRef, const QString& text, const QString& sound = {}, const QString& duration = {});
    // Closes the editor's MDI window; true when it closed and was freed.
    bool closeEditor();

    // What the grid shows.
    int rowCount() const;
    QStringList row(int r) const;
    QString title() const { return form->windowTitle(); }
    QString titleFor(const QString& path) const { return "Tlk edit window - [" + path + "]"; }
    bool modifiedShown() const { return !form->Label1->isHidden(); }
    bool progressShown() const { return !form->ProgressLabel->isHidden() || !form->ProgressBar1->isHidden(); }

    // The last message box shown, checked in full.
    void expectLastBox(const QString& caption, const QString& text, int buttons, MsgIcon icon) const;
    // The last box is the failed-save error naming path.
    void expectSaveError(const QString& path) const;

    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> frame;
    QPointer<TTlkEditForm> form;

private:
    QTemporaryDir dir_;
};
