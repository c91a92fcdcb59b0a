#include "document/DocumentFile.h"
#include "document/FunFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::unique_ptr<CDataFun> Fun(const std::string& text, COLORREF clr) {
    auto f = std::make_unique<CDataFun>();
    f->m_strFun = text;
    f->m_clrFun = clr;
    f->m_pNodes = std::make_unique<CNodeList>();
    CDataAnalyzeFun n;
    n.m_chOp = 'A';
    n.m_strLeft = ":";
    f->m_pNodes->Append(n);
    return f;
}

TEST(CurvistDoc, RecordDefaultsAndDomainTextRule) {
    const CDataFun f;
    EXPECT_EQ(f.m_pNodes, nullptr);
    EXPECT_EQ(f.m_dMin, -2.0e10);
    EXPECT_EQ(f.m_dMax, 2.0e10);
    EXPECT_EQ(f.m_strMin, "-\xA1\xDE");
    EXPECT_EQ(f.m_strMax, "+\xA1\xDE");
    EXPECT_EQ(f.m_bShow, 1);

    // The value follows the text only, whichever bound is set.
    struct {
        int side;
        const char* text;
        double value;
    } const cases[] = {
        {1, "-\xA1\xDE", -2.0e10}, {0, "+\xA1\xDE", 2.0e10},
        {0, "-2.5", -2.5},         {0, "-3.141592653589793", -3.141592653589793},
        {1, "12.", 12.0},
    };
    for (const auto& c : cases) {
        CDataFun g;
        g.SetDomain(c.side, c.text);
        EXPECT_EQ(c.side == 0 ? g.m_dMin : g.m_dMax, c.value) << c.text;
        EXPECT_EQ(c.side == 0 ? g.m_strMin : g.m_strMax, c.text);
        EXPECT_EQ(c.side == 0 ? g.m_strMax : g.m_strMin, c.side == 0 ? "+\xA1\xDE" : "-\xA1\xDE");
    }
}

TEST(CurvistDoc, ChangesMarkTheDocumentAndNewClearsIt) {
    CCurvistDoc doc;
    EXPECT_TRUE(doc.m_bResetOrigin);
    EXPECT_FALSE(doc.m_bRefillList);
    EXPECT_FALSE(doc.IsModified());
    doc.AppendFunction(Fun("x", 0xFF));
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.Editor().Delete(1));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.Editor().Delete(0));
    EXPECT_TRUE(doc.IsModified());

    doc.AppendFunction(Fun("x", 0xFF));
    doc.m_bResetOrigin = doc.m_bRefillList = false;
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.m_arFuns.empty());
    EXPECT_TRUE(doc.m_bResetOrigin && doc.m_bRefillList);
    EXPECT_FALSE(doc.IsModified());
}

class DocumentFile : public CTempDirTest {
  protected:
    std::string Path(const char* name) const { return Dir() + "/" + name; }
    void Write(const std::string& path, const std::string& bytes) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(m_dir.c_str())) {
            while (dirent* e = readdir(d))
                if (e->d_name[0] != '.' ||
                    (std::string(e->d_name) != "." && std::string(e->d_name) != ".."))
                    names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Dir() const { return m_dir.string(); }
};

TEST_F(DocumentFile, SaveThenLoadSetsTheViewFlagsAndClearsTheMark) {
    CCurvistDoc saved;
    saved.AppendFunction(Fun("x", 0xFF));
    saved.AppendFunction(Fun("sinx", 0xFF0000));
    std::string error;
    ASSERT_TRUE(SaveDocument(saved, Path("a.cvx"), &error)) << error;
    EXPECT_EQ(ReadWhole(Path("a.cvx")), WriteFunFile(saved.m_arFuns));
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.cvx"});

    CCurvistDoc doc;
    doc.AppendFunction(Fun("old", 0));
    doc.m_bResetOrigin = doc.m_bRefillList = false;
    ASSERT_TRUE(LoadDocument(doc, Path("a.cvx"), &error)) << error;
    ASSERT_EQ(doc.m_arFuns.size(), 2u);
    EXPECT_EQ(doc.m_arFuns[1]->m_strFun, "sinx");
    EXPECT_TRUE(doc.m_bResetOrigin && doc.m_bRefillList);
    EXPECT_FALSE(doc.IsModified());

    Write(Path("empty.cvx"), "");
    ASSERT_TRUE(LoadDocument(doc, Path("empty.cvx"), &error)) << error;
    EXPECT_TRUE(doc.m_arFuns.empty());
}

TEST_F(DocumentFile, FailedLoadLeavesTheDocumentAsItWas) {
    const std::string good = WriteFunFile([] {
        CFunArray funs;
        funs.push_back(Fun("x", 0xFF));
        funs.push_back(Fun("y", 0xFF00));
        return funs;
    }());
    Write(Path("cut.cvx"), good.substr(0, good.size() - 1));
    Write(Path("class.cvx"), std::string("\x01\x00\xFF\xFF\x01\x00\x03\x00"
                                         "Foo",
                                         11));

    for (const char* name : {"cut.cvx", "class.cvx", "missing.cvx", ""}) {
        CCurvistDoc doc;
        doc.AppendFunction(Fun("mine", 0xFF));
        const CDataFun* before = doc.m_arFuns[0].get();
        doc.m_bResetOrigin = doc.m_bRefillList = false;
        std::string error;
        EXPECT_FALSE(LoadDocument(doc, Path(name), &error)) << name;
        EXPECT_NE(error.find(Path(name)), std::string::npos) << error;
        ASSERT_EQ(doc.m_arFuns.size(), 1u);
        EXPECT_EQ(doc.m_arFuns[0].get(), before);
        EXPECT_EQ(doc.m_arFuns[0]->m_strFun, "mine");
        EXPECT_TRUE(doc.IsModified());
        EXPECT_FALSE(doc.m_bResetOrigin || doc.m_bRefillList);
    }
}

TEST_F(DocumentFile, FailedSaveLeavesTheOldFileAndNoLeftovers) {
    CCurvistDoc doc;
    for (int i = 0; i < 50; ++i)
        doc.AppendFunction(Fun("x+" + std::to_string(i), 0xFF));
    const std::string old = "the old contents";
    Write(Path("a.cvx"), old);

    // The disk fills after some bytes, or a write reports nothing written at all.
    for (std::size_t limit : {std::size_t(0), std::size_t(100)}) {
        std::size_t written = 0;
        const CWriteFn failing = [&](int fd, const char* data, std::size_t n) -> long {
            if (written >= limit) {
                errno = ENOSPC;
                return -1;
            }
            const std::size_t k = std::min(n, limit - written);
            const long r = ::write(fd, data, std::min<std::size_t>(k, 7));
            if (r > 0) written += static_cast<std::size_t>(r);
            return r;
        };
        std::string error;
        EXPECT_FALSE(SaveDocument(doc, Path("a.cvx"), &error, failing));
        EXPECT_NE(error.find(Path("a.cvx")), std::string::npos) << error;
        EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
        EXPECT_EQ(ReadWhole(Path("a.cvx")), old);
        EXPECT_EQ(Entries(), std::vector<std::string>{"a.cvx"});
    }

    std::string error;
    EXPECT_FALSE(SaveDocument(doc, Path("no/such/dir.cvx"), &error));
    EXPECT_NE(error.find("no/such/dir.cvx"), std::string::npos) << error;
    // Short writes are resumed, not mistaken for failures.
    const CWriteFn shortWrites = [](int fd, const char* data, std::size_t n) -> long {
        return ::write(fd, data, std::min<std::size_t>(n, 3));
    };
    ASSERT_TRUE(SaveDocument(doc, Path("a.cvx"), &error, shortWrites)) << error;
    EXPECT_EQ(ReadWhole(Path("a.cvx")), WriteFunFile(doc.m_arFuns));
}

TEST_F(DocumentFile, SaveThroughASymbolicLinkKeepsTheLink) {
    Write(Path("real.cvx"), "old");
    ASSERT_EQ(symlink("real.cvx", Path("link.cvx").c_str()), 0);
    CCurvistDoc doc;
    doc.AppendFunction(Fun("x", 0xFF));
    std::string error;
    ASSERT_TRUE(SaveDocument(doc, Path("link.cvx"), &error)) << error;
    char target[64] = {};
    EXPECT_GT(readlink(Path("link.cvx").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "real.cvx");
    EXPECT_EQ(ReadWhole(Path("real.cvx")), WriteFunFile(doc.m_arFuns));
}

} // namespace
