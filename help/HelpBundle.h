#pragma once
// What the help window shows of a compiled help file, read out of the file by the separate
// "curvist-chm" process and handed over as bytes, so that a damaged file can crash or stall only
// that process, never the program.

#include "help/HelpContents.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// More than any manual needs; the helper stops collecting pages beyond it.
inline constexpr std::size_t kMaxHelpBundleBytes = 64u << 20;

class CHelpBundle {
  public:
    std::string m_strPath;
    std::string m_strTitle;
    std::string m_strDefaultTopic;
    std::vector<CHelpTopic> m_arContents;

    // Object paths match without regard to ASCII case, as inside the help file.
    void AddObject(const std::string& strPath, std::string bytes);
    std::optional<std::string> ReadObject(const std::string& strPath) const;
    const std::map<std::string, std::string>& Objects() const { return m_objects; }

    const std::string& GetPath() const { return m_strPath; }
    const std::string& GetTitle() const { return m_strTitle; }
    const std::string& GetDefaultTopic() const { return m_strDefaultTopic; }
    const std::vector<CHelpTopic>& GetContents() const { return m_arContents; }

  private:
    std::map<std::string, std::string> m_objects; // by lower-case path
};

// The hand-over between the helper and the window. Decoding takes anything and refuses what is
// not exactly an encoded bundle.
std::string EncodeHelpBundle(const CHelpBundle& bundle);
std::optional<CHelpBundle> DecodeHelpBundle(std::string_view bytes);
