#pragma once
// A plot view on a document, a host that hands out a Dc of the test's choice, and helpers to
// write a "VisParam.ini" and add functions.

#include "EditView.h"
#include "RecordingDc.h"
#include "TempDir.h"
#include "expr/FunCompiler.h"
#include "platform/RasterDc.h"
#include "view/CurvistView.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

struct CTestHost : IViewHost {
    Dc* dc = nullptr;
    CSize size{641, 521};
    std::vector<std::string> messages;
    int presents = 0;

    Dc* ClientDc() override { return dc; }
    CSize WindowSize() override { return size; }
    void MessageBox(const std::string& text) override { messages.push_back(text); }
    void Present() override { ++presents; }
};

struct CTestList : IFunListSink {
    std::vector<std::string> log;
    void DeleteAllRows() override { log.push_back("clear"); }
    void AddItem(const std::string& text, bool bShow, COLORREF clr) override {
        log.push_back(text + (bShow ? " shown " : " hidden ") + std::to_string(clr));
    }
    void EnableProperties(bool bEnable) override { log.push_back(bEnable ? "enable" : "disable"); }
};

// A pixel surface with its RasterDc.
struct CSurface {
    std::vector<std::uint32_t> bits;
    RasterDc dc;
    CSurface(int w, int h)
        : bits(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0xFF000000u),
          dc(bits.data(), w, h, w, nullptr) {}
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
    // Pixels of colour `clr`, and pixels that are not.
    int Count(COLORREF clr) const {
        int n = 0;
        for (std::uint32_t p : bits)
            n += RasterDc::FromPixel(p) == clr;
        return n;
    }
    int CountOther(COLORREF clr) const {
        int n = 0;
        for (std::uint32_t p : bits)
            n += RasterDc::FromPixel(p) != clr;
        return n;
    }
};

class ViewTest : public CTempDirTest {
  protected:
    void SetUp() override {
        CTempDirTest::SetUp();
        m_ini = PathOf("VisParam.ini");
    }

    void WriteIni(const std::string& text) { std::ofstream(m_ini) << text; }

    // A view on the document at a w x h client, as after the window's first resize.
    CCurvistView& MakeView(int w = 641, int h = 521) {
        m_view = std::make_unique<CCurvistView>(m_ini);
        m_view->SetDocument(&m_doc);
        m_view->SetHost(&m_host);
        m_view->SetFunList(&m_list);
        m_host.size = {w, h};
        m_view->OnSize(0, w, h);
        return *m_view;
    }

    CDataFun& AddFun(const std::string& text, COLORREF clr, bool show = true) {
        CFunCheck c = CheckFunText(text);
        EXPECT_EQ(c.status, EFunCheck::Ok) << text;
        auto f = std::make_unique<CDataFun>();
        f->SetFunction(text, std::move(c.pNodes));
        f->m_clrFun = clr;
        f->m_bShow = show ? 1 : 0;
        return m_doc.AppendFunction(std::move(f));
    }

    // Background fill, then the full repaint.
    void FullRepaint(Dc& dc) { m_view->FullRepaint(dc); }

    std::string m_ini;
    CCurvistDoc m_doc;
    CTestHost m_host;
    CTestList m_list;
    std::unique_ptr<CCurvistView> m_view;
};
