#pragma once
// Links between the pages of a help file, resolved to the object paths inside the archive.

#include <string>
#include <string_view>

// Resolves a link found in the object at strBase ("/dir/page.html") to an absolute object path:
// "." and ".." are applied, backslashes become slashes, "ms-its:file.chm::/x" style prefixes are
// dropped; a "#fragment" is kept, a "?query" dropped.
std::string ResolveHelpPath(std::string_view strBase, std::string_view strHref);
// The object part of a path: everything before '#'.
std::string HelpObjectOf(std::string_view strPath);
