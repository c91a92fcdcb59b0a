// curvist-plot: the plotter's engine and function files from the command line.
//
//   curvist-plot [--file F.cvx] [--save OUT.cvx] [--list] [--nodes] [--eval X]... [EXPR...]
//   curvist-plot --zeros A B EXPR | --extrema A B EXPR | --intersections A B EXPR1 EXPR2
//                | --derivative X EXPR
//
// Messages are English and stable: scripts read them.

#include "document/ColorTable.h"
#include "document/DocumentFile.h"
#include "expr/Analysis.h"
#include "expr/CalcValue.h"
#include "expr/DerivEval.h"
#include "expr/FunCompiler.h"
#include "expr/InputHints.h"
#include "platform/Cp936.h"
#include "view/qt/PlotRender.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitCompile = 2;
constexpr int kExitFile = 3;

// --help prints this on standard output; a usage error on standard error.
void Usage(FILE* pOut) {
    std::fputs(
        "usage: curvist-plot [--file F.cvx] [--save OUT.cvx] [--list] [--nodes] [--eval X]...\n"
        "                    [-o OUT [--size WxH] [--ini PATH] [--scale P]] [--] [EXPR...]\n"
        "       curvist-plot --zeros|--extrema A B EXPR | --intersections A B EXPR1 EXPR2\n"
        "                    | --derivative X EXPR  (repeatable)\n"
        "  --file F.cvx   start from the functions of that file (as stored, never recompiled)\n"
        "  EXPR           append a function: shown, domain -∞ to +∞, first colour not in use\n"
        "  --save OUT.cvx write the resulting document (the old file survives a failure)\n"
        "  --list         one line per function, fields separated by one space:\n"
        "                 INDEX Y=TEXT COLOUR shown|hidden LOWER UPPER\n"
        "                 e.g. \"0 Y=sin(x) 红色 shown -∞ +∞\"; a colour outside the table\n"
        "                 prints as its 0x00BBGGRR value\n"
        "  --nodes        print the node list of each function: NAME OP LEFT [RIGHT]\n"
        "  --eval X       evaluate each function at X (repeatable); y or \"error\"\n"
        "  -o OUT         draw the plot as the window shows it; the extension picks the\n"
        "                 format: .png, .svg, .pdf, or another raster format (.jpg, .bmp, ...)\n"
        "  --size WxH     its size in pixels (default 800x600)\n"
        "  --ini PATH     display parameters (default: the desktop program's VisParam.ini)\n"
        "  --scale P      zoom in per cent, 10 or more (default 100)\n"
        "  --zeros A B EXPR     each zero of EXPR from A to B; a stretch of zeros as \"X1 X2\"\n"
        "  --extrema A B EXPR   each local extremum by x: \"min X Y\" or \"max X Y\"\n"
        "  --intersections A B EXPR1 EXPR2\n"
        "                 each crossing of the two by x: \"X Y\"\n"
        "  --derivative X EXPR  the slope of EXPR at X, or \"error\"\n"
        "                 15 significant digits; \"?\" ends a point the intervals could not\n"
        "                 prove (a touching zero, say)\n"
        "  --help         this text;  --version  the program's version\n"
        "exit status: 0 done, 1 usage error, 2 an EXPR does not compile,\n"
        "             3 a file cannot be read or written\n",
        pOut);
}

// Everything the command line asks for; new options add a field and a branch in ParseOptions.
struct COptions {
    std::string file;
    std::string save;
    bool list = false;
    bool printNodes = false;
    std::vector<double> xs;
    std::vector<std::string> exprs; // UTF-8, as given
    CPlotRenderOptions render;      // render.out empty: no picture
    struct CAnalysis {
        std::string option;             // "--zeros", "--extrema", ...
        double a = 0.0, b = 0.0;        // the range, or a == b == X for --derivative
        std::vector<std::string> exprs; // UTF-8, as given
    };
    std::vector<CAnalysis> analyses;
};

bool ParseDouble(const char* text, double& v) {
    const char* end = text + std::strlen(text);
    if (*text == '+') ++text;
    auto [p, ec] = std::from_chars(text, end, v);
    return ec == std::errc() && p == end;
}

enum class EParse { Run, Help, Version, Usage };

EParse ParseOptions(int argc, char** argv, COptions& o, std::string& why) {
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        // The option's argument, or null (with why set) when it is missing.
        auto value = [&]() -> const char* {
            if (i + 1 < argc) return argv[++i];
            why = a + " needs a value";
            return nullptr;
        };
        if (optionsDone || a.size() < 2 || a[0] != '-' || (a[1] != '-' && a != "-h" && a != "-o")) {
            o.exprs.push_back(a);
        } else if (a == "--") {
            optionsDone = true;
        } else if (a == "-h" || a == "--help") {
            return EParse::Help;
        } else if (a == "--version") {
            return EParse::Version;
        } else if (a == "--nodes") {
            o.printNodes = true;
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--eval") {
            const char* v = value();
            double x;
            if (!v || !ParseDouble(v, x)) {
                why = "--eval needs a number";
                return EParse::Usage;
            }
            o.xs.push_back(x);
        } else if (a == "--zeros" || a == "--extrema" || a == "--intersections" ||
                   a == "--derivative") {
            COptions::CAnalysis an{a, 0.0, 0.0, {}};
            const bool range = a != "--derivative";
            const int nExprs = a == "--intersections" ? 2 : 1;
            const char* va = value();
            const char* vb = va && range ? value() : va;
            if (!vb || !ParseDouble(va, an.a) || !ParseDouble(vb, an.b) || !std::isfinite(an.a) ||
                !std::isfinite(an.b) || an.a > an.b) {
                why = a + (range ? " needs two numbers A <= B" : " needs a number");
                return EParse::Usage;
            }
            for (int k = 0; k < nExprs; ++k) {
                const char* e = value();
                if (!e) return EParse::Usage;
                an.exprs.push_back(e);
            }
            o.analyses.push_back(std::move(an));
        } else if (a == "--file" || a == "--save") {
            const char* v = value();
            if (!v || !*v) {
                why = a + " needs a file name";
                return EParse::Usage;
            }
            (a == "--file" ? o.file : o.save) = v;
        } else if (a == "-o" || a == "--ini") {
            const char* v = value();
            if (!v || !*v) {
                why = a + " needs a file name";
                return EParse::Usage;
            }
            (a == "-o" ? o.render.out : o.render.iniPath) = v;
        } else if (a == "--size") {
            const char* v = value();
            if (!v || !ParseRenderSize(v, o.render.width, o.render.height)) {
                why = "--size needs WxH, each side 1 to " + std::to_string(kMaxRenderSide);
                return EParse::Usage;
            }
        } else if (a == "--scale") {
            const char* v = value();
            if (!v || !ParseRenderScale(v, o.render.scale)) {
                why =
                    "--scale needs a whole per cent from 10 to " + std::to_string(kMaxRenderScale);
                return EParse::Usage;
            }
        } else {
            why = "unknown option " + a;
            return EParse::Usage;
        }
    }
    const bool picture = !o.render.out.empty(); // an empty document still has its plane
    const bool action = o.list || o.printNodes || !o.xs.empty() || !o.save.empty() || picture;
    const bool functions = !o.file.empty() || !o.exprs.empty() || !o.save.empty() || picture;
    if (!o.analyses.empty()) return EParse::Run; // they answer on their own
    if (!action || !functions) {
        why.clear();
        return EParse::Usage;
    }
    return EParse::Run;
}

char Printable(char c) {
    return c > ' ' && c < 127 ? c : '?';
}

void PrintNodes(const CNodeList& list) {
    for (const auto& n : list.Nodes()) {
        const char name = n.m_chOp == op::Copy ? '-' : Printable(n.m_chName);
        std::printf("%c %c %s", name, Printable(n.m_chOp), Cp936ToUtf8(n.m_strLeft).c_str());
        if (!op::IsUnary(n.m_chOp)) std::printf(" %s", Cp936ToUtf8(n.m_strRight).c_str());
        std::printf("\n");
    }
}

void PrintList(const CCurvistDoc& doc) {
    for (std::size_t i = 0; i < doc.m_arFuns.size(); ++i) {
        const CDataFun& f = *doc.m_arFuns[i];
        const int c = ColorIndexOf(f.m_clrFun);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(f.m_clrFun));
        std::printf("%zu Y=%s %s %s %s %s\n", i, Cp936ToUtf8(f.m_strFun).c_str(),
                    c >= 0 ? kColorTable[c].m_szName : hex, f.m_bShow ? "shown" : "hidden",
                    Cp936ToUtf8(f.m_strMin).c_str(), Cp936ToUtf8(f.m_strMax).c_str());
    }
}

// Appends EXPR as a new function the way the panel's add command does; false when it does not
// compile (the message is printed).
bool AppendExpression(CCurvistDoc& doc, const std::string& utf8) {
    // Record texts are code-page-936; a text with no such form could not be stored.
    const auto text = Utf8ToCp936Exact(utf8);
    CFunCheck r = text ? CheckFunText(*text) : CFunCheck{EFunCheck::Invalid, nullptr};
    if (r.status != EFunCheck::Ok) {
        const char* msg = r.status == EFunCheck::Reserved ? kMsgReserved : kMsgInvalidFun;
        std::fprintf(stderr, "%s: %s\n", msg, utf8.c_str());
        // A function file given without --file is read as an expression: say so first.
        std::error_code ec;
        const bool bFile = (utf8.size() > 4 && utf8.ends_with(".cvx")) ||
                           std::filesystem::is_regular_file(utf8, ec);
        if (bFile)
            std::fprintf(stderr, "提示：要读取函数文件，请写 --file %s\n", utf8.c_str());
        else if (const auto hint = InputHintFor(utf8))
            std::fprintf(stderr, "%s\n", InputHintLine(*hint).c_str());
        return false;
    }
    doc.Editor().Add(*text, std::move(r.pNodes));
    return true;
}

// A function for analysis, compiled as AppendExpression does; nullopt (message printed) when
// it does not compile.
std::optional<CNodeList> CompileExpression(const std::string& utf8) {
    const auto text = Utf8ToCp936Exact(utf8);
    CFunCheck r = text ? CheckFunText(*text) : CFunCheck{EFunCheck::Invalid, nullptr};
    if (r.status != EFunCheck::Ok || !r.pNodes) {
        const char* msg = r.status == EFunCheck::Reserved ? kMsgReserved : kMsgInvalidFun;
        std::fprintf(stderr, "%s: %s\n", msg, utf8.c_str());
        return std::nullopt;
    }
    return std::move(*r.pNodes);
}

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v == 0.0 ? 0.0 : v); // no "-0"
    return buf;
}

void PrintPoints(const CAnalysisResult& r) {
    for (const CPointOfInterest& p : r.points) {
        std::string line;
        switch (p.kind) {
        case EPointKind::Zero:
            line = p.x2 != p.x ? Num(p.x) + " " + Num(p.x2) : Num(p.x);
            break;
        case EPointKind::Min:
        case EPointKind::Max:
            line = (p.kind == EPointKind::Min ? "min " : "max ") + Num(p.x) + " " + Num(p.y);
            break;
        case EPointKind::Intersection: // the two agree on a stretch: its ends
            line = Num(p.x) + " " + (p.x2 != p.x ? Num(p.x2) + " same" : Num(p.y));
            break;
        }
        std::printf("%s%s\n", line.c_str(), p.bCertified ? "" : "?");
    }
    if (r.bTruncated)
        std::fprintf(stderr, "curvist-plot: more than %zu points; the first %zu are listed\n",
                     r.points.size(), r.points.size());
    if (r.bIncomplete)
        std::fprintf(stderr, "curvist-plot: the search stopped early; points may be missing\n");
}

// Runs one analysis option; false when an expression does not compile.
bool RunAnalysis(const COptions::CAnalysis& an) {
    std::vector<CNodeList> fs;
    for (const auto& e : an.exprs) {
        std::optional<CNodeList> f = CompileExpression(e);
        if (!f) return false;
        fs.push_back(std::move(*f));
    }
    if (an.option == "--derivative") {
        const std::optional<CSlope> s = EvalSlope(fs[0], an.a);
        if (s && std::isfinite(s->dy))
            std::printf("%s\n", Num(s->dy).c_str());
        else
            std::printf("error\n");
    } else if (an.option == "--zeros") {
        PrintPoints(FindZeros(fs[0], an.a, an.b));
    } else if (an.option == "--extrema") {
        PrintPoints(FindExtrema(fs[0], an.a, an.b));
    } else {
        PrintPoints(FindIntersections(fs[0], fs[1], an.a, an.b));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    COptions o;
    std::string why;
    switch (ParseOptions(argc, argv, o, why)) {
    case EParse::Help:
        Usage(stdout);
        return 0;
    case EParse::Version:
        std::printf("curvist-plot %s\n", CURVIST_VERSION);
        return 0;
    case EParse::Usage:
        if (!why.empty()) std::fprintf(stderr, "curvist-plot: %s\n", why.c_str());
        Usage(stderr);
        return kExitUsage;
    case EParse::Run:
        break;
    }
    if (!o.render.out.empty() && PictureFormat(o.render.out).empty()) {
        std::fprintf(stderr, "curvist-plot: -o needs a file name ending in one of %s\n",
                     PictureFormatList().c_str());
        return kExitUsage;
    }
    // A FIFO or device named by -o is refused before any drawing, not after it.
    struct stat outStat;
    if (!o.render.out.empty() && stat(o.render.out.c_str(), &outStat) == 0 &&
        !S_ISREG(outStat.st_mode)) {
        std::fprintf(
            stderr, "curvist-plot: %s\n",
            FileErrorText("write", o.render.out,
                          S_ISDIR(outStat.st_mode) ? "is a directory" : "is not a regular file")
                .c_str());
        return kExitFile;
    }

    CCurvistDoc doc;
    std::string error;
    if (!o.file.empty() && !LoadDocument(doc, o.file, &error)) {
        std::fprintf(stderr, "curvist-plot: %s\n", error.c_str());
        return kExitFile;
    }
    for (const auto& e : o.exprs)
        if (!AppendExpression(doc, e)) return kExitCompile;
    // Saved before any evaluation, so loaded nodes keep their stored results in the file.
    if (!o.save.empty() && !SaveDocument(doc, o.save, &error)) {
        std::fprintf(stderr, "curvist-plot: %s\n", error.c_str());
        return kExitFile;
    }

    if (!o.render.out.empty() && !RenderPlot(doc, o.render, error)) {
        std::fprintf(stderr, "curvist-plot: %s\n", error.c_str());
        return kExitFile;
    }

    if (o.list) PrintList(doc);
    if (o.printNodes)
        for (const auto& f : doc.m_arFuns)
            if (f->m_pNodes) PrintNodes(*f->m_pNodes);
    for (auto& f : doc.m_arFuns) {
        for (double x : o.xs) {
            bool err = !f->m_pNodes;
            const double y = err ? 0.0 : CalcValue(*f->m_pNodes, x, err);
            if (err)
                std::printf("error\n");
            else
                std::printf("%.17g\n", y);
        }
    }
    for (const auto& an : o.analyses)
        if (!RunAnalysis(an)) return kExitCompile;
    return 0;
}
