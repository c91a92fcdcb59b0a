// curvist-plot -o: the full repaint written as a picture.

#include "RunTool.h"
#include "SmallTmpfs.h"
#include "TempDir.h"

#include <QColor>
#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class PlotRenderTest : public CTempDirTest {
  protected:
    std::string Dir() const { return m_dir.string(); }
};

TEST_F(PlotRenderTest, PngShowsThePlane) {
    const std::string png = Dir() + "/plot.png";
    const std::string ini = Dir() + "/none.ini"; // absent: the defaults
    const CToolRun r = RunTool({"sin(x)", "x^2", "-o", png, "--size", "641x521", "--ini", ini});
    ASSERT_EQ(r.status, 0) << r.err;
    QImage img(QString::fromStdString(png));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 641);
    EXPECT_EQ(img.height(), 521);
    const struct {
        int x, y;
        QRgb rgb;
    } pixels[] = {
        {3, 3, qRgb(0, 0, 0)},           {3, 260, qRgb(255, 255, 255)}, // x axis
        {320, 100, qRgb(255, 255, 255)}, {3, 210, qRgb(98, 0, 100)},    // grid
        {270, 3, qRgb(98, 0, 100)},      {400, 210, qRgb(255, 0, 0)},   // sin x, red
        {370, 210, qRgb(255, 255, 0)},                                  // x^2, yellow
    };
    for (const auto& p : pixels)
        EXPECT_EQ(img.pixel(p.x, p.y) & 0xFFFFFF, p.rgb & 0xFFFFFF) << p.x << "," << p.y;
}

TEST_F(PlotRenderTest, ScaleIniAndVectorOutput) {
    const std::string ini = Dir() + "/VisParam.ini";
    std::ofstream(ini) << "[Coor]\nnOriginPlace=0\n[Pane]\nnWidth=20\n";
    const std::string png = Dir() + "/zoom.png";
    ASSERT_EQ(RunTool({"-o", png, "--size", "100x80", "--ini", ini, "--scale", "250"}).status, 0);
    QImage img(QString::fromStdString(png));
    ASSERT_FALSE(img.isNull());
    // Origin at the top-left corner, cells 50 wide at 250 %: vertical grid lines at 50, 100.
    EXPECT_EQ(img.pixel(50, 40) & 0xFFFFFF, qRgb(98, 0, 100) & 0xFFFFFF);
    EXPECT_EQ(img.pixel(0, 40) & 0xFFFFFF, qRgb(255, 255, 255) & 0xFFFFFF);

    for (const char* name : {"/plot.svg", "/plot.PDF"}) {
        const std::string out = Dir() + name;
        ASSERT_EQ(RunTool({"tan(x)", "-o", out, "--size", "200x100"}).status, 0) << name;
        const std::string head = ReadWhole(out).substr(0, 5);
        EXPECT_TRUE(head == "<?xml" || head == "%PDF-") << name << ": " << head;
    }
}

TEST_F(PlotRenderTest, BadPictureOptions) {
    const std::string png = Dir() + "/p.png";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"x", "-o", png, "--size", "0x5"},
          {"x", "-o", png, "--size", "640"},
          {"x", "-o", png, "--size", "99999x10"},
          {"x", "-o", png, "--scale", "5"},
          {"x", "-o", png, "--scale", "abc"},
          {"x", "-o"}})
        EXPECT_EQ(RunTool(args).status, 1) << args.back();

    // A file that cannot be written is named, quoted, with the reason, whatever the format.
    for (const char* name : {"/no/dir/p.png", "/no/dir/p.svg", "/no/dir/p.pdf", "/no/dir/p.jpg"}) {
        const std::string out = Dir() + name;
        const CToolRun r = RunTool({"x", "-o", out});
        EXPECT_EQ(r.status, 3) << name;
        const std::string line =
            "curvist-plot: cannot write \"" + out + "\": No such file or directory\n";
        EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    }
}

// The extension picks the format among those the program writes; any other is a usage error
// and nothing is written.
TEST_F(PlotRenderTest, TheExtensionPicksTheFormat) {
    const struct {
        const char* name;
        const char* magic;
    } written[] = {
        {"/p.jpg", "\xFF\xD8\xFF"}, {"/p.JPEG", "\xFF\xD8\xFF"}, {"/p.bmp", "BM"},
        {"/p.png", "\x89PNG"},      {"/p.svg", "<?xml"},         {"/p.pdf", "%PDF-"},
    };
    for (const auto& c : written) {
        const std::string out = Dir() + c.name;
        const CToolRun r = RunTool({"sin(x)", "-o", out, "--size", "64x48"});
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        EXPECT_EQ(ReadWhole(out).rfind(c.magic, 0), 0u) << c.name;
    }
    for (const char* name : {"/p.txt", "/p", "/p.cvx", "/png"}) {
        const std::string out = Dir() + name;
        const CToolRun r = RunTool({"x", "-o", out});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find(".png, .svg, .pdf"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
    }
}

// The picture replaces a file only once it is whole: a FIFO is refused at once and stays, a full
// disk keeps the old picture and says so, and a name is used as the bytes given.
TEST_F(PlotRenderTest, TheOldPictureSurvivesAFailedWrite) {
    const std::string fifo = Dir() + "/pipe.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    const CToolRun piped = RunTool({"x", "-o", fifo}, CURVIST_PLOT, "timeout 20");
    EXPECT_EQ(piped.status, 3) << piped.err;
    EXPECT_NE(piped.err.find("is not a regular file"), std::string::npos) << piped.err;
    struct stat st {};
    EXPECT_TRUE(stat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));

    const std::string gbk = Dir() + "/\xba\xaf.png";
    EXPECT_EQ(RunTool({"x", "-o", gbk, "--size", "40x30"}).status, 0);
    EXPECT_EQ(ReadWhole(gbk).rfind("\x89PNG", 0), 0u);

    ASSERT_TRUE(std::filesystem::create_directory(Dir() + "/small"));
    const CSmallTmpfs fs(Dir() + "/small", 64 * 1024);
    if (!fs.Mounted()) GTEST_SKIP() << fs.Why();
    const std::string png = Dir() + "/small/p.png";
    ASSERT_EQ(RunTool({"x", "-o", png, "--size", "40x30"}).status, 0);
    const std::string old = ReadWhole(png);
    fs.Fill("filler");
    const CToolRun full = RunTool({"sin(x)", "x^2", "-o", png, "--size", "800x600"});
    EXPECT_EQ(full.status, 3);
    EXPECT_NE(full.err.find("cannot write \"" + png + "\": No space left on device"),
              std::string::npos)
        << full.err;
    EXPECT_TRUE(ReadWhole(png) == old); // (a picture: no print of either)
}

} // namespace
