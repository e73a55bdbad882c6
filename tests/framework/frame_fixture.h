#pragma once
// A runtime of its own for each frame test: error manager, window settings on
// orvane.INI in a temporary settings folder, and the recording capture fake.

#include "platform/profile.h"
#include "shell/runtime.h"
#include "tests/support/fake_capture.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

namespace framework_test {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
        settings.start("orvane.INI");
    }
    // The error manager keeps its names per thread: leave none behind for the next test.
    void TearDown() override {
        while (!errors.procedures().empty()) errors.unregisterProcedure();
    }

    std::string ini(std::string_view section, std::string_view key) const {
        return profile::GetPrivateProfileString(section, key, "(none)", "orvane.INI");
    }
    void writeIni(std::string_view section, std::string_view key, std::string_view value) const {
        profile::WritePrivateProfileString(section, key, value, "orvane.INI");
    }

    QTemporaryDir config_;
    shell::ErrorManager errors;
    shell::WindowSettings settings;
    testing_support::FakeCapture capture;
    shell::Runtime runtime{errors, settings, capture};
};

}  // namespace framework_test
