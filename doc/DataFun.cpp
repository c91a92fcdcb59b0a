#include "doc/DataFun.h"

#include "expr/StrToDouble.h"

double DomainValue(const std::string& text) {
    if (text == kStrMinusInf) return -kDomainOpen;
    if (text == kStrPlusInf) return kDomainOpen;
    return StrToDouble(text);
}
