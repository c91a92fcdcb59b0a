#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb) return false;
    }
    return true;
}

// The file as lines without their line ends, and the line end to use for new lines.
struct CIniText {
    std::vector<std::string> lines;
    std::string eol = "\n";
    bool finalEol = true;
};

CIniText SplitLines(const std::string& content) {
    CIniText t;
    if (content.find("\r\n") != std::string::npos) t.eol = "\r\n";
    size_t pos = 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        if (nl == std::string::npos) {
            t.lines.push_back(content.substr(pos));
            t.finalEol = false;
            break;
        }
        size_t end = nl > pos && content[nl - 1] == '\r' ? nl - 1 : nl;
        t.lines.push_back(content.substr(pos, end - pos));
        pos = nl + 1;
    }
    return t;
}

// A section header's name, if the line is one.
std::optional<std::string_view> SectionName(std::string_view line) {
    std::string_view s = Trim(line);
    if (s.empty() || s.front() != '[') return std::nullopt;
    s.remove_prefix(1);
    size_t close = s.find(']');
    return Trim(close == std::string_view::npos ? s : s.substr(0, close));
}

// A key line's name and value; comments and blank lines have none.
bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view s = Trim(line);
    if (s.empty() || s.front() == ';' || s.front() == '[') return false;
    size_t eq = s.find('=');
    key = Trim(s.substr(0, eq));
    value = eq == std::string_view::npos ? std::string_view() : Trim(s.substr(eq + 1));
    return !key.empty();
}

// First matching section: the index of its header, and one past its last line.
bool FindSection(const CIniText& t, std::string_view section, size_t& header, size_t& end) {
    for (size_t i = 0; i < t.lines.size(); ++i) {
        std::optional<std::string_view> name = SectionName(t.lines[i]);
        if (!name || !EqualNoCase(*name, section)) continue;
        header = i;
        end = i + 1;
        while (end < t.lines.size() && !SectionName(t.lines[end]))
            ++end;
        return true;
    }
    return false;
}

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus ReadWholeFile(const std::string& path, std::string& content) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    content.clear();
    char buf[8192];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return ReadStatus::Failed;
        }
        if (n == 0) break;
        content.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return ReadStatus::Ok;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes content to a new file beside path and renames it over path, so readers see either
// the old file or the new one, never a part.
bool ReplaceFile(const std::string& requested, const std::string& content) {
    std::string path = requested;
    struct stat st {};
    bool exists = false;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Replace the file the link points to, not the link.
        if (char* real = realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        exists = true;
    }

    static std::atomic<unsigned> counter{0};
    const std::string tmp =
        path + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter.fetch_add(1));
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, content);
    if (ok && exists) ok = fchmod(fd, st.st_mode & 07777) == 0;
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here no longer endangers the data.
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

// Names and values that would change the file's structure are refused rather than written.
bool Writable(const CProfileEntry& e) {
    std::string_view section = Trim(e.section), key = Trim(e.key);
    if (section.empty() || key.empty()) return false;
    if (section.find_first_of("]\r\n") != std::string_view::npos) return false;
    if (key.find_first_of("=\r\n") != std::string_view::npos || key.front() == ';' ||
        key.front() == '[')
        return false;
    return e.value.find_first_of("\r\n") == std::string::npos;
}

void Apply(CIniText& t, const CProfileEntry& e) {
    const std::string_view section = Trim(e.section), key = Trim(e.key);
    size_t header = 0, end = 0;
    if (!FindSection(t, section, header, end)) {
        t.lines.push_back("[" + std::string(section) + "]");
        t.lines.push_back(std::string(key) + "=" + e.value);
        t.finalEol = true;
        return;
    }
    size_t lastContent = header;
    for (size_t i = header + 1; i < end; ++i) {
        std::string_view k, v;
        if (SplitKey(t.lines[i], k, v) && EqualNoCase(k, key)) {
            t.lines[i] = std::string(k) + "=" + e.value;
            return;
        }
        if (!Trim(t.lines[i]).empty()) lastContent = i;
    }
    // After the section's last line that is not blank, so blank separators stay in place.
    t.lines.insert(t.lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1),
                   std::string(key) + "=" + e.value);
    if (lastContent + 1 == t.lines.size() - 1) t.finalEol = true;
}

} // namespace

int GetPrivateProfileInt(std::string_view section, std::string_view key, int nDefault,
                         const std::string& path) {
    std::string content;
    if (ReadWholeFile(path, content) != ReadStatus::Ok) return nDefault;
    const CIniText t = SplitLines(content);
    size_t header = 0, end = 0;
    if (!FindSection(t, Trim(section), header, end)) return nDefault;
    for (size_t i = header + 1; i < end; ++i) {
        std::string_view k, v;
        if (!SplitKey(t.lines[i], k, v) || !EqualNoCase(k, Trim(key))) continue;
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = Trim(v.substr(1, v.size() - 2));
        if (v.empty()) return nDefault;
        size_t p = 0;
        bool negative = false;
        if (v[p] == '+' || v[p] == '-') negative = v[p++] == '-';
        // Unsigned arithmetic wraps, as the Windows call does, without overflow.
        std::uint32_t n = 0;
        for (; p < v.size() && v[p] >= '0' && v[p] <= '9'; ++p)
            n = n * 10u + static_cast<std::uint32_t>(v[p] - '0');
        if (negative) n = 0u - n;
        return static_cast<int>(n); // modulo 2^32 since C++20
    }
    return nDefault;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
    return WritePrivateProfileEntries(
        {{std::string(section), std::string(key), std::string(value)}}, path);
}

bool WritePrivateProfileEntries(const std::vector<CProfileEntry>& entries,
                                const std::string& path) {
    for (const CProfileEntry& e : entries)
        if (!Writable(e)) return false;
    std::string content;
    if (ReadWholeFile(path, content) == ReadStatus::Failed) return false;
    CIniText t = SplitLines(content);
    for (const CProfileEntry& e : entries)
        Apply(t, e);
    std::string out;
    for (size_t i = 0; i < t.lines.size(); ++i) {
        out += t.lines[i];
        if (i + 1 < t.lines.size() || t.finalEol) out += t.eol;
    }
    return ReplaceFile(path, out);
}
