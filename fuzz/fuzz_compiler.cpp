// The expression compiler takes any typed text; what it compiles evaluates alike on both paths.
#include "EvalOracle.h"
#include "expr/FunCompiler.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0; // the input field is far shorter
    CFunCheck r = CheckFunText(std::string(reinterpret_cast<const char*>(data), size));
    if (r.status == EFunCheck::Ok && r.pNodes) CheckBothEvaluators(*r.pNodes);
    return 0;
}
