#include "Application.h"
#include "ErrorDisplay.h"
#include "ScriptedDialogs.h"

#include <QEvent>
#include <QObject>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ErrorDisplayTest, FullStopIsAppendedWhenTheLastCharacterSortsAboveIt)
{
    struct Case {
        QString message;
        QString shown;
    };
    const Case cases[] = {
        {"Disk full", "Disk full."},
        {"Done.", "Done."},
        {"Why?", "Why?."}, // "?" sorts above "."
        {"Cannot open file /tmp/a", "Cannot open file /tmp/a."},
        {"Ends in a dash -", "Ends in a dash -"},
        {"Ends in a comma,", "Ends in a comma,"},
        {"Ends in a space ", "Ends in a space "},
        {"Ошибка", "Ошибка."},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorDisplayText(c.message), c.shown) << c.message.toStdString();
}

class Thrower : public QObject {
public:
    std::function<void()> toThrow;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            toThrow();
        return QObject::event(e);
    }
};

TEST(ErrorDisplayTest, ApplicationShowsEscapedErrorsAndGoesOn)
{
    Application* app = Application::instance();
    ASSERT_NE(app, nullptr);
    ScriptedDialogs dialogs;
    app->setDialogs(&dialogs);
    app->setTitle("Quellmoor Toolkit *Database Edition*");

    Thrower thrower;
    struct Case {
        std::function<void()> toThrow;
        QString text;
    };
    const Case cases[] = {
        {[] { throw std::runtime_error("Unable to write to /x/varnholdstd.conf"); },
         "Unable to write to /x/varnholdstd.conf."},
        {[] { throw std::runtime_error("Выход за границы массива"); }, "Выход за границы массива."},
        {[] { throw 42; }, ""},
    };
    for (const Case& c : cases) {
        dialogs.answerMessage(mbOK);
        thrower.toThrow = c.toThrow;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &event);
    }
    app->setDialogs(nullptr);

    EXPECT_FALSE(dialogs.unexpected()) << dialogs.problems().join('\n').toStdString();
    ASSERT_EQ(dialogs.messages().size(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& box = dialogs.messages()[i];
        EXPECT_EQ(box.caption, "Quellmoor Toolkit *Database Edition*");
        EXPECT_EQ(box.text, cases[i].text);
        EXPECT_EQ(box.buttons, mbOK);
        EXPECT_EQ(box.icon, MsgIcon::Error);
    }
}

} // namespace
