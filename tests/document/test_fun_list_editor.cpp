#include "document/ColorTable.h"
#include "document/CurvistDoc.h"
#include "document/FunListEditor.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace {

std::unique_ptr<CNodeList> Nodes() {
    return std::make_unique<CNodeList>();
}

// Everything a record holds, the node list and the record by identity.
using CRecordState = std::tuple<const CDataFun*, std::string, const CNodeList*, double, double,
                                std::string, std::string, COLORREF, std::int32_t>;

std::vector<CRecordState> Snapshot(const CCurvistDoc& doc) {
    std::vector<CRecordState> out;
    for (const auto& f : doc.m_arFuns)
        out.emplace_back(f.get(), f->m_strFun, f->m_pNodes.get(), f->m_dMin, f->m_dMax, f->m_strMin,
                         f->m_strMax, f->m_clrFun, f->m_bShow);
    return out;
}

struct CRecorder : IFunListListener {
    std::vector<std::tuple<bool, EFunChange, std::size_t>> calls; // (after?, kind, index)
    std::vector<bool> replays;                                    // m_bReplay of each call
    void OnFunListChanging(const CFunChange& c) override {
        calls.emplace_back(false, c.m_kind, c.m_nIndex);
        replays.push_back(c.m_bReplay);
    }
    void OnFunListChanged(const CFunChange& c) override {
        calls.emplace_back(true, c.m_kind, c.m_nIndex);
        replays.push_back(c.m_bReplay);
    }
};

// Three records as a file may hold them: a bound whose number its text does not spell, a
// visibility flag other than 0 or 1.
void Fill(CCurvistDoc& doc) {
    const char* texts[] = {"x", "sinx", "x^2"};
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 128, 0)};
    for (int i = 0; i < 3; ++i) {
        auto f = std::make_unique<CDataFun>();
        f->SetFunction(texts[i], Nodes());
        f->m_clrFun = colours[i];
        doc.AppendFunction(std::move(f));
    }
    doc.m_arFuns[1]->m_strMin = "-1";
    doc.m_arFuns[1]->m_dMin = -7.0;
    doc.m_arFuns[2]->m_bShow = 5;
    doc.SetModifiedFlag(false);
}

TEST(FunListEditor, EachChangeAppliesTellsAndUndoesExactly) {
    const struct {
        const char* what;
        std::function<bool(CFunListEditor&)> op;
        EFunChange kind;
        std::size_t index;
        std::function<void(const CCurvistDoc&)> check;
    } cases[] = {
        {"add", [](CFunListEditor& e) { return e.Add("cosx", Nodes()) == 3; }, EFunChange::Add, 3,
         [](const CCurvistDoc& d) {
             const CDataFun& f = *d.m_arFuns.at(3);
             EXPECT_EQ(FunRowText(f), "Y=cosx");
             EXPECT_EQ(f.m_clrFun, RGB(255, 255, 0)); // first colour nobody has
             EXPECT_EQ(f.m_bShow, 1);
             EXPECT_EQ(f.m_strMin, kStrMinusInf);
         }},
        {"modify", [](CFunListEditor& e) { return e.Modify(1, "tgx", Nodes()); },
         EFunChange::Modify, 1,
         [](const CCurvistDoc& d) {
             EXPECT_EQ(FunRowText(*d.m_arFuns[1]), "Y=tgx");
             EXPECT_EQ(d.m_arFuns[1]->m_dMin, -7.0); // the rest stays
         }},
        {"delete", [](CFunListEditor& e) { return e.Delete(0); }, EFunChange::Delete, 0,
         [](const CCurvistDoc& d) {
             ASSERT_EQ(d.m_arFuns.size(), 2u);
             EXPECT_EQ(d.m_arFuns[0]->m_strFun, "sinx");
         }},
        {"hide", [](CFunListEditor& e) { return e.SetShow(2, false); }, EFunChange::Show, 2,
         [](const CCurvistDoc& d) { EXPECT_EQ(d.m_arFuns[2]->m_bShow, 0); }},
        {"colour", [](CFunListEditor& e) { return e.SetColor(0, RGB(128, 128, 128)); },
         EFunChange::Color, 0,
         [](const CCurvistDoc& d) { EXPECT_EQ(d.m_arFuns[0]->m_clrFun, RGB(128, 128, 128)); }},
        {"lower bound", [](CFunListEditor& e) { return e.SetDomain(1, 0, "-\xA1\xDE"); },
         EFunChange::Domain, 1,
         [](const CCurvistDoc& d) {
             EXPECT_EQ(d.m_arFuns[1]->m_dMin, -kDomainOpen);
             EXPECT_EQ(d.m_arFuns[1]->m_strMin, kStrMinusInf);
         }},
        {"upper bound", [](CFunListEditor& e) { return e.SetDomain(1, 1, "2.5"); },
         EFunChange::Domain, 1,
         [](const CCurvistDoc& d) {
             EXPECT_EQ(d.m_arFuns[1]->m_dMax, 2.5);
             EXPECT_EQ(d.m_arFuns[1]->m_strMax, "2.5");
             EXPECT_EQ(d.m_arFuns[1]->m_dMin, -7.0); // the other side untouched
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CCurvistDoc doc;
        Fill(doc);
        CRecorder rec;
        doc.Editor().AddListener(&rec);
        const auto before = Snapshot(doc);

        ASSERT_TRUE(c.op(doc.Editor()));
        c.check(doc);
        EXPECT_TRUE(doc.IsModified());
        using Call = std::tuple<bool, EFunChange, std::size_t>;
        EXPECT_EQ(rec.calls,
                  (std::vector<Call>{{false, c.kind, c.index}, {true, c.kind, c.index}}));
        const auto after = Snapshot(doc);

        ASSERT_TRUE(doc.Editor().Undo());
        EXPECT_EQ(Snapshot(doc), before);
        EXPECT_FALSE(doc.IsModified()); // back where the file was
        ASSERT_TRUE(doc.Editor().Redo());
        EXPECT_EQ(Snapshot(doc), after);
        EXPECT_TRUE(doc.IsModified());
        // Undo tells the inverse change (an add is taken back as a delete), redo the change;
        // both as replays.
        const EFunChange undone = c.kind == EFunChange::Add      ? EFunChange::Delete
                                  : c.kind == EFunChange::Delete ? EFunChange::Add
                                                                 : c.kind;
        EXPECT_EQ(rec.calls, (std::vector<Call>{{false, c.kind, c.index},
                                                {true, c.kind, c.index},
                                                {false, undone, c.index},
                                                {true, undone, c.index},
                                                {false, c.kind, c.index},
                                                {true, c.kind, c.index}}));
        EXPECT_EQ(rec.replays, (std::vector<bool>{false, false, true, true, true, true}));
        doc.Editor().RemoveListener(&rec);
    }
}

TEST(FunListEditor, RefusedChangesTellNoOneAndLeaveTheDocumentUnmodified) {
    CCurvistDoc doc;
    Fill(doc);
    CRecorder rec;
    doc.Editor().AddListener(&rec);
    const auto before = Snapshot(doc);
    CFunListEditor& e = doc.Editor();
    EXPECT_FALSE(e.SetColor(0, RGB(255, 0, 0))); // its own colour
    EXPECT_FALSE(e.SetColor(0, RGB(0, 0, 255))); // another record's
    EXPECT_FALSE(e.Modify(1, "sinx", Nodes()));  // the same text
    EXPECT_FALSE(e.Delete(3));
    EXPECT_FALSE(e.SetShow(3, true));
    EXPECT_FALSE(e.SetDomain(3, 0, "1"));
    EXPECT_FALSE(e.Modify(3, "x", Nodes()));
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Snapshot(doc), before);

    EXPECT_FALSE(e.CanUndo()); // refused changes are no steps

    // A change made on other contents is not undone on these: New empties the history.
    ASSERT_TRUE(e.Delete(2));
    doc.OnNewDocument();
    const auto empty = Snapshot(doc);
    rec.calls.clear();
    EXPECT_FALSE(e.Undo());
    EXPECT_FALSE(e.Redo());
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(Snapshot(doc), empty);
}

TEST(FunListEditor, ListenersAreToldInOrderWithTheFirstInFront) {
    CCurvistDoc doc;
    std::vector<int> order;
    struct CTag : IFunListListener {
        std::vector<int>* out;
        int tag;
        void OnFunListChanged(const CFunChange&) override { out->push_back(tag); }
    } a, b, c;
    a.out = b.out = c.out = &order;
    a.tag = 1, b.tag = 2, c.tag = 3;
    doc.Editor().AddListener(&a);
    doc.Editor().AddListener(&b);
    doc.Editor().AddListener(&c, true);
    doc.Editor().AddListener(&a); // once only
    doc.Editor().Add("x", Nodes());
    EXPECT_EQ(order, (std::vector<int>{3, 1, 2}));
    doc.Editor().RemoveListener(&a);
    doc.Editor().RemoveListener(&b);
    doc.Editor().RemoveListener(&c);
}

} // namespace
