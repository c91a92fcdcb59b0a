#include "help/HelpContents.h"
#include "help/HelpLinks.h"
#include "help/HelpLoader.h"
#include "platform/Cp936.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A scratch directory of its own for each test.
class HelpFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                (std::string("curvist_help_") + info->name() + "_" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Put(const std::string& name, const std::string& bytes) {
        WriteFile(m_dir / name, bytes);
        return (m_dir / name).string();
    }
    fs::path m_dir;
};

TEST(ResolveHelpPath, LinksResolveInsideTheFile) {
    const struct {
        const char* base;
        const char* href;
        const char* expected;
    } cases[] = {
        {"/", "index.html", "/index.html"},
        {"/a/b.html", "c.html", "/a/c.html"},
        {"/a/b.html", "../c.html#part", "/c.html#part"},
        {"/a/b.html#old", "#part", "/a/b.html#part"},
        {"/a/b.html", "./img/p.png?v=1", "/a/img/p.png"},
        {"/a/b.html", "/top.html", "/top.html"},
        {"/", "..\\..\\x.html", "/x.html"}, // never above the root
        {"/", "a//./b/../c.html", "/a/c.html"},
        {"/", "b%20c.html", "/b c.html"},
        {"/", "ms-its:manual.chm::/panel.html", "/panel.html"},
        {"/", "mk:@MSITStore:C:\\help\\x.chm::/a/b.htm", "/a/b.htm"},
        {"/", "http://example.org/", ""},
        {"/", "mailto:someone@example.org", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveHelpPath(c.base, c.href), c.expected) << c.base << " + " << c.href;
    EXPECT_EQ(HelpObjectOf("/a.html#x"), "/a.html");
    EXPECT_EQ(HelpObjectOf("/a.html"), "/a.html");
}

TEST(HelpTextToUtf8, KeepsUtf8AndConvertsGbk) {
    const std::string utf8 = "函数作图器说明书";
    EXPECT_EQ(HelpTextToUtf8(utf8), utf8);
    EXPECT_EQ(HelpTextToUtf8(Utf8ToCp936(utf8)), utf8);
    EXPECT_EQ(HelpTextToUtf8("\xEF\xBB\xBF"
                             "abc"),
              "abc");
    // An overlong form is no UTF-8 and must not pass as such.
    EXPECT_NE(HelpTextToUtf8("\xC0\xAF"), "\xC0\xAF");
}

TEST(ParseSitemap, EntriesLevelsAndAttributeForms) {
    const std::string sitemap = R"(<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">
<HTML><BODY>
<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>
<!-- <OBJECT type="text/sitemap"><param name="Name" value="commented out"></OBJECT> -->
<UL>
  <LI><OBJECT type="text/sitemap">
      <param name="Name" value="首页">
      <param name="Local" value="index.html">
      </OBJECT>
  <UL>
    <li><object TYPE='text/sitemap'><PARAM NAME='Local' VALUE='a.html#x'><param name=Name value=A&amp;B></object>
    <UL>
      <LI><OBJECT type="text/sitemap"><param name="Name" value="深"><param name="Name" value="second name"><param name="Local" value="deep.html"></OBJECT>
    </UL>
  </UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="只有标题"></OBJECT>
  <LI><OBJECT type="text/sitemap"><param name="Local" value="nameless.html"></OBJECT>
</UL>
</BODY></HTML>)";
    const struct {
        const char* name;
        const char* local;
        int level;
    } expected[] = {{"首页", "index.html", 0},
                    {"A&B", "a.html#x", 1},
                    {"深", "deep.html", 2},
                    {"只有标题", "", 0},
                    {"nameless.html", "nameless.html", 0}};
    for (const std::string& text : {sitemap, Utf8ToCp936(sitemap)}) {
        const std::vector<CHelpTopic> topics = ParseSitemap(text);
        ASSERT_EQ(topics.size(), std::size(expected));
        for (std::size_t i = 0; i < topics.size(); ++i) {
            EXPECT_EQ(topics[i].m_strName, expected[i].name) << i;
            EXPECT_EQ(topics[i].m_strLocal, expected[i].local) << i;
            EXPECT_EQ(topics[i].m_nLevel, expected[i].level) << i;
        }
    }
    EXPECT_TRUE(ParseSitemap("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name").empty());
}

// The manual as the build placed it beside the executables.
class ManualTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_loader.Open(CURVIST_MANUAL)) << CURVIST_MANUAL; }
    CHelpLoader m_loader;
};

TEST_F(ManualTest, OpensOnItsStartPageWithTitleAndContents) {
    EXPECT_EQ(m_loader.GetTitle(), "函数作图器说明书");
    EXPECT_EQ(m_loader.GetDefaultTopic(), "/index.html");
    const auto page = m_loader.ReadObject("/index.html");
    ASSERT_TRUE(page);
    EXPECT_NE(page->find("<title>欢迎使用 Lumivo函数作图器</title>"), std::string::npos);

    const std::vector<CHelpTopic>& contents = m_loader.GetContents();
    ASSERT_FALSE(contents.empty());
    EXPECT_EQ(contents.front().m_strName, "欢迎使用");
    EXPECT_EQ(contents.front().m_strLocal, "index.html");
    std::set<std::string> pages;
    for (const CHelpTopic& t : contents) {
        if (t.m_nLevel == 0) pages.insert(HelpObjectOf(t.m_strLocal));
    }
    EXPECT_EQ(pages, (std::set<std::string>{"index.html", "expressions.html", "panel.html",
                                            "navigation.html", "display.html", "files.html",
                                            "picture.html", "shortcuts.html"}));
}

// Every entry of the contents, every link and every image of every page lands on an object of
// the file, and every "#part" on an anchor of its page.
TEST_F(ManualTest, ContentsLinksAndImagesAllResolve) {
    auto expectTarget = [this](const std::string& target, const std::string& from) {
        const std::string object = HelpObjectOf(target);
        const auto bytes = m_loader.ReadObject(object);
        ASSERT_TRUE(bytes) << target << " (from " << from << ")";
        if (const std::size_t hash = target.find('#'); hash != std::string::npos) {
            const std::string anchor = "name=\"" + target.substr(hash + 1) + "\"";
            EXPECT_NE(bytes->find(anchor), std::string::npos) << target << " (from " << from << ")";
        }
    };
    for (const CHelpTopic& t : m_loader.GetContents())
        expectTarget(ResolveHelpPath("/", t.m_strLocal), "contents");

    const std::regex link(R"re((?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    int nPages = 0;
    int nLinks = 0;
    for (const std::string& object : m_loader.ListObjects()) {
        if (object.size() < 5 || object.substr(object.size() - 5) != ".html") continue;
        ++nPages;
        const std::string page = *m_loader.ReadObject(object);
        EXPECT_EQ(HelpTextToUtf8(page), page) << object << " is no UTF-8";
        EXPECT_NE(page.find("<title>"), std::string::npos) << object;
        for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
            ++nLinks;
            const std::string target = ResolveHelpPath(object, (*it)[1].str());
            EXPECT_FALSE(target.empty()) << (*it)[1] << " in " << object << " leaves the file";
            if (!target.empty()) expectTarget(target, object);
        }
    }
    EXPECT_EQ(nPages, 8);
    EXPECT_GT(nLinks, 30);
}

TEST_F(HelpFileTest, DefaultTopicFallsBackToContentsThenIndex) {
    const std::string dir = CURVIST_HELP_FIXTURES;
    CHelpLoader loader;
    // No default topic named: the first entry of the contents (a GBK sitemap) comes first.
    ASSERT_TRUE(loader.Open(dir + "/toc_first.chm"));
    EXPECT_EQ(loader.GetDefaultTopic(), "/second.html#part");
    ASSERT_FALSE(loader.GetContents().empty());
    EXPECT_EQ(loader.GetContents().front().m_strName, "第二页");
    // Neither a default topic nor contents: index.html.
    ASSERT_TRUE(loader.Open(dir + "/index_only.chm"));
    EXPECT_EQ(loader.GetDefaultTopic(), "/index.html");
    EXPECT_TRUE(loader.GetContents().empty());
    // Nothing to show first: refused, and nothing of the previous file stays.
    EXPECT_FALSE(loader.Open(dir + "/no_topic.chm"));
    EXPECT_FALSE(loader.IsOpen());
    EXPECT_TRUE(loader.GetDefaultTopic().empty());
    EXPECT_FALSE(loader.ReadObject("/index.html"));
}

TEST_F(HelpFileTest, MissingUnreadableAndGarbageFilesAreRefused) {
    std::mt19937 rng(7);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(rng());
    const std::string manual = ReadFile(CURVIST_MANUAL);
    const std::string paths[] = {
        (m_dir / "absent.chm").string(),
        m_dir.string(), // a directory
        Put("empty.chm", ""),
        Put("noise.chm", noise),
        Put("itsf_noise.chm", "ITSF" + noise),
        Put("header_only.chm", manual.substr(0, 0x60)),
        Put("half.chm", manual.substr(0, manual.size() / 2)),
        Put("text.chm", "<html><body>not compiled</body></html>"),
    };
    for (const std::string& path : paths) {
        CHelpLoader loader;
        EXPECT_FALSE(loader.Open(path)) << path;
        EXPECT_FALSE(loader.IsOpen());
    }
}

// A damaged manual never crashes the reader: each prefix of the file, and seeded random
// changes of a few bytes (most of them in the header and directory, where chmlib trusts what it
// reads). Whenever the file still opens, its default topic reads in full.
TEST_F(HelpFileTest, DamagedManualNeverCrashes) {
    const std::string manual = ReadFile(CURVIST_MANUAL);
    ASSERT_GT(manual.size(), 20000u);
    const std::string path = (m_dir / "damaged.chm").string();
    auto check = [&path](const std::string& bytes, const std::string& what) {
        WriteFile(path, bytes);
        CHelpLoader loader;
        if (!loader.Open(path)) return;
        EXPECT_TRUE(loader.ReadObject(HelpObjectOf(loader.GetDefaultTopic()))) << what;
        for (const std::string& object : loader.ListObjects())
            loader.ReadObject(object);
    };
    for (std::size_t len = 0; len < manual.size(); len += 211)
        check(manual.substr(0, len), "prefix");

    std::mt19937 rng(20240611);
    for (int i = 0; i < 400; ++i) {
        std::string bytes = manual;
        const std::size_t region =
            i % 2 ? bytes.size() : std::min<std::size_t>(bytes.size(), 20000);
        for (unsigned k = 0, n = 1 + rng() % 8; k < n; ++k)
            bytes[rng() % region] = static_cast<char>(rng());
        check(bytes, "mutation " + std::to_string(i));
    }
}

} // namespace
