// Variables and controls: display copies variables into controls, update
// copies controls into variables; check items and lists.

#include "platform/framework/text_util.h"
#include "platform/framework/variables.h"
#include "platform/framework/window_impl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <algorithm>

namespace platform {
namespace {

using detail::fromQt;
using detail::toQt;

// A variable's value as a field with this picture shows it.
std::optional<std::string> shownText(const Variable& variable, const detail::Picture& picture) {
    if (detail::isNumber(variable) || (picture.type == detail::Picture::Type::Number && detail::isText(variable))) {
        const auto value = detail::readNumber(variable);
        if (!value) return std::nullopt;
        return picture.type == detail::Picture::Type::Number ? picture.formatNumber(*value) : std::to_string(*value);
    }
    if (const auto text = detail::readText(variable)) return picture.formatText(*text);
    return std::nullopt;
}

}  // namespace

void Window::Impl::displayOne(ControlEntry& entry) {
    const Variable& variable = entry.variable;
    switch (entry.kind) {
    case Kind::CheckItem:
        if (const auto value = detail::readNumber(variable)) entry.action->setChecked(*value != 0);
        break;
    case Kind::Check:
        if (const auto value = detail::readNumber(variable)) {
            const QSignalBlocker blocker(entry.widget);
            static_cast<QCheckBox*>(entry.widget)->setChecked(*value != 0);
        }
        break;
    case Kind::String:
    case Kind::Prompt:
        if (const auto text = shownText(variable, entry.picture)) static_cast<QLabel*>(entry.widget)->setText(toQt(*text));
        break;
    case Kind::Entry:
        if (const auto text = shownText(variable, entry.picture)) {
            auto* edit = static_cast<QLineEdit*>(entry.widget);
            edit->setText(toQt(*text));
            edit->setModified(false);
        }
        break;
    case Kind::Spin:
        if (const auto value = detail::readNumber(variable)) {
            auto* spin = static_cast<QSpinBox*>(entry.widget);
            const QSignalBlocker blocker(spin);
            spin->setValue(static_cast<int>(std::clamp<std::int64_t>(*value, spin->minimum(), spin->maximum())));
            entry.shownValue = spin->value();
        }
        break;
    case Kind::DropList: fillList(entry); break;
    default: break;
    }
}

void Window::Impl::updateOne(ControlEntry& entry) {
    const Variable& variable = entry.variable;
    if (!detail::isBound(variable)) return;
    switch (entry.kind) {
    case Kind::CheckItem: detail::storeNumber(variable, entry.action->isChecked() ? 1 : 0); break;
    case Kind::Check: detail::storeNumber(variable, static_cast<QCheckBox*>(entry.widget)->isChecked() ? 1 : 0); break;
    case Kind::Entry: {
        const std::string text = fromQt(static_cast<QLineEdit*>(entry.widget)->text());
        if (entry.picture.type == detail::Picture::Type::Number || detail::isNumber(variable)) {
            // Text that is no number leaves the variable as it was.
            if (const auto value = detail::Picture::parseNumber(text)) detail::storeNumber(variable, *value);
        } else {
            detail::storeText(variable, entry.picture.type == detail::Picture::Type::Text
                                            ? detail::cutChars(text, static_cast<std::size_t>(entry.picture.width))
                                            : text);
        }
        break;
    }
    case Kind::Spin: {
        auto* spin = static_cast<QSpinBox*>(entry.widget);
        spin->interpretText();
        entry.shownValue = spin->value();
        detail::storeNumber(variable, spin->value());
        break;
    }
    case Kind::DropList: {
        auto* combo = static_cast<QComboBox*>(entry.widget);
        if (combo->currentIndex() >= 0) detail::storeText(variable, fromQt(combo->currentText()));
        break;
    }
    default: break;  // strings, prompts, buttons, menus and boxes only show
    }
}

// The list's rows from its source, then the row matching the value variable.
void Window::Impl::fillList(ControlEntry& entry) {
    auto* combo = static_cast<QComboBox*>(entry.widget);
    const QSignalBlocker blocker(combo);
    const int previous = combo->currentIndex();
    entry.model->removeRows(0, entry.model->rowCount());
    const std::size_t count = entry.rows ? entry.rows->rowCount() : 0;
    Qt::Alignment alignment = Qt::AlignVCenter;
    switch (entry.listFormat.align) {
    case detail::ListFormat::Align::Left: alignment |= Qt::AlignLeft; break;
    case detail::ListFormat::Align::Right: alignment |= Qt::AlignRight; break;
    case detail::ListFormat::Align::Centre: alignment |= Qt::AlignHCenter; break;
    }
    for (std::size_t position = 1; position <= count; ++position) {
        auto* item = new QStandardItem(toQt(entry.listFormat.cell(entry.rows->rowText(position))));
        item->setTextAlignment(alignment);
        item->setEditable(false);
        entry.model->appendRow(item);
    }
    int selected = -1;
    if (const auto value = detail::readText(entry.variable)) {
        const QString wanted = toQt(detail::trimRight(*value));
        if (!wanted.isEmpty())
            for (int row = 0; row < entry.model->rowCount() && selected < 0; ++row)
                if (entry.model->item(row)->text() == wanted) selected = row;
    } else if (previous >= 0 && previous < entry.model->rowCount()) {
        selected = previous;  // no value variable: the choice stays
    }
    combo->setCurrentIndex(selected);
}

// Choosing a check item flips its variable between 1 and 0, and the mark with it.
void Window::Impl::flipCheckItem(ControlEntry& entry) {
    if (const auto value = detail::readNumber(entry.variable)) {
        detail::storeNumber(entry.variable, *value != 0 ? 0 : 1);
        entry.action->setChecked(*value == 0);
    }
    // Unbound: Qt has already toggled the mark.
}

}  // namespace platform
