#include "shell/startup.h"

#include "shell/error_manager.h"
#include "shell/window_settings.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace shell {
namespace {

bool hasText(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// While the application object is built, a fatal Qt message (no display, no
// platform plugin) ends the process cleanly: nothing has been touched yet.
void fatalEndsCleanly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    std::fprintf(stderr, "videocapture: %s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "videocapture: cannot start without a display\n");
        std::_Exit(0);
    }
}

}  // namespace

int runProgram(ProgramParts& parts) {
    if (parts.initialiseRuntime && !parts.initialiseRuntime()) return 0;

    {
        ErrorManager errors;
        WindowSettings windowSettings;
        capture::VideoCapture& capture = parts.captureObject();
        Runtime runtime{errors, windowSettings, capture};

        // The error manager keeps its stacks per thread and needs no start of its own.
        windowSettings.start(parts.windowSettingsFile);

        // Read once, compared twice: what the setting holds later does not matter.
        std::int32_t savedDrag = 0;
        platform::DragSetting& drag = *parts.dragSetting;
        drag.get(savedDrag);
        if (savedDrag == 1) drag.set(0);

        if (parts.runMain) parts.runMain(runtime);

        if (savedDrag == 1) drag.set(1);
        windowSettings.stop();

        if (parts.shutDownRuntime) parts.shutDownRuntime();
    }
    return 0;
}

bool initialiseQtRuntime(std::optional<QApplication>& app) {
    // Without a chosen platform Qt needs an X or Wayland display.
    if (!hasText("QT_QPA_PLATFORM") && !hasText("DISPLAY") && !hasText("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "videocapture: cannot start without a display\n");
        return false;
    }
    // Qt keeps these for the application's lifetime.
    static int argc = 1;
    static char name[] = "videocapture";
    static char* argv[] = {name, nullptr};
    const QtMessageHandler previous = qInstallMessageHandler(fatalEndsCleanly);
    app.emplace(argc, argv);
    qInstallMessageHandler(previous);
    // Each window runs its own event loop and ends it itself; Qt must not end
    // them all when the last visible window happens to close.
    app->setQuitOnLastWindowClosed(false);
    return true;
}

}  // namespace shell
