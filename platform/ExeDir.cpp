#include "platform/ExeDir.h"

#include <unistd.h>

#include <vector>

std::string GetExeDir() {
    // readlink does not say whether it truncated, so grow the buffer until the name fits.
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) {
            std::string path(buf.data(), static_cast<size_t>(n));
            size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        if (buf.size() > (1u << 20)) return {};
        buf.resize(buf.size() * 2);
    }
}
