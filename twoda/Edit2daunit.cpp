#include "Edit2daunit.h"

#include "ImageLists.h"
#include "Mainunit.h"

#include <QAction>
#include <QCloseEvent>

TEdit2daForm* Edit2daForm = nullptr;

TEdit2daForm::TEdit2daForm(TMainForm* owner)
    : QWidget(nullptr), owner_(owner)
{
    setWindowTitle("2da edit window");
    setWindowIcon(actionImages().value(1));
    resize(700, 450);
}

TEdit2daForm::~TEdit2daForm()
{
    if (Edit2daForm == this) Edit2daForm = nullptr;
}

void TEdit2daForm::FormClose()
{
    owner_->Edit2da->setEnabled(true);
}

void TEdit2daForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}
