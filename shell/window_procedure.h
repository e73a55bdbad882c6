#pragma once
// The frame every window procedure shares: its window built from its layout,
// and a window manager that runs the set-up step, the event loop with the
// accepted-control handler, and the teardown step, in that order. A window
// registers its procedure name with the error manager and keeps its place in
// the window settings file under that name.
//
// A window procedure derives from this class, owns its variables as members,
// binds them in its constructor in declaration order, and overrides the
// window-specific steps.

#include "platform/framework/window.h"
#include "platform/framework/window_resizer.h"
#include "shell/runtime.h"

#include <string>
#include <vector>

namespace shell {

class WindowProcedure {
public:
    WindowProcedure(Runtime& runtime, std::string procedureName, const platform::WindowDecl& layout);
    virtual ~WindowProcedure();

    // Set-up; when it returns 0 the event loop; then the teardown in any case.
    void run();

    // The common frame steps (public so that tests can call a teardown twice).
    int setUp();
    int tearDown();

    // Update step: the update operation of every registered component.
    void updateStep();
    // Reset step: unless in accept-all mode, the force flag combined with a
    // pending forced reset, the components' reset, then every control
    // redisplayed from its variable.
    void resetStep(bool force);
    void addComponent(platform::WindowComponent& component);
    // The framework's teardown releases an attached resizer.
    void attachResizer(platform::WindowResizer& resizer);
    void setAcceptAll(bool on);
    void requestForcedReset();

    // The framework's default handling of an accepted control (no visible
    // effect: no window registers OK, cancel or toolbar controls); returns its level.
    int frameworkHandling(platform::ControlNumber control);

    platform::Window& window();
    Runtime& runtime();
    const std::string& procedureName() const;
    bool opened() const;
    void setFirstFocus(platform::ControlNumber control);

protected:
    // The framework's own set-up; a nonzero level ends the set-up at once.
    virtual int frameworkSetUp();
    // Right after the window opens, before its position is restored.
    virtual void afterOpen() {}
    // After the position restore.
    virtual void setUpSteps() {}
    // The accepted-control handler; the default is the framework's handling.
    virtual int takeAccepted(platform::ControlNumber control);
    // The window-specific teardown steps; they run on every teardown call.
    virtual void tearDownSteps() {}
    // The framework's own teardown; nonzero when the window is already torn down.
    virtual int frameworkTearDown();

private:
    Runtime& runtime_;
    std::string name_;
    platform::Window window_;
    platform::ControlNumber firstFocus_ = 1;
    bool opened_ = false;
    bool tornDown_ = false;
    bool acceptAll_ = false;
    bool pendingForcedReset_ = false;
    std::vector<platform::WindowComponent*> components_;
    platform::WindowResizer* resizer_ = nullptr;
};

}  // namespace shell
