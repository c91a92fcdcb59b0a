#pragma once
// The table of contents and the text of a help file: its sitemap (.hhc) read into topics, and
// its bytes read as UTF-8 whatever code page they were written in.

#include <string>
#include <string_view>
#include <vector>

// One entry of the table of contents.
struct CHelpTopic {
    std::string m_strName;  // UTF-8
    std::string m_strLocal; // the object it opens, as written ("a.html#part"); empty for a heading
    int m_nLevel = 0;       // 0 for the top level
};

// The entries of a sitemap (.hhc) in document order, names converted to UTF-8.
std::vector<CHelpTopic> ParseSitemap(std::string_view strHtml);

// Help files written for a Chinese system hold GBK text; ours are UTF-8. Valid UTF-8 is kept,
// anything else is read as code page 936.
std::string HelpTextToUtf8(std::string_view strBytes);

// ASCII letters without regard to case, as names inside help files compare.
bool HelpEqualsNoCase(std::string_view a, std::string_view b);
