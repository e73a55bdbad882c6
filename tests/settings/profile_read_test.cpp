// Reading settings: the lookup rules, and files that are damaged or odd.

#include "platform/profile.h"
#include "settings_fixture.h"

#include <sys/stat.h>

namespace settings_test {
namespace {

using namespace std::string_literals;
using profile::GetPrivateProfileString;

struct ReadCase {
    const char* what;
    std::string file;  // contents of "t.ini"
    const char* section;
    const char* key;
    std::string expected;  // the default is always "DEF"
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.what; }

const std::string longValue(1500, 'v');

const ReadCase readCases[] = {
    {"names ignore case", "[Vidcap Settings]\nFPS=25\n", "vidcap settings", "fps", "25"},
    {"blanks around names and value", "  [ Main ]  \n  XPos  =   12  \n", "Main", "XPos", "12"},
    {"tabs are blanks too", "[Main]\n\tXPos\t=\t7\t\n", "Main", "XPos", "7"},
    {"one pair of double quotes removed", "[a]\nk=\"  two words \"\n", "a", "k", "  two words "},
    {"only one pair removed", "[a]\nk=\"\"x\"\"\n", "a", "k", "\"x\""},
    {"single quotes as Windows", "[a]\nk='q'\n", "a", "k", "q"},
    {"unmatched quote kept", "[a]\nk=\"open\n", "a", "k", "\"open"},
    {"lone quote kept", "[a]\nk=\"\n", "a", "k", "\""},
    {"value cut at 1023 characters", "[a]\nk=" + longValue + "\n", "a", "k", std::string(1023, 'v')},
    {"value may hold '=' and ';'", "[a]\nk=x=1;y\n", "a", "k", "x=1;y"},
    {"present but empty is not the default", "[a]\nk=\n", "a", "k", ""},
    {"missing key", "[a]\nother=1\n", "a", "k", "DEF"},
    {"missing section", "[b]\nk=1\n", "a", "k", "DEF"},
    {"key of another section", "[a]\n[b]\nk=1\n", "a", "k", "DEF"},
    {"first key wins", "[a]\nk=1\nK=2\n", "a", "k", "1"},
    {"first section wins", "[a]\nk=1\n[A]\nk=2\n", "a", "k", "1"},
    {"a later copy of the section still counts", "[a]\nx=1\n[b]\n[a]\nk=3\n", "a", "k", "3"},
    {"comment lines are no keys", "[a]\n;k=1\n  ; k=2\nk=3\n", "a", "k", "3"},
    {"a commented section header hides nothing", "[a]\n;[b]\nk=4\n", "a", "k", "4"},
    {"keys before any section belong to none", "k=1\n[a]\n", "a", "k", "DEF"},
    {"a line without '=' is no key", "[a]\nk\n", "a", "k", "DEF"},
    {"header without ']'", "[a\nk=5\n", "a", "k", "5"},
    // Damaged and odd files.
    {"no final newline", "[a]\nk=6", "a", "k", "6"},
    {"CRLF line ends", "[a]\r\nk=7\r\n", "a", "k", "7"},
    {"UTF-8 byte-order mark", "\xEF\xBB\xBF[a]\nk=8\n", "a", "k", "8"},
    {"NUL ends a line's text", "[a]\nk=9\0junk\nj\0=1\n"s, "a", "k", "9"},
    {"NUL in front of a key hides it", "[a]\n\0k=9\n"s, "a", "k", "DEF"},
    {"binary junk around a good line", "\x01\xff\xfe[\x80\n\x00\x00\n[a]\n\x7f\x1b=\n"s + "k=10\n\xc3(",
     "a", "k", "10"},
    {"a line longer than 1023 characters", "[a]\n" + std::string(5000, 'x') + "\nk=11\n", "a", "k", "11"},
    {"empty file", "", "a", "k", "DEF"},
};

class ProfileRead : public SettingsFolderTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileRead, FollowsTheLookupRules) {
    const ReadCase& c = GetParam();
    put("t.ini", c.file);
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "DEF", "t.ini"), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRead, ::testing::ValuesIn(readCases));

using ProfileReadFiles = SettingsFolderTest;

TEST_F(ProfileReadFiles, MissingFileGivesDefaultAndCreatesNothing) {
    EXPECT_EQ(GetPrivateProfileString("Main", "XPos", "-2147483648", "orvane.INI"), "-2147483648");
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(ProfileReadFiles, UnreadableFileGivesDefault) {
    // A folder where the file should be cannot be read, even by root.
    fs::create_directories(pathOf("t.ini"));
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", "t.ini"), "DEF");
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", ""), "DEF");
    // Nor can a pipe in the file's place: it gives the default at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo(pathOf("pipe.ini").c_str(), 0600), 0);
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", "pipe.ini"), "DEF");
    EXPECT_FALSE(profile::WritePrivateProfileString("a", "k", "1", "pipe.ini"));
}

TEST_F(ProfileReadFiles, BareNameResolvesInTheSettingsFolderAndPathsAreUsedAsTheyStand) {
    EXPECT_EQ(profile::settingsFolder(), (root_ / "videocapture").string());
    EXPECT_EQ(profile::resolvePath("orvane.INI"), (root_ / "videocapture" / "orvane.INI").string());
    EXPECT_EQ(profile::resolvePath("sub/x.ini"), "sub/x.ini");

    const fs::path elsewhere = root_ / "elsewhere.ini";
    std::ofstream(elsewhere) << "[a]\nk=here\n";
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", elsewhere.string()), "here");
}

TEST_F(ProfileReadFiles, FolderFallsBackToHomeConfig) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", root_.c_str(), 1);
    for (const char* xdg : {"", "relative/path"}) {
        ::setenv("XDG_CONFIG_HOME", xdg, 1);
        EXPECT_EQ(profile::settingsFolder(), (root_ / ".config" / "videocapture").string()) << "XDG=" << xdg;
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(profile::settingsFolder(), (root_ / ".config" / "videocapture").string());
    ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace settings_test
