#pragma once
// A polite end on SIGTERM and SIGHUP (log-out, a system shutdown, `kill`):
// an open message box or modal dialog is dismissed as if cancelled, and
// every open window is sent the close-window event, innermost first, so each
// runs its teardown and keeps its settings, and the program shuts down in its
// usual order. Needs the Qt runtime; call once after it is up.

namespace shell {

void closeWindowsOnTermination();

}  // namespace shell
