#pragma once
// The compiled HTML help file (.chm) archive reader: its objects, its default topic, its title
// and its table of contents, through chmlib, after a check of what chmlib reads first. The only
// code that links chmlib. chmlib can crash or loop on a damaged file whatever we check
// first, so the program uses this only inside the curvist-chm process (see HelpBundle.h).

#include "help/HelpContents.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CHelpBundle;
struct chmFile;
struct chmUnitInfo;

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

// Reads the file through chmlib: its title, topics and every ordinary object. Runs only in the
// helper process. Nothing when CHelpLoader::Open refuses the file.
std::optional<CHelpBundle> ReadHelpBundle(const std::string& strPath);
