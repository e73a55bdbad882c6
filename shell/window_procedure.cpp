#include "shell/window_procedure.h"

namespace shell {

WindowProcedure::WindowProcedure(Runtime& runtime, std::string procedureName, const platform::WindowDecl& layout)
    : runtime_(runtime), name_(std::move(procedureName)), window_(layout) {
    window_.setAcceptedHandler([this](platform::ControlNumber control) { takeAccepted(control); });
}

WindowProcedure::~WindowProcedure() {
    if (resizer_) resizer_->release();
}

void WindowProcedure::run() {
    if (setUp() == 0) window_.runEventLoop();
    tearDown();
}

int WindowProcedure::setUp() {
    runtime_.errors.registerProcedure(name_);
    if (const int level = frameworkSetUp(); level != 0) return level;
    window_.setFirstFocus(firstFocus_);
    window_.open();
    opened_ = true;
    afterOpen();
    runtime_.windowSettings.restorePosition(name_, window_);
    window_.keepOnScreen();
    setUpSteps();
    return 0;
}

int WindowProcedure::tearDown() {
    tearDownSteps();
    if (const int level = frameworkTearDown(); level != 0) return level;
    if (opened_) runtime_.windowSettings.savePosition(name_, window_);
    runtime_.errors.unregisterProcedure();
    // Closing gives the window beneath its input back.
    window_.close();
    return 0;
}

void WindowProcedure::updateStep() {
    for (platform::WindowComponent* component : components_) component->update();
}

void WindowProcedure::resetStep(bool force) {
    if (acceptAll_) return;
    const bool forced = force || pendingForcedReset_;
    pendingForcedReset_ = false;
    for (platform::WindowComponent* component : components_) component->reset(forced);
    window_.display();
}

void WindowProcedure::addComponent(platform::WindowComponent& component) { components_.push_back(&component); }
void WindowProcedure::attachResizer(platform::WindowResizer& resizer) { resizer_ = &resizer; }
void WindowProcedure::setAcceptAll(bool on) { acceptAll_ = on; }
void WindowProcedure::requestForcedReset() { pendingForcedReset_ = true; }

int WindowProcedure::frameworkHandling(platform::ControlNumber) { return 0; }

platform::Window& WindowProcedure::window() { return window_; }
Runtime& WindowProcedure::runtime() { return runtime_; }
const std::string& WindowProcedure::procedureName() const { return name_; }
bool WindowProcedure::opened() const { return opened_; }
void WindowProcedure::setFirstFocus(platform::ControlNumber control) { firstFocus_ = control; }

int WindowProcedure::frameworkSetUp() { return 0; }

int WindowProcedure::takeAccepted(platform::ControlNumber control) { return frameworkHandling(control); }

int WindowProcedure::frameworkTearDown() {
    if (tornDown_) return 1;
    tornDown_ = true;
    if (resizer_) {
        resizer_->release();
        resizer_ = nullptr;
    }
    return 0;
}

}  // namespace shell
