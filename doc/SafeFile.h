#pragma once
// Whole-file reading and replace-only-when-complete writing.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Writes up to n bytes to the descriptor and returns how many, or -1 with errno set, like
// POSIX write. Tests pass one that fails part-way.
using CWriteFn = std::function<long(int fd, const char* data, std::size_t n)>;

// Writes the bytes to a new file beside `path`, flushes it to disk and only then renames it over
// `path`. On any failure the old file is left exactly as it was, the new one is removed, and
// *error (if given) names the file and the failure. A symbolic link is followed, not replaced.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const CWriteFn& write = {});

// The whole file, or nothing with *error naming the file and the failure. A file larger than
// maxBytes is refused rather than read.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         std::string* error);
