// curvist-chm FILE: reads a compiled help file and writes what the help window shows of it to
// standard output. The window runs it with a time limit, so that a damaged file that crashes or
// stalls the reader costs only this process. Exit status 0 when the file can be shown, else 1.

#include "help/HelpBundle.h"
#include "help/HelpLoader.h"

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: curvist-chm FILE.chm\n", stderr);
        return 1;
    }
    // A crash here is expected on some damaged files; it must not leave a core dump behind.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const auto bundle = ReadHelpBundle(argv[1]);
    if (!bundle) return 1;
    const std::string out = EncodeHelpBundle(*bundle);
    for (std::size_t done = 0; done < out.size();) {
        const ssize_t n = write(STDOUT_FILENO, out.data() + done, out.size() - done);
        if (n <= 0) return 1;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}
