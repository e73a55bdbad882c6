// Random but repeatable sequences of the operations the windows call, mixed
// with device faults, event processing and the host window going away. Every
// step states what it must have done, and after every step the capture
// object's state must be consistent: nothing previews without a driver, the
// reported height is the format's, stills are whole files or no files.
#include "tesk_test_support.h"

#include "tesk/capture_window.h"
#include "tesk/frame_image.h"
#include "tesk/palette_file.h"
#include "tesk/tesk_capture.h"
#include "tesk/test_pattern_driver.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace tesk::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kDrivers = 2;
constexpr int kSequences = 250;
constexpr int kStepsPerSequence = 25;

// How often the sequences reached the states worth reaching; a change of the
// operations or weights that stops reaching one fails the test.
struct Coverage {
    int stillsSaved = 0;
    int grabsDuringPreview = 0;
    int devicesLost = 0;
    int hostsGoneUnderTheWindow = 0;
    int savesRefused = 0;
};
Coverage coverage;

std::string readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One capture object over two test-pattern drivers in a host window, with
// messages recorded and every file question answered by the test.
struct Rig {
    explicit Rig(std::uint32_t seed) : random(seed), modalMessages(seed % 2 == 1) {
        for (auto& f : faults) f = std::make_shared<TestPatternFaults>();
        capture = std::make_unique<TeskCapture>([this] { return host.get(); }, [this] {
            DriverList list;
            for (auto& f : faults) list.push_back(std::make_unique<TestPatternDriver>(f));
            return list;
        });
        capture->setMessageFunction([this](QWidget*, const std::string& text) {
            messages.push_back(text);
            // Like a modal message box, some rigs run the events while the message is up.
            if (modalMessages) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        });
        capture->setFileAsker([](QWidget*, const FileRequest&) { return std::nullopt; });
        capture->setComponentSettings(ComponentSettings(path("teskdrv.ini")));
        capture->setFrameLossTimeout(std::chrono::milliseconds(150));
        capture->SETCALLBACKSTATUS([](capture::NativeWindow, std::int32_t, std::string_view text) {
            EXPECT_FALSE(text.empty());
            return 1;
        });
        fs::create_directory(path("folder"));
        goodPalette = {{1, 2, 3}, {250, 0, 0}, {0, 250, 0}, {0, 0, 250}, {128, 128, 128}};
        EXPECT_TRUE(savePalette(path("good.pal"), goodPalette));
        std::ofstream(path("broken.pal"), std::ios::binary) << "RIFF\x10\0\0\0PAL data\xff\xff\xff\xff";
    }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    template <typename T>
    const T& pickFrom(const std::vector<T>& values) {
        return values[std::size_t(pick(int(values.size())))];
    }

    TestPatternDriver* driver() const { return dynamic_cast<TestPatternDriver*>(capture->connectedDriver()); }
    int connectedIndex() const {
        TestPatternDriver* d = driver();
        for (int i = 0; d && i < kDrivers; ++i)
            if (d->faults() == faults[i]) return i;
        return -1;
    }

    std::mt19937 random;
    bool modalMessages;
    QTemporaryDir dir;
    std::unique_ptr<FakeHost> host = std::make_unique<FakeHost>();
    std::shared_ptr<TestPatternFaults> faults[kDrivers];
    std::vector<std::string> messages;
    std::vector<Rgb> goodPalette;
    std::unique_ptr<TeskCapture> capture;
};

// The files in the rig's folder: a failed write must leave this unchanged.
std::map<std::string, std::string> folderContents(const Rig& rig) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(rig.dir.path().toStdString()))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = readAll(entry.path().string());
    return files;
}

// A user asked and could not have it: one clear message (events run while a
// modal one is up may bring another, such as a device loss).
void expectMessage(Rig& rig, std::size_t before) {
    if (rig.modalMessages) {
        EXPECT_GE(rig.messages.size(), before + 1);
    } else {
        EXPECT_EQ(rig.messages.size(), before + 1);
    }
    for (std::size_t i = before; i < rig.messages.size(); ++i) EXPECT_GT(rig.messages[i].size(), 10u);
}

void checkInvariants(Rig& rig) {
    TeskCapture& c = *rig.capture;
    Driver* driver = c.connectedDriver();
    if (c.previewing()) {
        EXPECT_NE(driver, nullptr) << "previewing without a driver";
    }
    if (driver && !c.previewing()) {
        EXPECT_FALSE(driver->isStreaming()) << "the device streams with no preview";
    }
    EXPECT_EQ(c.GETCAPTUREWINDOWHEIGHT(), driver ? driver->format().height : 0);
    capture::CAPDRIVERCAPS caps;
    caps.WDEVICEINDEX = 77;
    EXPECT_EQ(c.DRIVERGETCAPS(caps, sizeof caps), driver ? 1 : 0);
    if (driver) {
        EXPECT_TRUE(caps.FCAPTUREINITIALIZED);
        EXPECT_EQ(int(caps.WDEVICEINDEX), rig.connectedIndex());
    } else {
        EXPECT_EQ(caps.WDEVICEINDEX, 77u) << "caps written with no driver";
    }
    if (auto frame = c.currentFrame()) {
        EXPECT_TRUE(frameIsWhole(*frame));
    }
    if (CaptureWindow* window = c.captureWindow()) {
        ASSERT_NE(rig.host, nullptr) << "a capture window outlived its host";
        EXPECT_EQ(window->parentWidget(), rig.host->hostWidget());
    }
    if (rig.host) {
        EXPECT_LE(rig.host->hostWidget()->findChildren<CaptureWindow*>().size(), 1);
    }
    for (const auto& entry : fs::directory_iterator(rig.dir.path().toStdString()))
        EXPECT_FALSE(entry.path().extension() == ".tmp") << "left behind: " << entry.path();
    EXPECT_FALSE(fs::exists(rig.path("missing")));
}

QSize sizeOf(const std::optional<Frame>& frame) { return frame ? QSize(frame->width, frame->height) : QSize(); }

void saveStill(Rig& rig, bool jpeg) {
    TeskCapture& c = *rig.capture;
    // While previewing, a first or a newer frame may arrive during the save.
    const bool previewing = c.previewing();
    const auto frame = c.currentFrame();
    const std::vector<std::string> names = {"still.jpg", "still.bmp", "still.jpg", "still.bmp", "missing/still.jpg", "folder", ""};
    const std::string name = rig.pickFrom(names);
    const std::string file = name.empty() ? "" : rig.path(name);
    const auto before = folderContents(rig);
    const std::size_t messages = rig.messages.size();
    const int quality = rig.pickFrom(std::vector<int>{-5, 0, 1, 50, 100, 1000});
    const capture::Flag result = jpeg ? c.FILESAVEJPEG(file, quality) : c.FILESAVEDIB(file);
    const auto frameAfter = c.currentFrame();
    const bool canWrite = name == "still.jpg" || name == "still.bmp";
    SCOPED_TRACE(name);
    if (frame || !previewing) {
        EXPECT_EQ(result, frame && canWrite ? 1 : 0);
    } else if (result) {
        EXPECT_TRUE(canWrite);
    }
    if (!result) {
        if (frame) ++coverage.savesRefused;
        EXPECT_EQ(folderContents(rig), before) << "a failed save changed the folder";
        if (!file.empty()) expectMessage(rig, messages);
        return;
    }
    ++coverage.stillsSaved;
    const QImage decoded(QString::fromStdString(file));
    ASSERT_FALSE(decoded.isNull()) << "the saved picture does not decode";
    EXPECT_TRUE(decoded.size() == sizeOf(frame) || decoded.size() == sizeOf(frameAfter)) << "not the frame's size";
    const std::string bytes = readAll(file);
    if (jpeg) {
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9") << "the JPEG is cut short";
    } else {
        const std::size_t stride = (std::size_t(decoded.width()) * 3 + 3) / 4 * 4;
        EXPECT_EQ(bytes.size(), 54 + stride * decoded.height());
    }
}

using Step = std::function<void(Rig&)>;
struct Operation {
    const char* name;
    int weight;
    Step run;
};

const std::vector<Operation>& operations() {
    static const std::vector<Operation> list = {
        {"ENUMCAPDRIVERS", 2,
         [](Rig& r) {
             Driver* before = r.capture->connectedDriver();
             EXPECT_EQ(r.capture->ENUMCAPDRIVERS(), kDrivers);
             EXPECT_EQ(r.capture->connectedDriver(), before) << "the connected driver was replaced";
         }},
        {"GETDRIVERDESCRIPTION", 2,
         [](Rig& r) {
             const int index = r.pickFrom(std::vector<int>{-1, 0, 1, 2, 9, 10});
             const int size = r.pickFrom(std::vector<int>{-3, 0, 1, 5, 64});
             char name[64], version[64];
             std::memset(name, 'x', sizeof name);
             std::memset(version, 'x', sizeof version);
             const bool valid = index >= 0 && index < kDrivers;
             EXPECT_EQ(r.capture->GETDRIVERDESCRIPTION(index, name, size, version, size), valid ? 1 : 0);
             if (valid && size > 0) {
                 EXPECT_EQ(std::string(name), std::string(TestPatternDriver::kName).substr(0, size - 1));
             } else {
                 EXPECT_EQ(name[0], 'x') << "written with no room or no driver";
             }
         }},
        {"DRIVERCONNECT", 6,
         [](Rig& r) {
             const int index = r.pickFrom(std::vector<int>{-1, 0, 0, 0, 1, 1, 1, 2, 10});
             const bool valid = index >= 0 && index < kDrivers && !r.faults[index]->refuseConnect;
             const capture::Flag result =
                 r.pick(2) ? r.capture->DRIVERCONNECT(index) : r.capture->CONNECTCAPDRIVER(index);
             EXPECT_EQ(result, valid ? 1 : 0);
             EXPECT_EQ(r.connectedIndex(), valid ? index : -1);
             EXPECT_FALSE(r.capture->previewing());
         }},
        {"DRIVERDISCONNECT", 2,
         [](Rig& r) {
             // A driver's frames go with it; after a device loss the last one stays for saving.
             const bool wasConnected = r.capture->connectedDriver();
             const bool hadFrame = bool(r.capture->currentFrame());
             EXPECT_EQ(r.capture->DRIVERDISCONNECT(), 1);
             EXPECT_EQ(r.capture->connectedDriver(), nullptr);
             EXPECT_FALSE(r.capture->previewing());
             EXPECT_EQ(bool(r.capture->currentFrame()), hadFrame && !wasConnected);
         }},
        {"CREATECAPTUREWINDOW", 4,
         [](Rig& r) {
             const auto control = r.pickFrom(std::vector<std::optional<capture::ControlNumber>>{std::nullopt, 27, 26, 99});
             CaptureWindow* before = r.capture->captureWindow();
             const bool possible = r.host && (!control || r.host->controlRect(*control));
             EXPECT_EQ(r.capture->CREATECAPTUREWINDOW(control), possible ? 1 : 0);
             CaptureWindow* window = r.capture->captureWindow();
             if (!possible) {
                 EXPECT_EQ(window, before);
                 return;
             }
             ASSERT_NE(window, nullptr);
             if (before) {
                 EXPECT_EQ(window, before) << "a second capture window";
             }
             EXPECT_TRUE(window->isVisible());
             EXPECT_EQ(window->geometry(), control ? *r.host->controlRect(*control) : r.host->hostWidget()->rect());
         }},
        {"DESTROYCAPTUREWINDOW", 2,
         [](Rig& r) {
             EXPECT_EQ(r.capture->DESTROYCAPTUREWINDOW(), 1);
             EXPECT_EQ(r.capture->captureWindow(), nullptr);
             if (r.host) {
                 EXPECT_TRUE(r.host->hostWidget()->findChildren<CaptureWindow*>().isEmpty());
             }
         }},
        {"RESIZECAPTUREREGION/AREA", 2,
         [](Rig& r) {
             const auto control = r.pickFrom(std::vector<capture::ControlNumber>{26, 27, 99});
             const bool possible = r.capture->captureWindow() && r.host && r.host->controlRect(control);
             EXPECT_EQ(r.pick(2) ? r.capture->RESIZECAPTUREREGION(control) : r.capture->RESIZECAPTUREAREA(control),
                       possible ? 1 : 0);
             if (possible) {
                 EXPECT_EQ(r.capture->captureWindow()->geometry(), *r.host->controlRect(control));
             }
         }},
        {"RESIZECAPTUREWINDOW", 2,
         [](Rig& r) {
             const bool withHost = r.pick(4) != 0;
             if (r.host && withHost) r.host->hostWidget()->resize(320 + r.pick(400), 240 + r.pick(300));
             const bool possible = r.capture->captureWindow() && r.host && withHost;
             EXPECT_EQ(r.capture->RESIZECAPTUREWINDOW(withHost ? r.host.get() : nullptr), possible ? 1 : 0);
         }},
        {"SETPREVIEWRATE", 2,
         [](Rig& r) {
             const int rate = r.pickFrom(std::vector<int>{-66, -1, 0, 1, 10, 66, 1000});
             EXPECT_EQ(r.capture->SETPREVIEWRATE(rate), rate > 0 ? 1 : 0);
         }},
        {"SETPREVIEW 1", 6,
         [](Rig& r) {
             const bool connected = r.capture->connectedDriver();
             const std::size_t messages = r.messages.size();
             EXPECT_EQ(r.capture->SETPREVIEW(1), connected ? 1 : 0);
             EXPECT_EQ(r.capture->previewing(), connected);
             if (!connected) expectMessage(r, messages);
         }},
        {"SETPREVIEW 0", 3,
         [](Rig& r) {
             EXPECT_EQ(r.capture->SETPREVIEW(0), 1);
             EXPECT_FALSE(r.capture->previewing());
         }},
        {"OVERLAY", 2,
         [](Rig& r) {
             const bool on = r.pick(2);
             const bool wasPreviewing = r.capture->previewing();
             const std::size_t messages = r.messages.size();
             // The test pattern has no overlay: asking for one changes nothing.
             EXPECT_EQ(r.capture->OVERLAY(on), on ? 0 : 1);
             EXPECT_EQ(r.capture->previewing(), wasPreviewing);
             if (on && !r.capture->connectedDriver()) expectMessage(r, messages);
         }},
        {"GRABFRAME", 8,
         [](Rig& r) {
             const int index = r.connectedIndex();
             const bool deliverable =
                 index >= 0 && !r.faults[index]->stopFrames && r.faults[index]->brokenFrames.load() == 0;
             const std::size_t messages = r.messages.size();
             if (r.capture->previewing()) ++coverage.grabsDuringPreview;
             const capture::Flag result = r.capture->GRABFRAME();
             EXPECT_FALSE(r.capture->previewing());
             if (deliverable) {
                 EXPECT_EQ(result, 1);
             }
             if (index < 0) {
                 EXPECT_EQ(result, 0);
             }
             if (!result) {
                 expectMessage(r, messages);
                 return;
             }
             const auto frame = r.capture->currentFrame();
             ASSERT_TRUE(frame);
             EXPECT_EQ(frame->height, r.capture->GETCAPTUREWINDOWHEIGHT());
             // What the window shows after the pending events is the grabbed frame, not an older preview one.
             QCoreApplication::processEvents();
             if (CaptureWindow* window = r.capture->captureWindow()) {
                 EXPECT_EQ(window->image(), frameToImage(*frame)) << "the window shows another frame than the one grabbed";
             }
         }},
        {"EDITCOPY", 2,
         [](Rig& r) {
             const bool previewing = r.capture->previewing();
             const auto frame = r.capture->currentFrame();
             const std::size_t messages = r.messages.size();
             const capture::Flag result = r.capture->EDITCOPY();
             const auto frameAfter = r.capture->currentFrame();
             if (frame || !previewing) {
                 EXPECT_EQ(result, frame ? 1 : 0);
             }
             if (!result) {
                 expectMessage(r, messages);
                 return;
             }
             const QSize copied = QGuiApplication::clipboard()->image().size();
             EXPECT_TRUE(copied == sizeOf(frame) || copied == sizeOf(frameAfter));
         }},
        {"FILESAVEJPEG", 5, [](Rig& r) { saveStill(r, true); }},
        {"FILESAVEDIB", 5, [](Rig& r) { saveStill(r, false); }},
        {"DRIVERGETCAPS short", 1,
         [](Rig& r) {
             capture::CAPDRIVERCAPS caps;
             caps.WDEVICEINDEX = 77;
             const int size = r.pickFrom(std::vector<int>{-8, 0, 4, int(sizeof caps) - 1});
             EXPECT_EQ(r.capture->DRIVERGETCAPS(caps, size), 0);
             EXPECT_EQ(caps.WDEVICEINDEX, 77u) << "a short buffer was written";
         }},
        {"PALETTEOPEN", 2,
         [](Rig& r) {
             const std::string name = r.pickFrom(std::vector<std::string>{"good.pal", "broken.pal", "none.pal", "folder"});
             const std::vector<Rgb> before = r.capture->palette();
             const std::size_t messages = r.messages.size();
             const bool good = name == "good.pal";
             EXPECT_EQ(r.capture->PALETTEOPEN(r.path(name)), good ? 1 : 0);
             EXPECT_EQ(r.capture->palette(), good ? r.goodPalette : before);
             if (!good) expectMessage(r, messages);
         }},
        {"PALETTESAVE", 2,
         [](Rig& r) {
             const bool missing = r.pick(3) == 0;
             const std::string file = r.path(missing ? "missing/saved.pal" : "saved.pal");
             // Without a loaded palette, the newest 8-bit frame's; the preview may bring one meanwhile.
             std::vector<Rgb> expected = r.capture->palette();
             const bool frameMayChange = expected.empty() && r.capture->previewing();
             if (expected.empty())
                 if (auto frame = r.capture->currentFrame()) expected = frame->palette;
             const auto before = folderContents(r);
             const std::size_t messages = r.messages.size();
             const capture::Flag result = r.capture->PALETTESAVE(file);
             if (frameMayChange) {
                 if (auto frame = r.capture->currentFrame(); result && frame) expected = frame->palette;
             } else {
                 EXPECT_EQ(result, !missing && !expected.empty() ? 1 : 0);
             }
             if (!result) {
                 EXPECT_EQ(folderContents(r), before);
                 expectMessage(r, messages);
                 return;
             }
             std::vector<Rgb> loaded;
             ASSERT_TRUE(loadPalette(file, loaded));
             EXPECT_EQ(loaded, expected);
         }},
        {"SETCAPTUREFILE", 1,
         [](Rig& r) {
             const std::string before = r.capture->GETCAPTUREFILE();
             const std::string name = r.pickFrom(std::vector<std::string>{"", "take.avi", r.path("other.avi")});
             EXPECT_EQ(r.capture->SETCAPTUREFILE(name), name.empty() ? 0 : 1);
             EXPECT_EQ(r.capture->GETCAPTUREFILE(), name.empty() ? before : name);
         }},
        {"CAPTURESETSETUP", 1,
         [](Rig& r) {
             capture::CAPTUREPARMS parms;
             parms.DWREQUESTMICROSECPERFRAME = 66667;
             parms.WTIMELIMIT = std::uint32_t(r.pick(100));
             const int size = r.pickFrom(std::vector<int>{int(sizeof parms), -1, 0, int(sizeof parms) - 4});
             const auto before = r.capture->captureSetup();
             const bool good = size == int(sizeof parms);
             EXPECT_EQ(r.capture->CAPTURESETSETUP(parms, size), good ? 1 : 0);
             const auto after = r.capture->captureSetup();
             ASSERT_EQ(after.has_value(), good || before.has_value());
             if (after) {
                 EXPECT_EQ(after->WTIMELIMIT, good ? parms.WTIMELIMIT : before->WTIMELIMIT);
             }
         }},
        {"format change", 2,
         [](Rig& r) {
             Driver* driver = r.capture->connectedDriver();
             if (!driver) return;
             const auto [width, height] =
                 r.pickFrom(std::vector<std::pair<int, int>>{{160, 120}, {320, 240}, {352, 288}, {640, 480}});
             const VideoFormat format{r.pick(3) ? FOURCC_RGB24 : FOURCC_PAL8, width, height, 1,
                                      r.pickFrom(std::vector<int>{15, 30, 60})};
             // Formats change with streaming stopped, as the format dialog does it.
             const Status s = driver->setFormat(format);
             EXPECT_EQ(s.ok(), !r.capture->previewing());
             if (s) {
                 EXPECT_EQ(r.capture->GETCAPTUREWINDOWHEIGHT(), format.height);
             }
         }},
        {"control change", 1,
         [](Rig& r) {
             // As the source dialog does, live: the capture thread draws with the new value.
             Driver* driver = r.capture->connectedDriver();
             if (!driver) return;
             const bool brightness = r.pick(2);
             const std::int64_t value = brightness ? r.pickFrom(std::vector<std::int64_t>{-1, 0, 128, 255, 256})
                                                   : r.pickFrom(std::vector<std::int64_t>{-1, 0, 1, 2, 3});
             const bool valid = value >= 0 && value <= (brightness ? 255 : 2);
             EXPECT_EQ(driver->setControl(brightness ? TEST_PATTERN_CID_BRIGHTNESS : TEST_PATTERN_CID_PATTERN, value).ok(),
                       valid);
         }},
        {"fault: refuse connect", 1,
         [](Rig& r) { r.faults[r.pick(kDrivers)]->refuseConnect = r.pick(3) == 0; }},
        {"fault: stop frames", 2,
         [](Rig& r) { r.faults[r.pick(kDrivers)]->stopFrames = r.pick(3) == 0; }},
        {"fault: broken frames", 1,
         [](Rig& r) { r.faults[r.pick(kDrivers)]->brokenFrames = r.pickFrom(std::vector<int>{0, 0, 1, 3, 40}); }},
        {"events", 6,
         [](Rig& r) {
             const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(r.pick(15));
             do QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
             while (std::chrono::steady_clock::now() < until);
         }},
        {"device loss", 2,
         [](Rig& r) {
             const int index = r.connectedIndex();
             if (index < 0 || !r.capture->previewing()) return;
             r.faults[index]->stopFrames = true;
             const std::size_t messages = r.messages.size();
             ASSERT_TRUE(processUntil([&] { return !r.capture->previewing(); }));
             EXPECT_EQ(r.capture->connectedDriver(), nullptr) << "a lost device stays connected";
             expectMessage(r, messages);
         }},
        {"host destroyed", 1,
         [](Rig& r) {
             if (r.capture->captureWindow()) ++coverage.hostsGoneUnderTheWindow;
             r.host.reset();
             EXPECT_EQ(r.capture->captureWindow(), nullptr);
         }},
        {"host created", 1,
         [](Rig& r) {
             if (!r.host) r.host = std::make_unique<FakeHost>();
         }},
    };
    return list;
}

const Operation& pickOperation(Rig& rig) {
    static const int total = [] {
        int sum = 0;
        for (const auto& op : operations()) sum += op.weight;
        return sum;
    }();
    int at = rig.pick(total);
    for (const auto& op : operations()) {
        if (at < op.weight) return op;
        at -= op.weight;
    }
    return operations().back();
}

TEST(OperationSequence, EveryOperationCopesInEveryState) {
    for (int sequence = 0; sequence < kSequences && !::testing::Test::HasFailure(); ++sequence) {
        const auto seed = std::uint32_t(1000 + sequence);
        Rig rig(seed);
        std::string steps;
        for (int step = 0; step < kStepsPerSequence && !::testing::Test::HasFailure(); ++step) {
            const Operation& op = pickOperation(rig);
            steps += std::string(steps.empty() ? "" : ", ") + op.name;
            SCOPED_TRACE("seed " + std::to_string(seed) + ": " + steps);
            op.run(rig);
            checkInvariants(rig);
        }
        for (const auto& text : rig.messages)
            if (text.find("stopped delivering pictures") != std::string::npos) ++coverage.devicesLost;
        // The capture object goes, sometimes after its host window, often while previewing.
        if (rig.pick(2)) rig.host.reset();
        rig.capture.reset();
        QCoreApplication::processEvents();
    }
    ::testing::Test::RecordProperty("stillsSaved", coverage.stillsSaved);
    ::testing::Test::RecordProperty("savesRefused", coverage.savesRefused);
    ::testing::Test::RecordProperty("grabsDuringPreview", coverage.grabsDuringPreview);
    ::testing::Test::RecordProperty("devicesLost", coverage.devicesLost);
    ::testing::Test::RecordProperty("hostsGoneUnderTheWindow", coverage.hostsGoneUnderTheWindow);
    EXPECT_GT(coverage.stillsSaved, 0);
    EXPECT_GT(coverage.savesRefused, 0);
    EXPECT_GT(coverage.grabsDuringPreview, 0);
    EXPECT_GT(coverage.devicesLost, 0);
    EXPECT_GT(coverage.hostsGoneUnderTheWindow, 0);
}

}  // namespace
}  // namespace tesk::testing
