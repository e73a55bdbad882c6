#pragma once
// A capture object over two test-pattern drivers (index 0 and 1) in a fake
// host window, with messages, status reports and file questions recorded.

#include "tesk/capture_window.h"
#include "tesk/tesk_capture.h"
#include "tesk/test_pattern_driver.h"
#include "tesk_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <deque>
#include <filesystem>

namespace tesk::testing {

struct StatusReport {
    std::int32_t code;
    std::string text;
};

class CaptureTest : public ::testing::Test {
protected:
    CaptureTest() {
        capture = std::make_unique<TeskCapture>([this] { return host.get(); }, [this] {
            DriverList list;
            list.push_back(std::make_unique<TestPatternDriver>(faults));
            list.push_back(std::make_unique<TestPatternDriver>(secondFaults));
            return list;
        });
        capture->setMessageFunction([this](QWidget*, const std::string& text) { messages.push_back(text); });
        capture->setFileAsker([this](QWidget*, const FileRequest& request) -> std::optional<std::string> {
            requests.push_back(request);
            if (answers.empty()) return std::nullopt;
            auto answer = answers.front();
            answers.pop_front();
            return answer;
        });
        capture->setComponentSettings(ComponentSettings(dir.filePath("teskdrv.ini").toStdString()));
        capture->setFrameLossTimeout(std::chrono::milliseconds(600));
        capture->SETCALLBACKSTATUS([this](capture::NativeWindow, std::int32_t code, std::string_view text) {
            statuses.push_back({code, std::string(text)});
            return 1;
        });
    }
    ~CaptureTest() override { capture.reset(); }

    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    bool hasStatus(std::int32_t code) const {
        for (const auto& s : statuses)
            if (s.code == code) return true;
        return false;
    }

    // Connects driver 0 and waits for previewed frames to reach the capture window.
    void startPreview() {
        ASSERT_TRUE(capture->CREATECAPTUREWINDOW(27));
        ASSERT_TRUE(capture->DRIVERCONNECT(0));
        ASSERT_TRUE(capture->SETPREVIEWRATE(10));
        ASSERT_TRUE(capture->SETPREVIEW(1));
        ASSERT_TRUE(processUntil([&] { return capture->captureWindow()->paintedSequence() >= 2; }));
    }

    std::unique_ptr<FakeHost> host = std::make_unique<FakeHost>();
    std::shared_ptr<TestPatternFaults> faults = std::make_shared<TestPatternFaults>();
    std::shared_ptr<TestPatternFaults> secondFaults = std::make_shared<TestPatternFaults>();
    QTemporaryDir dir;
    std::vector<std::string> messages;
    std::vector<StatusReport> statuses;
    std::vector<FileRequest> requests;
    std::deque<std::optional<std::string>> answers;
    std::unique_ptr<TeskCapture> capture;
};

}  // namespace tesk::testing
