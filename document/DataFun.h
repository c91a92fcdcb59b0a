#pragma once
// One plotted function: the text as typed, its compiled node list, colour, visibility, domain.

#include "expr/DataAnalyzeFun.h"
#include "platform/Dc.h"

#include <cstdint>
#include <memory>
#include <string>

// Record strings are raw code-page-936 bytes; the infinity sign is A1 DE.
inline const std::string kStrMinusInf = "-\xA1\xDE";
inline const std::string kStrPlusInf = "+\xA1\xDE";
inline constexpr double kDomainOpen = 2.0e10;

struct CDataFun {
    std::unique_ptr<CNodeList> m_pNodes;
    std::string m_strFun;
    double m_dMin = -kDomainOpen;
    double m_dMax = kDomainOpen;
    std::string m_strMin = kStrMinusInf;
    std::string m_strMax = kStrPlusInf;
    COLORREF m_clrFun = 0;
    std::int32_t m_bShow = 1;

    // Takes the new text and node list; the old list goes.
    void SetFunction(std::string text, std::unique_ptr<CNodeList> nodes) {
        m_strFun = std::move(text);
        m_pNodes = std::move(nodes);
    }

    // Sets one bound (0 lower, 1 upper) from its panel text by the domain-text rule; the text
    // is kept unchanged for display.
    void SetDomain(int nSide, std::string text);
};

// "-∞" and "+∞" stand for the open ends; any other text is read as a number.
double DomainValue(const std::string& text);
