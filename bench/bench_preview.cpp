// Live preview of the test pattern at 15 frames per second for 10 s, at
// 640x480 and 1920x1080, painted in an offscreen capture window: CPU seconds
// per second of preview (getrusage). The peer, measured in the same run, is
// ffmpeg generating its own test source at the same size and rate in real
// time and converting every frame to 32-bit RGB for display (-f null).
#include "tesk/capture_window.h"
#include "tesk/tesk_capture.h"
#include "tesk/test_pattern_driver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class Host final : public capture::CaptureHost {
public:
    Host() {
        widget.resize(660, 500);
        widget.show();
    }
    QWidget* hostWidget() const override { return const_cast<QWidget*>(&widget); }
    std::optional<QRect> controlRect(capture::ControlNumber) const override { return QRect(10, 10, 640, 480); }
    QWidget widget;
};

constexpr int kSeconds = 10;

void previewRun(int width, int height) {
    Host host;
    tesk::TeskCapture capture([&] { return &host; }, [] {
        tesk::DriverList list;
        list.push_back(std::make_unique<tesk::TestPatternDriver>());
        return list;
    });
    capture.setMessageFunction([](QWidget*, const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    capture.CREATECAPTUREWINDOW(27);
    capture.DRIVERCONNECT(0);
    capture.connectedDriver()->setFormat({tesk::FOURCC_RGB24, width, height, 1, 15});
    capture.SETPREVIEWRATE(66);
    const double cpuStart = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer wall;
    wall.start();
    capture.SETPREVIEW(1);
    QTimer::singleShot(kSeconds * 1000, qApp, &QCoreApplication::quit);
    qApp->exec();
    capture.SETPREVIEW(0);
    const double seconds = wall.elapsed() / 1000.0;
    const double cpu = cpuSeconds(RUSAGE_SELF) - cpuStart;
    std::printf("  tesk preview   %4dx%-4d: %.3f CPU s per s (%d frames painted in %.1f s)\n", width, height,
                cpu / seconds, capture.captureWindow()->paintCount(), seconds);
}

void peerRun(int width, int height) {
    const std::string command = "ffmpeg -v error -re -f lavfi -i testsrc=size=" + std::to_string(width) + "x" +
                                std::to_string(height) + ":rate=15 -t " + std::to_string(kSeconds) +
                                " -pix_fmt bgra -f null - </dev/null";
    const double before = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer wall;
    wall.start();
    if (std::system(command.c_str()) != 0) {
        std::printf("  ffmpeg peer    %4dx%-4d: did not run\n", width, height);
        return;
    }
    const double seconds = wall.elapsed() / 1000.0;
    std::printf("  ffmpeg testsrc %4dx%-4d: %.3f CPU s per s\n", width, height,
                (cpuSeconds(RUSAGE_CHILDREN) - before) / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    std::printf("Preview at 15 frames per second for %d s\n", kSeconds);
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
        previewRun(w, h);
        peerRun(w, h);
    }
    return 0;
}
