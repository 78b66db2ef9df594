#include "Application.h"

#include <gtest/gtest.h>

namespace {

// The offscreen platform says at every window it shows that it cannot pass
// on size hints or raise windows; that says nothing about the code tested.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith("This plugin does not support")) return;
    qt_message_output(type, context, message);
}

} // namespace

// One application object for all window tests, on the offscreen platform
// unless the environment names another.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    return RUN_ALL_TESTS();
}
