#include "Application.h"

#include "ErrorDisplay.h"
#include "QtDialogs.h"

#include <exception>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), ownDialogs_(std::make_unique<QtDialogs>())
{
}

Application::~Application() = default;

Application* Application::instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::setTitle(const QString& title)
{
    setApplicationDisplayName(title);
}

QString Application::title() const
{
    return applicationDisplayName();
}

void Application::setDialogs(Dialogs* dialogs)
{
    dialogs_ = dialogs;
}

Dialogs& Application::dialogs()
{
    return dialogs_ ? *dialogs_ : *ownDialogs_;
}

void Application::showError(const QString& message)
{
    // An error raised while an error box is up (by events handled inside
    // it) waits until that box is closed, so boxes never stack up.
    pendingErrors_ << message;
    if (showingError_)
        return;
    showingError_ = true;
    while (!pendingErrors_.isEmpty()) {
        const QString next = pendingErrors_.takeFirst();
        try {
            showErrorBox(dialogs(), title(), next);
        } catch (...) {
        }
    }
    showingError_ = false;
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showError(exceptionText(error));
    } catch (...) {
        showError(QString());
    }
    return false;
}
