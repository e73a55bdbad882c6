#include "tesk/dialogs/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace tesk::dialogs {

QDialogButtonBox* addOkCancel(QDialog& dialog, QVBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->setObjectName("buttons");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
    return buttons;
}

QString framesPerSecondText(const FrameInterval& interval) {
    if (interval.numerator <= 0 || interval.denominator <= 0) return QStringLiteral("?");
    if (interval.denominator % interval.numerator == 0) return QString::number(interval.denominator / interval.numerator);
    const double fps = double(interval.denominator) / double(interval.numerator);
    return QString::number(std::round(fps * 100.0) / 100.0, 'f', 2);
}

QString fourccName(std::uint32_t code) {
    QString name;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0x7f);
        name += (c >= 0x20 && c < 0x7f) ? QChar(c) : QChar('?');
    }
    return name.trimmed();
}

}  // namespace tesk::dialogs
