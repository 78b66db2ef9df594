#include "Tlkeditrecunit.h"

#include "Dialogs.h"
#include "TLMDSpinEdit.h"
#include "TextCodec.h"
#include "TlkOperations.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

TTERForm::TTERForm(QWidget* owner, Dialogs& dialogs, const CodePage& codePage, char decimalSeparator)
    : QDialog(owner, Qt::Tool), dialogs_(dialogs), codePage_(codePage), sep_(decimalSeparator)
{
    setWindowTitle("Edit tlk record");
    setSizeGripEnabled(true);
    resize(520, 340);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    LMDSpinEdit1 = new TLMDSpinEdit(this);
    LMDSpinEdit1->setMaxValue(16777215);
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(16);
    Edit1->installEventFilter(this);
    Edit2 = new QLineEdit(this);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "Ok", this);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel", this);
    for (QPushButton* b : {BitBtn1, BitBtn2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(BitBtn1, &QPushButton::clicked, this, &TTERForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("String Text", this), 0, 0, 1, 3);
    grid->addWidget(Memo1, 1, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->addWidget(new QLabel("StrRef *", this), 2, 0);
    grid->addWidget(new QLabel("Sound File Reference", this), 2, 1);
    grid->addWidget(new QLabel("Sound File Duration, sec", this), 2, 2);
    grid->addWidget(LMDSpinEdit1, 3, 0);
    grid->addWidget(Edit1, 3, 1);
    grid->addWidget(Edit2, 3, 2);
    auto* foot = new QHBoxLayout;
    foot->addWidget(new QLabel("* 16777215 StrRefs maximum per .tlk file", this), 1);
    foot->addWidget(BitBtn1);
    foot->addWidget(BitBtn2);
    grid->addLayout(foot, 4, 0, 1, 3);

    setTabOrder(Memo1, LMDSpinEdit1);
    setTabOrder(LMDSpinEdit1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    Memo1->setFocus();
}

// Letters typed into the sound reference box go in lower case; a loaded
// reference keeps its letters until the user types.
bool TTERForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && text != text.toLower() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            Edit1->insert(text.toLower());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTERForm::BitBtn1Click()
{
    if (auto failure = checkDuration(Edit2->text().toStdString(), sep_)) {
        dialogs_.messageBox("Ошибка", QString::fromStdString(*failure), mbOK, MsgIcon::Error);
        Edit2->setFocus();
        return;
    }
    const struct {
        QString text;
        const char* what;
    } fields[] = {{Memo1->toPlainText(), "String Text"}, {Edit1->text(), "Sound File Reference"}};
    for (const auto& f : fields) {
        QChar missing;
        if (!fromQString(f.text, codePage_, &missing)) {
            dialogs_.messageBox("Ошибка",
                                QString("The character \"%1\" (U+%2) in \"%3\" cannot be stored in this talk "
                                        "table's code page (%4).")
                                    .arg(missing)
                                    .arg(missing.unicode(), 4, 16, QChar('0'))
                                    .arg(f.what)
                                    .arg(QString::fromStdString(codePage_.name())),
                                mbOK, MsgIcon::Error);
            return;
        }
    }
    accept();
}
