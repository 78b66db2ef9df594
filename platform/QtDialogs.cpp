#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QWidget* dialogParent(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    MsgButton ours;
    QMessageBox::StandardButton qt;
};
constexpr ButtonPair buttonPairs[] = {
    {mbYes, QMessageBox::Yes},
    {mbNo, QMessageBox::No},
    {mbOK, QMessageBox::Ok},
    {mbCancel, QMessageBox::Cancel},
};

// A dialog's default extension adds at most three characters, without a dot.
QString defaultSuffix(const QString& ext)
{
    QString suffix = ext.startsWith('.') ? ext.mid(1) : ext;
    return suffix.left(3);
}

void prepare(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setWindowTitle(request.title);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setDefaultSuffix(defaultSuffix(request.defaultExt));
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == "*.*")
                pattern = "*";
        }
        // Qt reads the patterns from the parentheses, so the description's
        // own "(*.*)" is replaced by the real ones.
        QString description = parts[i];
        const qsizetype paren = description.indexOf('(');
        if (paren >= 0)
            description = description.left(paren).trimmed();
        result << QString("%1 (%2)").arg(description, patterns.join(' '));
    }
    return result;
}

int QtDialogs::messageBox(const QString& caption, const QString& text, int buttons, MsgIcon icon)
{
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, dialogParent(parent_));
    for (const ButtonPair& pair : buttonPairs)
        if (buttons & pair.ours)
            box.addButton(pair.qt);
    if (box.buttons().isEmpty())
        box.addButton(QMessageBox::Ok);
    const int closed = closedBoxAnswer(buttons);
    for (const ButtonPair& pair : buttonPairs)
        if (pair.ours == closed && box.button(pair.qt))
            box.setEscapeButton(pair.qt);
    const int result = box.exec();
    for (const ButtonPair& pair : buttonPairs)
        if (result == pair.qt)
            return pair.ours;
    return closed;
}

QStringList QtDialogs::openFiles(const FileDialogRequest& request)
{
    QFileDialog dialog(dialogParent(parent_));
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtDialogs::saveFile(const FileDialogRequest& request)
{
    QFileDialog dialog(dialogParent(parent_));
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}
