#pragma once

#include "IniFile.h"

#include <QMainWindow>
#include <QString>

class Dialogs;
class QAction;
class QMdiArea;
class QMenu;
class QStatusBar;
class QToolBar;

// The main frame: an MDI frame with the menu, tool bar and status bar, the
// actions that open the two editors (one window of each kind at a time), and
// the settings file with the editors' initial folders.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // exeFolder: the executable's folder with its trailing "/"; the settings
    // file lives there.
    TMainForm(Dialogs& dialogs, const QString& exeFolder, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Members the editors use.
    IniFile Settings;
    QString TlkInitialDirectory;
    QString _2daInitialDirectory;
    QAction* Exit = nullptr;
    QAction* EditTlk = nullptr;
    QAction* Edit2da = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    Dialogs& dialogs() const { return dialogs_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    // Writes a key of section "settings" at once; the in-memory folder has
    // been set by the caller. Throws IniWriteError.
    void writeSetting(const QString& key, const QString& value);

    void ExitExecute();
    void EditTlkExecute();
    void Edit2daExecute();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadSettings(const QString& exeFolder);
    void buildMenu();
    void updateWindowMenu();

    Dialogs& dialogs_;
    QString exeFolder_;
    QMdiArea* mdiArea_ = nullptr;
    QMenu* N7 = nullptr;
    QToolBar* ToolBar1 = nullptr;
};

// The frame's single instance.
extern TMainForm* MainForm;

// A folder of a path: up to and including its last "/" (empty when none).
QString folderOf(const QString& path);
