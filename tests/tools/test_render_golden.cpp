// The pictures of a set of documents and display settings, pixel for pixel: any change to the
// drawing (a refactor, a faster pass) must leave every one of them as it is. Each scene's
// pixels are reduced to a 64-bit FNV-1a hash and compared with tests/data/golden_renders.txt.
// CURVIST_UPDATE_GOLDEN=1 rewrites that file from the current program (only for a deliberate
// change of the picture).

#include "RunTool.h"

#include "document/ColorTable.h"
#include "document/FunFile.h"
#include "expr/FunCompiler.h"

#include <QImage>
#include <cinttypes>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace {

struct CFunSpec {
    const char* text;
    const char* lower = nullptr; // domain texts; null is open
    const char* upper = nullptr;
    bool shown = true;
};

struct CScene {
    const char* name;
    std::vector<CFunSpec> funs;
    const char* ini; // VisParam.ini contents
    const char* size;
    const char* scale;
};

const std::vector<CFunSpec> kMixed = {
    {"sin(x)"},
    {"cos(x)*3"},
    {"tan(x)"},
    {"1/x"},
    {"lnx"},
    {"x^2-4"},
    {"ex"},
    {"1/(x-1)/(x+2)"},
    {"sec(x)", "-3", "3.5"},
    {"x^3/10", "-2.5", "+\xA1\xDE"},
    {"csc(x)", nullptr, nullptr, false},
    {"(x+1)*(x-1)*(x-2)"},
};

std::vector<CFunSpec> ManySteep() {
    static const char* texts[] = {"tan(x)", "1/x", "x^5", "1/(x-0.5)", "ctg(x)", "e(x*x)"};
    std::vector<CFunSpec> out;
    for (int i = 0; i < 9; ++i)
        out.push_back({texts[i % 6]});
    return out;
}

std::vector<CScene> Scenes() {
    return {
        {"defaults", kMixed, "", "800x600", "100"},
        {"small", kMixed, "", "97x61", "100"},
        {"zoomed-out", kMixed, "", "640x480", "10"},
        {"zoomed-in", kMixed, "", "640x480", "1000"},
        {"odd-scale", kMixed, "", "641x521", "37"},
        {"labels-00", kMixed, "[Scale]\nnPlace_X=0\nnPlace_Y=0\n", "400x300", "100"},
        {"labels-13", kMixed, "[Scale]\nnPlace_X=1\nnPlace_Y=3\n", "400x300", "100"},
        {"labels-31", kMixed, "[Scale]\nnPlace_X=3\nnPlace_Y=1\n", "400x300", "100"},
        {"labels-22-off", kMixed, "[Scale]\nbShow_X=0\nnPlace_Y=2\n[Pane]\nbShow_Y=0\n", "400x300",
         "100"},
        {"no-axes-grid", kMixed, "[Coor]\nbShow_X=0\nbShow_Y=0\n[Pane]\nbShow_X=0\n", "400x300",
         "100"},
        {"origin-0", kMixed, "[Coor]\nnOriginPlace=0\n", "300x200", "100"},
        {"origin-2", kMixed, "[Coor]\nnOriginPlace=2\n", "300x200", "100"},
        {"origin-5", kMixed, "[Coor]\nnOriginPlace=5\n", "300x200", "100"},
        {"origin-6", kMixed, "[Coor]\nnOriginPlace=6\n", "300x200", "100"},
        {"origin-8", kMixed, "[Coor]\nnOriginPlace=8\n", "300x200", "100"},
        {"cells-units", kMixed,
         "[Pane]\nnWidth=7\nnHeight=130\n[Scale]\nnSpeed_X=25\nnSpeed_Y=300\n", "500x400", "100"},
        {"units-small", kMixed, "[Scale]\nnSpeed_X=1\nnSpeed_Y=1\n", "500x400", "250"},
        {"steep-hd", ManySteep(), "", "1920x1080", "100"},
        {"empty", {}, "", "200x150", "100"},
    };
}

std::uint64_t PixelHash(const QImage& in) {
    const QImage img = in.convertToFormat(QImage::Format_RGB32);
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb v = row[x] & 0xFFFFFFu;
            for (int b = 0; b < 3; ++b) {
                h ^= (v >> (8 * b)) & 0xFFu;
                h *= 1099511628211ull;
            }
        }
    }
    return h ^ (static_cast<std::uint64_t>(img.width()) << 32 | img.height());
}

std::map<std::string, std::string> ReadGolden() {
    std::map<std::string, std::string> m;
    std::istringstream in(ReadWhole(CURVIST_GOLDEN_RENDERS));
    std::string name, hash;
    while (in >> name >> hash)
        m[name] = hash;
    return m;
}

TEST(RenderGolden, EveryScenePixelForPixel) {
    char tmpl[] = "/tmp/curvist-golden-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    const bool update = std::getenv("CURVIST_UPDATE_GOLDEN") != nullptr;
    const auto golden = ReadGolden();
    std::string written;
    for (const CScene& s : Scenes()) {
        CFunArray funs;
        for (const CFunSpec& f : s.funs) {
            auto fun = std::make_unique<CDataFun>();
            fun->SetFunction(f.text, CheckFunText(f.text).pNodes);
            ASSERT_TRUE(fun->m_pNodes) << f.text;
            fun->m_clrFun = kColorTable[funs.size() % kColorTable.size()].m_clr;
            fun->m_bShow = f.shown ? 1 : 0;
            if (f.lower) fun->SetDomain(0, f.lower);
            if (f.upper) fun->SetDomain(1, f.upper);
            funs.push_back(std::move(fun));
        }
        const std::string doc = dir + "/" + s.name + ".cvx";
        const std::string ini = dir + "/" + s.name + ".ini";
        const std::string png = dir + "/" + s.name + ".png";
        std::ofstream(doc, std::ios::binary) << WriteFunFile(funs);
        std::ofstream(ini) << s.ini;
        const CToolRun r =
            RunTool({"--file", doc, "--ini", ini, "--size", s.size, "--scale", s.scale, "-o", png});
        ASSERT_EQ(r.status, 0) << s.name << ": " << r.err;
        QImage img(QString::fromStdString(png));
        ASSERT_FALSE(img.isNull()) << s.name;
        char hash[24];
        std::snprintf(hash, sizeof hash, "%016" PRIx64, PixelHash(img));
        written += std::string(s.name) + " " + hash + "\n";
        if (!update) {
            const auto it = golden.find(s.name);
            ASSERT_NE(it, golden.end()) << s.name << " has no stored hash";
            EXPECT_EQ(it->second, hash) << s.name << " is drawn differently";
        }
    }
    if (update) std::ofstream(CURVIST_GOLDEN_RENDERS) << written;
    if (!std::getenv("CURVIST_KEEP_GOLDEN")) std::filesystem::remove_all(dir);
}

} // namespace
