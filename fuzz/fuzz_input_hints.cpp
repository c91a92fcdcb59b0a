// The input hints take any typed text; a rewrite they offer always compiles, and the place
// they name lies inside the text.
#include "expr/FunCompiler.h"
#include "expr/InputHints.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0; // the input field is far shorter
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<CInputHint> hint = InputHintFor(text);
    if (!hint) return 0;
    if (!hint->strRewrite.empty() && CheckFunText(hint->strRewrite).status != EFunCheck::Ok)
        std::abort();
    if (hint->nPos && *hint->nPos >= size) std::abort();
    return 0;
}
