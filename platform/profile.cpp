#include "platform/profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

namespace profile {
namespace {

constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

// ---------------------------------------------------------------- text helpers

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// A value as a read returns it: trimmed, one pair of enclosing quotation
// marks (double or single, as Windows does) removed, at most 1023 characters.
std::string valueText(std::string_view raw) {
    std::string_view v = trimBlanks(raw);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\'')) v = v.substr(1, v.size() - 2);
    return std::string(v.substr(0, maxValueLength));
}

// ---------------------------------------------------------------- the document

// One line of the file: its text without the line end, and the line end itself
// ("\n", "\r\n", or empty for a last line without one), so a rewrite gives
// back every line the program did not touch byte for byte.
struct Line {
    std::string text;
    std::string end;
};

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // raw text after "=" (keys only)
};

// How a line reads. A NUL byte ends the line's readable text; lines before the
// first section header, comments and lines without "=" carry no key.
Parsed parseLine(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::string_view t = trimBlanks(text);
    if (t.empty() || t.front() == ';') return {};
    if (t.front() == '[') {
        std::string_view name = t.substr(1);
        name = name.substr(0, name.find(']'));
        return {Kind::Section, trimBlanks(name), {}};
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {};
    return {Kind::Key, trimBlanks(t.substr(0, eq)), t.substr(eq + 1)};
}

struct Document {
    std::string bom;
    std::vector<Line> lines;
    std::string newline = "\n";  // the file's own line end, used for new lines

    static Document parse(std::string_view bytes) {
        Document doc;
        if (bytes.substr(0, utf8Bom.size()) == utf8Bom) {
            doc.bom = utf8Bom;
            bytes.remove_prefix(utf8Bom.size());
        }
        bool newlineKnown = false;
        while (!bytes.empty()) {
            const std::size_t nl = bytes.find('\n');
            Line line;
            if (nl == std::string_view::npos) {
                line.text = bytes;
                bytes = {};
            } else {
                std::string_view text = bytes.substr(0, nl);
                line.end = "\n";
                if (!text.empty() && text.back() == '\r') {
                    text.remove_suffix(1);
                    line.end = "\r\n";
                }
                line.text = text;
                bytes.remove_prefix(nl + 1);
                if (!newlineKnown) {
                    doc.newline = line.end;
                    newlineKnown = true;
                }
            }
            doc.lines.push_back(std::move(line));
        }
        return doc;
    }

    std::string serialize() const {
        std::string out = bom;
        for (const Line& line : lines) out += line.text + line.end;
        return out;
    }

    // Walks the key lines of every section named `section`, in file order.
    template <typename F>
    void forEachKeyIn(std::string_view section, F&& f) const {
        bool inSection = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Parsed p = parseLine(lines[i].text);
            if (p.kind == Kind::Section) inSection = equalsNoCase(p.name, section);
            else if (p.kind == Kind::Key && inSection && !f(i, p)) return;
        }
    }

    std::optional<std::size_t> firstKey(std::string_view section, std::string_view key) const {
        std::optional<std::size_t> found;
        forEachKeyIn(section, [&](std::size_t i, const Parsed& p) {
            if (!equalsNoCase(p.name, key)) return true;
            found = i;
            return false;
        });
        return found;
    }

    // Where a new key of the section goes: after the last key line of the
    // section's first occurrence, else right after its header; nothing when
    // the section is missing.
    std::optional<std::size_t> insertionPoint(std::string_view section) const {
        std::optional<std::size_t> header, lastKey;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Parsed p = parseLine(lines[i].text);
            if (p.kind == Kind::Section) {
                if (header) break;
                if (equalsNoCase(p.name, section)) header = i;
            } else if (p.kind == Kind::Key && header) {
                lastKey = i;
            }
        }
        if (!header) return std::nullopt;
        return (lastKey ? *lastKey : *header) + 1;
    }

    void insertLine(std::size_t at, std::string text) {
        // The line before must end, or the new one would join it.
        if (at > 0 && lines[at - 1].end.empty()) lines[at - 1].end = newline;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline});
    }

    // Applies one write; false when the document stays as it was.
    bool apply(std::string_view section, std::string_view key, std::optional<std::string_view> value) {
        if (!value) {
            std::vector<std::size_t> doomed;
            // Every copy goes, so a later duplicate cannot surface as the value.
            forEachKeyIn(section, [&](std::size_t i, const Parsed& p) {
                if (equalsNoCase(p.name, key)) doomed.push_back(i);
                return true;
            });
            for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*it));
            return !doomed.empty();
        }
        if (const auto at = firstKey(section, key)) {
            // The key keeps the spelling it has in the file.
            std::string text = std::string(parseLine(lines[*at].text).name) + "=" + std::string(*value);
            if (text == lines[*at].text) return false;
            lines[*at].text = std::move(text);
            return true;
        }
        std::string keyLine = std::string(key) + "=" + std::string(*value);
        if (const auto at = insertionPoint(section)) {
            insertLine(*at, std::move(keyLine));
        } else {
            insertLine(lines.size(), "[" + std::string(section) + "]");
            insertLine(lines.size(), std::move(keyLine));
        }
        return true;
    }
};

// ---------------------------------------------------------------- files

std::mutex hookMutex;
std::function<bool(const std::string&)> beforeReplaceHook;

bool runBeforeReplaceHook(const std::string& temporaryPath) {
    std::function<bool(const std::string&)> hook;
    {
        std::lock_guard lock(hookMutex);
        hook = beforeReplaceHook;
    }
    return !hook || hook(temporaryPath);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (it can report a write error).
    bool reset() {
        if (fd_ < 0) return true;
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }
    void adopt(int fd) {
        reset();
        fd_ = fd;
    }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Failed };

ReadResult readFile(const std::string& path, std::string& bytes, struct stat* info = nullptr) {
    bytes.clear();
    // Non-blocking, so that a pipe or device put in the file's place cannot hang the program.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return ReadResult::Failed;
    if (info) *info = st;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadResult::Failed;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return ReadResult::Ok;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string parentFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Replaces the file with `bytes` through a temporary file in the same folder:
// the file holds either its old or its new contents, never a part of them.
bool replaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = parentFolder(path);
    const std::string base = path.substr(path.rfind('/') + 1);
    std::string temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        temporary = folder + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd.adopt(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.valid() && errno != EEXIST) return false;
    }
    if (!fd.valid()) return false;

    bool ok = true;
    if (old) {
        // The new file keeps the old one's permissions and, where allowed, owner.
        ok = ::fchmod(fd.get(), old->st_mode & 07777) == 0;
        // Only a privileged process may hand a file to another owner; otherwise it becomes ours.
        if (ok && (old->st_uid != ::geteuid() || old->st_gid != ::getegid()))
            ok = ::fchown(fd.get(), old->st_uid, old->st_gid) == 0 || errno == EPERM;
    }
    ok = ok && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.reset() && ok;
    ok = ok && runBeforeReplaceHook(temporary) && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    if (FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir.valid()) ::fsync(dir.get());
    return true;
}

// Serialises read-modify-write cycles on one folder's settings files, across
// threads and across running instances of the program.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (!fd_.valid()) return;
        while (::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }

private:
    FileDescriptor fd_;
};

bool isBareName(std::string_view file) { return file.find('/') == std::string_view::npos; }

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// Names that would break the file's structure when written into it.
bool writableName(std::string_view name, bool isSection) {
    for (char c : name)
        if (c == '\n' || c == '\r' || c == '\0' || (isSection && c == ']') || (!isSection && c == '=')) return false;
    if (isSection) return true;
    const std::string_view t = trimBlanks(name);
    return !t.empty() && t.front() != ';' && t.front() != '[';
}

bool writableValue(std::string_view value) {
    return value.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

}  // namespace

std::string settingsFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    const std::string config = (xdg && xdg[0] == '/') ? std::string(xdg) : homeFolder() + "/.config";
    return config + "/videocapture";
}

std::string resolvePath(std::string_view file) {
    if (!isBareName(file)) return std::string(file);
    return settingsFolder() + "/" + std::string(file);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view deflt,
                                    std::string_view file) {
    const std::string fallback(deflt);
    if (file.empty()) return fallback;
    std::string bytes;
    if (readFile(resolvePath(file), bytes) != ReadResult::Ok) return fallback;
    const Document doc = Document::parse(bytes);
    const auto at = doc.firstKey(trimBlanks(section), trimBlanks(key));
    if (!at) return fallback;
    return valueText(parseLine(doc.lines[*at].text).value);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view file) {
    if (file.empty() || !writableName(section, true) || !writableName(key, false)) return false;
    if (value && !writableValue(*value)) return false;
    section = trimBlanks(section);
    key = trimBlanks(key);

    std::string path = resolvePath(file);
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        // Write through a link to the file it names, keeping the link.
        const auto target = std::filesystem::weakly_canonical(path, ec);
        if (ec) return false;
        path = target.string();
    }
    const std::string folder = parentFolder(path);
    if (!std::filesystem::is_directory(folder, ec)) {
        if (!value) return true;  // nothing to delete, and nothing is created for it
        if (!isBareName(file)) return false;
        std::filesystem::create_directories(folder, ec);
        if (!std::filesystem::is_directory(folder, ec)) return false;
    }

    FolderLock lock(folder);
    std::string bytes;
    struct stat info {};
    const ReadResult read = readFile(path, bytes, &info);
    // A file that exists but cannot be read is never replaced: its contents would be lost.
    if (read == ReadResult::Failed) return false;
    // A read-only file stays as it is, even for root and although the folder would let us replace it.
    if (read == ReadResult::Ok && ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) return false;
    Document doc = Document::parse(bytes);
    if (!doc.apply(section, key, value)) return true;
    return replaceFile(path, doc.serialize(), read == ReadResult::Ok ? &info : nullptr);
}

namespace test_hooks {
void setBeforeReplace(std::function<bool(const std::string& temporaryPath)> hook) {
    std::lock_guard lock(hookMutex);
    beforeReplaceHook = std::move(hook);
}
}  // namespace test_hooks

}  // namespace profile
