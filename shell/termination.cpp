#include "shell/termination.h"

#include "platform/framework/window.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace shell {
namespace {

int wakeFds[2] = {-1, -1};

// Only async-signal-safe work here: one byte down the socket, the rest on the UI thread.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeFds[0], &byte, 1);
}

}  // namespace

void closeWindowsOnTermination() {
    if (wakeFds[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0) return;

    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char bytes[16];
        [[maybe_unused]] const auto read = ::read(wakeFds[1], bytes, sizeof bytes);
        // A message box or another modal dialog would hold every window's loop
        // until someone answers it: each is dismissed as if cancelled.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isModal() && dialog->isVisible())
                dialog->reject();
        const std::vector<platform::Window*> windows = platform::openWindows();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->postCloseWindow();
    });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

}  // namespace shell
