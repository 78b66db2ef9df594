#include "ErrorDisplay.h"

#include "Application.h"
#include "Dialogs.h"
#include "QtDialogs.h"

QString errorDisplayText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QChar('.'))
        return message + '.';
    return message;
}

QString exceptionText(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

void showErrorBox(Dialogs& dialogs, const QString& caption, const QString& message)
{
    dialogs.messageBox(caption, errorDisplayText(message), mbOK, MsgIcon::Error);
}

void showApplicationError(const QString& message)
{
    if (Application* app = Application::instance()) {
        app->showError(message);
        return;
    }
    QtDialogs dialogs;
    showErrorBox(dialogs, QGuiApplication::applicationDisplayName(), message);
}
