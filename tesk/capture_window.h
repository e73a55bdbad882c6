#pragma once
// The capture window: a child widget over the host's control that paints the
// newest frame, scaled to fit (aspect kept unless the display choice says
// otherwise) on a black background. It only paints; frames are handed to it.

#include "tesk/component_settings.h"

#include <QImage>
#include <QWidget>

namespace tesk {

// Where an image of `image` size goes inside `area`: centred and as large as
// fits with its aspect kept, or the whole area.
QRect fitImageRect(QSize image, QRect area, bool keepAspect);

class CaptureWindow final : public QWidget {
    Q_OBJECT
public:
    explicit CaptureWindow(QWidget* parent);

    void setImage(QImage image, std::uint64_t sequence);
    void clearImage();
    void setDisplay(const DisplayChoice& choice);

    const QImage& image() const { return image_; }
    std::uint64_t paintedSequence() const { return paintedSequence_; }
    int paintCount() const { return paintCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    std::uint64_t sequence_ = 0;
    std::uint64_t paintedSequence_ = 0;
    int paintCount_ = 0;
    DisplayChoice display_;
};

}  // namespace tesk
