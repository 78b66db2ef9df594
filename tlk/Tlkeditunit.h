#pragma once

#include "CodePage.h"
#include "TlkDocument.h"
#include "TlkGridModel.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class Dialogs;
class MessagePump;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class QToolBar;
class QToolButton;
class StringGrid;
class TMainForm;
class TTERForm;
struct TlkRecord;
struct TlkReadPoints;

// The talk table editor: one talk table shown as a grid of four columns, one
// row per StrRef, with the document's life cycle (new, open, save, save as,
// close), the row commands, the StrRef jump, the search and the append.
class TTlkEditForm : public QWidget {
    Q_OBJECT
public:
    explicit TTlkEditForm(TMainForm* owner);
    ~TTlkEditForm() override;

    // Document state.
    bool Modified = false;
    bool OpenedFromFile = false;
    QString FileName;
    const TlkDocument& document() const { return doc_; }

    // Components.
    QToolBar* ToolBar1 = nullptr;
    QAction* tbNewFile = nullptr;
    QAction* tbOpenFile = nullptr;
    QAction* tbAppendFile = nullptr;
    QAction* tbSave = nullptr;
    QAction* tbSaveAs = nullptr;
    QAction* tbAddRow = nullptr;
    QAction* tbEditRow = nullptr;
    QAction* tbClearRow = nullptr;
    QLineEdit* Edit1 = nullptr;      // Goto StrRef
    QToolButton* SpeedButton1 = nullptr;
    QLineEdit* Edit2 = nullptr;      // Find string
    QComboBox* ComboBox1 = nullptr;  // where to search
    QToolButton* SpeedButton2 = nullptr;
    QLabel* Label6 = nullptr;        // find result
    QTimer* Timer1 = nullptr;
    StringGrid* StringGrid1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;        // "modified"
    QLabel* ProgressLabel = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StaticText1 = nullptr;

    // Handlers.
    void tbNewFileClick();
    void tbOpenFileClick();
    void tbSaveClick();
    void tbSaveAsClick();
    void tbAddRowClick();
    void tbEditRowClick();
    void tbClearRowClick();
    void tbAppendFileClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Timer1Timer();
    // Asked before the window closes, also when the frame closes; false refuses.
    bool FormCloseQuery();
    void FormClose();
    bool StringGrid1SelectCell(int col, int row);

    // Enables or disables the first count tool bar items.
    void SetToolbarItemsEnabled(int count, bool enabled);
    void FormatTitle();

    // A long loop (open, save, append, search) is running.
    bool isBusy() const { return loopDepth_ > 0; }
    // A close asked for during a long loop: target is closed once it ends.
    void holdCloseUntilLoopEnds(QWidget* target);
    // For tests and platforms whose locale differs: the duration texts' separator.
    void setDecimalSeparator(char sep);
    char decimalSeparator() const { return sep_; }
    const CodePage& codePage() const { return *codePage_; }
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class LoopGuard;
    class LockedFileLoop;
    void buildToolBar();
    void buildPanel();
    void setModified();
    // Reading a file lets messages run between its large reads.
    TlkReadPoints pumpingReadPoints();
    // Save As; false only when the chosen file could not be written (a
    // cancelled dialog is no failure).
    bool saveAs();
    // Writes the table; shows the failure and returns false when it fails.
    bool writeTable(const QString& path);
    // After the document changed its row count.
    void documentReset();
    void showProgress(const QString& caption, int maximum, bool resetPosition);
    void hideProgress();
    void selectRow(int row);
    // The current row when it is an entry row, else -1.
    int entryRow() const;
    // Shows why no entry can be added to a full table; true when full.
    bool refuseWhenFull();
    TlkRecord recordOf(const TTERForm& form) const;
    QString rowText(int row) const;

    TMainForm* owner_;
    Dialogs& dialogs_;
    TlkDocument doc_;
    const CodePage* codePage_ = &CodePage::cp1251();
    char sep_ = '.';
    std::unique_ptr<TlkGridModel> model_;
    std::unique_ptr<MessagePump> pump_;
    QList<QAction*> toolbarItems_;
    QString lastSaveAsName_;
    // FileName is a file the user chose (opened or saved as), not the
    // "new.tlk" that New makes up.
    bool fileNameChosen_ = false;
    int loopDepth_ = 0;
    QPointer<QWidget> pendingClose_; // closed when the running loop ends
    QAction* label6Item_ = nullptr;
    bool searching_ = false;
    QString openDialogFolder_; // where the open dialog started last
};

// The window made by the frame's EditTlk action.
extern TTlkEditForm* TlkEditForm;
