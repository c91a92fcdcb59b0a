// The node results a saved file carries after a repaint are those of the latest evaluation,
// as if the curve pass had evaluated column by column.

#include "ViewFixture.h"
#include "document/FunFile.h"
#include "expr/CalcValue.h"

namespace {

class SavedResults : public ViewTest {};

TEST_F(SavedResults, RepaintLeavesTheResultsOfEvaluationColumnByColumn) {
    // Curves that end complete, that fail on the left, that fail on the right at one node
    // and at another, and that jump at poles (samples half a pixel to the left).
    const char* texts[] = {"sinx+x", "x^0.5*2", "(0-x)^0.5+1/(x-2)", "(2-x)^0.5/(x-1)", "tanx"};
    CCurvistView& v = MakeView();
    for (const char* t : texts)
        AddFun(t, RGB(255, 0, 0));
    CSurface s(641, 521);
    m_host.dc = &s.dc;
    FullRepaint(s.dc);
    const std::string drawn = WriteFunFile(m_doc.m_arFuns);

    CFunArray single;
    for (const char* t : texts) {
        CFunCheck c = CheckFunText(t);
        auto f = std::make_unique<CDataFun>();
        f->SetFunction(t, std::move(c.pNodes));
        f->m_clrFun = RGB(255, 0, 0);
        f->m_bShow = 1;
        for (int col = -2; col < 641; ++col) {
            bool err = false;
            CalcValue(*f->m_pNodes, v.ColToWorldX(col), err);
        }
        single.push_back(std::move(f));
    }
    const std::string evaluated = WriteFunFile(single);
    EXPECT_EQ(drawn, evaluated);
    // Not the results the lists were compiled with: the repaint did record them.
    CFunArray fresh;
    for (const char* t : texts) {
        auto f = std::make_unique<CDataFun>();
        f->SetFunction(t, std::move(CheckFunText(t).pNodes));
        f->m_clrFun = RGB(255, 0, 0);
        f->m_bShow = 1;
        fresh.push_back(std::move(f));
    }
    EXPECT_NE(drawn, WriteFunFile(fresh));
}

} // namespace
