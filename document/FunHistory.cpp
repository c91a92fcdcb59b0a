#include "document/FunHistory.h"

bool IsIdentity(const CFunChange& c) {
    switch (c.m_kind) {
    case EFunChange::Show:
        return c.m_before.m_bShow == c.m_after.m_bShow;
    case EFunChange::Color:
        return c.m_before.m_clr == c.m_after.m_clr;
    case EFunChange::Domain:
        return c.m_before.m_str == c.m_after.m_str && c.m_before.m_dBound == c.m_after.m_dBound;
    default:
        return false;
    }
}

void CFunHistory::Push(CFunChange change, bool bOpen) {
    while (m_steps.size() > m_nPos)
        m_steps.pop_back();
    // The file's state was among the steps just dropped: no position reaches it any more.
    if (m_nSaved != kNowhere && m_nSaved > m_nPos) m_nSaved = kNowhere;
    m_steps.push_back(std::move(change));
    ++m_nPos;
    if (m_steps.size() > kLimit) {
        m_steps.pop_front();
        --m_nPos;
        if (m_nSaved != kNowhere) m_nSaved = m_nSaved == 0 ? kNowhere : m_nSaved - 1;
    }
    m_bOpen = bOpen;
}

bool CFunHistory::Join(CFunChange& change) {
    if (!m_bOpen || m_nPos == 0 || m_nPos != m_steps.size()) return false;
    CFunChange& top = m_steps.back();
    if (top.m_kind != EFunChange::Domain || change.m_kind != EFunChange::Domain ||
        top.m_nIndex != change.m_nIndex || top.m_nSide != change.m_nSide)
        return false;
    top.m_after.m_str = std::move(change.m_after.m_str);
    top.m_after.m_dBound = change.m_after.m_dBound;
    if (IsIdentity(top)) {
        m_steps.pop_back();
        --m_nPos;
        m_bOpen = false;
    }
    return true;
}

void CFunHistory::Clear() {
    m_steps.clear();
    m_nPos = 0;
    m_nSaved = 0;
    m_bOpen = false;
}
