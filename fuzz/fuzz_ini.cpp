// Settings files: reading any text, and applying writes to it, never faults.
#include "platform/IniFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CPrivateProfile ini = CPrivateProfile::FromText(text);
    static const char* const keys[][2] = {
        {"Coor", "bShow_X"}, {"Pane", "nWidth"}, {"Scale", "nSpeed_X"}, {"scale", "NPLACE_y"}};
    unsigned sum = 0;
    for (const auto& k : keys)
        sum += static_cast<unsigned>(ini.GetInt(k[0], k[1], 7));
    // Keys and sections named by the input itself.
    const std::size_t cut = text.find('\n');
    if (cut != std::string::npos)
        sum += static_cast<unsigned>(ini.GetInt(text.substr(0, cut), text.substr(cut + 1), 0));
    // Kept, so that the reading is not optimised away.
    static volatile unsigned sink;
    sink = sum;
    return 0;
}
