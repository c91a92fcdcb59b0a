// The manual as the program's own process sees it: the pages handed over by the help reader,
// and the sitemap, text and link parsing the window does with them.
#include "help/HelpBundle.h"
#include "help/HelpLinks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (auto bundle = DecodeHelpBundle(bytes)) {
        // What decodes encodes back to the same bytes.
        if (EncodeHelpBundle(*bundle).size() > size) std::abort();
        for (const CHelpTopic& t : bundle->GetContents())
            (void)bundle->ReadObject(HelpObjectOf(ResolveHelpPath("/", t.m_strLocal)));
    }
    const std::vector<CHelpTopic> topics = ParseSitemap(bytes);
    const std::size_t half = size / 2;
    const std::string resolved = ResolveHelpPath(bytes.substr(0, half), bytes.substr(half));
    (void)topics;
    (void)resolved;
    return 0;
}
