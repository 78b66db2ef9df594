#include "Mainunit.h"

#include "Edit2daunit.h"
#include "ImageLists.h"
#include "Tlkeditunit.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

TMainForm* MainForm = nullptr;

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf('/') + 1);
}

TMainForm::TMainForm(Dialogs& dialogs, const QString& exeFolder, QWidget* parent)
    : QMainWindow(parent), Settings(""), dialogs_(dialogs), exeFolder_(exeFolder)
{
    setWindowTitle("Quellmoor Toolkit *Standart Edition*");
    resize(781, 538);
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setBackground(QColor(128, 128, 128)); // clGray
    setCentralWidget(mdiArea_);
    StatusBar1 = statusBar();
    buildMenu();
    LoadSettings(exeFolder);
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::LoadSettings(const QString& exeFolder)
{
    Settings = IniFile((exeFolder + "varnholdstd.conf").toStdString());
    const std::string def = exeFolder.toStdString();
    TlkInitialDirectory = QString::fromStdString(Settings.readString("settings", "TlkInitialDirectory", def));
    _2daInitialDirectory = QString::fromStdString(Settings.readString("settings", "_2daInitialDirectory", def));
}

void TMainForm::writeSetting(const QString& key, const QString& value)
{
    Settings.writeString("settings", key.toStdString(), value.toStdString());
}

void TMainForm::buildMenu()
{
    const QList<QIcon> images = actionImages();

    Exit = new QAction("&Выход", this);
    Exit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(Exit, &QAction::triggered, this, &TMainForm::ExitExecute);

    EditTlk = new QAction(images.value(0), "&Редактировать &tlk-файл", this);
    EditTlk->setToolTip("Редактировать .tlk файл");
    EditTlk->setStatusTip("Редактировать .tlk файл");
    EditTlk->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(EditTlk, &QAction::triggered, this, &TMainForm::EditTlkExecute);

    Edit2da = new QAction(images.value(1), "Редактировать &2da-файл", this);
    Edit2da->setToolTip("Редактировать .2da файлы");
    Edit2da->setStatusTip("Редактировать .2da файлы");
    Edit2da->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(Edit2da, &QAction::triggered, this, &TMainForm::Edit2daExecute);

    QMenu* N1 = menuBar()->addMenu("&Файл");
    N1->addAction(Exit);
    QMenu* N5 = menuBar()->addMenu("&Действия");
    N5->addAction(EditTlk);
    N5->addAction(Edit2da);
    N7 = menuBar()->addMenu("&Окно");
    connect(N7, &QMenu::aboutToShow, this, &TMainForm::updateWindowMenu);
    updateWindowMenu();

    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->addAction(EditTlk);
    ToolBar1->addAction(Edit2da);
}

// The window menu: a separator, then one entry per open child window.
void TMainForm::updateWindowMenu()
{
    N7->clear();
    N7->addSeparator();
    const auto windows = mdiArea_->subWindowList();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* w = windows[i];
        QAction* a = N7->addAction(QString("&%1 %2").arg(i + 1).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == mdiArea_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { mdiArea_->setActiveSubWindow(w); });
    }
}

void TMainForm::ExitExecute() { close(); }

void TMainForm::EditTlkExecute()
{
    auto* form = new TTlkEditForm(this);
    TlkEditForm = form;
    QMdiSubWindow* sub = mdiArea_->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The design's 813 by 540, wide enough for the tool bar in this platform's font.
    sub->resize(qMax(813, form->sizeHint().width() + 20), 540);
    sub->show();
    form->repaint();
    EditTlk->setEnabled(false);
}

void TMainForm::Edit2daExecute()
{
    auto* form = new TEdit2daForm(this);
    Edit2daForm = form;
    QMdiSubWindow* sub = mdiArea_->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    form->repaint();
    Edit2da->setEnabled(false);
}

// Every child is asked first; one refusal keeps the whole application open.
// The children then go with the frame without their close handlers.
void TMainForm::closeEvent(QCloseEvent* event)
{
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        auto* tlk = qobject_cast<TTlkEditForm*>(sub->widget());
        if (!tlk) continue;
        if (tlk->isBusy()) {
            tlk->holdCloseUntilLoopEnds(this);
            event->ignore();
            return;
        }
        if (!tlk->FormCloseQuery()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
