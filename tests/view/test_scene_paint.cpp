// The shared scene painter against the plain serial order: the same pixels after every step
// of a session, for any number of threads, on scenes with crossings, poles, breaks, failures
// and every label placement; and the parallel step under it.

#include "ViewFixture.h"
#include "view/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

// One window: a surface, its host, a document and a view on it.
struct CPane {
    CSurface surface;
    CTestHost host;
    CCurvistDoc doc;
    std::unique_ptr<CCurvistView> view;
    CPane(const std::string& ini, int w, int h, int threads) : surface(w, h) {
        view = std::make_unique<CCurvistView>(ini);
        view->SetDocument(&doc);
        view->SetHost(&host);
        host.dc = &surface.dc;
        host.size = {w, h};
        view->OnSize(0, w, h);
        view->Renderer().SetDrawThreads(threads);
    }
};

struct CScene {
    const char* ini;
    int w, h;
    std::vector<const char*> funs;
};

class ScenePaintTest : public ViewTest {
  protected:
    // Runs every step on the serial reference and on shared painters of several thread counts,
    // comparing all surfaces after each step.
    void Check(const CScene& sc) {
        WriteIni(sc.ini);
        std::vector<std::unique_ptr<CPane>> panes;
        for (int threads : {0, 1, 2, 3, 8})
            panes.push_back(std::make_unique<CPane>(m_ini, sc.w, sc.h, threads));
        auto add = [&](const char* text, COLORREF clr) {
            for (auto& p : panes) {
                auto f = std::make_unique<CDataFun>();
                f->SetFunction(text, std::move(CheckFunText(text).pNodes));
                f->m_clrFun = clr;
                p->doc.AppendFunction(std::move(f));
            }
        };
        int k = 0;
        for (const char* f : sc.funs)
            add(f, RGB(40 + 20 * k, 255 - 25 * k, 60 * (k % 4))), ++k;
        auto each = [&](auto step) {
            for (auto& p : panes)
                step(*p->view, p->surface.dc);
        };
        auto edit = [&](auto change) {
            for (auto& p : panes)
                change(p->doc.Editor());
        };
        int nStep = 0;
        auto compare = [&](const char* what) {
            ++nStep;
            for (std::size_t i = 1; i < panes.size(); ++i)
                ASSERT_TRUE(panes[i]->surface.bits == panes[0]->surface.bits)
                    << sc.ini << " step " << nStep << " (" << what << "), pane " << i;
        };
        auto pan = [&](int dx, int dy) {
            each([&](CCurvistView& v, Dc&) { v.RedrawAll(false); });
            compare("pan, erase");
            each([&](CCurvistView& v, Dc&) {
                EditPlane(v, [&](CPlane& p) {
                    p.m_nOriginX += dx;
                    p.m_nOriginY += dy;
                });
                v.RedrawAll(true);
            });
            compare("pan, draw");
        };

        each([&](CCurvistView& v, Dc& dc) {
            v.OnEraseBkgnd(dc);
            v.OnDraw(dc);
        });
        compare("full repaint");
        pan(7, 0);
        pan(-7, 3);
        each([](CCurvistView& v, Dc&) { v.RedrawAll(false); });
        compare("erase");
        each([](CCurvistView& v, Dc&) { v.RedrawAll(true); });
        compare("draw");
        for (short dir : {1, 1, -1, 0}) {
            each([&](CCurvistView& v, Dc&) { v.ZoomStep(dir); });
            compare("zoom");
            pan(-5, -9);
        }
        for (int code : {0, 8, 3})
            each([&](CCurvistView& v, Dc&) { v.SetOriginPlace(code); });
        compare("origin presets");
        pan(120, -40);

        edit([](CFunListEditor& ed) { ed.SetShow(0, false); });
        compare("hide");
        pan(3, 3);
        edit([](CFunListEditor& ed) { ed.SetShow(0, true); });
        pan(-3, -3);
        edit([](CFunListEditor& ed) { ed.SetColor(1, RGB(1, 2, 3)); });
        compare("colour");
        pan(11, 0);
        edit([](CFunListEditor& ed) { ed.SetDomain(2, 0, "0.5"); });
        compare("domain");
        pan(0, 17);

        // Changes the panes cannot vouch for leave pixels that the next erase does not reach,
        // on every pane alike: the plane moved unseen; a curve of no record of the document; a
        // curve drawn after the plane moved unseen.
        CDataFun outsider;
        outsider.SetFunction("x/3+1", std::move(CheckFunText("x/3+1").pNodes));
        outsider.m_clrFun = RGB(0, 0, 255);
        for (int stray = 0; stray < 3; ++stray) {
            each([&](CCurvistView& v, Dc& dc) {
                v.OnEraseBkgnd(dc);
                v.OnDraw(dc);
            });
            compare("full repaint");
            for (auto& p : panes) {
                CCurvistView& v = *p->view;
                if (stray != 1) EditPlane(v, [](CPlane& plane) { plane.m_nOriginY += 5; });
                if (stray == 1) v.DrawCurve(p->surface.dc, outsider, true);
                if (stray == 2) v.DrawCurve(p->surface.dc, *p->doc.m_arFuns.back(), true);
            }
            pan(2, -1);
            pan(-2, 1);
        }
        each([&](CCurvistView& v, Dc& dc) {
            v.OnEraseBkgnd(dc);
            v.OnDraw(dc);
        });

        // Deleting, then adding and drawing one function, as the panel does.
        edit([](CFunListEditor& ed) { ed.Delete(0); });
        compare("delete");
        pan(1, 1);
        add("x^3-4*x", RGB(200, 100, 50));
        each([&](CCurvistView& v, Dc&) { v.DrawFunction(static_cast<int>(sc.funs.size()) - 1); });
        compare("add");
        pan(-8, 5);
        pan(8, -5);
    }
};

TEST_F(ScenePaintTest, SharedPainterMatchesTheSerialOrder) {
    const std::vector<const char*> mix = {"sin(x)", "cos(x)", "tanx",  "1/x",      "lnx",
                                          "x^0.5",  "e(1/x)", "100*x", "1/(x-1)+x"};
    const CScene scenes[] = {
        {"", 641, 521, mix},
        // Wide y units: poles break on screen instead of flipping across the edges.
        {"[Scale]\nnSpeed_Y=10000\nnPlace_X=0\nnPlace_Y=0\n", 333, 257, mix},
        {"[Scale]\nnSpeed_Y=5000\nnSpeed_X=37\nnPlace_X=1\nnPlace_Y=1\n[Pane]\nnWidth=17\n", 500,
         300, mix},
        {"[Scale]\nnPlace_X=3\nnPlace_Y=3\n[Pane]\nnWidth=90\nnHeight=13\n", 257, 611, mix},
        {"[Scale]\nnPlace_X=4\nnPlace_Y=-1\nbShow_X=0\n[Coor]\nbShow_X=0\n[Pane]\nbShow_Y=0\n", 199,
         199, mix},
        // Narrower than one strip, and a single column.
        {"", 15, 80, {"sin(x)", "1/x"}},
        {"", 1, 50, {"x"}},
    };
    for (const auto& sc : scenes) {
        Check(sc);
        if (HasFatalFailure()) return;
    }
}

// A picture from the renderer alone, as export and print make it, is the window's full
// repaint pixel for pixel, on the serial order and shared between threads.
TEST_F(ScenePaintTest, RendererAloneDrawsWhatTheViewShows) {
    WriteIni("[Scale]\nnPlace_X=1\nnSpeed_Y=50\n");
    for (int threads : {0, 2}) {
        CPane pane(m_ini, 300, 200, threads);
        for (const char* text : {"sin(x)", "1/x", "lnx"}) {
            auto f = std::make_unique<CDataFun>();
            f->SetFunction(text, std::move(CheckFunText(text).pNodes));
            f->m_clrFun = RGB(255, 255, 0);
            pane.doc.AppendFunction(std::move(f));
        }
        pane.doc.m_arFuns[1]->m_bShow = 0;
        pane.view->FullRepaint(pane.surface.dc);
        CSurface picture(300, 200);
        std::fill(picture.bits.begin(), picture.bits.end(), 0xFFFFFFFFu); // no background yet
        CSceneRenderer renderer;
        renderer.SetDrawThreads(threads);
        renderer.Render(picture.dc, pane.view->Scene());
        EXPECT_TRUE(picture.bits == pane.surface.bits) << threads << " threads";
        EXPECT_GT(picture.Count(RGB(255, 255, 0)), 300);
    }
}

// The parallel step under the painter: every task of a round runs once, on a worker that no
// other task of the round holds at the same time, for rounds in quick succession and after
// helpers slept.
TEST_F(ScenePaintTest, ParallelStepRunsEveryTaskOnceOnAWorkerOfItsOwn) {
    for (int nThreads : {1, 2, 3, 8}) {
        for (int round = 0; round < 3000; ++round) {
            // Round sizes from none to more than the threads; now and then a first task long
            // enough for the others to run beside it and for the caller to sleep, and a pause
            // for the helpers to.
            const int nTasks = round % 41;
            const bool slow = round % 500 == 7;
            auto runs = std::make_unique<std::atomic<int>[]>(static_cast<std::size_t>(nTasks) + 1);
            std::vector<std::atomic<bool>> busy(static_cast<std::size_t>(nThreads));
            std::atomic<int> bad{0};
            ParallelFor(nThreads, nTasks, [&](int t, int w) {
                if (t < 0 || t >= nTasks || w < 0 || w >= nThreads) {
                    ++bad;
                    return;
                }
                if (busy[static_cast<std::size_t>(w)].exchange(true)) ++bad;
                ++runs[static_cast<std::size_t>(t)];
                if (slow && t == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                busy[static_cast<std::size_t>(w)] = false;
            });
            ASSERT_EQ(bad.load(), 0) << nThreads << " threads, round " << round;
            for (int t = 0; t < nTasks; ++t)
                ASSERT_EQ(runs[static_cast<std::size_t>(t)].load(), 1)
                    << nThreads << " threads, round " << round << ", task " << t;
            if (slow) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}

} // namespace
