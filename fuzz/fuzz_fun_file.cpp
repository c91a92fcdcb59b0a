// Function files: the reader refuses or accepts any bytes without a fault, and every accepted
// node list evaluates alike on both paths.
#include "EvalOracle.h"
#include "document/FunFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto funs = ReadFunFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!funs) return 0;
    for (auto& f : *funs)
        if (f->m_pNodes) CheckBothEvaluators(*f->m_pNodes);
    // What was accepted is written back to the same bytes it was read from, up to the end.
    const std::string again = WriteFunFile(*funs);
    if (!ReadFunFile(again)) std::abort();
    return 0;
}
