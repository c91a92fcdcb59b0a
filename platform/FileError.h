#pragma once
// Why a file could not be read or written, in the words the window shows. The command line
// keeps its English technical messages; the window leads with one of these Chinese reasons.

#include <cstddef>
#include <string>

enum class EFileError {
    NotFound,     // the file does not exist
    NoFolder,     // the folder to save into does not exist
    NoPermission, // the user may not read or write it
    DiskFull,     // no space (or quota) left
    ReadOnlyDisk, // the file system is mounted read-only
    IsFolder,     // the name is a folder
    NotRegular,   // a FIFO, a device or a socket: no file to read or replace
    TooLarge,     // larger than any real document
    Damaged,      // read, but not a function file
    Other,        // anything else: the technical detail says what
};

// The reason for an errno value from a failed open, read, write, sync or rename.
EFileError FileErrorFromErrno(int err);

// The Chinese reason, UTF-8, without a final stop: "文件已损坏".
const char* FileErrorReason(EFileError e);

// Whether the technical detail (errno text, byte offset) tells the user more than the reason.
bool FileErrorNeedsDetail(EFileError e);

// Looks again at a file that could not be read whole (at most maxBytes): what stands in the way
// of reading it, or Damaged when its bytes can be read and so the content was refused.
EFileError DiagnoseReadFailure(const std::string& path, std::size_t maxBytes);

// Looks again at a file that could not be saved: a missing folder, a folder or file the user
// may not write, a full or read-only disk; Other when none of these shows. err, when known, is
// the errno of the failure, which tells more than the disk does once the write has given up
// (a temporary file removed after a full disk leaves room again).
EFileError DiagnoseWriteFailure(const std::string& path, int err = 0);
