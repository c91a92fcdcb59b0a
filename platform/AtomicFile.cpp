#include "platform/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SetError(std::string* error, const char* verb, const std::string& path, const char* why) {
    if (error) *error = std::string("cannot ") + verb + " \"" + path + "\": " + why;
    return false;
}

std::string DirOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path a chain of symbolic links ends at, which need not exist yet (a dangling link is
// written through to the file it names). False with errno set on a loop or an unreadable link.
bool FinalTarget(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
        if (!S_ISLNK(st.st_mode)) return true;
        if (hops == 40) {
            errno = ELOOP;
            return false;
        }
        std::string link(4096, '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) == link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : DirOf(target) + link;
    }
}

int OpenTemp(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> serial{0};
    const std::string dir = DirOf(target);
    const std::string base = target.substr(dir.size());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "." + base + "." + std::to_string(getpid()) + "." +
                   std::to_string(serial++) + ".tmp";
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// 0, or the errno of the failure.
int WriteAll(int fd, std::string_view bytes, const CWriteFn& write) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n =
            write ? write(fd, bytes.data() + done, bytes.size() - done)
                  : static_cast<long>(::write(fd, bytes.data() + done, bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Only used where no new file can be made beside the old one: the file keeps its inode, and
// with it its owner, mode and hard links, at the price of atomicity.
bool WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes,
                  std::string* error, const CWriteFn& write) {
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return SetError(error, "write", path, std::strerror(errno));
    int err = WriteAll(fd, bytes, write);
    if (!err && ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) err = errno;
    if (!err && fsync(fd) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    return err ? SetError(error, "write", path, std::strerror(err)) : true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const CWriteFn& write) {
    std::string target;
    if (!FinalTarget(path, target)) return SetError(error, "write", path, std::strerror(errno));
    struct stat old;
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed) {
        if (S_ISDIR(old.st_mode)) return SetError(error, "write", path, "is a directory");
        if (!S_ISREG(old.st_mode)) return SetError(error, "write", path, "is not a regular file");
        // Renaming over a protected file would replace it without a word.
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return SetError(error, "write", path, std::strerror(errno));
    }

    std::string temp;
    const int fd = OpenTemp(target, temp);
    if (fd < 0) {
        const int err = errno;
        if (existed && (err == EACCES || err == EPERM))
            return WriteInPlace(path, target, bytes, error, write);
        return SetError(error, "write", path, std::strerror(err));
    }
    auto fail = [&](int err) {
        close(fd);
        unlink(temp.c_str());
        return SetError(error, "write", path, std::strerror(err));
    };
    if (existed) {
        // The new file takes the old one's owner and group; who cannot give them writes in place.
        struct stat mine;
        if (fstat(fd, &mine) != 0) return fail(errno);
        if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
            fchown(fd, old.st_uid, old.st_gid) != 0) {
            close(fd);
            unlink(temp.c_str());
            return WriteInPlace(path, target, bytes, error, write);
        }
        if (fchmod(fd, old.st_mode & 07777) != 0) return fail(errno);
    }
    if (const int err = WriteAll(fd, bytes, write)) return fail(err);
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
    const std::string dir = DirOf(target);
    const int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         std::string* error, EReadStatus* status) {
    auto refuse = [&](EReadStatus s, const char* why) -> std::optional<std::string> {
        if (status) *status = s;
        SetError(error, "read", path, why);
        return std::nullopt;
    };
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        return refuse(err == ENOENT ? EReadStatus::Missing : EReadStatus::Failed,
                      std::strerror(err));
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool dir = S_ISDIR(st.st_mode);
        close(fd);
        return refuse(EReadStatus::NotRegular, dir ? "is a directory" : "is not a regular file");
    }
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        close(fd);
        return refuse(EReadStatus::TooLarge, "the file is too large");
    }
    std::string data(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    for (;;) {
        // The file may grow while it is read: one byte past the bound is enough to know.
        if (got == data.size()) data.resize(std::min(maxBytes + 1, got + 65536));
        if (got == data.size()) break;
        const ssize_t n = read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            close(fd);
            return refuse(EReadStatus::Failed, std::strerror(err));
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    if (got > maxBytes) return refuse(EReadStatus::TooLarge, "the file is too large");
    data.resize(got);
    if (status) *status = EReadStatus::Ok;
    return data;
}
