// The editor's undo history against a model of its own: random edits, typed bounds, undo, redo
// and save. After every operation the document holds the model's records, Undo and Redo are
// offered exactly when the model has a step to take, and the modified mark is the model's; the
// history never keeps more than its limit of steps.
#include "document/ColorTable.h"
#include "document/CurvistDoc.h"
#include "document/FunHistory.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

struct CRec {
    std::string text;
    std::int32_t show = 1;
    COLORREF clr = 0;
    std::string bound[2] = {kStrMinusInf, kStrPlusInf};
    double value[2] = {-kDomainOpen, kDomainOpen};
    bool operator==(const CRec& o) const {
        // Bounds compare bit for bit, so that a NaN held is a NaN given back.
        return text == o.text && show == o.show && clr == o.clr && bound[0] == o.bound[0] &&
               bound[1] == o.bound[1] && std::memcmp(value, o.value, sizeof value) == 0;
    }
};
using CState = std::vector<CRec>;

// The history as a list of whole states: states[pos] is the document now, the saved state is a
// position or none, and a typed bound may still take keystrokes.
struct CModel {
    std::deque<CState> states{CState{}};
    std::size_t pos = 0;
    std::optional<std::size_t> saved = 0;
    bool open = false;
    std::size_t openIndex = 0;
    int openSide = 0;

    const CState& Now() const { return states[pos]; }
    void Push(CState next, bool typed) {
        states.resize(pos + 1);
        if (saved && *saved > pos) saved.reset();
        states.push_back(std::move(next));
        ++pos;
        if (states.size() - 1 > CFunHistory::kLimit) {
            states.pop_front();
            --pos;
            if (saved) saved = *saved == 0 ? std::nullopt : std::optional(*saved - 1);
        }
        open = typed;
    }
};

const char* const kTexts[] = {"x", "sinx", "x^2", "cosx+1", "x/2", ""};
const char* const kBounds[] = {"", "1", "-2.5", "1.0", "abc", "0", "1e400", "-1e400"};

CState StateOf(const CCurvistDoc& doc) {
    CState s;
    for (const auto& f : doc.m_arFuns) {
        CRec r;
        r.text = f->m_strFun;
        r.show = f->m_bShow;
        r.clr = f->m_clrFun;
        r.bound[0] = f->m_strMin;
        r.bound[1] = f->m_strMax;
        r.value[0] = f->m_dMin;
        r.value[1] = f->m_dMax;
        s.push_back(std::move(r));
    }
    return s;
}

void Check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "the history and its model part at line %d\n", line);
    std::abort();
}

void CheckAgrees(CCurvistDoc& doc, const CModel& m) {
    Check(StateOf(doc) == m.Now());
    Check(doc.Editor().CanUndo() == (m.pos > 0));
    Check(doc.Editor().CanRedo() == (m.pos + 1 < m.states.size()));
    Check(doc.IsModified() == (m.saved != m.pos));
    Check(m.states.size() - 1 <= CFunHistory::kLimit);
}

COLORREF NewColor(const CState& s) {
    for (const auto& e : kColorTable) {
        bool used = false;
        for (const auto& r : s)
            used = used || r.clr == e.m_clr;
        if (!used) return e.m_clr;
    }
    return kColorTable[0].m_clr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    CCurvistDoc doc;
    CFunListEditor& e = doc.Editor();
    CModel m;
    // Enough changes to pass the history's limit a few times over, and no more: every input
    // stays quick.
    int nBudget = 4 * static_cast<int>(CFunHistory::kLimit);
    while (in.remaining_bytes() > 0 && nBudget-- > 0) {
        const int op = in.ConsumeIntegralInRange(0, 11);
        const std::size_t n = m.Now().size();
        // Now and then an index past the end, which every edit refuses.
        const std::size_t i = in.ConsumeIntegralInRange<std::size_t>(0, n);
        CState next = m.Now();
        switch (op) {
        case 0: { // add
            if (n >= 40) break;
            CRec r;
            r.text = in.PickValueInArray(kTexts);
            r.clr = NewColor(next);
            next.push_back(r);
            e.Add(r.text, std::make_unique<CNodeList>());
            m.Push(std::move(next), false);
            break;
        }
        case 1: // delete
            Check(e.Delete(i) == (i < n));
            if (i < n) {
                next.erase(next.begin() + static_cast<std::ptrdiff_t>(i));
                m.Push(std::move(next), false);
            }
            break;
        case 2: { // modify: the same text is no change
            const std::string text = in.PickValueInArray(kTexts);
            const bool step = i < n && next[i].text != text;
            Check(e.Modify(i, text, std::make_unique<CNodeList>()) == step);
            if (step) {
                next[i].text = text;
                m.Push(std::move(next), false);
            }
            break;
        }
        case 3: // show or hide, also many times over to reach the limit
        case 4: {
            const int times = op == 3 ? 1 : in.ConsumeIntegralInRange(1, 400);
            nBudget -= times - 1;
            for (int k = 0; k < times; ++k) {
                const std::size_t at = op == 3 ? i : 0;
                const bool valid = at < m.Now().size();
                const bool show = op == 3 ? in.ConsumeBool() : !valid || m.Now()[at].show == 0;
                Check(e.SetShow(at, show) == valid);
                if (!valid) break;
                CState s = m.Now();
                if (s[at].show == (show ? 1 : 0)) {
                    m.open = false; // no step, but the next change is one of its own
                } else {
                    s[at].show = show ? 1 : 0;
                    m.Push(std::move(s), false);
                }
            }
            break;
        }
        case 5: { // colour: refused when any function has it
            const COLORREF clr =
                in.ConsumeBool() ? RGB(1, 2, 3)
                                 : kColorTable[in.ConsumeIntegralInRange<std::size_t>(0, 8)].m_clr;
            bool taken = false;
            for (const auto& r : next)
                taken = taken || r.clr == clr;
            const bool step = i < n && !taken;
            Check(e.SetColor(i, clr) == step);
            if (step) {
                next[i].clr = clr;
                m.Push(std::move(next), false);
            }
            break;
        }
        case 6: // a bound set at once, or typed key by key
        case 7: {
            const int side = in.ConsumeBool() ? 1 : 0;
            const std::string text = in.PickValueInArray(kBounds);
            const bool typed = op == 7;
            Check((typed ? e.TypeDomain(i, side, text) : e.SetDomain(i, side, text)) == (i < n));
            if (i >= n) break;
            next[i].bound[side] = text;
            next[i].value[side] = DomainValue(text);
            // The same text and number (as numbers compare) is no change.
            const auto same = [&](const CState& a) {
                return a[i].bound[side] == text && a[i].value[side] == next[i].value[side];
            };
            const bool joins = typed && m.open && m.pos + 1 == m.states.size() && m.pos > 0 &&
                               m.openIndex == i && m.openSide == side;
            if (joins) {
                // The open step takes the new text; back where it began, it is no step.
                if (same(m.states[m.pos - 1])) {
                    m.states.pop_back();
                    --m.pos;
                    m.open = false;
                } else {
                    m.states[m.pos] = std::move(next);
                }
            } else if (same(m.Now())) {
                m.open = false;
            } else {
                m.Push(std::move(next), typed);
                m.openIndex = i;
                m.openSide = side;
            }
            break;
        }
        case 8:
            e.EndTyping();
            m.open = false;
            break;
        case 9:
            Check(e.Undo() == (m.pos > 0));
            if (m.pos > 0) {
                --m.pos;
                m.open = false;
            }
            break;
        case 10:
            Check(e.Redo() == (m.pos + 1 < m.states.size()));
            if (m.pos + 1 < m.states.size()) {
                ++m.pos;
                m.open = false;
            }
            break;
        case 11: // save
            doc.SetModifiedFlag(false);
            m.saved = m.pos;
            m.open = false;
            break;
        }
        CheckAgrees(doc, m);
    }
    // Every state the model holds is reached again by undo and redo.
    while (m.pos > 0) {
        Check(e.Undo());
        --m.pos;
        CheckAgrees(doc, m);
    }
    Check(!e.Undo());
    while (m.pos + 1 < m.states.size()) {
        Check(e.Redo());
        ++m.pos;
        CheckAgrees(doc, m);
    }
    Check(!e.Redo());
    return 0;
}
