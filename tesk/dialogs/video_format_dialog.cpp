// The Video Format dialog: pixel format, then the frame sizes of that format,
// then the frame rates of that size, each list as the driver enumerates it.

#include "tesk/dialogs/dialog_parts.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdlib>

namespace tesk {

namespace {

class VideoFormatDialog : public QDialog {
public:
    VideoFormatDialog(QWidget* parent, std::vector<PixelFormatOption> options, const VideoFormat& current)
        : QDialog(parent), options_(std::move(options)), chosen_(current) {
        setObjectName("videoFormatDialog");
        setWindowTitle(tr("Video Format"));
        auto* layout = new QVBoxLayout(this);
        auto* form = new QFormLayout;
        layout->addLayout(form);

        pixelFormat_ = new QComboBox(this);
        pixelFormat_->setObjectName("pixelFormat");
        frameSize_ = new QComboBox(this);
        frameSize_->setObjectName("frameSize");
        frameRate_ = new QComboBox(this);
        frameRate_->setObjectName("frameRate");
        addRow(*form, tr("&Pixel format:"), pixelFormat_);
        addRow(*form, tr("Frame &size:"), frameSize_);
        addRow(*form, tr("Frame &rate:"), frameRate_);

        auto* buttons = dialogs::addOkCancel(*this, *layout);
        if (options_.empty()) {
            auto* note = new QLabel(tr("The driver offers no formats to choose from."), this);
            note->setObjectName("note");
            layout->insertWidget(0, note);
            buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
        }

        for (const PixelFormatOption& option : options_) {
            const QString code = dialogs::fourccName(option.fourcc);
            const QString description = QString::fromStdString(option.description);
            pixelFormat_->addItem(description.isEmpty() ? code : description + " (" + code + ")");
        }
        int formatIndex = 0;
        for (std::size_t i = 0; i < options_.size(); ++i)
            if (options_[i].fourcc == current.fourcc) formatIndex = int(i);
        pixelFormat_->setCurrentIndex(options_.empty() ? -1 : formatIndex);
        fillSizes();

        // Each choice refills the lists below it, keeping what it can.
        connect(pixelFormat_, &QComboBox::currentIndexChanged, this, [this] { fillSizes(); });
        connect(frameSize_, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_) fillRates();
        });
        connect(frameRate_, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_) takeRate();
        });
    }

    const VideoFormat& choice() const { return chosen_; }

private:
    void addRow(QFormLayout& form, const QString& text, QComboBox* box) {
        auto* label = new QLabel(text, this);
        label->setBuddy(box);
        form.addRow(label, box);
    }

    const PixelFormatOption* currentFormat() const {
        const int i = pixelFormat_->currentIndex();
        return i >= 0 && i < int(options_.size()) ? &options_[std::size_t(i)] : nullptr;
    }

    const FrameSizeOption* currentSize() const {
        const PixelFormatOption* format = currentFormat();
        const int i = frameSize_->currentIndex();
        return format && i >= 0 && i < int(format->sizes.size()) ? &format->sizes[std::size_t(i)] : nullptr;
    }

    // The size closest in area to the one chosen so far (itself when listed).
    void fillSizes() {
        filling_ = true;
        frameSize_->clear();
        const PixelFormatOption* format = currentFormat();
        if (format) {
            chosen_.fourcc = format->fourcc;
            int best = -1;
            long long bestDistance = 0;
            for (std::size_t i = 0; i < format->sizes.size(); ++i) {
                const FrameSizeOption& size = format->sizes[i];
                frameSize_->addItem(tr("%1 x %2").arg(size.width).arg(size.height));
                const long long distance = std::llabs(1LL * size.width * size.height - 1LL * chosen_.width * chosen_.height) +
                                           (size.width == chosen_.width && size.height == chosen_.height ? 0 : 1);
                if (best < 0 || distance < bestDistance) {
                    best = int(i);
                    bestDistance = distance;
                }
            }
            frameSize_->setCurrentIndex(best);
        }
        frameSize_->setEnabled(frameSize_->count() > 0);
        filling_ = false;
        fillRates();
    }

    // The rate closest to the one chosen so far (itself when listed).
    void fillRates() {
        filling_ = true;
        frameRate_->clear();
        const FrameSizeOption* size = currentSize();
        if (size) {
            chosen_.width = size->width;
            chosen_.height = size->height;
            const double wanted = double(chosen_.intervalDenominator) / std::max(1, chosen_.intervalNumerator);
            int best = -1;
            double bestDistance = 0;
            for (std::size_t i = 0; i < size->intervals.size(); ++i) {
                const FrameInterval& interval = size->intervals[i];
                frameRate_->addItem(tr("%1 frames per second").arg(dialogs::framesPerSecondText(interval)));
                const bool same = interval.numerator == chosen_.intervalNumerator &&
                                  interval.denominator == chosen_.intervalDenominator;
                const double fps = double(interval.denominator) / std::max(1, interval.numerator);
                const double distance = same ? -1.0 : std::abs(fps - wanted);
                if (best < 0 || distance < bestDistance) {
                    best = int(i);
                    bestDistance = distance;
                }
            }
            frameRate_->setCurrentIndex(best);
        }
        // A size without listed rates keeps the rate it had: the driver decides.
        frameRate_->setEnabled(frameRate_->count() > 0);
        filling_ = false;
        takeRate();
    }

    void takeRate() {
        const FrameSizeOption* size = currentSize();
        const int i = frameRate_->currentIndex();
        if (!size || i < 0 || i >= int(size->intervals.size())) return;
        chosen_.intervalNumerator = size->intervals[std::size_t(i)].numerator;
        chosen_.intervalDenominator = size->intervals[std::size_t(i)].denominator;
    }

    std::vector<PixelFormatOption> options_;
    VideoFormat chosen_;
    QComboBox* pixelFormat_ = nullptr;
    QComboBox* frameSize_ = nullptr;
    QComboBox* frameRate_ = nullptr;
    bool filling_ = false;
};

}  // namespace

bool showVideoFormatDialog(QWidget* parent, const Driver& driver, VideoFormat& format) {
    VideoFormatDialog dialog(parent, driver.formats(), format);
    if (dialog.exec() != QDialog::Accepted) return false;
    format = dialog.choice();
    return true;
}

}  // namespace tesk
