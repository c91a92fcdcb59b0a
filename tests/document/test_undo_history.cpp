// The editor's undo history: steps, the modified mark, the limit, typed bounds as one step.

#include "document/CurvistDoc.h"
#include "document/FunHistory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using CState = std::vector<
    std::tuple<std::string, std::string, double, std::string, double, std::int32_t, COLORREF>>;

CState State(const CCurvistDoc& doc) {
    CState out;
    for (const auto& f : doc.m_arFuns)
        out.emplace_back(f->m_strFun, f->m_strMin, f->m_dMin, f->m_strMax, f->m_dMax, f->m_bShow,
                         f->m_clrFun);
    return out;
}

// Two records as a file gives them, the second with a lower bound its text does not spell;
// the document matches its file.
void Fill(CCurvistDoc& doc) {
    CFunArray funs;
    for (const char* text : {"x", "sinx"}) {
        funs.push_back(std::make_unique<CDataFun>());
        funs.back()->SetFunction(text, std::make_unique<CNodeList>());
    }
    funs[0]->m_clrFun = RGB(255, 0, 0);
    funs[1]->m_clrFun = RGB(0, 0, 255);
    funs[1]->m_strMin = "2";
    funs[1]->m_dMin = 7.0;
    doc.ReplaceContents(std::move(funs));
}

int UndoAll(CFunListEditor& e) {
    int n = 0;
    while (e.Undo())
        ++n;
    return n;
}

TEST(UndoHistory, ModifiedMarkFollowsTheHistory) {
    CCurvistDoc doc;
    Fill(doc);
    CFunListEditor& e = doc.Editor();
    const struct {
        const char* what;
        std::function<void()> op;
        bool modified, canUndo, canRedo;
    } steps[] = {
        {"hide", [&] { e.SetShow(0, false); }, true, true, false},
        {"undo to the file's state", [&] { e.Undo(); }, false, false, true},
        {"redo away from it", [&] { e.Redo(); }, true, true, false},
        {"colour", [&] { e.SetColor(1, RGB(0, 128, 0)); }, true, true, false},
        {"save", [&] { doc.SetModifiedFlag(false); }, false, true, false},
        {"undo from the saved state", [&] { e.Undo(); }, true, true, true},
        {"redo to it", [&] { e.Redo(); }, false, true, false},
        {"undo twice", [&] { e.Undo(), e.Undo(); }, true, false, true},
        // A new change drops the steps it leaves behind, the saved state among them.
        {"branch", [&] { e.Delete(0); }, true, true, false},
        {"as many steps as the saved state", [&] { e.SetShow(0, false); }, true, true, false},
        {"undo the branch", [&] { e.Undo(), e.Undo(); }, true, false, true},
        {"redo the branch", [&] { e.Redo(), e.Redo(); }, true, true, false},
        {"save again", [&] { doc.SetModifiedFlag(false); }, false, true, false},
        // A change made outside the editor is not undone, so no step returns to the file.
        {"outside change", [&] { doc.SetModifiedFlag(); }, true, true, false},
        {"undo after it", [&] { e.Undo(); }, true, true, true},
        {"redo after it", [&] { e.Redo(); }, true, true, false},
        {"new", [&] { doc.OnNewDocument(); }, false, false, false},
    };
    for (const auto& s : steps) {
        s.op();
        EXPECT_EQ(doc.IsModified(), s.modified) << s.what;
        EXPECT_EQ(e.CanUndo(), s.canUndo) << s.what;
        EXPECT_EQ(e.CanRedo(), s.canRedo) << s.what;
    }
}

TEST(UndoHistory, NewAndOpenStartAnEmptyHistory) {
    for (bool bOpen : {false, true}) {
        CCurvistDoc doc;
        Fill(doc);
        CFunListEditor& e = doc.Editor();
        e.SetShow(1, false);
        e.Delete(0);
        e.Undo();
        ASSERT_TRUE(e.CanUndo() && e.CanRedo());
        if (bOpen)
            Fill(doc);
        else
            doc.OnNewDocument();
        const CState state = State(doc);
        EXPECT_FALSE(e.Undo()) << bOpen;
        EXPECT_FALSE(e.Redo()) << bOpen;
        EXPECT_EQ(State(doc), state);
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST(UndoHistory, KeepsTheNewestStepsUpToItsLimit) {
    CCurvistDoc doc;
    Fill(doc);
    CFunListEditor& e = doc.Editor();
    const int nExtra = 7;
    const int nSteps = static_cast<int>(CFunHistory::kLimit) + nExtra;
    ASSERT_GE(CFunHistory::kLimit, 100u);
    // Alternating bounds, so that every step is a change and each state is known.
    for (int n = 1; n <= nSteps; ++n)
        e.SetDomain(0, 1, std::to_string(n));
    EXPECT_EQ(UndoAll(e), static_cast<int>(CFunHistory::kLimit));
    EXPECT_EQ(doc.m_arFuns[0]->m_strMax, std::to_string(nExtra));
    // The file's state went with the oldest steps: every state left differs from it.
    EXPECT_TRUE(doc.IsModified());
    int nRedone = 0;
    while (e.Redo())
        ++nRedone;
    EXPECT_EQ(nRedone, static_cast<int>(CFunHistory::kLimit));
    EXPECT_EQ(doc.m_arFuns[0]->m_strMax, std::to_string(nSteps));
}

// At the limit every new step pushes the oldest out, and the saved position moves with the steps.
TEST(UndoHistory, TheSavedStateIsFoundAtTheLimit) {
    CCurvistDoc doc;
    Fill(doc);
    CFunListEditor& e = doc.Editor();
    for (std::size_t n = 1; n <= CFunHistory::kLimit; ++n)
        e.SetDomain(0, 1, std::to_string(n));
    doc.SetModifiedFlag(false);
    const CState saved = State(doc);
    e.SetShow(0, false);
    EXPECT_TRUE(doc.IsModified());
    e.Undo();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(State(doc), saved);
    e.Undo();
    EXPECT_TRUE(doc.IsModified());
    e.Redo();
    EXPECT_FALSE(doc.IsModified());
}

TEST(UndoHistory, ANewChangeDropsTheUndoneSteps) {
    CCurvistDoc doc;
    Fill(doc);
    CFunListEditor& e = doc.Editor();
    e.SetShow(0, false);
    e.SetShow(1, false);
    e.Undo();
    e.Modify(0, "x^2", std::make_unique<CNodeList>());
    EXPECT_FALSE(e.CanRedo());
    EXPECT_EQ(UndoAll(e), 2);
    Fill(doc);
    const CState file = State(doc);
    e.SetShow(0, false);
    e.Undo();
    EXPECT_EQ(State(doc), file);
}

// A bound typed key by key is one step until the field is left; the step takes the record
// back to the text and the number it held, even a number its text does not spell.
TEST(UndoHistory, ATypedBoundIsOneStep) {
    using Op = std::function<void(CFunListEditor&)>;
    auto type = [](std::size_t i, int side, const char* text) {
        return Op([=](CFunListEditor& e) { e.TypeDomain(i, side, text); });
    };
    const Op leave = [](CFunListEditor& e) { e.EndTyping(); };
    const struct {
        const char* what;
        std::vector<Op> ops;
        int steps;
    } cases[] = {
        {"keystrokes", {type(1, 0, "1"), type(1, 0, "1."), type(1, 0, "1.5"), leave}, 1},
        {"back to the text but not its number", {type(1, 0, "23"), type(1, 0, "2"), leave}, 1},
        {"typed back to the text and the number", {type(0, 1, "3"), type(0, 1, "+\xA1\xDE")}, 0},
        {"the field left and typed again", {type(1, 0, "1"), leave, type(1, 0, "12")}, 2},
        {"typed again, back and on",
         {type(1, 0, "1"), leave, type(1, 0, "12"), type(1, 0, "1"), type(1, 0, "13")},
         2},
        {"the other bound", {type(1, 0, "1"), type(1, 1, "9")}, 2},
        {"another function", {type(1, 0, "1"), type(0, 0, "1")}, 2},
        {"a change between",
         {type(1, 0, "1"), [](CFunListEditor& e) { e.SetShow(0, false); }, type(1, 0, "12")},
         3},
        {"a chosen bound is a step of its own",
         {type(1, 0, "1"), [](CFunListEditor& e) { e.SetDomain(1, 0, "-\xA1\xDE"); },
          type(1, 0, "5")},
         3},
        {"the same text chosen again is no step",
         {[](CFunListEditor& e) { e.SetDomain(0, 0, "-\xA1\xDE"); }},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CCurvistDoc doc;
        Fill(doc);
        const CState file = State(doc);
        for (const Op& op : c.ops)
            op(doc.Editor());
        const CState typed = State(doc);
        EXPECT_EQ(doc.IsModified(), c.steps > 0);
        EXPECT_EQ(UndoAll(doc.Editor()), c.steps);
        EXPECT_EQ(State(doc), file);
        EXPECT_FALSE(doc.IsModified());
        while (doc.Editor().Redo()) {
        }
        EXPECT_EQ(State(doc), typed);
    }
}

// Undo in the middle of typing takes back what was typed; the next keystroke starts anew.
TEST(UndoHistory, UndoEndsTheTypedStep) {
    CCurvistDoc doc;
    Fill(doc);
    CFunListEditor& e = doc.Editor();
    e.TypeDomain(1, 1, "4");
    e.TypeDomain(1, 1, "45");
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(doc.m_arFuns[1]->m_strMax, kStrPlusInf);
    e.TypeDomain(1, 1, "6");
    e.TypeDomain(1, 1, "67");
    EXPECT_FALSE(e.CanRedo());
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(doc.m_arFuns[1]->m_strMax, kStrPlusInf);
    EXPECT_FALSE(e.CanUndo());
}

} // namespace
