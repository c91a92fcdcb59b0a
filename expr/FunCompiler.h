#pragma once
// Compiles the text typed after "Y=" into a node list.
//
// The compiler rewrites one string in place: it reduces parenthesised groups, then functions,
// then "^", then "*" and "/", then "+" and "-", each time replacing the reduced piece by a node
// reference "_" plus the new node's letter. x is written ":" and the exponential e is ";".

#include "expr/DataAnalyzeFun.h"

#include <memory>
#include <string>

inline constexpr const char* kMsgReserved = "Error";
inline constexpr const char* kMsgInvalidFun = "输入无效的函数式，请检验输入是否正确。";
inline constexpr const char* kCaptionError = "错误";

// Limits that keep a hostile text from costing more than a moment.
inline constexpr std::size_t kMaxFunText = 1024;
inline constexpr int kMaxFunDepth = 256;

class CFunCompiler {
  public:
    explicit CFunCompiler(CNodeList& nodes) : m_pNodes(&nodes) {}

    // Compiles the normalised text s, appending nodes; on success s is one operand. A group
    // standing directly beside a number, x or another group is refused.
    bool AnalyzeFun(std::string& s);
    // Reduces the function name at nPos with its operand; returns nPos, or -1.
    int ReduceFunction(std::string& s, int nPos, int nNameLen, char chCode);
    // Reduces the binary operator at nPos with its two operands; returns where the reference
    // was put, or -1.
    int ReduceOperator(std::string& s, int nPos, char chOp);

    char m_chNext = 'a';

  private:
    bool AnalyzeFun(std::string& s, int depth);
    bool NameNode(CDataAnalyzeFun& node);

    CNodeList* m_pNodes;
};

// The internal form of a typed text: ASCII lower case, x as ":", ctg/tg as cot/tan, e as ";".
std::string NormalizeFunText(const std::string& typed);

// What confirming the input dialog does with a text.
enum class EFunCheck {
    Empty,    // nothing happens, the dialog stays open
    Reserved, // the text holds "_": message "Error"
    Invalid,  // message kMsgInvalidFun with caption kCaptionError
    Ok,       // pNodes holds the compiled list
};

struct CFunCheck {
    EFunCheck status = EFunCheck::Empty;
    std::unique_ptr<CNodeList> pNodes;
};

CFunCheck CheckFunText(const std::string& typed);
