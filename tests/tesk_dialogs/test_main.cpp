// The dialogs need an application object; they run on the offscreen platform
// unless the environment asks for another.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns about window hints it cannot honour; that says
// nothing about the dialogs, so it is kept out of the test output.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("does not support propagateSizeHints")) return;
    if (defaultHandler) defaultHandler(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(quietMessages);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
