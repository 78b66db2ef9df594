#pragma once

#include "Dialogs.h"

class QWidget;

// The real dialogs: QMessageBox and QFileDialog, parented to the active window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    int messageBox(const QString& caption, const QString& text, int buttons, MsgIcon icon) override;
    QStringList openFiles(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;

private:
    QWidget* parent_;
};

// "Tlk files (*.tlk)|*.tlk|All files (*.*)|*.*" -> Qt's name filters
// ("Tlk files (*.tlk)", "All files (*)"), patterns taken from the pair's
// pattern half; "*.*" becomes "*" so that files without a dot show too.
QStringList qtNameFilters(const QString& filter);
