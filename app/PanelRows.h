#pragma once
// The view rebuilds the function list after New and Open; the rows go to the panel, which
// knows no view.

#include "panel/ControlView.h"
#include "view/ViewHost.h"

class CPanelRows : public IFunListSink {
  public:
    explicit CPanelRows(CControlView& panel) : m_panel(panel) {}
    void DeleteAllRows() override { m_panel.DeleteAllRows(); }
    void AddItem(const std::string& text, bool bShow, COLORREF clr) override {
        m_panel.AddItem(text, bShow, clr);
    }
    void EnableProperties(bool bEnable) override { m_panel.EnableProperties(bEnable); }

  private:
    CControlView& m_panel;
};
