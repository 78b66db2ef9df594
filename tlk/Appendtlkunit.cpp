#include "Appendtlkunit.h"

#include "TLMDSpinEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TAppendTlkForm::TAppendTlkForm(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle("Append .tlk file");
    Label1 = new QLabel("Start with StrRef", this);
    LMDSpinEdit1 = new TLMDSpinEdit(this);
    LMDSpinEdit1->setMaxValue(16777215);
    LMDSpinEdit1->setMinimumWidth(100);
    Button1 = new QPushButton("&Ok", this);
    Button1->setAutoDefault(false);
    Button1->setDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout(this);
    row->addWidget(Label1);
    row->addWidget(LMDSpinEdit1);
    row->addWidget(Button1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    LMDSpinEdit1->setFocus();
}
