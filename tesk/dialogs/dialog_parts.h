#pragma once
// Small pieces the driver dialogs share.

#include "tesk/driver.h"

#include <QString>

class QDialog;
class QDialogButtonBox;
class QVBoxLayout;

namespace tesk::dialogs {

// Adds OK and Cancel (object names "ok" and "cancel") to the bottom of a
// dialog's layout, wired to accept and reject.
QDialogButtonBox* addOkCancel(QDialog& dialog, QVBoxLayout& layout);

// "15", "29.97": frames per second of a frame interval.
QString framesPerSecondText(const FrameInterval& interval);

// The four characters of a V4L2 fourcc, for showing it.
QString fourccName(std::uint32_t code);

}  // namespace tesk::dialogs
