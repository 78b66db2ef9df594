#pragma once

#include <QDialog>

class Dialogs;
class CodePage;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TLMDSpinEdit;

// The record dialog "Edit tlk record": text, StrRef, sound reference and
// duration of one talk table entry, for Add Row and Edit Row.
class TTERForm : public QDialog {
    Q_OBJECT
public:
    TTERForm(QWidget* owner, Dialogs& dialogs, const CodePage& codePage, char decimalSeparator);

    QPlainTextEdit* Memo1 = nullptr;
    TLMDSpinEdit* LMDSpinEdit1 = nullptr;
    QLineEdit* Edit1 = nullptr; // sound reference
    QLineEdit* Edit2 = nullptr; // duration
    QPushButton* BitBtn1 = nullptr; // Ok
    QPushButton* BitBtn2 = nullptr; // Cancel

    // The duration check, then the check that every text fits the code
    // page; the dialog closes with OK only when both pass.
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dialogs& dialogs_;
    const CodePage& codePage_;
    char sep_;
};
