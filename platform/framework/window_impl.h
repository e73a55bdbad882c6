#pragma once
// The inside of a framework window: one entry per numbered control with its
// widget or menu action, its bound variable and its rectangle in dialog units.

#include "platform/framework/dialog_units.h"
#include "platform/framework/frame_widget.h"
#include "platform/framework/list_format.h"
#include "platform/framework/picture.h"
#include "platform/framework/window.h"

#include <QPointer>
#include <map>
#include <memory>

class QEventLoop;
class QMenu;
class QStandardItemModel;

namespace platform {

struct ControlEntry {
    ControlNumber number = 0;
    Kind kind = Kind::Prompt;
    ControlDecl decl;
    QWidget* widget = nullptr;   // window controls; the QMenu of a menu
    QAction* action = nullptr;   // menus and menu items
    QMenu* menu = nullptr;       // menus
    ControlNumber parentMenu = 0;
    std::vector<ControlNumber> children;  // menus: items in display order, 0 for separators
    Variable variable;
    const ListSource* rows = nullptr;
    detail::Picture picture;
    detail::ListFormat listFormat;
    QStandardItemModel* model = nullptr;
    Rect du;                      // current rectangle, dialog units
    std::int64_t shownValue = 0;  // spin boxes: the value last displayed or accepted
};

struct Window::Impl {
    Impl(Window& owner, const WindowDecl& layout);
    ~Impl();

    Window& self;
    WindowDecl decl;
    std::unique_ptr<detail::FrameWidget> top;
    detail::BaseUnits units;
    std::map<ControlNumber, std::unique_ptr<ControlEntry>> controls;
    std::vector<ControlNumber> declarationOrder;  // window controls, for tab order
    ControlNumber firstFocus = 1;
    ControlNumber defaultButton = 0;
    bool open = false;
    bool closePosted = false;
    QPointer<QEventLoop> loop;
    std::function<void(ControlNumber)> accepted;
    std::function<void()> sizeHandler;

    ControlEntry* find(ControlNumber number) const;
    ControlNumber nextNumber() const;

    // Construction (window_build.cpp).
    void build();
    void buildMenus();
    void buildControl(ControlEntry& entry);
    void connectControl(ControlEntry& entry);
    void setPromptBuddies();
    void sizeWindow();
    Rect autoSize(const ControlEntry& entry) const;

    // Values (window_values.cpp).
    void displayOne(ControlEntry& entry);
    void updateOne(ControlEntry& entry);
    void fillList(ControlEntry& entry);
    void flipCheckItem(ControlEntry& entry);

    // The accepted-control handler for a control the user acted on.
    void dispatch(ControlNumber number);
    void focusFirst();
    bool pressDefault();
    void requestClose();
    QRect toPixels(const Rect& du) const;
    Rect toDu(const QRect& px) const;
};

}  // namespace platform
