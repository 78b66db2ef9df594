#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TLMDSpinEdit;

// The append dialog "Append .tlk file": the StrRef the appended entries
// start with. Closing it without Ok cancels the append.
class TAppendTlkForm : public QDialog {
    Q_OBJECT
public:
    explicit TAppendTlkForm(QWidget* owner);

    QLabel* Label1 = nullptr;
    TLMDSpinEdit* LMDSpinEdit1 = nullptr;
    QPushButton* Button1 = nullptr;
};
