// The Video Source dialog: the driver's inputs and every control it reports,
// each with its range, step and default. Changes reach the driver at once
// (a text when its edit finishes); Cancel puts back what was changed,
// "Defaults" resets every control whose default is known.

#include "tesk/dialogs/dialog_parts.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <string>

namespace tesk {

namespace {

// One control's widgets; which of them exist depends on the control's type.
struct ControlEditor {
    Control control;
    QWidget* row = nullptr;  // the enabled state of the whole row follows the control's flags
    QSpinBox* spin = nullptr;
    QSlider* slider = nullptr;
    QCheckBox* check = nullptr;
    QComboBox* menu = nullptr;
    QLineEdit* line = nullptr;
    QPushButton* button = nullptr;
};

bool fitsInt(const Control& c) { return c.minimum >= INT_MIN && c.maximum <= INT_MAX && c.minimum <= c.maximum; }

// The nearest value the control accepts: within its range, on its step.
// Unsigned offsets keep 64-bit ranges from overflowing.
std::int64_t snap(const Control& c, std::int64_t value) {
    if (c.minimum > c.maximum) return value;
    value = std::clamp(value, c.minimum, c.maximum);
    const std::uint64_t step = std::uint64_t(std::max<std::int64_t>(1, c.step));
    const std::uint64_t span = std::uint64_t(c.maximum) - std::uint64_t(c.minimum);
    const std::uint64_t offset = std::uint64_t(value) - std::uint64_t(c.minimum);
    const std::uint64_t down = offset / step * step;
    const std::uint64_t rest = offset - down;
    const bool roundUp = rest >= step - rest && span - down >= step;
    return std::int64_t(std::uint64_t(c.minimum) + (roundUp ? down + step : down));
}

// Restoring on Cancel makes sense for values and texts, not for actions.
bool holdsValue(const Control& c) { return c.type != Control::Type::Button && !c.readOnly; }

// Where "Defaults" has something to set.
bool atDefault(const Control& c) {
    if (c.type == Control::Type::String) return !c.hasDefaultText || c.text == c.defaultText;
    return c.value == c.defaultValue;
}

QString menuText(const Control& c, std::int64_t value) {
    for (const auto& [entry, text] : c.menu)
        if (entry == value) return QString::fromStdString(text);
    return QString::number(value);
}

QString rangeText(const Control& c) {
    switch (c.type) {
    case Control::Type::Boolean:
        return QDialog::tr("default %1").arg(c.defaultValue ? QDialog::tr("on") : QDialog::tr("off"));
    case Control::Type::Menu:
    case Control::Type::IntegerMenu:
        return QDialog::tr("default %1").arg(menuText(c, c.defaultValue));
    case Control::Type::Bitmask:
        return QDialog::tr("bits 0x%1, default 0x%2")
            .arg(QString::number(c.maximum, 16))
            .arg(QString::number(c.defaultValue, 16));
    case Control::Type::String: {
        QString limits = c.minimum == c.maximum ? QDialog::tr("%1 characters").arg(c.minimum)
                                                : QDialog::tr("%1 to %2 characters").arg(c.minimum).arg(c.maximum);
        if (c.step > 1) limits += QDialog::tr(", step %1").arg(c.step);
        if (c.hasDefaultText) limits += QDialog::tr(", default \"%1\"").arg(QString::fromStdString(c.defaultText));
        return limits;
    }
    case Control::Type::Button:
        return {};
    default:
        return QDialog::tr("%1 to %2, step %3, default %4")
            .arg(c.minimum)
            .arg(c.maximum)
            .arg(std::max<std::int64_t>(1, c.step))
            .arg(c.defaultValue);
    }
}

class VideoSourceDialog : public QDialog {
public:
    VideoSourceDialog(QWidget* parent, const std::string& driverName, const SourceAccess& source)
        : QDialog(parent), source_(source) {
        setObjectName("videoSourceDialog");
        setWindowTitle(tr("Video Source"));
        auto* layout = new QVBoxLayout(this);

        auto* heading = new QLabel(QString::fromStdString(driverName), this);
        heading->setObjectName("driverName");
        layout->addWidget(heading);

        auto* inputRow = new QHBoxLayout;
        auto* inputLabel = new QLabel(tr("&Input:"), this);
        input_ = new QComboBox(this);
        input_->setObjectName("input");
        inputLabel->setBuddy(input_);
        inputRow->addWidget(inputLabel);
        inputRow->addWidget(input_, 1);
        layout->addLayout(inputRow);

        scroll_ = new QScrollArea(this);
        scroll_->setObjectName("controls");
        scroll_->setWidgetResizable(true);
        layout->addWidget(scroll_, 1);

        status_ = new QLabel(this);
        status_->setObjectName("status");
        status_->setWordWrap(true);
        layout->addWidget(status_);

        auto* defaults = new QPushButton(tr("&Defaults"), this);
        defaults->setObjectName("defaults");
        defaults->setAutoDefault(false);
        layout->addWidget(defaults, 0, Qt::AlignLeft);
        connect(defaults, &QPushButton::clicked, this, [this] { resetToDefaults(); });

        dialogs::addOkCancel(*this, *layout);

        fillInputs();
        connect(input_, &QComboBox::currentIndexChanged, this, [this] { chooseInput(); });
        buildControls(currentControls());
        resize(sizeHint().expandedTo(QSize(460, 420)));
    }

    // Cancel, Escape and the window's close button all put the old values back.
    void reject() override {
        restoreChanged();
        QDialog::reject();
    }

private:
    std::vector<Control> currentControls() const { return source_.controls ? source_.controls() : std::vector<Control>{}; }

    void fillInputs() {
        const auto inputs = source_.inputs ? source_.inputs() : std::vector<Input>{};
        const int current = source_.currentInput ? source_.currentInput() : 0;
        QSignalBlocker block(input_);
        input_->clear();
        for (const Input& in : inputs) {
            input_->addItem(QString::fromStdString(in.name), in.index);
            if (in.index == current) input_->setCurrentIndex(input_->count() - 1);
        }
        input_->setEnabled(inputs.size() > 1 && bool(source_.setInput));
        shownInput_ = input_->currentData().toInt();
    }

    void chooseInput() {
        const int wanted = input_->currentData().toInt();
        if (wanted == shownInput_) return;
        const Status result = source_.setInput(wanted);
        if (!result) {
            showError(result);
            fillInputs();  // shows the input the driver really has
            return;
        }
        if (!inputChanged_) {
            inputChanged_ = true;
            originalInput_ = shownInput_;
            undo_.push_back({true, 0, 0});
        }
        shownInput_ = wanted;
        changed_.clear();  // the new input's values are undone on their own
        status_->clear();
        // Another input may come with other controls.
        buildControls(currentControls());
    }

    void buildControls(const std::vector<Control>& controls) {
        editors_.clear();
        order_.clear();
        auto* box = new QWidget;
        auto* form = new QFormLayout(box);
        if (controls.empty()) {
            auto* none = new QLabel(tr("This source has no adjustable settings."), box);
            none->setObjectName("noControls");
            form->addRow(none);
        }
        for (const Control& c : controls) addEditor(*form, c);
        // The old widgets may be the sender of the signal being handled: they
        // go once it has returned.
        if (QWidget* old = scroll_->takeWidget()) old->deleteLater();
        scroll_->setWidget(box);
        updateEditors(controls);
    }

    void addEditor(QFormLayout& form, const Control& c) {
        ControlEditor e;
        e.control = c;
        const QString id = QString::number(c.id);
        const QString name = QString::fromStdString(c.name);
        QWidget* parent = form.parentWidget();
        e.row = new QWidget(parent);
        e.row->setObjectName("control_" + id + "_row");
        auto* row = new QHBoxLayout(e.row);
        row->setContentsMargins(0, 0, 0, 0);
        QWidget* main = nullptr;

        switch (c.type) {
        case Control::Type::Boolean:
            e.check = new QCheckBox(e.row);
            connect(e.check, &QCheckBox::toggled, this, [this, cid = c.id](bool on) { apply(cid, on ? 1 : 0); });
            main = e.check;
            break;
        case Control::Type::Menu:
        case Control::Type::IntegerMenu:
            e.menu = new QComboBox(e.row);
            for (const auto& [value, text] : c.menu) e.menu->addItem(QString::fromStdString(text), qlonglong(value));
            connect(e.menu, &QComboBox::currentIndexChanged, this, [this, cid = c.id, menu = e.menu](int index) {
                if (index >= 0) apply(cid, menu->itemData(index).toLongLong());
            });
            main = e.menu;
            break;
        case Control::Type::Button:
            e.button = new QPushButton(name, e.row);
            e.button->setAutoDefault(false);
            connect(e.button, &QPushButton::clicked, this, [this, cid = c.id] { apply(cid, 1); });
            main = e.button;
            break;
        case Control::Type::String:
            e.line = new QLineEdit(e.row);
            // The driver checks the byte length; this keeps typing within the limit.
            if (c.maximum >= 0 && c.maximum <= INT_MAX) e.line->setMaxLength(int(c.maximum));
            if (source_.setControlText) {
                connect(e.line, &QLineEdit::editingFinished, this,
                        [this, cid = c.id, line = e.line] { applyText(cid, line->text().toStdString()); });
            } else {
                e.line->setPlaceholderText(tr("text setting, not adjustable here"));
                e.line->setReadOnly(true);
            }
            main = e.line;
            break;
        case Control::Type::Bitmask:
            e.line = new QLineEdit(e.row);
            e.line->setValidator(new QRegularExpressionValidator(QRegularExpression("(0x)?[0-9a-fA-F]{1,8}"), e.line));
            connect(e.line, &QLineEdit::editingFinished, this, [this, cid = c.id, line = e.line, mask = c.maximum] {
                QString text = line->text();
                if (text.startsWith("0x")) text = text.mid(2);
                bool ok = false;
                const std::int64_t value = text.toLongLong(&ok, 16);
                if (ok) apply(cid, value & mask);
            });
            main = e.line;
            break;
        case Control::Type::Integer:
        case Control::Type::Integer64:
            if (fitsInt(c)) {
                e.slider = new QSlider(Qt::Horizontal, e.row);
                e.slider->setObjectName("control_" + id + "_slider");
                e.slider->setRange(int(c.minimum), int(c.maximum));
                const int step = int(std::clamp<std::int64_t>(c.step, 1, INT_MAX));
                e.slider->setSingleStep(step);
                e.slider->setPageStep(int(std::clamp<std::int64_t>((c.maximum - c.minimum) / 10, step, INT_MAX)));
                e.slider->setAccessibleName(name);
                e.spin = new QSpinBox(e.row);
                e.spin->setRange(int(c.minimum), int(c.maximum));
                e.spin->setSingleStep(step);
                // Typing applies on Enter or leaving the box, not on every keystroke.
                e.spin->setKeyboardTracking(false);
                row->addWidget(e.slider, 1);
                connect(e.slider, &QSlider::valueChanged, this, [this, cid = c.id](int v) { apply(cid, v); });
                connect(e.spin, &QSpinBox::valueChanged, this, [this, cid = c.id](int v) { apply(cid, v); });
                main = e.spin;
            } else {
                e.line = new QLineEdit(e.row);
                e.line->setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9]{1,19}"), e.line));
                connect(e.line, &QLineEdit::editingFinished, this, [this, cid = c.id, line = e.line] {
                    bool ok = false;
                    const std::int64_t value = line->text().toLongLong(&ok);
                    if (ok) apply(cid, value);
                });
                main = e.line;
            }
            break;
        }
        main->setObjectName("control_" + id);
        main->setAccessibleName(name);
        row->addWidget(main, e.slider ? 0 : 1);
        const QString range = rangeText(c);
        if (!range.isEmpty()) {
            auto* hint = new QLabel(range, e.row);
            hint->setObjectName("control_" + id + "_range");
            row->addWidget(hint);
        }
        if (c.type == Control::Type::Button) {
            form.addRow(QString(), e.row);
        } else {
            auto* label = new QLabel(name + ":", parent);
            label->setBuddy(main);
            form.addRow(label, e.row);
        }
        order_.push_back(c.id);
        editors_[c.id] = e;
    }

    // Shows the driver's values and flags; an edit may change other controls
    // (an automatic mode makes its manual partner inactive).
    void updateEditors(const std::vector<Control>& controls) {
        updating_ = true;
        for (const Control& c : controls) {
            auto it = editors_.find(c.id);
            if (it == editors_.end()) continue;
            ControlEditor& e = it->second;
            e.control = c;
            e.row->setEnabled(!c.readOnly && !c.inactive);
            if (e.check) e.check->setChecked(c.value != 0);
            if (e.menu) e.menu->setCurrentIndex(e.menu->findData(qlonglong(c.value)));
            if (e.slider) e.slider->setValue(int(c.value));
            if (e.spin) e.spin->setValue(int(c.value));
            if (e.line && c.type == Control::Type::Bitmask) e.line->setText("0x" + QString::number(c.value, 16));
            else if (e.line && c.type == Control::Type::String) e.line->setText(QString::fromStdString(c.text));
            else if (e.line) e.line->setText(QString::number(c.value));
        }
        updating_ = false;
    }

    void refresh() {
        const auto controls = currentControls();
        std::set<std::uint32_t> ids;
        for (const Control& c : controls) ids.insert(c.id);
        std::set<std::uint32_t> shown;
        for (const auto& entry : editors_) shown.insert(entry.first);
        if (ids != shown) buildControls(controls);
        else updateEditors(controls);
    }

    Status setValue(std::uint32_t id, std::int64_t value) {
        auto it = editors_.find(id);
        if (it == editors_.end() || !source_.setControl) return Status::failure("this setting cannot be changed");
        const Control& c = it->second.control;
        const std::int64_t previous = c.value;
        if (c.type == Control::Type::Integer || c.type == Control::Type::Integer64) value = snap(c, value);
        const Status result = source_.setControl(id, value);
        if (result && holdsValue(c) && changed_.insert(id).second) {
            undo_.push_back({false, id, previous});
        }
        return result;
    }

    Status setText(std::uint32_t id, const std::string& text) {
        auto it = editors_.find(id);
        if (it == editors_.end() || !source_.setControlText) return Status::failure("this setting cannot be changed");
        const Control& c = it->second.control;
        const std::string previous = c.text;
        const Status result = source_.setControlText(id, text);
        if (result && holdsValue(c) && changed_.insert(id).second) {
            UndoStep step{false, id, 0};
            step.isText = true;
            step.text = previous;
            undo_.push_back(step);
        }
        return result;
    }

    // A refused text is reported and the driver's text shown again.
    void applyText(std::uint32_t id, const std::string& text) {
        if (updating_) return;
        auto it = editors_.find(id);
        if (it != editors_.end() && it->second.control.text == text) return;  // focus left, nothing edited
        const Status result = setText(id, text);
        if (result) status_->clear();
        else showError(result);
        refresh();
    }

    void apply(std::uint32_t id, std::int64_t value) {
        if (updating_) return;
        const Status result = setValue(id, value);
        if (result) status_->clear();
        else showError(result);
        refresh();  // also puts a refused value back to what the driver has
    }

    void resetToDefaults() {
        QStringList errors;
        for (std::uint32_t id : order_) {
            auto it = editors_.find(id);
            if (it == editors_.end()) continue;
            const Control c = it->second.control;
            if (!holdsValue(c) || atDefault(c)) continue;
            const Status result =
                c.type == Control::Type::String ? setText(id, c.defaultText) : setValue(id, c.defaultValue);
            if (!result) errors << QString::fromStdString(c.name) + ": " + QString::fromStdString(result.error);
        }
        status_->setText(errors.join("\n"));
        refresh();
    }

    // Last change first, so each value goes back in the state it was set in
    // (for example a manual value before its automatic mode is switched back).
    void restoreChanged() {
        QStringList errors;
        for (auto step = undo_.rbegin(); step != undo_.rend(); ++step) {
            Status result;
            if (step->input) result = source_.setInput(originalInput_);
            else if (step->isText && source_.setControlText) result = source_.setControlText(step->id, step->text);
            else if (!step->isText && source_.setControl) result = source_.setControl(step->id, step->value);
            if (!result) errors << QString::fromStdString(result.error);
        }
        undo_.clear();
        if (!errors.isEmpty())
            QMessageBox::warning(this, windowTitle(), tr("Some settings could not be put back:\n%1").arg(errors.join("\n")));
    }

    void showError(const Status& result) { status_->setText(QString::fromStdString(result.error)); }

    struct UndoStep {
        bool input = false;
        std::uint32_t id = 0;
        std::int64_t value = 0;
        bool isText = false;  // a String control: text is what goes back
        std::string text;
    };

    const SourceAccess& source_;
    QComboBox* input_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* status_ = nullptr;
    std::map<std::uint32_t, ControlEditor> editors_;
    std::vector<std::uint32_t> order_;
    std::set<std::uint32_t> changed_;  // changed since the dialog opened or the input changed
    std::vector<UndoStep> undo_;  // first change of each value, in order
    int shownInput_ = 0;
    int originalInput_ = 0;
    bool inputChanged_ = false;
    bool updating_ = false;
};

}  // namespace

bool showVideoSourceDialog(QWidget* parent, const std::string& driverName, const SourceAccess& source) {
    VideoSourceDialog dialog(parent, driverName, source);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tesk
