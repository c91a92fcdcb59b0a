#pragma once
// Open and Save of the document as a function file.

#include "document/CurvistDoc.h"
#include "platform/AtomicFile.h"

#include <cstddef>
#include <string>

// Function files beyond this size are refused rather than read.
inline constexpr std::size_t kMaxFunFileBytes = 256u << 20;

// Reads and parses the whole file first; only then does the document take the new records
// (flags set for the view, modified mark cleared). On failure the document is untouched and
// *error names the file and the failure.
bool LoadDocument(CCurvistDoc& doc, const std::string& path, std::string* error);

// Writes the document so that the file is replaced only once every byte is on disk; a failed
// save leaves the old file as it was. The caller clears the modified mark on success.
bool SaveDocument(const CCurvistDoc& doc, const std::string& path, std::string* error,
                  const CWriteFn& write = {}, CWriteReport* report = nullptr);
