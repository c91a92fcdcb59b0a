#include "RunTool.h"
#include "TempDir.h"

#include "document/FunFile.h"
#include "expr/FunCompiler.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CliDocument : public CTempDirTest {
  protected:
    std::string Path(const char* name) const { return Dir() + "/" + name; }
    void Write(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string Dir() const { return m_dir.string(); }
};

TEST_F(CliDocument, SaveThenListAndAppendWithTheNextFreeColours) {
    const CToolRun saved = RunTool({"--save", Path("a.cvx"), "sin(x)", "x", "1/x"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    const std::string file = ReadWhole(Path("a.cvx"));
    auto funs = ReadFunFile(file);
    ASSERT_TRUE(funs && funs->size() == 3u);

    const CToolRun r = RunTool({"--file", Path("a.cvx"), "--list", "x^2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 Y=sin(x) 红色 shown -∞ +∞\n"
                     "1 Y=x 黄色 shown -∞ +∞\n"
                     "2 Y=1/x 蓝色 shown -∞ +∞\n"
                     "3 Y=x^2 绿色 shown -∞ +∞\n");
    // Re-saving a loaded document reproduces its bytes.
    ASSERT_EQ(RunTool({"--file", Path("a.cvx"), "--save", Path("b.cvx")}).status, 0);
    EXPECT_EQ(ReadWhole(Path("b.cvx")), file);
}

TEST_F(CliDocument, LoadedFunctionsRunAsStored) {
    // The stored text no longer compiles and differs from the list; the list is what runs.
    CFunArray funs;
    funs.push_back(std::make_unique<CDataFun>());
    funs[0]->SetFunction("2x", CheckFunText("x*x").pNodes);
    funs[0]->m_clrFun = 0x00123456;
    funs[0]->m_bShow = 0;
    funs[0]->SetDomain(0, "-2.5");
    Write(Path("a.cvx"), WriteFunFile(funs));

    const CToolRun r = RunTool({"--file", Path("a.cvx"), "--list", "--nodes", "--eval", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 Y=2x 0x00123456 hidden -2.5 +∞\n"
                     "a * : :\n"
                     "9\n");
}

TEST_F(CliDocument, UnreadableOrUnwritableFilesExitThreeAndKeepTheOutput) {
    Write(Path("bad.cvx"), std::string("\x01\x00\xFF\xFF\x01\x00\x03\x00", 8) + "Foo");
    Write(Path("out.cvx"), "precious");
    struct {
        std::vector<std::string> args;
        std::string named;
    } const cases[] = {
        {{"--file", Path("missing.cvx"), "--save", Path("out.cvx")}, Path("missing.cvx")},
        {{"--file", Path("bad.cvx"), "--save", Path("out.cvx")}, Path("bad.cvx")},
        {{"--file", Dir(), "--list"}, Dir()},
        {{"--save", Path("no/dir/out.cvx"), "x"}, Path("no/dir/out.cvx")},
    };
    for (const auto& c : cases) {
        const CToolRun r = RunTool(c.args);
        EXPECT_EQ(r.status, 3) << c.named;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // A refused expression stops before anything is written.
    EXPECT_EQ(RunTool({"--save", Path("out.cvx"), "x", "2x"}).status, 2);
    EXPECT_EQ(RunTool({"--save", Path("out.cvx"), "x\xF0\x9F\x98\x80"}).status, 2);

    // A write that fails: the file-size limit makes every write fail with EFBIG. Its message
    // comes through a pipe, which the limit does not touch.
    const std::string cmd = "trap '' XFSZ; ulimit -f 0; exec " + ShellQuote(CURVIST_PLOT) +
                            " --save " + ShellQuote(Path("out.cvx")) + " x 2>&1";
    std::string err;
    int st = -1;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[512];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            err.append(buf, n);
        st = pclose(p);
    }
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 3) << st;
    EXPECT_NE(err.find("cannot write \"" + Path("out.cvx") + "\": File too large"),
              std::string::npos)
        << err;

    EXPECT_EQ(ReadWhole(Path("out.cvx")), "precious");
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(Dir()))
        left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"bad.cvx", "out.cvx"}));
}

TEST_F(CliDocument, UsageErrors) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--file"}, {"--list"}, {"--save"}, {"--file", Path("a.cvx")}})
        EXPECT_EQ(RunTool(args).status, 1);
    // A new, empty document.
    EXPECT_EQ(RunTool({"--save", Path("e.cvx")}).status, 0);
    EXPECT_EQ(ReadWhole(Path("e.cvx")), std::string("\0\0", 2));
}

} // namespace
