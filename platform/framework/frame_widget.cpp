#include "platform/framework/frame_widget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>

namespace platform::detail {

FrameWidget::FrameWidget() : client_(new QWidget(this)) {}

QMenuBar* FrameWidget::ensureMenuBar() {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        placeChildren();
    }
    return menuBar_;
}

int FrameWidget::menuBarHeight() const { return menuBar_ ? menuBar_->sizeHint().height() : 0; }

void FrameWidget::placeChildren() {
    const int bar = menuBarHeight();
    if (menuBar_) menuBar_->setGeometry(0, 0, width(), bar);
    client_->setGeometry(0, bar, width(), height() - bar);
}

void FrameWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeChildren();
    if (onSizeEvent) onSizeEvent();
}

void FrameWidget::closeEvent(QCloseEvent* event) {
    // The window stays up until its procedure's teardown closes it; a close
    // request only asks the event loop to end (where the window allows it).
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}

void FrameWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            if (onEnter) onEnter();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FrameWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && onSizeEvent) onSizeEvent();
}

bool FrameWidget::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate && onSizeEvent) onSizeEvent();
    return handled;
}

ColourRect::ColourRect(QWidget* parent, std::optional<QColor> fill, std::optional<QColor> border)
    : QWidget(parent), fill_(fill), border_(border) {}

void ColourRect::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fill_) painter.fillRect(rect(), *fill_);
    if (border_) {
        painter.setPen(*border_);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace platform::detail
