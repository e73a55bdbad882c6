#pragma once
// The two records exchanged with the capture component. They keep the public
// Video for Windows layouts (CAPTUREPARMS, CAPDRIVERCAPS) with every field 32
// bits wide, so they can be handed over by reference together with their size.

#include <cstddef>
#include <cstdint>

namespace capture {

// Capture parameters (Video for Windows CAPTUREPARMS), 96 bytes.
struct CAPTUREPARMS {
    std::uint32_t DWREQUESTMICROSECPERFRAME = 0;
    std::int32_t FMAKEUSERHITOKTOCAPTURE = 0;
    std::uint32_t WPERCENTDROPFORERROR = 0;
    std::int32_t FYIELD = 0;
    std::uint32_t DWINDEXSIZE = 0;
    std::uint32_t WCHUNKGRANULARITY = 0;
    std::int32_t FUSINGDOSMEMORY = 0;
    std::uint32_t WNUMVIDEOREQUESTED = 0;
    std::int32_t FCAPTUREAUDIO = 0;
    std::uint32_t WNUMAUDIOREQUESTED = 0;
    std::uint32_t VKEYABORT = 0;
    std::int32_t FABORTLEFTMOUSE = 0;
    std::int32_t FABORTRIGHTMOUSE = 0;
    std::int32_t FLIMITENABLED = 0;
    std::uint32_t WTIMELIMIT = 0;
    std::int32_t FMCICONTROL = 0;
    std::int32_t FSTEPMCIDEVICE = 0;
    std::uint32_t DWMCISTARTTIME = 0;
    std::uint32_t DWMCISTOPTIME = 0;
    std::int32_t FSTEPCAPTUREAT2X = 0;
    std::uint32_t WSTEPCAPTUREAVERAGEFRAMES = 0;
    std::uint32_t DWAUDIOBUFFERSIZE = 0;
    std::int32_t FDISABLEWRITECACHE = 0;
    std::uint32_t AVSTREAMMASTER = 0;
};

// AVSTREAMMASTER values.
inline constexpr std::uint32_t AVSTREAMMASTER_AUDIO = 0;
inline constexpr std::uint32_t AVSTREAMMASTER_NONE = 1;

// Driver capabilities (Video for Windows CAPDRIVERCAPS), 44 bytes. The four
// handles are 32-bit fields here too; the component fills them with 0.
struct CAPDRIVERCAPS {
    std::uint32_t WDEVICEINDEX = 0;
    std::int32_t FHASOVERLAY = 0;
    std::int32_t FHASDLGVIDEOSOURCE = 0;
    std::int32_t FHASDLGVIDEOFORMAT = 0;
    std::int32_t FHASDLGVIDEODISPLAY = 0;
    std::int32_t FCAPTUREINITIALIZED = 0;
    std::int32_t FDRIVERSUPPLIESPALETTES = 0;
    std::uint32_t HVIDEOIN = 0;
    std::uint32_t HVIDEOOUT = 0;
    std::uint32_t HVIDEOEXTIN = 0;
    std::uint32_t HVIDEOEXTOUT = 0;
};

static_assert(sizeof(CAPTUREPARMS) == 96);
static_assert(offsetof(CAPTUREPARMS, DWREQUESTMICROSECPERFRAME) == 0);
static_assert(offsetof(CAPTUREPARMS, FMAKEUSERHITOKTOCAPTURE) == 4);
static_assert(offsetof(CAPTUREPARMS, WPERCENTDROPFORERROR) == 8);
static_assert(offsetof(CAPTUREPARMS, FYIELD) == 12);
static_assert(offsetof(CAPTUREPARMS, DWINDEXSIZE) == 16);
static_assert(offsetof(CAPTUREPARMS, WCHUNKGRANULARITY) == 20);
static_assert(offsetof(CAPTUREPARMS, FUSINGDOSMEMORY) == 24);
static_assert(offsetof(CAPTUREPARMS, WNUMVIDEOREQUESTED) == 28);
static_assert(offsetof(CAPTUREPARMS, FCAPTUREAUDIO) == 32);
static_assert(offsetof(CAPTUREPARMS, WNUMAUDIOREQUESTED) == 36);
static_assert(offsetof(CAPTUREPARMS, VKEYABORT) == 40);
static_assert(offsetof(CAPTUREPARMS, FABORTLEFTMOUSE) == 44);
static_assert(offsetof(CAPTUREPARMS, FABORTRIGHTMOUSE) == 48);
static_assert(offsetof(CAPTUREPARMS, FLIMITENABLED) == 52);
static_assert(offsetof(CAPTUREPARMS, WTIMELIMIT) == 56);
static_assert(offsetof(CAPTUREPARMS, FMCICONTROL) == 60);
static_assert(offsetof(CAPTUREPARMS, FSTEPMCIDEVICE) == 64);
static_assert(offsetof(CAPTUREPARMS, DWMCISTARTTIME) == 68);
static_assert(offsetof(CAPTUREPARMS, DWMCISTOPTIME) == 72);
static_assert(offsetof(CAPTUREPARMS, FSTEPCAPTUREAT2X) == 76);
static_assert(offsetof(CAPTUREPARMS, WSTEPCAPTUREAVERAGEFRAMES) == 80);
static_assert(offsetof(CAPTUREPARMS, DWAUDIOBUFFERSIZE) == 84);
static_assert(offsetof(CAPTUREPARMS, FDISABLEWRITECACHE) == 88);
static_assert(offsetof(CAPTUREPARMS, AVSTREAMMASTER) == 92);

static_assert(sizeof(CAPDRIVERCAPS) == 44);
static_assert(offsetof(CAPDRIVERCAPS, WDEVICEINDEX) == 0);
static_assert(offsetof(CAPDRIVERCAPS, FHASOVERLAY) == 4);
static_assert(offsetof(CAPDRIVERCAPS, FHASDLGVIDEOSOURCE) == 8);
static_assert(offsetof(CAPDRIVERCAPS, FHASDLGVIDEOFORMAT) == 12);
static_assert(offsetof(CAPDRIVERCAPS, FHASDLGVIDEODISPLAY) == 16);
static_assert(offsetof(CAPDRIVERCAPS, FCAPTUREINITIALIZED) == 20);
static_assert(offsetof(CAPDRIVERCAPS, FDRIVERSUPPLIESPALETTES) == 24);
static_assert(offsetof(CAPDRIVERCAPS, HVIDEOIN) == 28);
static_assert(offsetof(CAPDRIVERCAPS, HVIDEOOUT) == 32);
static_assert(offsetof(CAPDRIVERCAPS, HVIDEOEXTIN) == 36);
static_assert(offsetof(CAPDRIVERCAPS, HVIDEOEXTOUT) == 40);

}  // namespace capture
