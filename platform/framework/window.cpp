// A framework window's operations by control number, its event loop, the
// stack of open windows, and its place on the screen in dialog units.

#include "platform/framework/window.h"

#include "platform/framework/text_util.h"
#include "platform/framework/variables.h"
#include "platform/framework/window_impl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

namespace platform {
namespace {

using detail::toQt;

// The open windows of this thread, the innermost last.
thread_local std::vector<Window*> stack;

}  // namespace

Window* activeWindow() { return stack.empty() ? nullptr : stack.back(); }
std::vector<Window*> openWindows() { return stack; }

Window::Window(const WindowDecl& decl) : impl_(std::make_unique<Impl>(*this, decl)) {}

Window::~Window() {
    // The variables may be gone already (they belong to the procedure): nothing may touch them now.
    for (auto& [number, entry] : impl_->controls) {
        entry->variable = std::monostate{};
        entry->rows = nullptr;
    }
    close();
}

const WindowDecl& Window::decl() const { return impl_->decl; }

ControlEntry* Window::Impl::find(ControlNumber number) const {
    const auto it = controls.find(number);
    return it == controls.end() ? nullptr : it->second.get();
}

ControlNumber Window::Impl::nextNumber() const {
    ControlNumber highest = 0;
    for (const auto& [number, entry] : controls) highest = std::max(highest, number);
    return static_cast<ControlNumber>(highest + 1);
}

QRect Window::Impl::toPixels(const Rect& du) const {
    return QRect(detail::duToPxX(du.x, units), detail::duToPxY(du.y, units), detail::duToPxX(du.width, units),
                 detail::duToPxY(du.height, units));
}

Rect Window::Impl::toDu(const QRect& px) const {
    return Rect{detail::pxToDuX(px.x(), units), detail::pxToDuY(px.y(), units), detail::pxToDuX(px.width(), units),
                detail::pxToDuY(px.height(), units)};
}

void Window::Impl::dispatch(ControlNumber number) {
    if (open && accepted) accepted(number);
}

bool Window::Impl::pressDefault() {
    ControlEntry* button = find(defaultButton);
    if (!open || !button || !button->widget->isEnabled() || button->widget->isHidden()) return false;
    static_cast<QPushButton*>(button->widget)->click();
    return true;
}

// The first-focus control, or the next one in tab order that can take the focus.
void Window::Impl::focusFirst() {
    auto canFocus = [this](const ControlEntry& entry) {
        return (entry.widget->focusPolicy() & Qt::TabFocus) && entry.widget->isEnabledTo(top.get()) &&
               !entry.widget->isHidden();
    };
    auto start = std::find_if(declarationOrder.begin(), declarationOrder.end(),
                              [this](ControlNumber n) { return n >= firstFocus; });
    const std::size_t offset = static_cast<std::size_t>(start - declarationOrder.begin());
    for (std::size_t i = 0; i < declarationOrder.size(); ++i) {
        ControlEntry* entry = find(declarationOrder[(offset + i) % declarationOrder.size()]);
        if (entry && canFocus(*entry)) {
            entry->widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void Window::bind(ControlNumber control, Variable variable) {
    if (ControlEntry* entry = impl_->find(control)) {
        entry->variable = variable;
        impl_->displayOne(*entry);
    }
}

void Window::bindRows(ControlNumber list, const ListSource& rows) {
    ControlEntry* entry = impl_->find(list);
    if (!entry || entry->kind != Kind::DropList) return;
    entry->rows = &rows;
    impl_->fillList(*entry);
}

void Window::setFirstFocus(ControlNumber control) { impl_->firstFocus = control; }

void Window::open() {
    Impl& d = *impl_;
    if (d.open) return;
    if (Window* caller = activeWindow()) caller->impl_->top->setEnabled(false);
    stack.push_back(this);
    if (d.decl.x && d.decl.y) {
        d.top->move(detail::duToPxX(*d.decl.x, d.units), detail::duToPxY(*d.decl.y, d.units));
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), d.top->size());
        frame.moveCenter(screen->availableGeometry().center());
        d.top->move(frame.topLeft());
    }
    d.closePosted = false;
    d.open = true;
    d.top->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) d.top->raise();  // offscreen cannot raise
    d.top->activateWindow();
    d.focusFirst();
}

bool Window::isOpen() const { return impl_->open; }

void Window::close() {
    Impl& d = *impl_;
    if (!d.open) return;
    d.open = false;
    d.closePosted = false;
    if (d.loop) d.loop->exit();
    d.top->hide();
    const auto it = std::find(stack.begin(), stack.end(), this);
    if (it == stack.end()) return;
    const bool innermost = it + 1 == stack.end();
    stack.erase(it);
    if (innermost && !stack.empty()) {
        QWidget* beneath = stack.back()->impl_->top.get();
        beneath->setEnabled(true);
        beneath->activateWindow();
    }
}

void Window::enable(ControlNumber control) {
    if (ControlEntry* entry = impl_->find(control)) {
        if (entry->action) entry->action->setEnabled(true);
        else entry->widget->setEnabled(true);
    }
}

void Window::disable(ControlNumber control) {
    if (ControlEntry* entry = impl_->find(control)) {
        if (entry->action) entry->action->setEnabled(false);
        else entry->widget->setEnabled(false);
    }
}

void Window::hide(ControlNumber control) {
    if (ControlEntry* entry = impl_->find(control)) {
        if (entry->action) entry->action->setVisible(false);
        else entry->widget->hide();
    }
}

void Window::unhide(ControlNumber control) {
    if (ControlEntry* entry = impl_->find(control)) {
        if (entry->action) entry->action->setVisible(true);
        else entry->widget->show();
    }
}

void Window::display() {
    for (auto& [number, entry] : impl_->controls) impl_->displayOne(*entry);
}

void Window::display(ControlNumber control) {
    if (ControlEntry* entry = impl_->find(control)) impl_->displayOne(*entry);
}

void Window::update() {
    for (auto& [number, entry] : impl_->controls) impl_->updateOne(*entry);
}

void Window::update(ControlNumber control) {
    if (ControlEntry* entry = impl_->find(control)) impl_->updateOne(*entry);
}

ControlNumber Window::createMenuItem(ControlNumber parentMenu) {
    Impl& d = *impl_;
    ControlEntry* menu = d.find(parentMenu);
    if (!menu || menu->kind != Kind::Menu) return 0;
    const ControlNumber number = d.nextNumber();
    if (number <= 0) return 0;  // every 16-bit number is taken
    auto entry = std::make_unique<ControlEntry>();
    entry->number = number;
    entry->kind = Kind::Item;
    entry->parentMenu = parentMenu;
    entry->action = new QAction(menu->menu);
    menu->menu->addAction(entry->action);
    menu->children.push_back(number);
    d.connectControl(*entry);
    d.controls.emplace(number, std::move(entry));
    return number;
}

void Window::makeCheckItem(ControlNumber control) {
    ControlEntry* entry = impl_->find(control);
    if (!entry || !entry->action || entry->kind == Kind::Menu) return;
    entry->kind = Kind::CheckItem;
    entry->action->setCheckable(true);
    impl_->displayOne(*entry);
}

void Window::setText(ControlNumber control, const std::string& text) {
    ControlEntry* entry = impl_->find(control);
    if (!entry) return;
    entry->decl.text = text;
    const QString qtext = toQt(text);
    if (entry->action) {
        entry->action->setText(qtext);
        if (entry->menu) entry->menu->setTitle(qtext);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(entry->widget)) button->setText(qtext);
    else if (auto* label = qobject_cast<QLabel*>(entry->widget)) label->setText(qtext);
    else if (auto* edit = qobject_cast<QLineEdit*>(entry->widget)) edit->setText(qtext);
}

std::size_t Window::listChoice(ControlNumber list) const {
    ControlEntry* entry = impl_->find(list);
    if (!entry || entry->kind != Kind::DropList) return 0;
    const int index = static_cast<QComboBox*>(entry->widget)->currentIndex();
    return index < 0 ? 0 : static_cast<std::size_t>(index) + 1;
}

void Window::selectListRow(ControlNumber list, std::size_t position) {
    ControlEntry* entry = impl_->find(list);
    if (!entry || entry->kind != Kind::DropList) return;
    auto* combo = static_cast<QComboBox*>(entry->widget);
    if (position < 1 || position > static_cast<std::size_t>(combo->count())) return;
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(static_cast<int>(position - 1));
    impl_->updateOne(*entry);  // the value follows the selected row
}

QWidget* Window::nativeHandle() const { return impl_->top.get(); }

void Window::postCloseWindow() {
    Impl& d = *impl_;
    d.closePosted = true;
    // Queued: the loop ends once the handler that posted the event has returned.
    QMetaObject::invokeMethod(
        d.top.get(),
        [&d] {
            if (d.closePosted && d.loop) d.loop->exit();
        },
        Qt::QueuedConnection);
}

bool Window::closePending() const { return impl_->open && impl_->closePosted; }

void Window::setAcceptedHandler(std::function<void(ControlNumber)> handler) { impl_->accepted = std::move(handler); }

void Window::runEventLoop() {
    Impl& d = *impl_;
    if (!d.open || d.closePosted) return;
    QEventLoop loop;
    d.loop = &loop;
    loop.exec();
    d.loop = nullptr;
}

void Window::setSizeEventHandler(std::function<void()> handler) { impl_->sizeHandler = std::move(handler); }

std::vector<ControlNumber> Window::controls() const {
    std::vector<ControlNumber> out;
    for (const auto& [number, entry] : impl_->controls) out.push_back(number);
    return out;
}

bool Window::exists(ControlNumber control) const { return impl_->find(control) != nullptr; }

Kind Window::kind(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    return entry ? entry->kind : Kind::Prompt;
}

ControlNumber Window::numberOf(const std::string& useName) const {
    const std::string wanted = !useName.empty() && useName.front() == '?' ? useName.substr(1) : useName;
    for (const auto& [number, entry] : impl_->controls) {
        const std::string& own = entry->decl.useName;
        const std::string bare = !own.empty() && own.front() == '?' ? own.substr(1) : own;
        if (!bare.empty() && QString::compare(toQt(bare), toQt(wanted), Qt::CaseInsensitive) == 0) return number;
    }
    return 0;
}

std::string Window::text(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    if (!entry) return {};
    if (entry->action) return detail::fromQt(entry->action->text());
    if (auto* button = qobject_cast<QAbstractButton*>(entry->widget)) return detail::fromQt(button->text());
    if (auto* label = qobject_cast<QLabel*>(entry->widget)) return detail::fromQt(label->text());
    if (auto* edit = qobject_cast<QLineEdit*>(entry->widget)) return detail::fromQt(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(entry->widget)) return detail::fromQt(combo->currentText());
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(entry->widget)) return detail::fromQt(spin->text());
    return entry->decl.text;
}

std::string Window::useName(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    return entry ? entry->decl.useName : std::string();
}

bool Window::isEnabled(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    if (!entry) return false;
    // The control's own state: a window disabled under a dialog leaves it as it was.
    return entry->action ? entry->action->isEnabled() : entry->widget->isEnabledTo(impl_->top.get());
}

bool Window::isHidden(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    if (!entry) return true;
    return entry->action ? !entry->action->isVisible() : entry->widget->isHidden();
}

bool Window::isChecked(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    if (!entry) return false;
    if (entry->action) return entry->action->isChecked();
    if (auto* button = qobject_cast<QAbstractButton*>(entry->widget)) return button->isChecked();
    return false;
}

QWidget* Window::widget(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    return entry ? entry->widget : nullptr;
}

QAction* Window::action(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    return entry ? entry->action : nullptr;
}

std::vector<ControlNumber> Window::menuChildren(ControlNumber menu) const {
    const ControlEntry* entry = impl_->find(menu);
    return entry ? entry->children : std::vector<ControlNumber>{};
}

Rect Window::controlRectDu(ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    return entry && !entry->action ? entry->du : Rect{0, 0, 0, 0};
}

void Window::setControlRectDu(ControlNumber control, const Rect& rect) {
    ControlEntry* entry = impl_->find(control);
    if (!entry || entry->action) return;
    entry->du = rect;
    entry->widget->setGeometry(impl_->toPixels(rect));
}

QRect Window::toPixels(const Rect& du) const { return impl_->toPixels(du); }
Rect Window::toDialogUnits(const QRect& px) const { return impl_->toDu(px); }

QWidget* Window::hostWidget() const { return impl_->top.get(); }

std::optional<QRect> Window::controlRect(capture::ControlNumber control) const {
    const ControlEntry* entry = impl_->find(control);
    if (!entry || entry->action) return std::nullopt;
    return entry->widget->geometry().translated(impl_->top->client()->pos());
}

// PlacedWindow: the frame's position and the client area's size, in dialog units.
bool Window::isMaximized() const { return impl_->top->isMaximized(); }
bool Window::isMinimized() const { return impl_->top->isMinimized(); }
bool Window::isResizable() const { return impl_->decl.frame == Frame::Sizing; }
int Window::x() const { return detail::pxToDuX(impl_->top->x(), impl_->units); }
int Window::y() const { return detail::pxToDuY(impl_->top->y(), impl_->units); }
int Window::width() const { return detail::pxToDuX(impl_->top->width(), impl_->units); }
int Window::height() const {
    return detail::pxToDuY(impl_->top->height() - impl_->top->menuBarHeight(), impl_->units);
}

void Window::setX(int x) { impl_->top->move(detail::duToPxX(x, impl_->units), impl_->top->y()); }
void Window::setY(int y) { impl_->top->move(impl_->top->x(), detail::duToPxY(y, impl_->units)); }

void Window::setWidth(int width) {
    Impl& d = *impl_;
    if (width <= 0) return;  // no window is that narrow: a broken value, the size stays
    const int px = std::max(1, detail::duToPxX(width, d.units));
    if (d.decl.frame == Frame::Double) d.top->setFixedWidth(px);
    else d.top->resize(px, d.top->height());
}

void Window::setHeight(int height) {
    Impl& d = *impl_;
    if (height <= 0) return;  // likewise
    const int px = std::max(1, detail::duToPxY(height, d.units) + d.top->menuBarHeight());
    if (d.decl.frame == Frame::Double) d.top->setFixedHeight(px);
    else d.top->resize(d.top->width(), px);
}

void Window::keepOnScreen() {
    QWidget* top = impl_->top.get();
    if (top->isMaximized() || top->isMinimized()) return;
    const QRect frame = top->frameGeometry();
    // Reachable: enough of the window, its top edge included, lies on some screen to grab it.
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        if (visible.width() >= 32 && visible.height() >= 16 && visible.top() == frame.top()) return;
    }
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return;
    QRect placed = frame;
    placed.moveCenter(primary->availableGeometry().center());
    placed.moveTop(std::max(placed.top(), primary->availableGeometry().top()));
    placed.moveLeft(std::max(placed.left(), primary->availableGeometry().left()));
    top->move(placed.topLeft());
}

void Window::showMaximized() { impl_->top->showMaximized(); }
void Window::showNormal() { impl_->top->showNormal(); }
// Leaves the maximised state alone: a window minimised from maximised comes back maximised.
void Window::setMinimized(bool minimized) {
    QWidget& top = *impl_->top;
    const Qt::WindowStates state = top.windowState();
    const Qt::WindowStates wanted = minimized ? (state | Qt::WindowMinimized) : (state & ~Qt::WindowMinimized);
    if (wanted != state) top.setWindowState(wanted);
}

}  // namespace platform
