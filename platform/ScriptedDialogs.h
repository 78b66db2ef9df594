#pragma once

#include "Dialogs.h"

#include <QList>

#include <deque>

// Dialogs for tests: answers are queued in advance and taken in turn; every
// box and file dialog shown is recorded. A box or dialog with no answer
// queued (or answered with a button it does not offer) is recorded, marks
// the script unexpected() and is answered as if closed (closedBoxAnswer, or
// a cancelled file dialog), so a test sees it by checking unexpected().
class ScriptedDialogs : public Dialogs {
public:
    struct MessageRecord {
        QString caption;
        QString text;
        int buttons = 0;
        MsgIcon icon = MsgIcon::None;
        int answer = 0;
    };
    enum class FileKind { Open, Save };
    struct FileRecord {
        FileKind kind = FileKind::Open;
        FileDialogRequest request;
        QStringList answer;
    };

    ~ScriptedDialogs() override;

    void answerMessage(int button);
    // The files an open dialog returns; an empty list cancels it.
    void answerOpen(const QStringList& files);
    // The path a save dialog returns; an empty text cancels it.
    void answerSave(const QString& path);

    int messageBox(const QString& caption, const QString& text, int buttons, MsgIcon icon) override;
    QStringList openFiles(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;

    const QList<MessageRecord>& messages() const { return messages_; }
    const QList<FileRecord>& fileDialogs() const { return fileDialogs_; }
    // A box or dialog came that the script did not expect.
    bool unexpected() const { return !problems_.isEmpty(); }
    // What went wrong, one line per problem, for test output.
    const QStringList& problems() const { return problems_; }
    // Answers queued but never taken.
    int pendingAnswers() const;
    void clear();

private:
    std::deque<int> messageAnswers_;
    std::deque<std::pair<FileKind, QStringList>> fileAnswers_;
    QList<MessageRecord> messages_;
    QList<FileRecord> fileDialogs_;
    QStringList problems_;
};
