#pragma once
// What the plot view needs from the window that shows it and from the function panel. The Qt
// window and panel implement these; tests and curvist-plot use small stand-ins.

#include "platform/Dc.h"

#include <string>

class IViewHost {
  public:
    virtual ~IViewHost() = default;
    // The client surface (the window's back buffer) that in-place changes draw on, or null
    // while the window has none.
    virtual Dc* ClientDc() = 0;
    // Size of the view's window rectangle.
    virtual CSize WindowSize() = 0;
    // A modal message box with an OK button; text is UTF-8.
    virtual void MessageBox(const std::string& text) = 0;
    // Shows what the in-place operations drew on the client surface.
    virtual void Present() = 0;
};

// A host with no window: one surface of a fixed size, no messages (rendering to a file,
// benchmarks).
class CSurfaceHost : public IViewHost {
  public:
    Dc* dc = nullptr;
    CSize size;
    Dc* ClientDc() override { return dc; }
    CSize WindowSize() override { return size; }
    void MessageBox(const std::string&) override {}
    void Present() override {}
};

// The function panel's list, rebuilt by the first full repaint after New or Open.
class IFunListSink {
  public:
    virtual ~IFunListSink() = default;
    virtual void DeleteAllRows() = 0;
    // text is "Y=" followed by the record's raw code-page-936 text.
    virtual void AddItem(const std::string& text, bool bShow, COLORREF clr) = 0;
    virtual void EnableProperties(bool bEnable) = 0;
};
