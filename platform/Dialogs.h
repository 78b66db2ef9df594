#pragma once

#include <QString>
#include <QStringList>

// Buttons of a message box; combine them with |. messageBox returns one.
enum MsgButton { mbOK = 1, mbCancel = 2, mbYes = 4, mbNo = 8 };
enum class MsgIcon { None, Error, Question, Warning, Information };

struct FileDialogRequest {
    QString title;
    // Description|pattern pairs: "Tlk files (*.tlk)|*.tlk|All files (*.*)|*.*".
    QString filter;
    QString folder;   // starting folder
    QString fileName; // preset file name (may be a full path)
    QString defaultExt; // added to a typed name that has no extension
    bool multiSelect = false;
    bool confirmOverwrite = false;
};

// The one way windows talk to the user with message boxes and file dialogs,
// so that tests can answer them (ScriptedDialogs).
class Dialogs {
public:
    virtual ~Dialogs();
    // Returns the button pressed. Closing the box without a button gives
    // mbCancel when Cancel is offered, else mbNo when No is, else mbOK.
    virtual int messageBox(const QString& caption, const QString& text, int buttons, MsgIcon icon) = 0;
    // The chosen files, in the dialog's order; empty when cancelled.
    virtual QStringList openFiles(const FileDialogRequest& request) = 0;
    // The chosen path; empty when cancelled.
    virtual QString saveFile(const FileDialogRequest& request) = 0;
};

// What closing a box with these buttons answers.
int closedBoxAnswer(int buttons);
