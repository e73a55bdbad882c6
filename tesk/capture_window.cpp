#include "tesk/capture_window.h"

#include <QPainter>

namespace tesk {

QRect fitImageRect(QSize image, QRect area, bool keepAspect) {
    if (!keepAspect || image.isEmpty() || area.isEmpty()) return area;
    const QSize fitted = image.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - fitted.width()) / 2, area.y() + (area.height() - fitted.height()) / 2,
                 fitted.width(), fitted.height());
}

CaptureWindow::CaptureWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("CaptureWindow");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptureWindow::setImage(QImage image, std::uint64_t sequence) {
    image_ = std::move(image);
    sequence_ = sequence;
    update();
}

void CaptureWindow::clearImage() {
    image_ = QImage();
    update();
}

void CaptureWindow::setDisplay(const DisplayChoice& choice) {
    display_ = choice;
    update();
}

void CaptureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (image_.isNull()) return;
    const QRect target = fitImageRect(image_.size(), rect(), display_.keepAspect);
    // Smooth scaling only when shrinking a little; large reductions look fine unfiltered and cost less.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, image_.width() <= 2 * target.width());
    painter.drawImage(target, image_);
    if (display_.showFrameInfo) {
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("Frame %1  %2x%3").arg(sequence_).arg(image_.width()).arg(image_.height()));
    }
    paintedSequence_ = sequence_;
    ++paintCount_;
}

}  // namespace tesk
