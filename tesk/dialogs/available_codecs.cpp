// The video encoders of the installed FFmpeg that can go into an AVI file.

#include "tesk/dialogs/driver_dialogs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <array>
#include <string_view>

namespace tesk {

namespace {

// Encoders that need a particular piece of hardware: they are listed by
// FFmpeg on every machine but work only where that hardware is.
bool needsHardware(const AVCodec& codec) {
    if (codec.capabilities & AV_CODEC_CAP_HARDWARE) return true;
    if (codec.pix_fmts)
        for (const AVPixelFormat* f = codec.pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
            if (const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(*f); d && (d->flags & AV_PIX_FMT_FLAG_HWACCEL))
                return true;
    constexpr std::array<std::string_view, 11> backends = {"_omx",  "_qsv", "_vaapi", "_nvenc",     "_v4l2m2m",  "_amf",
                                                           "_mf",   "_vulkan", "_videotoolbox", "_mediacodec", "_rkmpp"};
    const std::string_view name = codec.name;
    return std::any_of(backends.begin(), backends.end(), [&](std::string_view b) { return name.ends_with(b); });
}

// The three offered first, under the names a capture user knows them by.
int rank(std::string_view name) {
    if (name == "rawvideo") return 0;
    if (name == "mjpeg") return 1;
    if (name == "ffv1") return 2;
    return 3;
}

std::string describe(const AVCodec& codec) {
    const std::string_view name = codec.name;
    if (name == "rawvideo") return "Full frames (uncompressed DIB)";
    if (name == "mjpeg") return "Motion JPEG";
    if (name == "ffv1") return "FFV1 (lossless)";
    return codec.long_name ? std::string(codec.long_name) + " (" + codec.name + ")" : std::string(codec.name);
}

}  // namespace

std::vector<CodecOption> availableCodecs() {
    std::vector<CodecOption> options;
    const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
    if (!avi) return options;
    void* state = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&state)) {
        if (!av_codec_is_encoder(codec) || codec->type != AVMEDIA_TYPE_VIDEO) continue;
        if ((codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) || needsHardware(*codec)) continue;
        if (avformat_query_codec(avi, codec->id, FF_COMPLIANCE_NORMAL) != 1) continue;
        const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->id);
        // Lossy codecs trade size against fidelity; lossless ones have nothing to set.
        const bool lossy = descriptor && (descriptor->props & AV_CODEC_PROP_LOSSY);
        options.push_back({codec->name, describe(*codec), lossy});
    }
    std::stable_sort(options.begin(), options.end(), [](const CodecOption& a, const CodecOption& b) {
        if (rank(a.name) != rank(b.name)) return rank(a.name) < rank(b.name);
        return a.name < b.name;
    });
    return options;
}

}  // namespace tesk
