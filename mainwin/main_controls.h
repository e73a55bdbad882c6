#pragma once
// Control numbers of the main window, named after their use names (?LOC:DRIVER
// becomes LOC_DRIVER). They follow the declaration order of the layout in
// main_window.cpp: the menu bar from 1, the window's controls from 26.

#include "platform/framework/layout.h"

namespace mainwin {

using platform::ControlNumber;

// Menu bar.
inline constexpr ControlNumber FILE = 1;
inline constexpr ControlNumber FILEITEM20 = 2;  // &Load Palette...
inline constexpr ControlNumber FILEITEM11 = 3;  // &Set Capture File...
inline constexpr ControlNumber FILEITEM13 = 4;  // Save &Captured Video As...
inline constexpr ControlNumber FILESAVEPALETTE = 5;
inline constexpr ControlNumber FILESAVESINGLEFRAME = 6;
inline constexpr ControlNumber FILEEXIT = 7;
inline constexpr ControlNumber EDIT = 8;
inline constexpr ControlNumber EDITCOPY = 9;
inline constexpr ControlNumber OPTIONS = 10;
inline constexpr ControlNumber OPTIONSITEM7 = 11;  // &Audio Format...
inline constexpr ControlNumber OPTIONSFORMAT = 12;
inline constexpr ControlNumber OPTIONSSOURCE = 13;
inline constexpr ControlNumber OPTIONSDISPLAY = 14;
inline constexpr ControlNumber OPTIONSCOMPRESSION = 15;
inline constexpr ControlNumber PREVIEWFLAG = 16;
inline constexpr ControlNumber OVERLAYFLAG = 17;
inline constexpr ControlNumber OPTIONSDESTROY = 18;
inline constexpr ControlNumber CAPTURE = 19;
inline constexpr ControlNumber CAPTURESINGLEFRAME = 20;
inline constexpr ControlNumber CAPTUREFRAMES = 21;
inline constexpr ControlNumber CAPTUREVIDEO = 22;
inline constexpr ControlNumber CAPTUREPALETTE = 23;
inline constexpr ControlNumber HELP = 24;
inline constexpr ControlNumber HELPSYSTEMINFO = 25;

// Window controls.
inline constexpr ControlNumber REGION1 = 26;
inline constexpr ControlNumber CAPREG = 27;
inline constexpr ControlNumber NEWREGION = 28;
inline constexpr ControlNumber ENUMERATEDRIVERS = 29;
inline constexpr ControlNumber STARTCAPTURE = 30;
inline constexpr ControlNumber STRING1 = 31;
inline constexpr ControlNumber PROMPT1 = 32;
inline constexpr ControlNumber LOC_DRIVER = 33;
inline constexpr ControlNumber CAPTUREJPEG = 34;
inline constexpr ControlNumber PROMPT2 = 35;
inline constexpr ControlNumber CAPTUREBMP = 36;
inline constexpr ControlNumber RESIZE = 37;
inline constexpr ControlNumber CANCELBUTTON = 38;

}  // namespace mainwin
