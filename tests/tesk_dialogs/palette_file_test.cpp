// Palette files: what is saved matches the documented RIFF PAL layout byte
// for byte, what is loaded is checked to the last size, and a broken file
// never changes the caller's palette.

#include "tesk/palette_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using tesk::Rgb;

class PaletteFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vc-palette-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string bytesOf(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t filesInFolder() const { return std::size_t(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
};

std::string le32(std::uint32_t v) {
    return {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char((v >> 24) & 0xff)};
}
std::string le16(std::uint16_t v) { return {char(v & 0xff), char(v >> 8)}; }

// A LOGPALETTE chunk body as documented: version, count, then R G B flags.
std::string logPalette(std::uint16_t count, std::size_t entriesWritten, std::uint16_t version = 0x0300) {
    std::string body = le16(version) + le16(count);
    for (std::size_t i = 0; i < entriesWritten; ++i) body += std::string{char(i), char(255 - i), char(i * 3), '\0'};
    return body;
}
std::string chunk(const std::string& tag, const std::string& body) {
    std::string c = tag + le32(std::uint32_t(body.size())) + body;
    if (body.size() % 2) c += '\0';
    return c;
}
std::string riff(const std::string& form, const std::string& chunks) {
    return "RIFF" + le32(std::uint32_t(4 + chunks.size())) + form + chunks;
}

const std::vector<Rgb> kSentinel = {{1, 2, 3}, {4, 5, 6}};

TEST_F(PaletteFileTest, SavedBytesFollowTheDocumentedLayout) {
    const std::vector<Rgb> colours = {{10, 20, 30}, {255, 0, 128}, {0, 0, 0}};
    ASSERT_TRUE(tesk::savePalette(path("three.pal"), colours).ok());
    const std::string expected = std::string("RIFF") + le32(4 + 8 + 4 + 12) + "PAL " + "data" + le32(16) +
                                 le16(0x0300) + le16(3) + std::string{10, 20, 30, 0} +
                                 std::string{char(255), 0, char(128), 0} + std::string(4, '\0');
    EXPECT_EQ(bytesOf("three.pal"), expected);
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(PaletteFileTest, RoundTripsOneToTwoHundredFiftySixColours) {
    for (std::size_t count : {std::size_t(1), std::size_t(17), std::size_t(256)}) {
        std::vector<Rgb> colours;
        for (std::size_t i = 0; i < count; ++i) colours.push_back({std::uint8_t(i), std::uint8_t(i * 7), std::uint8_t(255 - i)});
        ASSERT_TRUE(tesk::savePalette(path("p.pal"), colours).ok());
        std::vector<Rgb> loaded = kSentinel;
        const tesk::Status result = tesk::loadPalette(path("p.pal"), loaded);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(loaded, colours) << count << " colours";
    }
}

TEST_F(PaletteFileTest, SavingReplacesAnOldFileWhole) {
    put("p.pal", std::string(5000, 'x'));
    ASSERT_TRUE(tesk::savePalette(path("p.pal"), {{1, 1, 1}}).ok());
    EXPECT_EQ(bytesOf("p.pal").size(), 28u) << "header, chunk header, version and count, one entry";
}

TEST_F(PaletteFileTest, RefusedSavesLeaveNoFile) {
    EXPECT_FALSE(tesk::savePalette(path("none.pal"), {}).ok());
    EXPECT_FALSE(tesk::savePalette(path("many.pal"), std::vector<Rgb>(257)).ok());
    EXPECT_FALSE(tesk::savePalette(path("missing/folder/p.pal"), kSentinel).ok());
    EXPECT_EQ(filesInFolder(), 0u);
}

// A write that fails part way (here: a file size limit, as a full disk would)
// leaves the old file whole and no temporary file behind.
TEST_F(PaletteFileTest, AFailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(tesk::savePalette(path("good.pal"), kSentinel).ok());
    const std::string good = bytesOf("good.pal");

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const tesk::Status result = tesk::savePalette(path("good.pal"), std::vector<Rgb>(256));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("good.pal"), std::string::npos) << result.error;
    EXPECT_EQ(bytesOf("good.pal"), good);
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(PaletteFileTest, LoadsPastOtherChunksAndOddPadding) {
    const std::string file = riff("PAL ", chunk("INFO", "odd") + chunk("LIST", "") + chunk("data", logPalette(2, 2)));
    put("padded.pal", file);
    std::vector<Rgb> loaded;
    ASSERT_TRUE(tesk::loadPalette(path("padded.pal"), loaded).ok());
    EXPECT_EQ(loaded, (std::vector<Rgb>{{0, 255, 0}, {1, 254, 3}}));
}

struct BrokenFile {
    const char* name;
    std::string bytes;
};

class BrokenPaletteTest : public PaletteFileTest, public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(BrokenPaletteTest, GivesAnErrorAndKeepsThePalette) {
    put("broken.pal", GetParam().bytes);
    std::vector<Rgb> colours = kSentinel;
    const tesk::Status result = tesk::loadPalette(path("broken.pal"), colours);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("broken.pal"), std::string::npos) << "the message names the file: " << result.error;
    EXPECT_EQ(colours, kSentinel);
}

const std::string kGood = riff("PAL ", chunk("data", logPalette(4, 4)));

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenPaletteTest,
    ::testing::Values(
        BrokenFile{"Empty", ""},
        BrokenFile{"TruncatedHeader", kGood.substr(0, 10)},
        BrokenFile{"WrongRiffTag", "RIFX" + kGood.substr(4)},
        BrokenFile{"WrongFormType", riff("WAVE", chunk("data", logPalette(4, 4)))},
        BrokenFile{"CountZero", riff("PAL ", chunk("data", logPalette(0, 0)))},
        BrokenFile{"CountAbove256", riff("PAL ", chunk("data", logPalette(257, 257)))},
        BrokenFile{"DataShorterThanCount", riff("PAL ", chunk("data", logPalette(8, 4)))},
        BrokenFile{"WrongVersion", riff("PAL ", chunk("data", logPalette(4, 4, 0x0200)))},
        BrokenFile{"ChunkPastEndOfFile", riff("PAL ", "data" + le32(4000) + logPalette(4, 4))},
        BrokenFile{"RiffSizePastEndOfFile", "RIFF" + le32(9999) + kGood.substr(8)},
        BrokenFile{"TruncatedFile", kGood.substr(0, kGood.size() - 3)},
        BrokenFile{"ChunkHeaderCutShort", riff("PAL ", "dat")},
        BrokenFile{"NoDataChunk", riff("PAL ", chunk("INFO", "abcd"))}),
    [](const ::testing::TestParamInfo<BrokenFile>& info) { return info.param.name; });

TEST_F(PaletteFileTest, MissingFileGivesAnError) {
    std::vector<Rgb> colours = kSentinel;
    const tesk::Status result = tesk::loadPalette(path("absent.pal"), colours);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(colours, kSentinel);
}

}  // namespace
