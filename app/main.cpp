#include "Application.h"
#include "ErrorDisplay.h"
#include "Mainunit.h"

#include <exception>

int main(int argc, char** argv)
{
    Application app(argc, argv);
    try {
        app.setTitle("Quellmoor Toolkit *Database Edition*");
        TMainForm frame(app.dialogs(), QCoreApplication::applicationDirPath() + "/");
        MainForm = &frame;
        frame.showMaximized();
        int rc = app.exec();
        MainForm = nullptr;
        (void)rc;
        return 0;
    } catch (const std::exception& e) {
        app.showError(exceptionText(e));
    } catch (...) {
        app.showError(QString());
    }
    return 0;
}
