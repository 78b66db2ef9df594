#pragma once

#include <QString>

#include <exception>

class Dialogs;

// The error display's text rule: a full stop is appended when the last
// character sorts above "." (so "Disk full" gets one, "Done." and "Why?"
// do not; an empty text stays empty).
QString errorDisplayText(const QString& message);

// The text of an exception (what(), taken as UTF-8).
QString exceptionText(const std::exception& error);

// Shows an error as the application's error display does: the text by the
// rule above, the caption, an OK button and the error icon.
void showErrorBox(Dialogs& dialogs, const QString& caption, const QString& message);

// The same through the running Application's dialogs and title (QtDialogs
// and the application display name when no Application exists).
void showApplicationError(const QString& message);
