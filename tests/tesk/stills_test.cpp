// Stills, the clipboard and file writes, read back by an independent decoder.
#include "tesk_capture_fixture.h"

#include "tesk/frame_image.h"
#include "tesk/palette_file.h"
#include "tesk/still_files.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <fstream>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace tesk::testing {
namespace {

using Stills = CaptureTest;

std::string readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

// Files in `dir` other than the named ones (left-over temporary files).
std::vector<std::string> strayFiles(const QTemporaryDir& dir, const std::set<std::string>& expected) {
    std::vector<std::string> stray;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
        if (!expected.count(entry.path().filename().string())) stray.push_back(entry.path().filename().string());
    return stray;
}

TEST_F(Stills, JpegAndBmpDecodeBackToTheFrame) {
    if (!ffmpegAvailable()) GTEST_SKIP() << "the ffmpeg command is not installed";
    struct Case {
        VideoFormat format;
        bool jpeg;
        double minimumPsnr;
    } cases[] = {
        {{FOURCC_RGB24, 320, 240, 1, 15}, true, 40},
        {{FOURCC_RGB24, 1920, 1080, 1, 15}, true, 40},
        {{FOURCC_PAL8, 176, 144, 1, 15}, true, 40},
        {{FOURCC_RGB24, 320, 240, 1, 15}, false, 99},  // BMP is exact
        {{FOURCC_PAL8, 160, 120, 1, 15}, false, 99},
    };
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.format.width) + (c.jpeg ? " jpeg" : " bmp"));
        ASSERT_TRUE(capture->connectedDriver()->setFormat(c.format));
        ASSERT_TRUE(capture->GRABFRAME());
        const std::string file = path(c.jpeg ? "still.jpg" : "still.bmp");
        ASSERT_TRUE(c.jpeg ? capture->FILESAVEJPEG(file, 100) : capture->FILESAVEDIB(file));
        auto decoded = decodeWithFfmpeg(file);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width, c.format.width);
        EXPECT_EQ(decoded->height, c.format.height);
        EXPECT_GE(psnr(decoded->rgb, frameToRgb24(*capture->currentFrame())), c.minimumPsnr);
    }
    EXPECT_TRUE(messages.empty());
}

// Widths whose rows need padding in a BMP, and a lower JPEG quality.
TEST_F(Stills, OddWidthsAndLowerQuality) {
    if (!ffmpegAvailable()) GTEST_SKIP() << "the ffmpeg command is not installed";
    for (int width : {1, 5, 7, 33}) {
        Frame frame;
        frame.width = width;
        frame.height = 3;
        for (int i = 0; i < width * 3 * 3; ++i) frame.pixels.push_back(std::uint8_t(i * 37));
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(encodeBmp(frame, bytes));
        EXPECT_EQ(bytes.size(), 54u + ((width * 3 + 3) / 4 * 4) * 3);
        ASSERT_TRUE(writeFileWhole(path("odd.bmp"), bytes));
        auto decoded = decodeWithFfmpeg(path("odd.bmp"));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->rgb, frame.pixels) << "width " << width;
    }
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->GRABFRAME());
    ASSERT_TRUE(capture->FILESAVEJPEG(path("low.jpg"), 30));
    ASSERT_TRUE(capture->FILESAVEJPEG(path("high.jpg"), 100));
    EXPECT_LT(readAll(path("low.jpg")).size(), readAll(path("high.jpg")).size());
    auto low = decodeWithFfmpeg(path("low.jpg"));
    ASSERT_TRUE(low);
    EXPECT_GT(psnr(low->rgb, frameToRgb24(*capture->currentFrame())), 20);
}

TEST_F(Stills, BareNamesGoToTheWorkingDirectory) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path().toStdString());
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->GRABFRAME());
    EXPECT_TRUE(capture->FILESAVEJPEG("capture.jpg", 100));
    EXPECT_TRUE(capture->FILESAVEDIB("capture.bmp"));
    std::filesystem::current_path(previous);
    EXPECT_EQ(readAll(path("capture.jpg")).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(readAll(path("capture.bmp")).substr(0, 2), "BM");
    EXPECT_TRUE(strayFiles(dir, {"capture.jpg", "capture.bmp"}).empty());
}

TEST_F(Stills, FailuresLeaveNoPartAndKeepTheOldFile) {
    const std::string good = path("capture.bmp");
    writeText(good, "a good old file");
    // No frame yet.
    EXPECT_FALSE(capture->FILESAVEDIB(good));
    EXPECT_FALSE(capture->FILESAVEJPEG(good, 100));
    EXPECT_EQ(messages.size(), 2u);
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->GRABFRAME());
    // A folder that cannot be written (it does not exist; a file stands where the folder should be).
    writeText(path("plain"), "x");
    EXPECT_FALSE(capture->FILESAVEDIB(path("missing/capture.bmp")));
    EXPECT_FALSE(capture->FILESAVEJPEG(path("plain/capture.jpg"), 100));
    EXPECT_FALSE(capture->FILESAVEDIB(dir.path().toStdString() + "/"));
    // A full disk: the process may not write more than a few bytes.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tiny = old;
    tiny.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const capture::Flag bmp = capture->FILESAVEDIB(good);
    const capture::Flag jpeg = capture->FILESAVEJPEG(good, 100);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    EXPECT_FALSE(bmp);
    EXPECT_FALSE(jpeg);
    EXPECT_EQ(readAll(good), "a good old file");
    EXPECT_TRUE(strayFiles(dir, {"capture.bmp", "plain", "teskdrv.ini"}).empty());
    EXPECT_TRUE(hasStatus(IDS_CAP_ERRORDIBSAVE));
    EXPECT_TRUE(hasStatus(IDS_CAP_WRITEERROR));
    ASSERT_GE(messages.size(), 7u);
    EXPECT_NE(messages.back().find("disk is full"), std::string::npos);
    // Once the disk has room, the old file is replaced by a whole new one.
    ASSERT_TRUE(capture->FILESAVEDIB(good));
    EXPECT_EQ(readAll(good).size(), 54u + 320 * 240 * 3);
}

// A name as long as a file name may be is saved like any other.
TEST_F(Stills, LongestFileNameIsSaved) {
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->GRABFRAME());
    const std::string name = std::string(251, 'n') + ".bmp";  // 255 bytes
    ASSERT_TRUE(capture->FILESAVEDIB(path(name.c_str())));
    ASSERT_TRUE(capture->FILESAVEJPEG(path(name.c_str()), 90));
    EXPECT_FALSE(QImage(QString::fromStdString(path(name.c_str()))).isNull());
    EXPECT_TRUE(strayFiles(dir, {name, "teskdrv.ini"}).empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Stills, CopyPutsTheFrameOnTheClipboard) {
    EXPECT_FALSE(capture->EDITCOPY());
    EXPECT_EQ(messages.size(), 1u);
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->GRABFRAME());
    ASSERT_TRUE(capture->EDITCOPY());
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), frameToImage(*capture->currentFrame()));
}

TEST_F(Stills, FileDialogsAskThenAct) {
    // Single frame: nothing to save asks nothing.
    EXPECT_FALSE(capture->DLGSAVESINGLEFRAME());
    EXPECT_TRUE(requests.empty());
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->GRABFRAME());
    answers = {path("single.bmp"), std::nullopt};
    EXPECT_TRUE(capture->DLGSAVESINGLEFRAME());
    EXPECT_EQ(readAll(path("single.bmp")).substr(0, 2), "BM");
    EXPECT_FALSE(capture->DLGSAVESINGLEFRAME());  // cancelled
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].mode, FileRequest::Mode::Save);

    // Capture file: "capture.avi" until set.
    EXPECT_EQ(capture->GETCAPTUREFILE(), "capture.avi");
    answers = {path("video.avi")};
    EXPECT_TRUE(capture->DLGSETCAPTUREFILE());
    EXPECT_EQ(capture->GETCAPTUREFILE(), path("video.avi"));

    // Save-as needs a capture file, then copies it whole.
    messages.clear();
    EXPECT_FALSE(capture->DLGSAVECAPTUREDVIDEOAS());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("does not exist"), std::string::npos);
    writeText(path("video.avi"), std::string(3 << 20, 'v'));
    answers = {path("copy.avi")};
    EXPECT_TRUE(capture->DLGSAVECAPTUREDVIDEOAS());
    EXPECT_EQ(readAll(path("copy.avi")), readAll(path("video.avi")));
    // A copy that fails half way leaves nothing under the name.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const capture::Flag copied = capture->FILESAVEAS(path("partial.avi"));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    EXPECT_FALSE(copied);
    EXPECT_FALSE(std::filesystem::exists(path("partial.avi")));
    EXPECT_TRUE(strayFiles(dir, {"single.bmp", "video.avi", "copy.avi", "teskdrv.ini"}).empty());
}

TEST_F(Stills, PalettesLoadSaveAndKeepOnError) {
    messages.clear();
    EXPECT_FALSE(capture->DLGSAVEPALETTE());  // nothing to save yet
    EXPECT_EQ(messages.size(), 1u);
    // The 8-bit format's own palette can be saved and loaded back.
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->connectedDriver()->setFormat({FOURCC_PAL8, 160, 120, 1, 15}));
    ASSERT_TRUE(capture->GRABFRAME());
    answers = {path("colours.pal")};
    ASSERT_TRUE(capture->DLGSAVEPALETTE());
    answers = {path("colours.pal")};
    ASSERT_TRUE(capture->DLGLOADPALETTE());
    EXPECT_EQ(capture->palette(), testPatternPalette());
    EXPECT_EQ(requests.back().mode, FileRequest::Mode::Open);
    // A broken file: a clear message and the palette stays.
    writeText(path("broken.pal"), "RIFF\x10\x00\x00\x00PAL data");
    messages.clear();
    EXPECT_FALSE(capture->PALETTEOPEN(path("broken.pal")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("current palette is kept"), std::string::npos);
    EXPECT_TRUE(hasStatus(IDS_CAP_ERRORPALOPEN));
    EXPECT_EQ(capture->palette(), testPatternPalette());
    EXPECT_FALSE(capture->PALETTEOPEN(path("none.pal")));
}

// Checks that an 8-bit frame shows only `palette`'s colours, with the bars
// in their nearest ones, and that its BMP and clipboard copy show the same.
void expectFrameInPalette(TeskCapture& capture, const std::vector<Rgb>& palette, const std::vector<Rgb>& bars,
                          const std::string& bmp) {
    const auto frame = capture.currentFrame();
    ASSERT_TRUE(frame && frameIsWhole(*frame));
    ASSERT_EQ(frame->layout, Frame::Layout::Indexed8);
    EXPECT_EQ(frame->palette, palette);
    EXPECT_TRUE(std::all_of(frame->pixels.begin(), frame->pixels.end(), [&](auto i) { return i < palette.size(); }));
    const std::vector<std::uint8_t> rgb = frameToRgb24(*frame);
    for (int bar = 0; bar < 8; ++bar) {
        const std::uint8_t* p = rgb.data() + std::size_t((2 * bar + 1) * frame->width / 16) * 3;
        EXPECT_EQ((Rgb{p[0], p[1], p[2]}), bars[bar]) << "bar " << bar;
    }
    ASSERT_TRUE(capture.EDITCOPY());
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), QSize(frame->width, frame->height));
    std::set<QRgb> allowed;
    for (const Rgb& c : palette) allowed.insert(qRgb(c.r, c.g, c.b));
    for (int y = 0; y < copied.height(); ++y)
        for (int x = 0; x < copied.width(); ++x) ASSERT_TRUE(allowed.count(copied.pixel(x, y))) << x << "," << y;
    ASSERT_TRUE(capture.FILESAVEDIB(bmp));
    if (!ffmpegAvailable()) return;
    const auto decoded = decodeWithFfmpeg(bmp);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->rgb == rgb);  // the BMP shows the palette's colours exactly
}

TEST_F(Stills, LoadedPaletteColoursEightBitFrames) {
    const std::vector<Rgb> warm = {{0, 0, 0}, {250, 240, 230}, {220, 40, 0}, {240, 200, 0}};
    const std::vector<Rgb> cool = {{10, 10, 40}, {200, 230, 255}, {0, 120, 200}, {0, 200, 120}, {90, 0, 160}};
    ASSERT_TRUE(savePalette(path("warm.pal"), warm));
    ASSERT_TRUE(savePalette(path("cool.pal"), cool));
    const auto nearest = [](const std::vector<Rgb>& palette) {
        std::vector<Rgb> bars;
        for (const Rgb& bar : kColourBars) bars.push_back(palette[nearestPaletteIndex(palette, bar)]);
        return bars;
    };

    // Loaded before connecting: grabbed 8-bit frames use it.
    ASSERT_TRUE(capture->PALETTEOPEN(path("warm.pal")));
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    ASSERT_TRUE(capture->connectedDriver()->setFormat({FOURCC_PAL8, 160, 120, 1, 30}));
    ASSERT_TRUE(capture->GRABFRAME());
    expectFrameInPalette(*capture, warm, nearest(warm), path("warm.bmp"));

    // Loaded through the dialog during the preview: the next frames use it.
    ASSERT_TRUE(capture->SETPREVIEWRATE(10));
    ASSERT_TRUE(capture->SETPREVIEW(1));
    answers = {path("cool.pal")};
    ASSERT_TRUE(capture->DLGLOADPALETTE());
    ASSERT_TRUE(processUntil([&] {
        auto frame = capture->currentFrame();
        return frame && frame->palette == cool;
    }));
    ASSERT_TRUE(capture->SETPREVIEW(0));
    expectFrameInPalette(*capture, cool, nearest(cool), path("cool.bmp"));

    // A broken palette file changes nothing, also after connecting again.
    writeText(path("broken.pal"), "RIFF\x04\x00\x00\x00PAL ");
    EXPECT_FALSE(capture->PALETTEOPEN(path("broken.pal")));
    ASSERT_TRUE(capture->DRIVERCONNECT(1));
    ASSERT_TRUE(capture->connectedDriver()->setFormat({FOURCC_PAL8, 160, 120, 1, 30}));
    ASSERT_TRUE(capture->GRABFRAME());
    expectFrameInPalette(*capture, cool, nearest(cool), path("again.bmp"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("current palette is kept"), std::string::npos);
}

}  // namespace
}  // namespace tesk::testing
