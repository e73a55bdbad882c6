// The Video Display dialog: how the capture window shows the picture.

#include "tesk/dialogs/dialog_parts.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QVBoxLayout>

namespace tesk {

bool showVideoDisplayDialog(QWidget* parent, DisplayChoice& choice) {
    QDialog dialog(parent);
    dialog.setObjectName("videoDisplayDialog");
    dialog.setWindowTitle(QDialog::tr("Video Display"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* keepAspect = new QCheckBox(QDialog::tr("&Keep the picture's proportions when scaling it to the window"), &dialog);
    keepAspect->setObjectName("keepAspect");
    keepAspect->setChecked(choice.keepAspect);
    layout->addWidget(keepAspect);

    auto* frameInfo = new QCheckBox(QDialog::tr("Show the frame &number and rate over the picture"), &dialog);
    frameInfo->setObjectName("showFrameInfo");
    frameInfo->setChecked(choice.showFrameInfo);
    layout->addWidget(frameInfo);

    dialogs::addOkCancel(dialog, *layout);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice.keepAspect = keepAspect->isChecked();
    choice.showFrameInfo = frameInfo->isChecked();
    return true;
}

}  // namespace tesk
