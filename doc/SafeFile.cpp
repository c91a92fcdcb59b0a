#include "doc/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SetError(std::string* error, const char* verb, const std::string& path, const char* why) {
    if (error) *error = std::string("cannot ") + verb + " \"" + path + "\": " + why;
    return false;
}

// Writes to the real target of a symbolic link so that the link survives the save.
std::string ResolveTarget(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string r = real;
    std::free(real);
    return r;
}

int OpenTemp(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> serial{0};
    const std::size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "." + base + "." + std::to_string(getpid()) + "." +
                   std::to_string(serial++) + ".tmp";
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const CWriteFn& write) {
    const std::string target = ResolveTarget(path);
    struct stat old;
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) return SetError(error, "write", path, "is a directory");

    std::string temp;
    const int fd = OpenTemp(target, temp);
    if (fd < 0) return SetError(error, "write", path, std::strerror(errno));

    auto fail = [&](int err) {
        close(fd);
        unlink(temp.c_str());
        return SetError(error, "write", path, std::strerror(err));
    };
    // Keep the old file's permissions; a new file gets the usual ones through the umask.
    if (existed && fchmod(fd, old.st_mode & 07777) != 0) return fail(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n =
            write ? write(fd, bytes.data() + done, bytes.size() - done)
                  : static_cast<long>(::write(fd, bytes.data() + done, bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0) return fail(errno);
    if (close(fd) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return SetError(error, "write", path, std::strerror(err));
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return SetError(error, "write", path, std::strerror(err));
    }
    // Make the rename itself durable; the data is already safe, so a failure here is ignored.
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         std::string* error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "read", path, std::strerror(errno));
        return std::nullopt;
    }
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        SetError(error, "read", path, "is a directory");
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            close(fd);
            SetError(error, "read", path, std::strerror(err));
            return std::nullopt;
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
            close(fd);
            SetError(error, "read", path, "the file is too large");
            return std::nullopt;
        }
        data.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return data;
}
