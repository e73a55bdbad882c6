// Building a window from its layout: numbers, menus, widgets, fonts, colours,
// positions in dialog units, and the signals that reach the handler.

#include "platform/framework/text_util.h"
#include "platform/framework/variables.h"
#include "platform/framework/window_impl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>
#include <limits>

namespace platform {
namespace {

using detail::toQt;

QColor toQColor(Colour colour) {
    return QColor(static_cast<int>(colour.bgr & 0xFF), static_cast<int>((colour.bgr >> 8) & 0xFF),
                  static_cast<int>((colour.bgr >> 16) & 0xFF));
}

bool isMenuKind(Kind kind) {
    return kind == Kind::Menu || kind == Kind::Item || kind == Kind::CheckItem || kind == Kind::Separator;
}

std::string objectNameFor(const std::string& useName) {
    return !useName.empty() && useName.front() == '?' ? useName.substr(1) : useName;
}

void setTextColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    // Active and inactive only: a disabled control keeps the style's greyed text.
    for (auto group : {QPalette::Active, QPalette::Inactive})
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) palette.setColor(group, role, colour);
    widget.setPalette(palette);
}

// Draws a list column's cells with the format's indent and right border line.
class ColumnDelegate : public QStyledItemDelegate {
public:
    ColumnDelegate(QObject* parent, int indentPx, bool fromRight, bool rightBorder)
        : QStyledItemDelegate(parent), indentPx_(indentPx), fromRight_(fromRight), rightBorder_(rightBorder) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(fromRight_ ? 0 : indentPx_, 0, fromRight_ ? -indentPx_ : 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
        if (rightBorder_) {
            painter->save();
            painter->setPen(option.palette.color(QPalette::Mid));
            painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
            painter->restore();
        }
    }

private:
    int indentPx_;
    bool fromRight_;
    bool rightBorder_;
};

}  // namespace

Window::Impl::Impl(Window& owner, const WindowDecl& layout)
    : self(owner), decl(layout), top(std::make_unique<detail::FrameWidget>()) {
    build();
}

Window::Impl::~Impl() = default;

void Window::Impl::build() {
    const QFont font = detail::qtFont(decl.font);
    top->setFont(font);
    units = detail::baseUnits(font);
    setTextColour(*top, toQColor(decl.font.colour));
    top->setWindowTitle(toQt(decl.title));

    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (decl.systemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (decl.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
        if (decl.maximizeBox) flags |= Qt::WindowMaximizeButtonHint;
    }
    top->setWindowFlags(flags);

    buildMenus();
    ControlNumber number = nextNumber();
    for (const ControlDecl& control : decl.controls) {
        if (isMenuKind(control.kind)) continue;
        auto entry = std::make_unique<ControlEntry>();
        entry->number = number++;
        entry->kind = control.kind;
        entry->decl = control;
        ControlEntry& ref = *entry;
        controls.emplace(ref.number, std::move(entry));
        declarationOrder.push_back(ref.number);
        buildControl(ref);
        // Of several buttons marked default the last declared one is the default.
        if (control.kind == Kind::Button && control.defaultButton) defaultButton = ref.number;
    }
    if (ControlEntry* button = find(defaultButton)) static_cast<QPushButton*>(button->widget)->setDefault(true);
    setPromptBuddies();
    sizeWindow();

    // A window disabled beneath a dialog takes no input, its close box included.
    top->onCloseRequest = [this] {
        if (open && decl.systemMenu && top->isEnabled()) self.postCloseWindow();
    };
    top->onEnter = [this] { return pressDefault(); };
    top->onSizeEvent = [this] {
        if (open && sizeHandler) sizeHandler();
    };
}

// The menu bar first: menus, their items and separators, in declaration order.
void Window::Impl::buildMenus() {
    ControlNumber number = 1;
    ControlEntry* currentMenu = nullptr;
    for (const ControlDecl& control : decl.controls) {
        if (!isMenuKind(control.kind)) continue;
        if (control.kind == Kind::Separator) {
            if (currentMenu) {
                currentMenu->menu->addSeparator();
                currentMenu->children.push_back(0);
            } else {
                top->ensureMenuBar()->addSeparator();
            }
            continue;
        }
        auto entry = std::make_unique<ControlEntry>();
        entry->number = number++;
        entry->kind = control.kind;
        entry->decl = control;
        const QString name = toQt(objectNameFor(control.useName));
        if (control.kind == Kind::Menu) {
            entry->menu = top->ensureMenuBar()->addMenu(toQt(control.text));
            entry->menu->setObjectName(name);
            // Every separator of the layout is drawn, also two in a row.
            entry->menu->setSeparatorsCollapsible(false);
            entry->action = entry->menu->menuAction();
            entry->widget = entry->menu;
            currentMenu = entry.get();
        } else {
            QWidget* parent = currentMenu ? static_cast<QWidget*>(currentMenu->menu) : top->ensureMenuBar();
            entry->action = new QAction(toQt(control.text), parent);
            parent->addAction(entry->action);
            if (currentMenu) {
                entry->parentMenu = currentMenu->number;
                currentMenu->children.push_back(entry->number);
            }
            if (control.kind == Kind::CheckItem) entry->action->setCheckable(true);
        }
        entry->action->setObjectName(name);
        if (control.disabled) entry->action->setEnabled(false);
        if (control.hidden) entry->action->setVisible(false);
        connectControl(*entry);
        controls.emplace(entry->number, std::move(entry));
    }
}

void Window::Impl::buildControl(ControlEntry& entry) {
    const ControlDecl& control = entry.decl;
    QWidget* parent = top->client();
    const QString text = toQt(control.text);
    entry.picture = detail::Picture::parse(control.picture);
    QWidget* widget = nullptr;
    switch (control.kind) {
    case Kind::Region:
        widget = new detail::ColourRect(parent, control.fill ? std::optional(toQColor(*control.fill)) : std::nullopt,
                                        control.border ? std::optional(toQColor(*control.border)) : std::nullopt);
        widget->setFocusPolicy(Qt::NoFocus);
        break;
    case Kind::Box:
        widget = new detail::ColourRect(parent, control.fill ? std::optional(toQColor(*control.fill)) : std::nullopt,
                                        toQColor(control.border.value_or(COLOR_BLACK)));
        widget->setFocusPolicy(Qt::NoFocus);
        break;
    case Kind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        widget = button;
        break;
    }
    case Kind::String:
    case Kind::Prompt: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
        if (control.centred) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // A prompt given a box wraps within it.
        if (control.at.width != Rect::automatic && control.at.height != Rect::automatic) label->setWordWrap(true);
        if (control.fill) {
            label->setAutoFillBackground(true);
            QPalette palette = label->palette();
            palette.setColor(QPalette::Window, toQColor(*control.fill));
            label->setPalette(palette);
        } else {
            // A label that is not transparent paints the window's background over what lies beneath.
            label->setAutoFillBackground(!control.transparent);
        }
        widget = label;
        break;
    }
    case Kind::DropList: {
        auto* combo = new QComboBox(parent);
        entry.listFormat = detail::ListFormat::parse(control.format);
        entry.model = new QStandardItemModel(0, 1, combo);
        entry.model->setHorizontalHeaderLabels({toQt(entry.listFormat.heading)});
        combo->setModel(entry.model);
        auto* view = new QTreeView(combo);
        view->setRootIsDecorated(false);
        view->setItemsExpandable(false);
        view->setUniformRowHeights(true);
        combo->setView(view);
        view->setHeaderHidden(entry.listFormat.heading.empty());
        const int columnPx = detail::duToPxX(entry.listFormat.widthDu, units);
        if (columnPx > 0) {
            view->header()->resizeSection(0, columnPx);
            view->setMinimumWidth(columnPx);
        }
        view->header()->setSectionResizeMode(0, entry.listFormat.resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
        view->header()->setStretchLastSection(false);
        const int indentPx = detail::duToPxX(entry.listFormat.indentDu, units);
        if (indentPx > 0 || entry.listFormat.rightBorder)
            view->setItemDelegate(new ColumnDelegate(view, indentPx, entry.listFormat.align == detail::ListFormat::Align::Right,
                                                     entry.listFormat.rightBorder));
        if (control.dropRows > 0) combo->setMaxVisibleItems(control.dropRows);
        combo->setFocusPolicy(Qt::StrongFocus);
        widget = combo;
        break;
    }
    case Kind::Entry: {
        auto* edit = new QLineEdit(parent);
        if (entry.picture.type != detail::Picture::Type::None)
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("^(?:%1)$").arg(toQt(entry.picture.inputPattern()))), edit));
        if (control.rightIndent >= 0) {
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            edit->setTextMargins(0, 0, detail::duToPxX(control.rightIndent, units), 0);
        } else if (control.centred) {
            edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        }
        widget = edit;
        break;
    }
    case Kind::Spin: {
        auto* spin = new QSpinBox(parent);
        std::int64_t low = control.rangeLow, high = control.rangeHigh;
        if (low == 0 && high == 0) {
            low = entry.picture.type == detail::Picture::Type::Number ? entry.picture.minimum() : std::numeric_limits<int>::min();
            high = entry.picture.type == detail::Picture::Type::Number ? entry.picture.maximum() : std::numeric_limits<int>::max();
        }
        low = std::clamp<std::int64_t>(low, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        high = std::clamp<std::int64_t>(high, low, std::numeric_limits<int>::max());
        spin->setRange(static_cast<int>(low), static_cast<int>(high));
        spin->setSingleStep(control.step > 0 ? control.step : 1);
        spin->setKeyboardTracking(false);
        if (control.rightIndent >= 0) spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        widget = spin;
        break;
    }
    case Kind::Check: {
        auto* check = new QCheckBox(text, parent);
        check->setFocusPolicy(Qt::StrongFocus);
        widget = check;
        break;
    }
    default: widget = new QWidget(parent); break;
    }
    entry.widget = widget;
    widget->setObjectName(toQt(objectNameFor(control.useName)));
    if (control.font) {
        widget->setFont(detail::qtFont(*control.font));
        setTextColour(*widget, toQColor(control.font->colour));
    }
    if (control.textColour) setTextColour(*widget, toQColor(*control.textColour));
    entry.du = autoSize(entry);
    widget->setGeometry(toPixels(entry.du));
    if (control.disabled) widget->setEnabled(false);
    if (control.hidden) widget->hide();
    connectControl(entry);
}

// Automatic sizes: the widget's size hint, except that a display string with
// a text picture is as wide as its picture, at most the window's width less
// equal margins (so centred texts sit in the middle of the window).
Rect Window::Impl::autoSize(const ControlEntry& entry) const {
    Rect du = entry.decl.at;
    const QSize hint = entry.widget->sizeHint();
    if (du.width == Rect::automatic) {
        if (entry.kind == Kind::String && entry.picture.type == detail::Picture::Type::Text) {
            du.width = entry.picture.width * 4;
            const int fit = decl.width - 2 * du.x;
            if (fit > 0) du.width = std::min(du.width, fit);
        } else {
            du.width = (hint.width() * 4 + units.x - 1) / units.x;
        }
    }
    if (du.height == Rect::automatic) du.height = (hint.height() * 8 + units.y - 1) / units.y;
    return du;
}

void Window::Impl::connectControl(ControlEntry& entry) {
    const ControlNumber number = entry.number;
    if (entry.action && entry.kind != Kind::Menu) {
        QObject::connect(entry.action, &QAction::triggered, entry.action, [this, number] {
            ControlEntry* control = find(number);
            if (!control || !open) return;
            if (control->kind == Kind::CheckItem) flipCheckItem(*control);
            dispatch(number);
        });
        return;
    }
    switch (entry.kind) {
    case Kind::Button:
        QObject::connect(static_cast<QPushButton*>(entry.widget), &QPushButton::clicked, entry.widget,
                         [this, number] { dispatch(number); });
        break;
    case Kind::Check:
        QObject::connect(static_cast<QCheckBox*>(entry.widget), &QCheckBox::clicked, entry.widget, [this, number](bool on) {
            if (!open) return;
            if (ControlEntry* control = find(number)) detail::storeNumber(control->variable, on ? 1 : 0);
            dispatch(number);
        });
        break;
    case Kind::DropList:
        QObject::connect(static_cast<QComboBox*>(entry.widget), &QComboBox::activated, entry.widget, [this, number](int) {
            if (!open) return;
            if (ControlEntry* control = find(number)) updateOne(*control);
            dispatch(number);
        });
        break;
    case Kind::Entry: {
        auto* edit = static_cast<QLineEdit*>(entry.widget);
        QObject::connect(edit, &QLineEdit::editingFinished, edit, [this, number, edit] {
            // Only an edit the user made in the open window is accepted; leaving
            // an untouched field is not, nor the focus loss of a closing window.
            if (!open || !edit->isModified()) return;
            edit->setModified(false);
            if (ControlEntry* control = find(number)) updateOne(*control);
            dispatch(number);
        });
        break;
    }
    case Kind::Spin: {
        auto* spin = static_cast<QSpinBox*>(entry.widget);
        QObject::connect(spin, &QSpinBox::editingFinished, spin, [this, number, spin] {
            ControlEntry* control = find(number);
            if (!open || !control || spin->value() == control->shownValue) return;
            updateOne(*control);
            dispatch(number);
        });
        break;
    }
    default: break;
    }
}

// A prompt with a mnemonic ("&Name:") gives the focus to the next control
// that can take it, as its underlined letter promises.
void Window::Impl::setPromptBuddies() {
    for (std::size_t i = 0; i < declarationOrder.size(); ++i) {
        ControlEntry* prompt = find(declarationOrder[i]);
        if (prompt->kind != Kind::Prompt || detail::withoutMnemonics(prompt->decl.text) == prompt->decl.text) continue;
        for (std::size_t j = i + 1; j < declarationOrder.size(); ++j) {
            ControlEntry* next = find(declarationOrder[j]);
            if (next->widget->focusPolicy() & Qt::TabFocus) {
                static_cast<QLabel*>(prompt->widget)->setBuddy(next->widget);
                break;
            }
        }
    }
}

// The client area is the layout's size; the menu bar comes on top of it.
void Window::Impl::sizeWindow() {
    const QSize client(detail::duToPxX(decl.width, units), detail::duToPxY(decl.height, units));
    const QSize frame(client.width(), client.height() + top->menuBarHeight());
    if (decl.frame == Frame::Double) top->setFixedSize(frame);
    else top->resize(frame);
}

}  // namespace platform
