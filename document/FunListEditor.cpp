#include "document/FunListEditor.h"

#include <new>

#include "document/ColorTable.h"
#include "document/CurvistDoc.h"

#include <algorithm>
#include <utility>

void CFunChange::Invert() {
    std::swap(m_before, m_after);
    if (m_kind == EFunChange::Add)
        m_kind = EFunChange::Delete;
    else if (m_kind == EFunChange::Delete)
        m_kind = EFunChange::Add;
}

std::string FunRowText(const CDataFun& fun) {
    return "Y=" + fun.m_strFun;
}

void CFunListEditor::AddListener(IFunListListener* pListener, bool bFirst) {
    if (!pListener ||
        std::find(m_listeners.begin(), m_listeners.end(), pListener) != m_listeners.end())
        return;
    m_listeners.insert(bFirst ? m_listeners.begin() : m_listeners.end(), pListener);
}

void CFunListEditor::RemoveListener(IFunListListener* pListener) {
    std::erase(m_listeners, pListener);
}

bool CFunListEditor::Valid(std::size_t i) const {
    return i < m_doc.m_arFuns.size();
}

std::size_t CFunListEditor::Add(std::string text, std::unique_ptr<CNodeList> nodes) {
    auto fun = std::make_unique<CDataFun>();
    fun->SetFunction(std::move(text), std::move(nodes));
    fun->m_clrFun = kColorTable[static_cast<std::size_t>(NewFunctionColorIndex(m_doc))].m_clr;
    CFunChange c;
    c.m_kind = EFunChange::Add;
    c.m_nIndex = m_doc.m_arFuns.size();
    c.m_after.m_pFun = std::move(fun);
    Perform(std::move(c));
    return m_doc.m_arFuns.size() - 1;
}

bool CFunListEditor::Modify(std::size_t i, std::string text, std::unique_ptr<CNodeList> nodes) {
    // The same text again changes nothing; the list just compiled is dropped.
    if (!Valid(i) || m_doc.m_arFuns[i]->m_strFun == text) return false;
    CFunChange c;
    c.m_kind = EFunChange::Modify;
    c.m_nIndex = i;
    c.m_before.m_str = m_doc.m_arFuns[i]->m_strFun;
    c.m_after.m_str = std::move(text);
    c.m_after.m_pNodes = std::move(nodes);
    Perform(std::move(c));
    return true;
}

bool CFunListEditor::Delete(std::size_t i) {
    if (!Valid(i)) return false;
    CFunChange c;
    c.m_kind = EFunChange::Delete;
    c.m_nIndex = i;
    Perform(std::move(c));
    return true;
}

bool CFunListEditor::SetShow(std::size_t i, bool bShow) {
    if (!Valid(i)) return false;
    CFunChange c;
    c.m_kind = EFunChange::Show;
    c.m_nIndex = i;
    c.m_before.m_bShow = m_doc.m_arFuns[i]->m_bShow;
    c.m_after.m_bShow = bShow ? 1 : 0;
    Perform(std::move(c));
    return true;
}

bool CFunListEditor::SetColor(std::size_t i, COLORREF clr) {
    if (!Valid(i)) return false;
    for (const auto& f : m_doc.m_arFuns)
        if (f->m_clrFun == clr) return false;
    CFunChange c;
    c.m_kind = EFunChange::Color;
    c.m_nIndex = i;
    c.m_before.m_clr = m_doc.m_arFuns[i]->m_clrFun;
    c.m_after.m_clr = clr;
    Perform(std::move(c));
    return true;
}

CFunChange CFunListEditor::DomainChange(std::size_t i, int nSide, std::string text) const {
    const CDataFun& fun = *m_doc.m_arFuns[i];
    CFunChange c;
    c.m_kind = EFunChange::Domain;
    c.m_nIndex = i;
    c.m_nSide = nSide == 0 ? 0 : 1;
    c.m_before.m_str = c.m_nSide == 0 ? fun.m_strMin : fun.m_strMax;
    c.m_before.m_dBound = c.m_nSide == 0 ? fun.m_dMin : fun.m_dMax;
    c.m_after.m_dBound = DomainValue(text);
    c.m_after.m_str = std::move(text);
    return c;
}

bool CFunListEditor::SetDomain(std::size_t i, int nSide, std::string text) {
    if (!Valid(i)) return false;
    Perform(DomainChange(i, nSide, std::move(text)));
    return true;
}

bool CFunListEditor::TypeDomain(std::size_t i, int nSide, std::string text) {
    if (!Valid(i)) return false;
    Perform(DomainChange(i, nSide, std::move(text)), true);
    return true;
}

void CFunListEditor::EndTyping() {
    m_history.Close();
}

void CFunListEditor::Perform(CFunChange change, bool bTyped) {
    if (!Apply(change)) return;
    // A change that alters nothing is still drawn, but it is no step to undo and leaves the
    // document as it was.
    if (!(bTyped && m_history.Join(change))) {
        if (IsIdentity(change))
            m_history.Close();
        else
            m_history.Push(std::move(change), bTyped);
    }
    HistoryChanged();
}

bool CFunListEditor::Apply(CFunChange& change) {
    const std::size_t n = m_doc.m_arFuns.size();
    const bool bAdd = change.m_kind == EFunChange::Add;
    if (bAdd ? change.m_nIndex > n || !change.m_after.m_pFun : change.m_nIndex >= n) return false;
    for (IFunListListener* p : m_listeners)
        p->OnFunListChanging(change);
    Exchange(change);
    std::size_t nTold = 0;
    try {
        for (; nTold < m_listeners.size(); ++nTold)
            m_listeners[nTold]->OnFunListChanged(change);
    } catch (const std::bad_alloc&) {
        // Memory ran out while the listeners followed: the document goes back to where it was,
        // those already told see the change taken back, and the caller, who started the
        // action, says so and redraws.
        change.Invert();
        const auto tell = [&](void (IFunListListener::*fn)(const CFunChange&)) {
            try {
                for (std::size_t k = 0; k < nTold; ++k)
                    (m_listeners[k]->*fn)(change);
            } catch (const std::bad_alloc&) {
                // The caller's full redraw follows.
            }
        };
        tell(&IFunListListener::OnFunListChanging);
        Exchange(change);
        tell(&IFunListListener::OnFunListChanged);
        change.Invert();
        throw;
    }
    return true;
}

namespace {

// Marks a step as replayed while Undo or Redo applies it, also when that ends early.
struct CReplay {
    explicit CReplay(CFunChange& c) : step(c) { step.m_bReplay = true; }
    ~CReplay() { step.m_bReplay = false; }
    CReplay(const CReplay&) = delete;
    CReplay& operator=(const CReplay&) = delete;
    CFunChange& step;
};

} // namespace

bool CFunListEditor::Revert(CFunChange& change) {
    // The step stays as recorded even when memory runs out inside Apply.
    struct CInverted {
        CFunChange& c;
        ~CInverted() { c.Invert(); }
    } const inverted{change};
    change.Invert();
    return Apply(change);
}

bool CFunListEditor::Undo() {
    if (!m_history.CanUndo()) return false;
    CFunChange& step = m_history.UndoStep();
    const CReplay replay{step};
    const bool bDone = Revert(step);
    if (!bDone) return false;
    m_history.StepBack();
    HistoryChanged();
    return true;
}

bool CFunListEditor::Redo() {
    if (!m_history.CanRedo()) return false;
    CFunChange& step = m_history.RedoStep();
    const CReplay replay{step};
    const bool bDone = Apply(step);
    if (!bDone) return false;
    m_history.StepForward();
    HistoryChanged();
    return true;
}

const CDataFun* CFunListEditor::FunOf(const CFunChange& step) const {
    if (step.m_kind == EFunChange::Delete && step.m_before.m_pFun)
        return step.m_before.m_pFun.get();
    if (step.m_kind == EFunChange::Add && step.m_after.m_pFun) return step.m_after.m_pFun.get();
    return Valid(step.m_nIndex) ? m_doc.m_arFuns[step.m_nIndex].get() : nullptr;
}

void CFunListEditor::MarkSaved() {
    m_history.MarkSaved();
    HistoryChanged();
}

void CFunListEditor::MarkUnsaved() {
    m_history.MarkUnsaved();
    HistoryChanged();
}

void CFunListEditor::ClearHistory() {
    m_history.Clear();
    HistoryChanged();
}

void CFunListEditor::HistoryChanged() {
    for (IFunListListener* p : m_listeners)
        p->OnFunHistoryChanged();
}

// Puts the after side into the document; what it replaces goes to the before side, so that
// the inverted change can put it back.
void CFunListEditor::Exchange(CFunChange& c) {
    CFunArray& funs = m_doc.m_arFuns;
    const auto at = funs.begin() + static_cast<std::ptrdiff_t>(c.m_nIndex);
    switch (c.m_kind) {
    case EFunChange::Add:
        funs.insert(at, std::move(c.m_after.m_pFun));
        return;
    case EFunChange::Delete:
        c.m_before.m_pFun = std::move(*at);
        funs.erase(at);
        return;
    default:
        break;
    }
    CDataFun& fun = **at;
    switch (c.m_kind) {
    case EFunChange::Modify:
        c.m_before.m_pNodes = std::move(fun.m_pNodes);
        fun.SetFunction(c.m_after.m_str, std::move(c.m_after.m_pNodes));
        break;
    case EFunChange::Show:
        fun.m_bShow = c.m_after.m_bShow;
        break;
    case EFunChange::Color:
        fun.m_clrFun = c.m_after.m_clr;
        break;
    case EFunChange::Domain:
        // The number is set as stored, not read again from the text: a loaded record may
        // hold a bound its text does not spell.
        (c.m_nSide == 0 ? fun.m_strMin : fun.m_strMax) = c.m_after.m_str;
        (c.m_nSide == 0 ? fun.m_dMin : fun.m_dMax) = c.m_after.m_dBound;
        break;
    default:
        break;
    }
}
