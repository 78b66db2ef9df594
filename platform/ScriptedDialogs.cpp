#include "ScriptedDialogs.h"

namespace {

QString buttonNames(int buttons)
{
    QStringList names;
    if (buttons & mbOK)
        names << "OK";
    if (buttons & mbCancel)
        names << "Cancel";
    if (buttons & mbYes)
        names << "Yes";
    if (buttons & mbNo)
        names << "No";
    return names.join('|');
}

} // namespace

ScriptedDialogs::~ScriptedDialogs() = default;

void ScriptedDialogs::answerMessage(int button)
{
    messageAnswers_.push_back(button);
}

void ScriptedDialogs::answerOpen(const QStringList& files)
{
    fileAnswers_.emplace_back(FileKind::Open, files);
}

void ScriptedDialogs::answerSave(const QString& path)
{
    fileAnswers_.emplace_back(FileKind::Save, path.isEmpty() ? QStringList() : QStringList{path});
}

int ScriptedDialogs::messageBox(const QString& caption, const QString& text, int buttons, MsgIcon icon)
{
    MessageRecord record{caption, text, buttons, icon, closedBoxAnswer(buttons)};
    if (messageAnswers_.empty()) {
        problems_ << QString("unexpected message box \"%1\": \"%2\"").arg(caption, text);
    } else {
        const int answer = messageAnswers_.front();
        messageAnswers_.pop_front();
        if (answer & buttons)
            record.answer = answer;
        else
            problems_ << QString("answer %1 is not among the buttons %2 of \"%3\"")
                             .arg(buttonNames(answer), buttonNames(buttons), text);
    }
    messages_ << record;
    return record.answer;
}

QStringList ScriptedDialogs::openFiles(const FileDialogRequest& request)
{
    FileRecord record{FileKind::Open, request, {}};
    if (fileAnswers_.empty() || fileAnswers_.front().first != FileKind::Open) {
        problems_ << QString("unexpected open dialog \"%1\"").arg(request.title);
    } else {
        record.answer = fileAnswers_.front().second;
        fileAnswers_.pop_front();
        if (!request.multiSelect && record.answer.size() > 1)
            problems_ << QString("several files answered to the single-file dialog \"%1\"").arg(request.title);
    }
    fileDialogs_ << record;
    return record.answer;
}

QString ScriptedDialogs::saveFile(const FileDialogRequest& request)
{
    FileRecord record{FileKind::Save, request, {}};
    if (fileAnswers_.empty() || fileAnswers_.front().first != FileKind::Save) {
        problems_ << QString("unexpected save dialog \"%1\"").arg(request.title);
    } else {
        record.answer = fileAnswers_.front().second;
        fileAnswers_.pop_front();
    }
    fileDialogs_ << record;
    return record.answer.value(0);
}

int ScriptedDialogs::pendingAnswers() const
{
    return int(messageAnswers_.size() + fileAnswers_.size());
}

void ScriptedDialogs::clear()
{
    messageAnswers_.clear();
    fileAnswers_.clear();
    messages_.clear();
    fileDialogs_.clear();
    problems_.clear();
}
