#pragma once
// Reading a whole file within a bound, and replacing a file only once its new bytes are complete.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Writes up to n bytes to the descriptor and returns how many, or -1 with errno set, like
// POSIX write. Tests pass one that fails part-way.
using CWriteFn = std::function<long(int fd, const char* data, std::size_t n)>;

// Replaces the file at `path` with `bytes` and keeps the file system's rules:
// - normally a new file beside it is written, flushed and renamed over it (then the folder is
//   flushed), so a failure at any point leaves the old file exactly as it was;
// - a file the user may not write, or that is no regular file, is refused and left alone;
// - a symbolic link is followed: its final target is written and the link kept, also when the
//   target does not exist yet;
// - where the folder takes no new file but the file itself is writable, the bytes are written
//   into the file in place, which keeps its owner, mode and other links. The whole new size is
//   reserved first, so a full disk fails before the old bytes change, and a copy of the old
//   file waits in the backup folder (BackupFolder) until the new bytes are on disk;
// - temporary files that saves of dead processes left in the folder are removed.
// On failure *error (if given) names the file and the reason, and *report (if given) holds the
// errno and, when a copy of the old file was kept, its path.
struct CWriteReport {
    int nErrno = 0;
    std::string strBackup;
};
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const CWriteFn& write = {}, CWriteReport* report = nullptr);

// Where copies of files written in place wait, with a trailing '/': $XDG_STATE_HOME/curvist/
// backup/ when that is absolute, otherwise $HOME/.local/state/curvist/backup/; empty when
// neither is known. The folder keeps at most kBackupCount copies and kBackupBytes in all.
std::string BackupFolder();
inline constexpr std::size_t kBackupCount = 16;
inline constexpr std::size_t kBackupBytes = std::size_t{1} << 30;

enum class EReadStatus { Ok, Missing, NotRegular, TooLarge, Failed };

// The whole of a regular file of at most maxBytes. Anything else (a FIFO, a device, a folder, a
// larger file) is refused without blocking or reading past the bound; *error names the file and
// the reason.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         std::string* error, EReadStatus* status = nullptr);
