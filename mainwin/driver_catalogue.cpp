// The driver catalogue: "Enumerate Drivers" publishes every driver as a check
// item of the Options menu and as a row of the driver list; choosing such an
// item connects its driver.

#include "mainwin/main_controls.h"
#include "mainwin/main_window.h"
#include "platform/framework/message.h"
#include "shell/host_window.h"

#include <cstring>

namespace mainwin {
namespace {

constexpr std::string_view CONNECT_REFUSED = "could not connect to capture driver";

// The text of a NUL-terminated buffer; a buffer the component left unterminated ends at its size.
template <std::size_t N>
std::string bufferText(const std::array<char, N>& buffer) {
    return std::string(buffer.data(), strnlen(buffer.data(), N));
}

std::string cut(const std::string& text, std::size_t length) { return text.substr(0, length); }

}  // namespace

void MainWindow::enumerateDrivers() {
    platform::Window& w = window();
    updateStep();
    shell::setHostWindow(&w);
    driverCount_ = capture().ENUMCAPDRIVERS();  // 16-bit count, sign-extended
    for (std::int32_t i = 0; i < driverCount_; ++i) {
        // A failed description is not noticed: the buffers keep the previous texts.
        capture().GETDRIVERDESCRIPTION(i, name_.data(), static_cast<std::int32_t>(name_.size()), version_.data(),
                                       static_cast<std::int32_t>(version_.size()));
        const std::string description = bufferText(name_) + " " + bufferText(version_);

        const platform::ControlNumber item = w.createMenuItem(OPTIONS);
        // Without a free control number the driver gets no menu item, only its list row.
        if (item != 0) {
            driverItems_.buffer.FEQ = item;
            w.unhide(item);
            w.bind(item, &driverItems_.buffer.USEVAR);
            w.makeCheckItem(item);
            w.setText(item, description);  // the whole text, uncut
            driverItems_.buffer.INDX = i;
            driverItems_.add();
        }

        driverList_.buffer.ID = i;
        driverList_.buffer.DESCRIPTION = cut(description, DESCRIPTION_LENGTH);
        driverList_.add();
    }
    w.hide(OPTIONSDESTROY);
    // With no drivers the fetch fails and the buffer's description (empty at first) stays.
    driverList_.fetch(1);
    LOC_DRIVER_ = cut(driverList_.buffer.DESCRIPTION, DESCRIPTION_LENGTH);
    w.enable(STARTCAPTURE);
    w.display();
}

void MainWindow::chooseDriverItem(platform::ControlNumber control) {
    driverItems_.buffer.FEQ = control;
    if (!driverItems_.fetchByKey(&DriverItemRow::FEQ)) return;  // not a driver item
    if (capture().CONNECTCAPDRIVER(driverItems_.buffer.INDX) != 0) {
        capture().RESIZECAPTUREREGION(CAPREG);
    } else {
        platform::message(CONNECT_REFUSED);
    }
}

}  // namespace mainwin
