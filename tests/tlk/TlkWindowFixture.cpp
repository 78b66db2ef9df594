#include "TlkWindowFixture.h"

#include "Application.h"
#include "GridModel.h"
#include "StringGrid.h"
#include "TlkTestDocument.h"
#include "TlkWriter.h"
#include "Tlkeditrecunit.h"
#include "TLMDSpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

std::string tlkBytes(const std::vector<TlkRecord>& records)
{
    return writeTlkBytes(docOf(records), '.');
}

std::string manyEntriesTlk(std::uint32_t n)
{
    std::vector<RawEntry> entries(n);
    std::string strings;
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::string text = "entry number " + std::to_string(i);
        entries[i] = {tlk::TextPresent, "", 0, 0, std::uint32_t(strings.size()), std::uint32_t(text.size()), 0};
        strings += text;
    }
    return rawTlk(entries, strings);
}

std::string readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<cannot read " + path.toStdString() + ">";
    return f.readAll().toStdString();
}

void writeBytes(const QString& path, const std::string& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

namespace {

void pollModal(std::function<void(QDialog&)> act, int triesLeft)
{
    QTimer::singleShot(triesLeft == 200 ? 0 : 5, [act, triesLeft] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (triesLeft > 0) pollModal(act, triesLeft - 1);
            else ADD_FAILURE() << "no modal dialog came up";
            return;
        }
        QPointer<QDialog> guard(dialog);
        act(*dialog);
        if (guard && guard->isVisible()) {
            ADD_FAILURE() << "the modal dialog \"" << guard->windowTitle().toStdString() << "\" was left open";
            guard->reject();
        }
    });
}

} // namespace

void whenModalWidget(std::function<void(QDialog&)> act) { pollModal(std::move(act), 200); }

NoModalGuard::NoModalGuard()
{
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "an unexpected modal dialog came up: " << dialog->windowTitle().toStdString();
            dialog->reject();
        }
    });
    timer_.start();
}

NoModalGuard::~NoModalGuard() = default;

void TlkWindowTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir().mkpath(exeFolder()));
    ASSERT_TRUE(QDir().mkpath(dataFolder()));
    // Errors that escape a handler are shown through the same script, so an
    // unexpected one fails the test.
    Application::instance()->setDialogs(&dialogs);
    frame = std::make_unique<TMainForm>(dialogs, exeFolder());
    MainForm = frame.get();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    frame->EditTlkExecute();
    form = TlkEditForm;
    ASSERT_TRUE(form);
}

void TlkWindowTest::TearDown()
{
    EXPECT_FALSE(dialogs.unexpected()) << dialogs.problems().join("\n").toStdString();
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
    frame.reset();
    MainForm = nullptr;
    Application::instance()->setDialogs(nullptr);
}

QString TlkWindowTest::putFile(const QString& name, const std::string& bytes)
{
    const QString path = dataFolder() + name;
    writeBytes(path, bytes);
    return path;
}

QString TlkWindowTest::putTable(const QString& name, const std::vector<TlkRecord>& records)
{
    return putFile(name, tlkBytes(records));
}

void TlkWindowTest::open(const QString& path)
{
    dialogs.answerOpen({path});
    form->tbOpenFileClick();
}

void TlkWindowTest::modify()
{
    dialogs.answerMessage(mbYes);
    form->tbClearRowClick();
    ASSERT_TRUE(form->Modified);
}

void TlkWindowTest::addRow(int strRef, const QString& text, const QString& sound, const QString& duration)
{
    whenModal<TTERForm>([=](TTERForm& d) {
        d.Memo1->setPlainText(text);
        d.LMDSpinEdit1->setValue(strRef);
        d.Edit1->setText(sound);
        d.Edit2->setText(duration);
        d.BitBtn1->click();
    });
    form->tbAddRowClick();
}

bool TlkWindowTest::closeEditor()
{
    QWidget* sub = form->parentWidget();
    if (!sub->close()) return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return form.isNull();
}

int TlkWindowTest::rowCount() const { return form->StringGrid1->model()->rowCount(); }

QStringList TlkWindowTest::row(int r) const
{
    QStringList cells;
    for (int c = 0; c < 4; ++c) cells << form->StringGrid1->model()->cellText(c, r);
    return cells;
}

void TlkWindowTest::expectLastBox(const QString& caption, const QString& text, int buttons, MsgIcon icon) const
{
    ASSERT_FALSE(dialogs.messages().isEmpty());
    const auto& box = dialogs.messages().last();
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, buttons);
    EXPECT_EQ(box.icon, icon);
}

void TlkWindowTest::expectSaveError(const QString& path) const
{
    ASSERT_FALSE(dialogs.messages().isEmpty());
    const auto& box = dialogs.messages().last();
    const QString prefix = "Ошибка при сохранении файла.\nSysem message:\n";
    EXPECT_EQ(box.caption, "Ошибка");
    EXPECT_EQ(box.buttons, mbOK);
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_TRUE(box.text.startsWith(prefix)) << box.text.toStdString();
    EXPECT_TRUE(box.text.mid(prefix.size()).contains(path)) << box.text.toStdString();
}
