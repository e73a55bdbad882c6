// The Audio Format dialog: sample rate, channels and bits per sample of the
// sound recorded with a capture sequence.

#include "tesk/dialogs/dialog_parts.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdlib>

namespace tesk {

namespace {

constexpr int kSampleRates[] = {8000, 11025, 22050, 44100, 48000};

QComboBox* addCombo(QDialog& dialog, QFormLayout& form, const char* name, const QString& label) {
    auto* box = new QComboBox(&dialog);
    box->setObjectName(name);
    auto* text = new QLabel(label, &dialog);
    text->setBuddy(box);
    form.addRow(text, box);
    return box;
}

// Picks the entry whose value is nearest to `value`.
void selectNearest(QComboBox& box, int value) {
    int best = 0;
    for (int i = 1; i < box.count(); ++i)
        if (std::abs(box.itemData(i).toInt() - value) < std::abs(box.itemData(best).toInt() - value)) best = i;
    box.setCurrentIndex(best);
}

}  // namespace

bool showAudioFormatDialog(QWidget* parent, AudioChoice& choice) {
    QDialog dialog(parent);
    dialog.setObjectName("audioFormatDialog");
    dialog.setWindowTitle(QDialog::tr("Audio Format"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    QComboBox* rate = addCombo(dialog, *form, "sampleRate", QDialog::tr("Sample &rate:"));
    for (int hz : kSampleRates) rate->addItem(QDialog::tr("%1 Hz").arg(hz), hz);
    QComboBox* channels = addCombo(dialog, *form, "channels", QDialog::tr("&Channels:"));
    channels->addItem(QDialog::tr("Mono"), 1);
    channels->addItem(QDialog::tr("Stereo"), 2);
    QComboBox* bits = addCombo(dialog, *form, "bits", QDialog::tr("&Bits per sample:"));
    bits->addItem(QDialog::tr("8-bit"), 8);
    bits->addItem(QDialog::tr("16-bit"), 16);

    selectNearest(*rate, choice.sampleRate);
    selectNearest(*channels, choice.channels);
    selectNearest(*bits, choice.bitsPerSample);

    // What the choice costs, so the user can weigh quality against size.
    auto* dataRate = new QLabel(&dialog);
    dataRate->setObjectName("dataRate");
    layout->insertWidget(1, dataRate);
    auto showRate = [&] {
        const int bytes = rate->currentData().toInt() * channels->currentData().toInt() * bits->currentData().toInt() / 8;
        dataRate->setText(QDialog::tr("%1 bytes per second").arg(bytes));
    };
    for (QComboBox* box : {rate, channels, bits}) QObject::connect(box, &QComboBox::currentIndexChanged, &dialog, showRate);
    showRate();

    dialogs::addOkCancel(dialog, *layout);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice.sampleRate = rate->currentData().toInt();
    choice.channels = channels->currentData().toInt();
    choice.bitsPerSample = bits->currentData().toInt();
    return true;
}

}  // namespace tesk
