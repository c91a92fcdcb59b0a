#pragma once
// What the main frame needs from the application that owns it: the document and view it
// shows, the panel it reports back, and the file commands of its menu. The frame knows the
// application only through this.

#include <QString>

class CControlView;
class CCurvistDoc;
class CCurvistView;

class IFrameHost {
  public:
    virtual ~IFrameHost() = default;
    virtual CCurvistDoc& Doc() = 0;
    virtual CCurvistView* PlotView() const = 0;
    virtual CControlView* ControlView() const = 0;
    // The panel, once the frame has made it.
    virtual void SetControlView(CControlView* pPanel) = 0;

    // The file commands; each returns false when it did not happen (cancelled or failed).
    virtual bool OnFileNew() = 0;
    virtual bool OnFileOpen() = 0;
    virtual bool OnFileSave() = 0;
    virtual bool OnFileSaveAs() = 0;
    virtual bool OnOpenRecentFile(int nIndex) = 0;
    virtual void OnAppAbout() = 0;
    // Asks whether to save a modified document: true to go on (saved or declined).
    virtual bool SaveModified() = 0;
    // The document's name for the title: the file name, or "无标题".
    virtual QString GetTitle() const = 0;
};
