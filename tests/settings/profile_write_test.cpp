// Writing settings: what a write changes, what it leaves alone, and that a
// failed or interrupted write leaves the old file whole.

#include "platform/profile.h"
#include "settings_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <thread>

namespace settings_test {
namespace {

using namespace std::string_literals;
using profile::GetPrivateProfileString;
using profile::WritePrivateProfileString;

struct WriteCase {
    const char* what;
    std::string before;  // contents of "t.ini"
    const char* section;
    const char* key;
    std::optional<std::string> value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.what; }

const std::string handEdited =
    "; written by hand\n"
    "[Main]\n"
    "XPos=10\n"
    "Unknown=Keep Me\n"
    "\n"
    "; trailing comment of Main\n"
    "[Other Section]\n"
    "MixedCase=Value\n";

const WriteCase writeCases[] = {
    {"new key after the last key of its section", handEdited, "main", "YPos", "20",
     "; written by hand\n[Main]\nXPos=10\nUnknown=Keep Me\nYPos=20\n\n; trailing comment of Main\n"
     "[Other Section]\nMixedCase=Value\n"},
    {"changed key keeps its place and spelling", handEdited, "MAIN", "xpos", "-5",
     "; written by hand\n[Main]\nXPos=-5\nUnknown=Keep Me\n\n; trailing comment of Main\n"
     "[Other Section]\nMixedCase=Value\n"},
    {"new section at the end", handEdited, "CapPalette", "XPos", "3", handEdited + "[CapPalette]\nXPos=3\n"},
    {"deleted key leaves the rest", handEdited, "Main", "XPOS", std::nullopt,
     "; written by hand\n[Main]\nUnknown=Keep Me\n\n; trailing comment of Main\n"
     "[Other Section]\nMixedCase=Value\n"},
    {"deleting removes every copy", "[a]\nk=1\nk=2\n[A]\nK=3\nz=0\n", "a", "k", std::nullopt, "[a]\n[A]\nz=0\n"},
    {"only the first copy changes", "[a]\nk=1\nk=2\n", "a", "k", "9", "[a]\nk=9\nk=2\n"},
    {"empty text is written, not a deletion", "[a]\nk=1\n", "a", "k", "", "[a]\nk=\n"},
    {"key into an empty section", "[a]\n[b]\nx=1\n", "a", "k", "1", "[a]\nk=1\n[b]\nx=1\n"},
    {"a key of a later copy of the section changes there", "[a]\nx=1\n[b]\n[a]\nk=1\n", "a", "k", "2",
     "[a]\nx=1\n[b]\n[a]\nk=2\n"},
    {"new key goes to the first copy", "[a]\nx=1\n[a]\ny=1\n", "a", "k", "2", "[a]\nx=1\nk=2\n[a]\ny=1\n"},
    {"CRLF kept, new lines too", "[a]\r\nx=1\r\n", "a", "k", "2", "[a]\r\nx=1\r\nk=2\r\n"},
    {"CRLF kept for a new section", "[a]\r\nx=1\r\n", "b", "k", "2", "[a]\r\nx=1\r\n[b]\r\nk=2\r\n"},
    {"byte-order mark kept", "\xEF\xBB\xBF[a]\nx=1\n", "a", "x", "2", "\xEF\xBB\xBF[a]\nx=2\n"},
    {"no final newline", "[a]\nx=1", "a", "k", "2", "[a]\nx=1\nk=2\n"},
    {"no final newline, new section", "[a]\nx=1", "b", "k", "2", "[a]\nx=1\n[b]\nk=2\n"},
    {"binary junk and long lines survive", "\x01\xff\0\n"s + std::string(3000, 'L') + "\n[a]\nx=1\n", "a", "x", "2",
     "\x01\xff\0\n"s + std::string(3000, 'L') + "\n[a]\nx=2\n"},
    {"value keeps its inner blanks", "", "a", "k", " padded ", "[a]\nk= padded \n"},
};

class ProfileWrite : public SettingsFolderTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatIsWritten) {
    const WriteCase& c = GetParam();
    if (!c.before.empty()) put("t.ini", c.before);
    const auto value = c.value ? std::optional<std::string_view>(*c.value) : std::nullopt;
    EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, value, "t.ini")) << c.what;
    EXPECT_EQ(contents("t.ini"), c.after) << c.what;
    // A read gives the written value back, less its surrounding blanks; a deleted key reads as the default.
    std::string readBack = "DEF";
    if (c.value) {
        const std::size_t first = c.value->find_first_not_of(' ');
        readBack = first == std::string::npos ? "" : c.value->substr(first, c.value->find_last_not_of(' ') - first + 1);
    }
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "DEF", "t.ini"), readBack) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::ValuesIn(writeCases));

using ProfileWriteFiles = SettingsFolderTest;

TEST_F(ProfileWriteFiles, FirstWriteCreatesFolderAndFile) {
    ASSERT_FALSE(fs::exists(folder()));
    EXPECT_TRUE(WritePrivateProfileString("__Dont_Touch_Me__", "Sectors", "0", "orvane.INI"));
    EXPECT_EQ(contents("orvane.INI"), "[__Dont_Touch_Me__]\nSectors=0\n");
}

TEST_F(ProfileWriteFiles, DeletingFromNothingCreatesNothing) {
    EXPECT_TRUE(WritePrivateProfileString("Main", "XPos", std::nullopt, "orvane.INI"));
    EXPECT_FALSE(fs::exists(folder()));
    fs::create_directories(folder());
    EXPECT_TRUE(WritePrivateProfileString("Main", "XPos", std::nullopt, "orvane.INI"));
    EXPECT_TRUE(fs::is_empty(folder()));
}

TEST_F(ProfileWriteFiles, EveryWriteReachesTheFileAtOnce) {
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(WritePrivateProfileString("a", "n", std::to_string(i), "t.ini"));
        EXPECT_EQ(contents("t.ini"), "[a]\nn=" + std::to_string(i) + "\n");
    }
}

TEST_F(ProfileWriteFiles, WritersSharingAFileLoseNoUpdate) {
    // Two writers at once, as two running instances would be: each
    // read-modify-write cycle sees the other's finished writes.
    constexpr int perWriter = 40;
    const auto writer = [](const char* section) {
        for (int i = 0; i < perWriter; ++i)
            WritePrivateProfileString(section, "k" + std::to_string(i), std::to_string(i), "shared.ini");
    };
    std::thread first(writer, "first"), second(writer, "second");
    first.join();
    second.join();
    for (const char* section : {"first", "second"})
        for (int i = 0; i < perWriter; ++i)
            EXPECT_EQ(GetPrivateProfileString(section, "k" + std::to_string(i), "lost", "shared.ini"),
                      std::to_string(i))
                << section << " k" << i;
}

TEST_F(ProfileWriteFiles, TextsThatWouldBreakTheFileAreRefused) {
    put("t.ini", "[a]\nk=1\n");
    const struct {
        const char* section;
        const char* key;
        std::string value;
    } refused[] = {
        {"a", "k", "two\nlines"}, {"a", "k", "cr\rhere"}, {"a", "k", "nul\0byte"s}, {"a\nb", "k", "1"},
        {"a]", "k", "1"},         {"a", "k=x", "1"},      {"a", "", "1"},          {"a", ";k", "1"},
        {"a", "[k", "1"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(WritePrivateProfileString(r.section, r.key, r.value, "t.ini")) << r.section << "/" << r.key;
    }
    EXPECT_EQ(contents("t.ini"), "[a]\nk=1\n");
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "1", ""));
}

TEST_F(ProfileWriteFiles, InterruptedWriteLeavesTheOldFileWhole) {
    const std::string old = "; mine\r\n[a]\r\nk=old\r\n";
    put("t.ini", old);
    std::string seenTemporary, temporaryContents;
    profile::test_hooks::setBeforeReplace([&](const std::string& temporary) {
        seenTemporary = temporary;
        std::ifstream in(temporary, std::ios::binary);
        temporaryContents.assign(std::istreambuf_iterator<char>(in), {});
        return false;  // the write stops here, as a crash would
    });
    const bool written = WritePrivateProfileString("a", "k", "new", "t.ini");
    profile::test_hooks::setBeforeReplace({});

    EXPECT_FALSE(written);
    EXPECT_EQ(contents("t.ini"), old);
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", "t.ini"), "old");
    // The new contents were complete, in the same folder, and are gone again.
    EXPECT_EQ(fs::path(seenTemporary).parent_path(), folder());
    EXPECT_EQ(temporaryContents, "; mine\r\n[a]\r\nk=new\r\n");
    EXPECT_FALSE(fs::exists(seenTemporary));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), {}), 1);
    // And the program runs on: the next write succeeds.
    EXPECT_TRUE(WritePrivateProfileString("a", "k", "new", "t.ini"));
    EXPECT_EQ(contents("t.ini"), temporaryContents);
}

TEST_F(ProfileWriteFiles, FolderThatCannotBeWrittenFailsTheWrite) {
    // A plain file where the settings folder should be: no folder can be made.
    std::ofstream(root_ / "videocapture") << "not a folder";
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "1", "t.ini"));
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", "t.ini"), "DEF");
}

TEST_F(ProfileWriteFiles, ReadOnlyFolderFailsTheWrite) {
    using fs::perms;
    const fs::path readOnly = root_ / "ro";
    fs::create_directories(readOnly);
    std::ofstream(readOnly / "t.ini") << "[a]\nk=1\n";
    // The file itself may be written; only its folder refuses the temporary file.
    fs::permissions(readOnly / "t.ini", perms::owner_read | perms::owner_write | perms::group_read |
                                            perms::group_write | perms::others_read | perms::others_write);
    fs::permissions(readOnly, perms::owner_read | perms::owner_exec | perms::group_read | perms::group_exec |
                                  perms::others_read | perms::others_exec);
    fs::permissions(root_, perms::group_read | perms::group_exec | perms::others_read | perms::others_exec,
                    fs::perm_options::add);
    const std::string file = (readOnly / "t.ini").string();
    if (::geteuid() == 0) {
        // Root writes into any folder: the write runs as an ordinary user instead.
        EXPECT_EXIT(
            {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(2);
                std::_Exit(WritePrivateProfileString("a", "k", "2", file) ? 1 : 0);
            },
            ::testing::ExitedWithCode(0), "");
    } else {
        EXPECT_FALSE(WritePrivateProfileString("a", "k", "2", file));
    }
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", file), "1");
    EXPECT_EQ(std::distance(fs::directory_iterator(readOnly), {}), 1);
    fs::permissions(readOnly, perms::owner_all, fs::perm_options::add);
}

TEST_F(ProfileWriteFiles, ReadOnlyFileIsNotReplaced) {
    put("t.ini", "[a]\nk=1\n");
    fs::permissions(pathOf("t.ini"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "2", "t.ini"));
    EXPECT_FALSE(WritePrivateProfileString("a", "k", std::nullopt, "t.ini"));
    EXPECT_EQ(contents("t.ini"), "[a]\nk=1\n");
}

TEST_F(ProfileWriteFiles, UnreadableFileIsNeverReplaced) {
    fs::create_directories(pathOf("t.ini") / "inside");
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "1", "t.ini"));
    EXPECT_TRUE(fs::is_directory(pathOf("t.ini") / "inside"));
}

TEST_F(ProfileWriteFiles, RewriteKeepsPermissionsAndLinks) {
    put("real.ini", "[a]\nk=1\n");
    fs::permissions(pathOf("real.ini"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.ini", pathOf("t.ini"));

    EXPECT_TRUE(WritePrivateProfileString("a", "k", "2", "t.ini"));
    EXPECT_TRUE(fs::is_symlink(pathOf("t.ini")));
    EXPECT_EQ(contents("real.ini"), "[a]\nk=2\n");
    EXPECT_EQ(fs::status(pathOf("real.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ProfileWriteFiles, PathWithSlashIsUsedAsItStands) {
    const fs::path file = root_ / "direct.ini";
    EXPECT_TRUE(WritePrivateProfileString("a", "k", "1", file.string()));
    EXPECT_EQ(GetPrivateProfileString("a", "k", "DEF", file.string()), "1");
    EXPECT_FALSE(fs::exists(folder()));
    // Its folder is not made for it.
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "1", (root_ / "no" / "such.ini").string()));
}

}  // namespace
}  // namespace settings_test
