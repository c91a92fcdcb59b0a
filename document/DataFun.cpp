#include "document/DataFun.h"

#include "expr/StrToDouble.h"

double DomainValue(const std::string& text) {
    if (text == kStrMinusInf) return -kDomainOpen;
    if (text == kStrPlusInf) return kDomainOpen;
    return StrToDouble(text);
}

void CDataFun::SetDomain(int nSide, std::string text) {
    const double v = DomainValue(text);
    if (nSide == 0) {
        m_dMin = v;
        m_strMin = std::move(text);
    } else {
        m_dMax = v;
        m_strMax = std::move(text);
    }
}
