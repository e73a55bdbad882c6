#include "platform/framework/message.h"

#include "platform/framework/text_util.h"
#include "platform/framework/window.h"

#include <QApplication>
#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>

namespace platform {
namespace {

MessageSink& currentSink() {
    static MessageSink sink;
    return sink;
}

}  // namespace

void message(std::string_view text) {
    if (const MessageSink& sink = currentSink()) {
        sink(text);
        return;
    }
    if (!QApplication::instance()) {
        // No user interface to show it in: the text still reaches someone.
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return;
    }
    Window* owner = activeWindow();
    QMessageBox box(owner ? owner->nativeHandle() : nullptr);
    box.setWindowTitle(QString());
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(detail::toQt(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    // The style would put an icon on the button too; the box shows its text alone.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setIcon(QIcon());
    box.exec();
}

MessageSink setMessageSink(MessageSink sink) {
    MessageSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

}  // namespace platform
