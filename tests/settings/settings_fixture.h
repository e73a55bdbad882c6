#pragma once
// A private settings folder per test: XDG_CONFIG_HOME points at a fresh
// temporary folder, so no test sees or touches the user's own settings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace settings_test {

namespace fs = std::filesystem;

class SettingsFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldXdg_ = old;
        std::string pattern = (fs::temp_directory_path() / "vc-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        ::setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
        if (oldXdg_) ::setenv("XDG_CONFIG_HOME", oldXdg_->c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
    }

    fs::path folder() const { return root_ / "videocapture"; }
    fs::path pathOf(const std::string& name) const { return folder() / name; }

    void put(const std::string& name, const std::string& bytes) const {
        fs::create_directories(folder());
        std::ofstream(pathOf(name), std::ios::binary) << bytes;
    }
    std::string contents(const std::string& name) const {
        std::ifstream in(pathOf(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path root_;

private:
    std::optional<std::string> oldXdg_;
};

}  // namespace settings_test
