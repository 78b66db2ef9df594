#include "Tlkeditunit.h"

#include "Appendtlkunit.h"
#include "Dialogs.h"
#include "ImageLists.h"
#include "InputFile.h"
#include "IniFile.h"
#include "Mainunit.h"
#include "MessagePump.h"
#include "StringGrid.h"
#include "TLMDSpinEdit.h"
#include "TextCodec.h"
#include "TlkFile.h"
#include "TlkOperations.h"
#include "Tlkeditrecunit.h"
#include "TlkWriter.h"

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

TTlkEditForm* TlkEditForm = nullptr;

namespace {

const char* const kTlkFilter = "Tlk files (*.tlk)|*.tlk|All files (*.*)|*.*";
const QColor kInfoColor(255, 255, 232); // 15269887

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

char systemDecimalSeparator()
{
    QString p = QLocale::system().decimalPoint();
    return p.size() == 1 && p[0].unicode() < 0x80 ? char(p[0].unicode()) : '.';
}

} // namespace

// Marks a long loop: the window is not destroyed and does not close while
// one runs; a close asked for meanwhile happens when the loop ends.
class TTlkEditForm::LoopGuard {
public:
    explicit LoopGuard(TTlkEditForm& form) : form_(form) { ++form_.loopDepth_; }
    ~LoopGuard()
    {
        if (--form_.loopDepth_ == 0 && form_.pendingClose_) {
            QPointer<QWidget> target = form_.pendingClose_;
            form_.pendingClose_ = nullptr;
            QTimer::singleShot(0, target, [target] {
                if (target) target->close();
            });
        }
    }

private:
    TTlkEditForm& form_;
};

// Open and append: a long loop with the file and row commands locked (the
// first eleven tool bar items); however it ends, they are unlocked and the
// progress display hidden.
class TTlkEditForm::LockedFileLoop {
public:
    explicit LockedFileLoop(TTlkEditForm& form) : form_(form), loop_(form) { form_.SetToolbarItemsEnabled(11, false); }
    ~LockedFileLoop()
    {
        form_.SetToolbarItemsEnabled(11, true);
        form_.hideProgress();
    }

private:
    TTlkEditForm& form_;
    LoopGuard loop_;
};

TTlkEditForm::TTlkEditForm(TMainForm* owner)
    : QWidget(nullptr), owner_(owner), dialogs_(owner->dialogs()), sep_(systemDecimalSeparator()),
      pump_(std::make_unique<MessagePump>())
{
    setWindowTitle("TLK edit window");
    setWindowIcon(actionImages().value(0));
    resize(813, 540);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(ToolBar1);

    StringGrid1 = new StringGrid(this);
    StringGrid1->setFrameShape(QFrame::NoFrame);
    StringGrid1->setCellColor(kInfoColor);
    StringGrid1->setDefaultRowHeight(18);
    StringGrid1->setOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect |
                            goColSizing | goRowSelect | goThumbTracking);
    // The design's widths, widened where this platform's font needs more
    // room for a caption.
    const int widths[] = {64, 455, 111, 104};
    const QFontMetrics metrics(StringGrid1->font());
    for (int c = 0; c < 4; ++c) StringGrid1->setColWidth(c, qMax(widths[c], metrics.horizontalAdvance(
        TlkGridModel::caption(c)) + 10));
    model_ = std::make_unique<TlkGridModel>(doc_, *codePage_, sep_);
    StringGrid1->setModel(model_.get());
    StringGrid1->onSelectCell = [this](int col, int row) { return StringGrid1SelectCell(col, row); };
    connect(StringGrid1, &StringGrid::doubleClicked, this, &TTlkEditForm::tbEditRowClick);
    layout->addWidget(StringGrid1, 1);

    buildPanel();
    layout->addWidget(Panel1);

    FileName = QString();
    tbNewFileClick();
}

TTlkEditForm::~TTlkEditForm()
{
    if (TlkEditForm == this) TlkEditForm = nullptr;
}

void TTlkEditForm::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFixedHeight(30);
    const QList<QIcon> images = childImages();
    auto button = [&](const char* hint, int picture, void (TTlkEditForm::*handler)()) {
        QAction* a = ToolBar1->addAction(images.value(picture), QString::fromUtf8(hint));
        a->setToolTip(QString::fromUtf8(hint));
        a->setStatusTip(QString::fromUtf8(hint));
        connect(a, &QAction::triggered, this, handler);
        toolbarItems_ << a;
        return a;
    };
    auto separator = [&] { toolbarItems_ << ToolBar1->addSeparator(); };
    auto widget = [&](QWidget* w) { toolbarItems_ << ToolBar1->addWidget(w); };

    tbNewFile = button("Новый файл", ciNewFile, &TTlkEditForm::tbNewFileClick);
    tbOpenFile = button("Открыть tlk-файл", ciOpen, &TTlkEditForm::tbOpenFileClick);
    separator();
    tbAppendFile = button("Присоединить tlk-файл к текущему", ciAppendFile, &TTlkEditForm::tbAppendFileClick);
    separator();
    tbSave = button("Сохранить", ciSave, &TTlkEditForm::tbSaveClick);
    tbSaveAs = button("Сохранить как...", ciSaveAs, &TTlkEditForm::tbSaveAsClick);
    separator();
    tbAddRow = button("Добавить строку в файл", ciAddRow, &TTlkEditForm::tbAddRowClick);
    tbEditRow = button("Редактировать строку", ciEditRow, &TTlkEditForm::tbEditRowClick);
    tbClearRow = button("Удалить строку из файла", ciClearRow, &TTlkEditForm::tbClearRowClick);
    separator();

    widget(new QLabel("Goto StrRef: ", ToolBar1));
    Edit1 = new QLineEdit(ToolBar1);
    Edit1->setFixedWidth(70);
    Edit1->setToolTip("Быстрый переход к строке с указанным StrRef'ом");
    Edit1->installEventFilter(this);
    // The box shows what is typed in lower case.
    connect(Edit1, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (t != t.toLower()) {
            int pos = Edit1->cursorPosition();
            Edit1->setText(t.toLower());
            Edit1->setCursorPosition(pos);
        }
    });
    widget(Edit1);
    SpeedButton1 = new QToolButton(ToolBar1);
    SpeedButton1->setText("Go");
    SpeedButton1->setAutoRaise(true);
    connect(SpeedButton1, &QToolButton::clicked, this, &TTlkEditForm::SpeedButton1Click);
    widget(SpeedButton1);
    separator();
    widget(new QLabel("Find string: ", ToolBar1));
    Edit2 = new QLineEdit(ToolBar1);
    Edit2->setFixedWidth(120);
    Edit2->setToolTip("Текст строки для поиска");
    Edit2->installEventFilter(this);
    widget(Edit2);
    widget(new QLabel("Where: ", ToolBar1));
    ComboBox1 = new QComboBox(ToolBar1);
    ComboBox1->addItems({"StrRef", "SoundRef"});
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setToolTip("Где искать");
    widget(ComboBox1);
    SpeedButton2 = new QToolButton(ToolBar1);
    SpeedButton2->setText("Go");
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setToolTip("Поиск указанной строки с текущей позиции в таблице");
    connect(SpeedButton2, &QToolButton::clicked, this, &TTlkEditForm::SpeedButton2Click);
    widget(SpeedButton2);
    Label6 = new QLabel("Gotcha!!!", ToolBar1);
    QFont resultFont("Comic Sans MS");
    resultFont.setBold(true);
    resultFont.setPixelSize(13);
    Label6->setFont(resultFont);
    Label6->setAlignment(Qt::AlignCenter);
    // One width for both results, so the window can keep room for it.
    const QFontMetrics resultMetrics(resultFont);
    Label6->setFixedWidth(qMax(80, qMax(resultMetrics.horizontalAdvance("Gotcha!!!"),
                                        resultMetrics.horizontalAdvance("Not found")) + 8));
    Label6->setStyleSheet("color: rgb(255, 0, 255);");
    label6Item_ = ToolBar1->addWidget(Label6);
    toolbarItems_ << label6Item_;
    label6Item_->setVisible(false);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1500);
    connect(Timer1, &QTimer::timeout, this, &TTlkEditForm::Timer1Timer);
}

// The find result appears at the tool bar's end only after a search; the
// window's width counts it from the start, so that it never lands in the
// tool bar's overflow where nobody sees it.
QSize TTlkEditForm::sizeHint() const
{
    QSize hint = QWidget::sizeHint();
    if (!label6Item_->isVisible()) {
        const int spacing = ToolBar1->style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, ToolBar1);
        hint.setWidth(qMax(hint.width(), ToolBar1->sizeHint().width() + Label6->width() + spacing));
    }
    return hint;
}

void TTlkEditForm::buildPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(125);
    auto* label2 = new QLabel("String Text", Panel1);
    label2->move(12, 4);
    Label1 = new QLabel("modified", Panel1);
    Label1->setStyleSheet("color: red;");
    Label1->move(760, 4);
    Label1->hide();
    ProgressLabel = new QLabel("Opening Progress:", Panel1);
    ProgressLabel->setGeometry(337, 2, 121, 16);
    ProgressLabel->setAlignment(Qt::AlignCenter);
    ProgressLabel->hide();
    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setGeometry(458, 2, 283, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    StaticText1 = new QLabel(Panel1);
    StaticText1->setTextFormat(Qt::PlainText);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StaticText1->setWordWrap(true);
    StaticText1->setAutoFillBackground(true);
    QPalette pal = StaticText1->palette();
    pal.setColor(QPalette::Window, kInfoColor);
    StaticText1->setPalette(pal);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    StaticText1->setGeometry(4, 20, 798, 101);
    StaticText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Panel1->installEventFilter(this);
}

bool TTlkEditForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1 && event->type() == QEvent::Resize) {
        // The text display stretches with the panel's width.
        StaticText1->setFixedWidth(qMax(40, Panel1->width() - 8));
        Label1->move(qMax(100, Panel1->width() - 53), 4);
    } else if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == Edit1) SpeedButton1Click();
            else SpeedButton2Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TTlkEditForm::setDecimalSeparator(char sep)
{
    sep_ = sep;
    model_ = std::make_unique<TlkGridModel>(doc_, *codePage_, sep_);
    StringGrid1->setModel(model_.get());
}

void TTlkEditForm::SetToolbarItemsEnabled(int count, bool enabled)
{
    for (int i = 0; i < count && i < toolbarItems_.size(); ++i) toolbarItems_[i]->setEnabled(enabled);
}

void TTlkEditForm::FormatTitle() { setWindowTitle(QString("Tlk edit window - [%1]").arg(FileName)); }

void TTlkEditForm::setModified()
{
    Modified = true;
    Label1->show();
}

void TTlkEditForm::documentReset()
{
    StringGrid1->modelReset();
}

void TTlkEditForm::showProgress(const QString& caption, int maximum, bool resetPosition)
{
    ProgressLabel->setText(caption);
    ProgressBar1->setMaximum(maximum);
    if (resetPosition) ProgressBar1->setValue(0);
    ProgressLabel->show();
    ProgressBar1->show();
}

void TTlkEditForm::hideProgress()
{
    ProgressLabel->hide();
    ProgressBar1->hide();
}

QString TTlkEditForm::rowText(int row) const
{
    if (row < 1 || std::uint32_t(row - 1) >= doc_.count()) return {};
    return toQString(doc_.text(std::uint32_t(row - 1)), *codePage_);
}

bool TTlkEditForm::StringGrid1SelectCell(int /*col*/, int row)
{
    StaticText1->setText(rowText(row));
    return true;
}

void TTlkEditForm::selectRow(int row)
{
    StringGrid1->setCurrentCell(StringGrid1->col() < 0 ? 0 : StringGrid1->col(), row);
}

void TTlkEditForm::tbNewFileClick()
{
    // The table stays as it is while a long loop reads or writes it.
    if (isBusy()) return;
    if (Modified &&
        dialogs_.messageBox("Question", "This Talk table was modified. Wanna save?", mbYes | mbNo,
                            MsgIcon::Question) == mbYes)
        tbSaveAsClick();
    doc_.reset();
    documentReset();
    FileName = owner_->TlkInitialDirectory + "new.tlk";
    fileNameChosen_ = false;
    FormatTitle();
}

void TTlkEditForm::tbOpenFileClick()
{
    if (isBusy()) return;
    tbNewFileClick();
    FileDialogRequest request;
    request.filter = kTlkFilter;
    request.folder = owner_->TlkInitialDirectory;
    request.defaultExt = "Tlk file";
    openDialogFolder_ = request.folder;
    const QStringList chosen = dialogs_.openFiles(request);
    if (chosen.isEmpty()) return;
    const QString path = chosen.first();

    LockedFileLoop loop(*this);

    try {
        InputFile(localPath(path)).close(); // a file that cannot be opened ends the command here
        owner_->TlkInitialDirectory = folderOf(path);
        try {
            owner_->writeSetting("TlkInitialDirectory", owner_->TlkInitialDirectory);
        } catch (const IniWriteError&) {
            // The folder stays known for this session; the open goes on.
        }
        pump_->run(); // the settings write waits for the disk
        TlkReadPoints points = pumpingReadPoints();
        points.beforeEntries = [this](std::uint32_t count) { showProgress("Opening Progress:", int(count), false); };
        points.afterEntry = [this](std::uint32_t i) {
            if (pump_->due()) {
                ProgressBar1->setValue(int(i) + 1);
                pump_->run();
            }
        };
        auto file = ReadTlk(localPath(path), points);
        doc_.assign(std::move(file));
        documentReset();
        OpenedFromFile = true;
        FileName = path;
        fileNameChosen_ = true;
        FormatTitle();
    } catch (const std::exception&) {
        // An open that fails ends without a message; the fresh table stays.
    }
}

TlkReadPoints TTlkEditForm::pumpingReadPoints()
{
    TlkReadPoints points;
    points.duringRead = [this] { pump_->run(); };
    points.afterEntryTable = [this] { pump_->run(); };
    points.afterClose = [this] { pump_->run(); };
    return points;
}

bool TTlkEditForm::writeTable(const QString& path)
{
    LoopGuard loop(*this);
    TlkWritePoints points;
    points.start = [this] {
        SetToolbarItemsEnabled(9, false);
        showProgress("Saving Progress:", int(doc_.count()), true);
    };
    points.entry = [this](std::uint32_t) { pump_->pump(); };
    points.text = [this](std::uint32_t i) {
        if (pump_->due()) {
            ProgressBar1->setValue(int(i) + 1);
            pump_->run();
        }
    };
    points.end = [this] {
        // The last texts since the pump last ran, before the file is synced
        // and renamed into place.
        if (std::uncaught_exceptions() == 0) pump_->run();
        SetToolbarItemsEnabled(9, true);
        hideProgress();
    };
    try {
        WriteTlk(doc_, localPath(path), sep_, points);
        return true;
    } catch (const std::exception& e) {
        dialogs_.messageBox("Ошибка", "Ошибка при сохранении файла.\nSysem message:\n" + QString::fromUtf8(e.what()),
                            mbOK, MsgIcon::Error);
        return false;
    }
}

void TTlkEditForm::tbSaveClick()
{
    if (isBusy()) return;
    if (!Modified) return;
    if (OpenedFromFile && fileNameChosen_) {
        if (writeTable(FileName)) {
            Modified = false;
            Label1->hide();
        }
    } else {
        tbSaveAsClick();
    }
}

void TTlkEditForm::tbSaveAsClick() { saveAs(); }

bool TTlkEditForm::saveAs()
{
    if (isBusy()) return true;
    FileDialogRequest request;
    request.title = "Save As...";
    request.filter = kTlkFilter;
    request.defaultExt = "tlk";
    request.confirmOverwrite = true;
    if (OpenedFromFile) {
        request.fileName = FileName;
    } else {
        request.folder = owner_->TlkInitialDirectory;
        request.fileName = lastSaveAsName_;
    }
    const QString chosen = dialogs_.saveFile(request);
    bool written = true;
    if (!chosen.isEmpty()) {
        const QString previous = FileName;
        FileName = chosen;
        lastSaveAsName_ = chosen;
        if (writeTable(chosen)) {
            Modified = false;
            Label1->hide();
            fileNameChosen_ = true;
        } else {
            FileName = previous;
            written = false;
        }
    }
    FormatTitle();
    return written;
}

bool TTlkEditForm::FormCloseQuery()
{
    if (Modified) {
        const int answer = dialogs_.messageBox("Question", "File was modified, but not saved. Wanna save?",
                                               mbYes | mbNo | mbCancel, MsgIcon::Question);
        if (answer != mbYes && answer != mbNo) return false;
        if (answer == mbYes) {
            if (!saveAs()) return false; // the user's work is not lost to a failed write
        }
    }
    owner_->setCursor(Qt::WaitCursor);
    owner_->StatusBar1->showMessage("Cleaning up memory...Please wait");
    owner_->StatusBar1->showMessage("Ready");
    pump_->run();
    return true;
}

void TTlkEditForm::FormClose()
{
    owner_->unsetCursor();
    owner_->EditTlk->setEnabled(true);
}

void TTlkEditForm::holdCloseUntilLoopEnds(QWidget* target) { pendingClose_ = target; }

void TTlkEditForm::closeEvent(QCloseEvent* event)
{
    if (isBusy()) {
        holdCloseUntilLoopEnds(parentWidget() ? parentWidget() : this);
        event->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TTlkEditForm::Timer1Timer()
{
    label6Item_->setVisible(false);
    Timer1->stop();
}

namespace {

const char* const kNoStrRefLeft =
    "No StrRef is left after the last entry: a talk table holds at most 16777216 entries (StrRefs 0 to 16777215).";

} // namespace

bool TTlkEditForm::refuseWhenFull()
{
    if (doc_.count() < tlk::kMaxEntries) return false;
    dialogs_.messageBox("Ошибка", kNoStrRefLeft, mbOK, MsgIcon::Error);
    return true;
}

TlkRecord TTlkEditForm::recordOf(const TTERForm& form) const
{
    // The dialog has checked that every text fits the code page.
    TlkRecord r;
    r.text = normaliseText(fromQString(form.Memo1->toPlainText(), *codePage_).value_or(Bytes()));
    r.sound = fromQString(form.Edit1->text(), *codePage_).value_or(Bytes());
    r.duration = fromQString(form.Edit2->text(), *codePage_).value_or(Bytes());
    return r;
}

void TTlkEditForm::tbAddRowClick()
{
    if (isBusy() || refuseWhenFull()) return;
    const int n = int(doc_.count());
    TTERForm form(this, dialogs_, *codePage_, sep_);
    form.LMDSpinEdit1->setMinValue(n);
    form.LMDSpinEdit1->setMaxValue(int(tlk::kMaxStrRef));
    form.LMDSpinEdit1->setValue(n);
    if (form.exec() != QDialog::Accepted || isBusy()) return;
    const int row = addRecord(doc_, form.LMDSpinEdit1->value(), recordOf(form));
    documentReset();
    selectRow(row);
    StaticText1->setText(rowText(row));
    setModified();
}

int TTlkEditForm::entryRow() const
{
    const int row = StringGrid1->row();
    return doc_.count() > 0 && row >= 1 && std::uint32_t(row) <= doc_.count() ? row : -1;
}

void TTlkEditForm::tbEditRowClick()
{
    const int row = entryRow();
    if (isBusy() || row < 0) return;
    TTERForm form(this, dialogs_, *codePage_, sep_);
    const std::uint32_t i = std::uint32_t(row - 1);
    form.LMDSpinEdit1->setValue(int(i));
    form.LMDSpinEdit1->setEnabled(false);
    QStringList lines;
    for (const Bytes& line : splitLines(doc_.text(i))) lines << toQString(line, *codePage_);
    form.Memo1->setPlainText(lines.join('\n'));
    form.Edit1->setText(toQString(doc_.sound(i), *codePage_));
    form.Edit2->setText(toQString(doc_.durationText(i, sep_), *codePage_));
    if (form.exec() != QDialog::Accepted || isBusy()) return;
    editRecord(doc_, row, recordOf(form));
    StringGrid1->cellsChanged();
    StaticText1->setText(rowText(StringGrid1->row()));
    setModified();
}

void TTlkEditForm::tbClearRowClick()
{
    const int row = entryRow();
    if (isBusy() || row < 0) return;
    if (dialogs_.messageBox("Question", "Delete info from tlk record?", mbYes | mbNo, MsgIcon::Question) != mbYes)
        return;
    if (isBusy()) return;
    clearRecord(doc_, row);
    StringGrid1->cellsChanged();
    StaticText1->setText(rowText(StringGrid1->row()));
    setModified();
}

void TTlkEditForm::SpeedButton1Click()
{
    const TlkGotoResult result = gotoStrRef(Edit1->text().toStdString(), doc_.count());
    if (result.kind != TlkGotoResult::Found) {
        dialogs_.messageBox("Ошибка", QString::fromStdString(result.message), mbOK, MsgIcon::Error);
        if (result.kind == TlkGotoResult::ConversionFailure) Edit1->setFocus();
        return;
    }
    if (result.row != StringGrid1->row()) selectRow(result.row);
    StringGrid1->setFocus();
}

void TTlkEditForm::SpeedButton2Click()
{
    if (searching_) return;
    searching_ = true;
    const auto column = ComboBox1->currentIndex() == 1 ? TlkSearchColumn::Sound : TlkSearchColumn::Text;
    // Text the code page cannot hold occurs in no entry: searched as an
    // empty text, it matches no row.
    const std::optional<Bytes> needle = fromQString(Edit2->text(), *codePage_);
    TlkSearch search(doc_, column, StringGrid1->row(), needle.value_or(Bytes()), *codePage_);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        LoopGuard loop(*this);
        // The rows the search may select stay where they are while it runs.
        // A search can run inside an open or a save (its controls are never
        // locked), so it gives back the lock it found, not a blanket unlock.
        QList<bool> wasEnabled;
        for (int i = 0; i < 11 && i < toolbarItems_.size(); ++i) wasEnabled << toolbarItems_[i]->isEnabled();
        SetToolbarItemsEnabled(11, false);
        search.run([this] {
            pump_->pump();
            return true;
        });
        for (int i = 0; i < wasEnabled.size(); ++i) toolbarItems_[i]->setEnabled(wasEnabled[i]);
    }
    if (search.state() == TlkSearch::State::Found) {
        selectRow(search.foundRow());
        Label6->setText("Gotcha!!!");
        Label6->setStyleSheet("color: rgb(255, 0, 255);");
    } else {
        Label6->setText("Not found");
        Label6->setStyleSheet("color: rgb(0, 0, 255);");
    }
    label6Item_->setVisible(true);
    Timer1->start();
    QApplication::restoreOverrideCursor();
    searching_ = false;
}

void TTlkEditForm::tbAppendFileClick()
{
    if (isBusy() || refuseWhenFull()) return;
    FileDialogRequest request;
    request.filter = kTlkFilter;
    request.folder = openDialogFolder_;
    request.defaultExt = "Tlk file";
    const QStringList chosen = dialogs_.openFiles(request);
    if (chosen.isEmpty()) return;
    const QString path = chosen.first();
    try {
        InputFile(localPath(path)).close();
    } catch (const std::exception&) {
        dialogs_.messageBox("Ошибка", "Cannot open file " + path, mbOK, MsgIcon::Error);
        return;
    }

    int start;
    {
        TAppendTlkForm form(this);
        form.LMDSpinEdit1->setMinValue(int(doc_.count()));
        form.LMDSpinEdit1->setValue(int(doc_.count()));
        if (form.exec() != QDialog::Accepted || isBusy()) return;
        start = form.LMDSpinEdit1->value();
    }

    LockedFileLoop loop(*this);

    // The whole file is read and checked before any row is added, so a
    // damaged file changes nothing.
    std::shared_ptr<const TlkFile> file;
    try {
        file = ReadTlk(localPath(path), pumpingReadPoints());
    } catch (const std::exception& e) {
        dialogs_.messageBox("Ошибка", QString::fromUtf8(e.what()), mbOK, MsgIcon::Error);
        return;
    }

    TlkAppendProgress progress;
    progress.begin = [this](TlkAppendProgress::Phase phase, std::uint32_t total) {
        showProgress(phase == TlkAppendProgress::BlankRows ? "Adding Blank Rows:" : "Opening Progress:", int(total),
                     false);
    };
    progress.row = [this](TlkAppendProgress::Phase, std::uint32_t done) {
        if (pump_->due()) {
            ProgressBar1->setValue(int(done));
            pump_->run();
        }
    };
    try {
        appendTlk(doc_, std::move(file), start, progress);
    } catch (const std::exception& e) {
        dialogs_.messageBox("Ошибка", QString::fromUtf8(e.what()), mbOK, MsgIcon::Error);
        return;
    }
    documentReset();
    setModified();
}
