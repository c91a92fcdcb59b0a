#include "help/HelpBundle.h"
#include "help/HelpLinks.h"
#include "help/HelpLoader.h"

#include <gtest/gtest.h>

namespace {

CHelpBundle Sample() {
    CHelpBundle b;
    b.m_strPath = "/opt/manual.chm";
    b.m_strTitle = "说明书";
    b.m_strDefaultTopic = "/index.html#top";
    b.m_arContents = {{"概述", "index.html", 0}, {"Heading", "", 0}, {"Deeper", "a/b.html", 2}};
    b.AddObject("/index.html", "<html>start</html>");
    b.AddObject("/a/B.html", std::string("bytes\0with a zero", 17));
    b.AddObject("/empty.css", "");
    return b;
}

// What the helper hands over arrives whole: title, topics, and every page by its path in any
// letter case, as inside the help file.
TEST(HelpBundle, RoundTripsAndFindsPagesWithoutRegardToCase) {
    const auto back = DecodeHelpBundle(EncodeHelpBundle(Sample()));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->GetTitle(), "说明书");
    EXPECT_EQ(back->GetDefaultTopic(), "/index.html#top");
    ASSERT_EQ(back->GetContents().size(), 3u);
    EXPECT_EQ(back->GetContents()[2].m_strLocal, "a/b.html");
    EXPECT_EQ(back->GetContents()[2].m_nLevel, 2);
    EXPECT_EQ(back->ReadObject("/A/b.HTML"), std::string("bytes\0with a zero", 17));
    EXPECT_EQ(back->ReadObject("/empty.css"), "");
    EXPECT_FALSE(back->ReadObject("/missing.html"));
}

// Anything but exactly a bundle is refused: every cut, a byte too many, a bundle whose first
// topic is not among its pages, and counts larger than the bytes could hold.
TEST(HelpBundle, RefusesEverythingElse) {
    const std::string good = EncodeHelpBundle(Sample());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeHelpBundle(good.substr(0, n))) << n;
    EXPECT_FALSE(DecodeHelpBundle(good + '\0'));
    CHelpBundle noTopic = Sample();
    noTopic.m_strDefaultTopic = "/gone.html";
    EXPECT_FALSE(DecodeHelpBundle(EncodeHelpBundle(noTopic)));
    std::string huge = good;
    const std::size_t at = std::string("CURVIST-HELP 1\n").size();
    huge.replace(at, 4, "\xFF\xFF\xFF\x7F");
    EXPECT_FALSE(DecodeHelpBundle(huge));
}

// The helper's side: the manual read through chmlib keeps every page the window may ask for.
TEST(HelpBundle, TheManualComesWithItsPages) {
    const auto b = ReadHelpBundle(CURVIST_MANUAL);
    ASSERT_TRUE(b.has_value());
    EXPECT_FALSE(b->GetContents().empty());
    for (const CHelpTopic& t : b->GetContents()) {
        if (t.m_strLocal.empty()) continue;
        EXPECT_TRUE(b->ReadObject(HelpObjectOf(ResolveHelpPath("/", t.m_strLocal))))
            << t.m_strLocal;
    }
    EXPECT_TRUE(b->ReadObject("/style.css"));
}

} // namespace
