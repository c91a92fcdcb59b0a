#include "platform/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool SetError(std::string* error, const char* verb, const std::string& path, const char* why) {
    if (error) *error = std::string("cannot ") + verb + " \"" + path + "\": " + why;
    return false;
}

// The reason from an errno value, also kept for the caller to classify.
bool WriteError(std::string* error, CWriteReport* report, const std::string& path, int err) {
    if (report) report->nErrno = err;
    return SetError(error, "write", path, std::strerror(err));
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

int WriteAll(int fd, std::string_view bytes, const CWriteFn& write);

bool AllDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The temporary files OpenTemp names (".NAME.PID.N.tmp") whose process is gone, and which belong
// to this user, are what a killed save left behind.
void RemoveDeadTemps(const std::string& dir) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    const pid_t self = getpid();
    while (const dirent* e = readdir(d)) {
        const std::string_view name = e->d_name;
        if (name.size() < 9 || name.front() != '.' || !name.ends_with(".tmp")) continue;
        const std::string_view body = name.substr(0, name.size() - 4);
        const std::size_t serialDot = body.rfind('.');
        if (serialDot == std::string_view::npos || !AllDigits(body.substr(serialDot + 1))) continue;
        const std::string_view rest = body.substr(0, serialDot);
        const std::size_t pidDot = rest.rfind('.');
        if (pidDot == std::string_view::npos || pidDot < 2 || !AllDigits(rest.substr(pidDot + 1)) ||
            rest.size() - pidDot > 10)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(std::string(rest.substr(pidDot + 1))));
        if (pid <= 0 || pid == self || kill(pid, 0) == 0 || errno != ESRCH) continue;
        struct stat st;
        if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != geteuid())
            continue;
        unlinkat(dirfd(d), e->d_name, 0);
    }
    closedir(d);
}

bool MakeFolders(const std::string& dir) {
    for (std::size_t at = 1; at <= dir.size(); ++at) {
        if (at != dir.size() && dir[at] != '/') continue;
        const std::string part = dir.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Makes room for one more copy of `need` bytes: the oldest copies go first.
void PruneBackups(const std::string& folder, std::size_t need) {
    struct CCopy {
        std::string path;
        std::time_t when;
        std::size_t size;
    };
    std::vector<CCopy> copies;
    std::size_t total = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d)) {
            struct stat st;
            if (e->d_name[0] == '.' ||
                fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
                continue;
            copies.push_back(
                {folder + e->d_name, st.st_mtime, static_cast<std::size_t>(st.st_size)});
            total += copies.back().size;
        }
        closedir(d);
    }
    std::sort(copies.begin(), copies.end(),
              [](const CCopy& a, const CCopy& b) { return a.when < b.when; });
    for (const CCopy& c : copies) {
        if (copies.size() - (&c - copies.data()) < kBackupCount && total + need <= kBackupBytes)
            break;
        if (unlink(c.path.c_str()) == 0) total -= c.size;
    }
}

// Copies the file at `target` (of `size` bytes) into the backup folder and syncs the copy; its
// path, or empty with errno set.
std::string KeepBackup(const std::string& target, std::size_t size) {
    const std::string folder = BackupFolder();
    if (folder.empty()) {
        errno = ENOENT;
        return {};
    }
    if (size > kBackupBytes) {
        errno = EFBIG;
        return {};
    }
    if (!MakeFolders(folder)) return {};
    PruneBackups(folder, size);
    const int in = open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0) return {};
    static std::atomic<unsigned> serial{0};
    const std::string base = target.substr(DirOf(target).size());
    std::string copy;
    int out = -1;
    for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
        copy = folder + base + "." + std::to_string(std::time(nullptr)) + "." +
               std::to_string(getpid()) + "." + std::to_string(serial++);
        out = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST) break;
    }
    int err = out < 0 ? errno : 0;
    // Only the old bytes: the file may already be longer by the space reserved for the new ones.
    std::vector<char> buf(1 << 20);
    for (std::size_t left = size; !err && left > 0;) {
        const ssize_t n = read(in, buf.data(), std::min(buf.size(), left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            break;
        }
        left -= static_cast<std::size_t>(n);
        err = WriteAll(out, std::string_view(buf.data(), static_cast<std::size_t>(n)), {});
    }
    if (!err && fsync(out) != 0) err = errno;
    close(in);
    if (out >= 0 && close(out) != 0 && !err) err = errno;
    if (err) {
        if (out >= 0) unlink(copy.c_str());
        errno = err;
        return {};
    }
    // The copy's name must survive a crash as well as its bytes.
    const int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return copy;
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

// Reserves the bytes [from, size) of the file without touching the ones before: through the
// file system where it can, else by writing that tail of the new bytes. 0 or the errno.
int Reserve(int fd, std::string_view bytes, std::size_t from) {
    if (bytes.size() <= from) return 0;
    const int r = posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    if (r != EOPNOTSUPP && r != EINVAL) return r;
    for (std::size_t done = from; done < bytes.size();) {
        const ssize_t n =
            pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return fsync(fd) != 0 ? errno : 0;
}

// Only used where no new file can be made beside the old one: the file keeps its inode, and
// with it its owner, mode and hard links. A full disk shows while the space is reserved, before
// the old bytes change; a copy of them waits in the backup folder until the new ones are synced,
// so a kill part-way leaves something to recover.
bool WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes,
                  std::string* error, const CWriteFn& write, CWriteReport* report) {
    // Non-blocking, so that a FIFO put in the file's place meanwhile is refused, not waited on.
    const int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return WriteError(error, report, path, errno);
    struct stat st {};
    const bool bStat = fstat(fd, &st) == 0;
    if (!bStat || !S_ISREG(st.st_mode)) {
        const int err = errno;
        close(fd);
        return bStat ? SetError(error, "write", path, "is not a regular file")
                     : WriteError(error, report, path, err);
    }
    fcntl(fd, F_SETFL, 0);
    const std::size_t oldSize = static_cast<std::size_t>(st.st_size);
    auto giveUp = [&](int err, const char* why) {
        if (ftruncate(fd, static_cast<off_t>(oldSize)) == 0) fsync(fd);
        close(fd);
        if (report) report->nErrno = err;
        return SetError(error, "write", path, why ? why : std::strerror(err));
    };
    if (const int err = Reserve(fd, bytes, oldSize)) return giveUp(err, nullptr);
    const std::string backup = KeepBackup(target, oldSize);
    if (backup.empty()) {
        const int err = errno;
        const std::string why = std::string("cannot keep a copy of the old file in \"") +
                                BackupFolder() +
                                "\" while it is written in place: " + std::strerror(err);
        // Not the document's disk or rights that failed: the caller classifies no errno.
        return giveUp(0, why.c_str());
    }
    int err = lseek(fd, 0, SEEK_SET) < 0 ? errno : WriteAll(fd, bytes, write);
    if (!err && ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) err = errno;
    if (!err && fsync(fd) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (err) {
        if (report) {
            report->nErrno = err;
            report->strBackup = backup;
        }
        const std::string why =
            std::string(std::strerror(err)) + "; the old file is kept in \"" + backup + "\"";
        return SetError(error, "write", path, why.c_str());
    }
    unlink(backup.c_str());
    return true;
}

} // namespace

std::string BackupFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/curvist/backup/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/curvist/backup/";
    return {};
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const CWriteFn& write, CWriteReport* report) {
    std::string target;
    if (!FinalTarget(path, target)) return WriteError(error, report, path, errno);
    struct stat old;
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed) {
        if (S_ISDIR(old.st_mode)) return SetError(error, "write", path, "is a directory");
        if (!S_ISREG(old.st_mode)) return SetError(error, "write", path, "is not a regular file");
        // Renaming over a protected file would replace it without a word.
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return WriteError(error, report, path, errno);
    }
    RemoveDeadTemps(DirOf(target));

    std::string temp;
    const int fd = OpenTemp(target, temp);
    if (fd < 0) {
        const int err = errno;
        if (existed && (err == EACCES || err == EPERM))
            return WriteInPlace(path, target, bytes, error, write, report);
        return WriteError(error, report, path, err);
    }
    auto fail = [&](int err) {
        close(fd);
        unlink(temp.c_str());
        return WriteError(error, report, path, err);
    };
    if (existed) {
        // The new file takes the old one's owner and group; who cannot give them writes in place.
        struct stat mine;
        if (fstat(fd, &mine) != 0) return fail(errno);
        if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
            fchown(fd, old.st_uid, old.st_gid) != 0) {
            close(fd);
            unlink(temp.c_str());
            return WriteInPlace(path, target, bytes, error, write, report);
        }
        if (fchmod(fd, old.st_mode & 07777) != 0) return fail(errno);
    }
    if (const int err = WriteAll(fd, bytes, write)) return fail(err);
    if (fsync(fd) != 0) return fail(errno);
    if (close(fd) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return WriteError(error, report, path, err);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return WriteError(error, report, path, err);
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
