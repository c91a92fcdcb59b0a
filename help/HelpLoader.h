#pragma once
// Reading a compiled HTML help file (.chm): its objects, its default topic, its title and its
// table of contents, through chmlib. chmlib can crash or loop on a damaged file whatever we check
// first, so the program uses this only inside the curvist-chm process (see HelpBundle.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct chmFile;
struct chmUnitInfo;

// One entry of the table of contents.
struct CHelpTopic {
    std::string m_strName;  // UTF-8
    std::string m_strLocal; // the object it opens, as written ("a.html#part"); empty for a heading
    int m_nLevel = 0;       // 0 for the top level
};

class CHelpLoader {
  public:
    CHelpLoader() = default;
    ~CHelpLoader();
    CHelpLoader(const CHelpLoader&) = delete;
    CHelpLoader& operator=(const CHelpLoader&) = delete;

    // Opens the file and finds the topic to show first. False, with nothing kept open, when
    // the file is missing or unreadable, is no compiled help file, or has no readable topic.
    bool Open(const std::string& strPath);
    void Close();
    bool IsOpen() const { return m_pChm != nullptr; }

    // The bytes of an object at an absolute path inside the file ("/index.html"); nothing when
    // it is absent, implausibly large or cannot be read in full.
    std::optional<std::string> ReadObject(const std::string& strPath) const;
    // The absolute paths of all ordinary files in the archive (no system objects).
    std::vector<std::string> ListObjects() const;

    const std::string& GetPath() const { return m_strPath; }
    // UTF-8; empty when the file names no title.
    const std::string& GetTitle() const { return m_strTitle; }
    // Absolute object path of the first topic, possibly with a "#fragment".
    const std::string& GetDefaultTopic() const { return m_strDefaultTopic; }
    const std::vector<CHelpTopic>& GetContents() const { return m_arContents; }

  private:
    bool Resolve(const std::string& strPath, chmUnitInfo& ui) const;
    void ReadSystem(std::string& strTopic, std::string& strContents);
    std::string FindDefaultTopic(const std::string& strFromSystem) const;
    std::optional<std::uint64_t> CheckResetTable() const;

    chmFile* m_pChm = nullptr;
    std::string m_strPath;
    std::string m_strTitle;
    std::string m_strDefaultTopic;
    std::vector<CHelpTopic> m_arContents;
    std::optional<std::uint64_t> m_nExpandedSize; // of the compressed section
};

// The entries of a sitemap (.hhc) in document order, names converted to UTF-8.
std::vector<CHelpTopic> ParseSitemap(std::string_view strHtml);

// Resolves a link found in the object at strBase ("/dir/page.html") to an absolute object path:
// "." and ".." are applied, backslashes become slashes, "ms-its:file.chm::/x" style prefixes are
// dropped; a "#fragment" is kept, a "?query" dropped.
std::string ResolveHelpPath(std::string_view strBase, std::string_view strHref);
// The object part of a path: everything before '#'.
std::string HelpObjectOf(std::string_view strPath);

// Help files written for a Chinese system hold GBK text; ours are UTF-8. Valid UTF-8 is kept,
// anything else is read as code page 936.
std::string HelpTextToUtf8(std::string_view strBytes);
