// FILESAVEJPEG at quality 100 of a 1920x1080 test-pattern frame against
// libjpeg-turbo's own cjpeg on the same picture (written as PPM), median of
// several runs. cjpeg runs as a process, so its figure includes start-up and
// reading the PPM; the encoder alone is measured as well.
#include "tesk/still_files.h"
#include "tesk/tesk_capture.h"
#include "tesk/test_pattern_driver.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double medianMs(int runs, const std::function<bool()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!work()) return -1;
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    constexpr int runs = 15;

    tesk::TeskCapture capture({}, [] {
        tesk::DriverList list;
        list.push_back(std::make_unique<tesk::TestPatternDriver>());
        return list;
    });
    capture.setMessageFunction([](QWidget*, const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    if (!capture.DRIVERCONNECT(0) || !capture.connectedDriver()->setFormat({tesk::FOURCC_RGB24, 1920, 1080, 1, 15}) ||
        !capture.GRABFRAME()) {
        std::fprintf(stderr, "could not grab a 1920x1080 frame\n");
        return 1;
    }
    const tesk::Frame frame = *capture.currentFrame();

    // The same picture as a PPM for cjpeg.
    const std::string ppm = folder + "/frame.ppm";
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << frame.width << " " << frame.height << "\n255\n";
        out.write(reinterpret_cast<const char*>(frame.pixels.data()), std::streamsize(frame.pixels.size()));
    }

    const std::string jpg = folder + "/capture.jpg";
    const double fileSave = medianMs(runs, [&] { return capture.FILESAVEJPEG(jpg, 100) != 0; });
    std::vector<std::uint8_t> bytes;
    const double encodeOnly = medianMs(runs, [&] { return tesk::encodeJpeg(frame, 100, bytes).ok(); });
    const std::string cjpeg = "cjpeg -quality 100 -outfile " + folder + "/cjpeg.jpg " + ppm;
    const std::string cjpeg444 = "cjpeg -quality 100 -sample 1x1 -outfile " + folder + "/cjpeg444.jpg " + ppm;
    const double cjpegMs = medianMs(runs, [&] { return std::system(cjpeg.c_str()) == 0; });
    const double cjpeg444Ms = medianMs(runs, [&] { return std::system(cjpeg444.c_str()) == 0; });
    if (cjpegMs < 0 || cjpeg444Ms < 0) {
        std::fprintf(stderr, "cjpeg did not run (install libjpeg-turbo-progs)\n");
        return 1;
    }
    std::printf("JPEG quality 100, 1920x1080, median of %d runs\n", runs);
    std::printf("  FILESAVEJPEG (4:4:4, encode + whole-file write with fsync): %7.2f ms, %zu bytes\n", fileSave,
                bytes.size());
    std::printf("  TurboJPEG encode alone (4:4:4):                             %7.2f ms\n", encodeOnly);
    std::printf("  cjpeg -quality 100 (4:2:0, its default):                    %7.2f ms\n", cjpegMs);
    std::printf("  cjpeg -quality 100 -sample 1x1 (4:4:4):                     %7.2f ms\n", cjpeg444Ms);
    std::printf("  ratio FILESAVEJPEG / cjpeg:          %.2f\n", fileSave / cjpegMs);
    std::printf("  ratio FILESAVEJPEG / cjpeg 4:4:4:    %.2f\n", fileSave / cjpeg444Ms);
    std::printf("  ratio encode alone / cjpeg 4:4:4:    %.2f\n", encodeOnly / cjpeg444Ms);
    return 0;
}
