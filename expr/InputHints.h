#pragma once
// Help for a text the compiler refuses: where its first problem is, what to write instead and,
// where the rewrite is unambiguous, the whole text rewritten. The language stays as it is; the
// hint only shows the way into it from what people usually type (2x, sin x, sqrt(x), pi, x²).

#include <cstddef>
#include <optional>
#include <string>

struct CInputHint {
    // The character (not byte) the first problem is at, from 0; none when the problem has no
    // single place.
    std::optional<std::size_t> nPos;
    std::string strProblem; // UTF-8, e.g. "第2个字符前缺少乘号"
    std::string strRewrite; // the whole text rewritten so that it compiles; empty when none
};

// The hint for a typed text (UTF-8); none for an empty text and for a text that compiles.
std::optional<CInputHint> InputHintFor(const std::string& utf8);

// The line shown under the input field and after the refusal on standard error:
// "提示：" plus the problem plus "，可写成 " and the rewrite when there is one.
std::string InputHintLine(const CInputHint& hint);
