// The Video Compression dialog: the codec of capture files and, for codecs
// that trade size against fidelity, the quality.

#include "tesk/dialogs/dialog_parts.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace tesk {

bool showVideoCompressionDialog(QWidget* parent, CompressionChoice& choice) {
    const std::vector<CodecOption> codecs = availableCodecs();

    QDialog dialog(parent);
    dialog.setObjectName("videoCompressionDialog");
    dialog.setWindowTitle(QDialog::tr("Video Compression"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* codec = new QComboBox(&dialog);
    codec->setObjectName("codec");
    for (const CodecOption& option : codecs)
        codec->addItem(QString::fromStdString(option.description), QString::fromStdString(option.name));
    auto* codecLabel = new QLabel(QDialog::tr("&Compressor:"), &dialog);
    codecLabel->setBuddy(codec);
    form->addRow(codecLabel, codec);

    auto* qualityRow = new QWidget(&dialog);
    qualityRow->setObjectName("qualityRow");
    auto* row = new QHBoxLayout(qualityRow);
    row->setContentsMargins(0, 0, 0, 0);
    auto* slider = new QSlider(Qt::Horizontal, qualityRow);
    slider->setObjectName("qualitySlider");
    slider->setRange(1, 100);
    auto* quality = new QSpinBox(qualityRow);
    quality->setObjectName("quality");
    quality->setRange(1, 100);
    row->addWidget(slider, 1);
    row->addWidget(quality);
    QObject::connect(slider, &QSlider::valueChanged, quality, &QSpinBox::setValue);
    QObject::connect(quality, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    quality->setValue(std::clamp(choice.quality, 1, 100));
    auto* qualityLabel = new QLabel(QDialog::tr("&Quality:"), &dialog);
    qualityLabel->setBuddy(quality);
    form->addRow(qualityLabel, qualityRow);

    auto* buttons = dialogs::addOkCancel(dialog, *layout);
    if (codecs.empty()) {
        auto* note = new QLabel(QDialog::tr("The installed FFmpeg offers no video codec for AVI files."), &dialog);
        note->setObjectName("note");
        layout->insertWidget(0, note);
        buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    }

    auto takesQuality = [&](int index) { return index >= 0 && index < int(codecs.size()) && codecs[std::size_t(index)].takesQuality; };
    auto follow = [&](int index) {
        qualityRow->setEnabled(takesQuality(index));
        qualityLabel->setEnabled(takesQuality(index));
    };
    QObject::connect(codec, &QComboBox::currentIndexChanged, &dialog, follow);
    // A codec that is not offered (any more) shows the first one, the uncompressed DIB.
    codec->setCurrentIndex(std::max(0, codec->findData(QString::fromStdString(choice.codec))));
    follow(codec->currentIndex());

    if (dialog.exec() != QDialog::Accepted) return false;
    choice.codec = codec->currentData().toString().toStdString();
    choice.quality = quality->value();
    return true;
}

}  // namespace tesk
