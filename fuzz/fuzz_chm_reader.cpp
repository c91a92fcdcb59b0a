// The help reader itself, chmlib included, in process. chmlib can crash or loop on damaged
// files, which is why the program runs this reader in the curvist-chm process with a time limit;
// this target is for looking for such files on demand (run with -timeout), not for CI.
#include "help/HelpBundle.h"
#include "help/HelpLoader.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/curvist-fuzz-" + std::to_string(getpid()) + ".chm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    (void)ReadHelpBundle(path);
    return 0;
}
