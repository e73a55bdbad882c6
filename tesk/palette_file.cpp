#include "tesk/palette_file.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdint>
#include <string_view>

namespace tesk {

namespace {

constexpr std::uint16_t kPaletteVersion = 0x0300;
constexpr std::size_t kMaxEntries = 256;
// A palette file is a few hundred bytes; anything far larger is not one, and
// refusing it keeps a wrongly picked file from being read into memory whole.
constexpr qint64 kMaxFileBytes = 1 << 20;

std::uint32_t readU32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

std::uint16_t readU16(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return std::uint16_t(b[0] | b[1] << 8);
}

void putU32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff));
}

void putU16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

Status broken(const std::string& path, const std::string& why) {
    return Status::failure("The file " + path + " is not a usable palette file: " + why + ".");
}

// Decodes the LOGPALETTE of a "data" chunk.
Status decodeLogPalette(const std::string& path, std::string_view chunk, std::vector<Rgb>& colours) {
    if (chunk.size() < 4) return broken(path, "its palette data is too short");
    const std::uint16_t version = readU16(chunk.data());
    const std::uint16_t count = readU16(chunk.data() + 2);
    if (version != kPaletteVersion) return broken(path, "its palette version is not 0x0300");
    if (count == 0) return broken(path, "it holds no colours");
    if (count > kMaxEntries) return broken(path, "it claims " + std::to_string(count) + " colours (at most 256)");
    if (chunk.size() < 4 + std::size_t(count) * 4)
        return broken(path, "its palette data is shorter than its " + std::to_string(count) + " colours");
    std::vector<Rgb> read(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char* e = chunk.data() + 4 + i * 4;
        read[i] = Rgb{std::uint8_t(e[0]), std::uint8_t(e[1]), std::uint8_t(e[2])};
    }
    colours = std::move(read);
    return Status::success();
}

}  // namespace

Status loadPalette(const std::string& path, std::vector<Rgb>& colours) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure("The palette file " + path + " cannot be opened: " + file.errorString().toStdString() + ".");
    if (file.size() > kMaxFileBytes) return broken(path, "it is far too large");
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Status::failure("The palette file " + path + " cannot be read: " + file.errorString().toStdString() + ".");
    if (bytes.size() > kMaxFileBytes) return broken(path, "it is far too large");

    const std::string_view all(bytes.constData(), std::size_t(bytes.size()));
    if (all.empty()) return broken(path, "it is empty");
    if (all.size() < 12) return broken(path, "its header is cut short");
    if (all.substr(0, 4) != "RIFF") return broken(path, "it is not a RIFF file");
    if (all.substr(8, 4) != "PAL ") return broken(path, "it is a RIFF file of another kind");
    const std::uint64_t riffSize = readU32(all.data() + 4);
    if (riffSize < 4) return broken(path, "its RIFF size is too small");
    if (riffSize > all.size() - 8) return broken(path, "its RIFF size runs past the end of the file");

    // Chunks follow the form type; bytes after the RIFF chunk are not ours.
    const std::size_t end = 8 + std::size_t(riffSize);
    std::size_t at = 12;
    while (at < end) {
        if (end - at < 8) return broken(path, "a chunk header is cut short");
        const std::string_view tag = all.substr(at, 4);
        const std::uint64_t size = readU32(all.data() + at + 4);
        at += 8;
        if (size > end - at) return broken(path, "the \"" + std::string(tag) + "\" chunk runs past the end of the file");
        if (tag == "data") return decodeLogPalette(path, all.substr(at, std::size_t(size)), colours);
        // Chunks are padded to an even length; a final pad byte may be missing.
        at += std::size_t(size) + (size & 1);
    }
    return broken(path, "it has no palette data chunk");
}

Status savePalette(const std::string& path, const std::vector<Rgb>& colours) {
    if (colours.empty()) return Status::failure("There is no palette to save.");
    if (colours.size() > kMaxEntries) return Status::failure("A palette file holds at most 256 colours.");

    const std::uint32_t dataSize = 4 + 4 * std::uint32_t(colours.size());
    QByteArray bytes;
    bytes.reserve(int(20 + dataSize));
    bytes.append("RIFF", 4);
    putU32(bytes, 4 + 8 + dataSize);  // form type, chunk header, chunk data (always even)
    bytes.append("PAL ", 4);
    bytes.append("data", 4);
    putU32(bytes, dataSize);
    putU16(bytes, kPaletteVersion);
    putU16(bytes, std::uint16_t(colours.size()));
    for (const Rgb& c : colours) {
        bytes.append(char(c.r));
        bytes.append(char(c.g));
        bytes.append(char(c.b));
        bytes.append('\0');  // peFlags
    }

    // QSaveFile writes a temporary file beside the target, syncs it to disk
    // and renames it over the target only when everything was written.
    // Unbuffered, so that a short write (a full disk) shows in write()
    // itself: an error while flushing at commit goes unnoticed in Qt 6.4.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Status::failure("The palette file " + path + " cannot be written: " + file.errorString().toStdString() + ".");
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Status::failure("The palette file " + path + " could not be written: " + file.errorString().toStdString() +
                               ".");
    return Status::success();
}

}  // namespace tesk
