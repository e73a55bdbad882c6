#pragma once
// Test fixtures: a folder of device nodes backed by a FakeCameraIo, and a
// V4l2Driver on one such camera.

#include "fake_camera_io.h"

#include "tesk/v4l2/v4l2_driver.h"

#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace tesk::v4l2::testing {

constexpr std::uint32_t kCapture = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;

class FakeDeviceDir : public ::testing::Test {
protected:
    void SetUp() override {
        // libv4lconvert keeps its software controls (flips, white balance) in
        // shared memory per device name, shared by every process: without
        // them the fake's frames convert the same on every run.
        ::setenv("LIBV4LCONTROL_CONTROLS", "0", 1);
        ::setenv("LIBV4LCONTROL_FLAGS", "0", 1);
        dir_ = std::filesystem::temp_directory_path() /
               ("v4l2-fake-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string node(const std::string& name, std::optional<FakeCameraIo::Node> device = std::nullopt) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path).put('\n');
        if (device)
            io_->nodes[path] = *device;
        return path;
    }

    std::filesystem::path dir_;
    std::shared_ptr<FakeCameraIo> io_ = std::make_shared<FakeCameraIo>();
};

class FakeCamera : public FakeDeviceDir {
protected:
    void SetUp() override {
        FakeDeviceDir::SetUp();
        path_ = node("video0", FakeCameraIo::Node{kCapture});
        driver_ = std::make_unique<V4l2Driver>(DriverInfo{"Fake Camera", "fakecam 6.1.7", path_}, kCapture, io_);
    }

    static void expectPainted(const Frame& frame, int width, int height, std::uint8_t blue) {
        ASSERT_EQ(frame.width, width);
        ASSERT_EQ(frame.height, height);
        ASSERT_EQ(frame.layout, Frame::Layout::Rgb24);
        ASSERT_EQ(frame.pixels.size(), std::size_t(width * height * 3));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* pixel = frame.pixels.data() + (y * width + x) * 3;
                ASSERT_EQ(pixel[0], FakeCameraIo::red(x)) << x << "," << y;
                ASSERT_EQ(pixel[1], FakeCameraIo::green(y)) << x << "," << y;
                ASSERT_EQ(pixel[2], blue) << x << "," << y;
            }
    }

    std::string path_;
    std::unique_ptr<V4l2Driver> driver_;
};

}  // namespace tesk::v4l2::testing
