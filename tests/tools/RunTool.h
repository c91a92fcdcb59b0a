#pragma once
// Runs curvist-plot (or another program) with arguments and collects its exit status, standard
// output and error.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct CToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string ReadWhole(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline CToolRun RunTool(const std::vector<std::string>& args,
                        const std::string& program = CURVIST_PLOT, const std::string& env = {}) {
    char errPath[] = "/tmp/curvist-tool-err-XXXXXX";
    const int fd = mkstemp(errPath);
    if (fd >= 0) close(fd);
    std::string cmd = env + " " + ShellQuote(program);
    for (const auto& a : args)
        cmd += " " + ShellQuote(a);
    cmd += " 2>" + ShellQuote(errPath);
    CToolRun r;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        const int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    r.err = ReadWhole(errPath);
    unlink(errPath);
    return r;
}
