#pragma once

#include <QApplication>
#include <QStringList>

#include <memory>

class Dialogs;

// The application object: its notify() catches every exception that escapes
// an event handler and shows it with the error display (caption = title,
// error icon, OK); the program goes on. An exception of a kind that carries
// no text is shown as an empty message.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    ~Application() override;

    static Application* instance();

    // The title shown for the program and as the error boxes' caption; also
    // becomes the application display name.
    void setTitle(const QString& title);
    QString title() const;

    // Where errors are shown; nullptr goes back to the real dialogs. Not owned.
    void setDialogs(Dialogs* dialogs);
    Dialogs& dialogs();

    // Shows one error the way notify() does.
    void showError(const QString& message);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;
    QStringList pendingErrors_;
    bool showingError_ = false;
};
