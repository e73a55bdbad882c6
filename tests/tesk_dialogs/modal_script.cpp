#include "modal_script.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

namespace tesk_test {

namespace {
// Polls with nothing left to do before an open dialog counts as forgotten.
constexpr int kIdlePollLimit = 2000;
}  // namespace

ModalScript& ModalScript::then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

void ModalScript::run(const std::function<void()>& body) {
    running_ = true;
    QTimer::singleShot(0, &context_, [this] { poll(); });
    body();
    running_ = false;
    EXPECT_EQ(next_, steps_.size()) << "script steps left over: the dialog closed or never opened";
}

void ModalScript::poll() {
    if (!running_) return;
    // Each poll is its own single-shot timer, so polling goes on inside the
    // nested event loop of a message box that a step opens.
    QTimer::singleShot(0, &context_, [this] { poll(); });
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (next_ < steps_.size()) {
        idlePolls_ = 0;
        Step step = steps_[next_++];
        step(*modal);
        return;
    }
    if (++idlePolls_ > kIdlePollLimit) {
        ADD_FAILURE() << "a dialog was left open after the last step: " << modal->objectName().toStdString();
        idlePolls_ = 0;
        modal->close();
    }
}

void click(QWidget& dialog, const char* name) {
    if (auto* button = find<QAbstractButton>(dialog, name)) {
        EXPECT_TRUE(button->isEnabled()) << name << " is disabled";
        button->click();
    }
}

void choose(QWidget& dialog, const char* comboName, const QString& entryText) {
    auto* box = find<QComboBox>(dialog, comboName);
    if (!box) return;
    const int index = box->findText(entryText);
    if (index < 0) {
        ADD_FAILURE() << comboName << " has no entry " << entryText.toStdString();
        return;
    }
    EXPECT_TRUE(box->isEnabled()) << comboName << " is disabled";
    box->setCurrentIndex(index);
}

void setSpin(QWidget& dialog, const char* name, int value) {
    if (auto* spin = find<QSpinBox>(dialog, name)) spin->setValue(value);
}

void setSlider(QWidget& dialog, const char* name, int value) {
    if (auto* slider = find<QSlider>(dialog, name)) slider->setValue(value);
}

void tick(QWidget& dialog, const char* name, bool on) {
    if (auto* box = find<QCheckBox>(dialog, name))
        if (box->isChecked() != on) box->click();
}

void typeText(QWidget& dialog, const char* name, const QString& text) {
    auto* line = find<QLineEdit>(dialog, name);
    if (!line) return;
    EXPECT_TRUE(line->isEnabled() && !line->isReadOnly()) << name << " cannot be edited";
    line->selectAll();
    line->insert(text);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(line, &leave);
}

QString comboText(QWidget& dialog, const char* name) {
    auto* box = find<QComboBox>(dialog, name);
    return box ? box->currentText() : QString();
}

QStringList comboEntries(QWidget& dialog, const char* name) {
    QStringList entries;
    if (auto* box = find<QComboBox>(dialog, name))
        for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    return entries;
}

}  // namespace tesk_test
