#pragma once
// The function file (".cvx"): a count-prefixed array of records, each a class tag (full on its
// first use, a back reference afterwards) and the record's fields, all little-endian, byte for
// byte the layout that existing ".cvx" files have.

#include "document/CurvistDoc.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The whole file for these records. An empty array gives the two bytes 00 00.
std::string WriteFunFile(const CFunArray& funs);

struct CFunFileError {
    std::string m_strMessage; // names the failure and its byte offset
    std::size_t m_nOffset = 0;
};

// Node lists are kept as stored (never compiled again), each node with its stored result.
// Anything this program would not write is refused: early end, unknown class, schema other
// than 1, null or back-referenced object, a node where a record belongs or the reverse, and
// counts or string lengths beyond the bytes left. No byte is read twice and nothing recurses,
// so time and memory stay in proportion to the file. Empty input is an empty document; bytes
// after the last record are ignored.
std::optional<CFunArray> ReadFunFile(std::string_view bytes, CFunFileError* error = nullptr);

// A longer node list than this is refused as damaged. The compiler never builds more than about
// fifty nodes for one function; every node is evaluated at every plotted point, so a file of
// needlessly long lists would freeze drawing out of all proportion to its size.
inline constexpr std::size_t kMaxFileNodes = 256;
