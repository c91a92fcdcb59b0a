// curvist-plot: the plotter's engine from the command line.
//
//   curvist-plot --nodes EXPR...              print each node list, one node a line
//   curvist-plot --eval X [--eval X]... EXPR... print y at each X, or "error"

#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitCompile = 2;

void Usage() {
    std::fputs("usage: curvist-plot [--nodes] [--eval X]... EXPR...\n"
               "  --nodes     print the node list of each expression: NAME OP LEFT [RIGHT]\n"
               "  --eval X    evaluate each expression at X (repeatable); y or \"error\"\n",
               stderr);
}

bool ParseDouble(const char* text, double& v) {
    const char* end = text + std::strlen(text);
    if (*text == '+') ++text;
    auto [p, ec] = std::from_chars(text, end, v);
    return ec == std::errc() && p == end;
}

struct CFunction {
    std::string text;
    std::unique_ptr<CNodeList> nodes;
};

void PrintNodes(const CNodeList& list) {
    for (const auto& n : list.Nodes()) {
        const bool copy = n.m_chOp == op::Copy;
        const char name = copy ? '-' : (n.m_chName > ' ' && n.m_chName < 127 ? n.m_chName : '?');
        std::printf("%c %c %s", name, n.m_chOp, n.m_strLeft.c_str());
        if (!op::IsUnary(n.m_chOp)) std::printf(" %s", n.m_strRight.c_str());
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    bool printNodes = false;
    std::vector<double> xs;
    std::vector<std::string> exprs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--nodes") {
            printNodes = true;
        } else if (a == "--eval") {
            double x;
            if (i + 1 >= argc || !ParseDouble(argv[i + 1], x)) {
                std::fprintf(stderr, "curvist-plot: --eval needs a number\n");
                Usage();
                return kExitUsage;
            }
            xs.push_back(x);
            ++i;
        } else if (a == "-h" || a == "--help") {
            Usage();
            return 0;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "curvist-plot: unknown option %s\n", a.c_str());
            Usage();
            return kExitUsage;
        } else {
            exprs.push_back(a);
        }
    }
    if (exprs.empty() || (!printNodes && xs.empty())) {
        Usage();
        return kExitUsage;
    }

    std::vector<CFunction> funs;
    for (const auto& e : exprs) {
        CFunCheck r = CheckFunText(e);
        if (r.status != EFunCheck::Ok) {
            const char* msg = r.status == EFunCheck::Reserved ? kMsgReserved : kMsgInvalidFun;
            std::fprintf(stderr, "%s: %s\n", msg, e.c_str());
            return kExitCompile;
        }
        funs.push_back({e, std::move(r.pNodes)});
    }

    if (printNodes)
        for (const auto& f : funs) PrintNodes(*f.nodes);
    for (auto& f : funs) {
        for (double x : xs) {
            bool err = false;
            const double y = CalcValue(*f.nodes, x, err);
            if (err) std::printf("error\n");
            else std::printf("%.17g\n", y);
        }
    }
    return 0;
}
