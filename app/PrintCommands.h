#pragma once
// Printing the plane: print, print preview and page setup. The page layout chosen in page setup
// (or changed in the preview) holds for the rest of the session, and the preview paints through
// the same function as the printer, so it shows exactly what printing produces.

#include <QPageLayout>
#include <QString>
#include <functional>
#include <optional>

class CPlotWindow;
class IFrameHost;
class QPageSetupDialog;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;

class CPrintCommands {
  public:
    // pParent owns the dialogs; pPlot draws the pages.
    CPrintCommands(IFrameHost& app, QWidget* pParent, CPlotWindow* pPlot);

    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    // The layout page setup or the preview chose, or none yet (the printer's default).
    const std::optional<QPageLayout>& PageLayout() const { return m_layout; }

    // Each dialog is replaceable so that tests never wait in a modal run. The print runner
    // returns whether to print; the setup runner whether the layout was accepted; the preview
    // runner shows the dialog as it sees fit.
    using PrintRunner = std::function<bool(QPrinter&)>;
    using PreviewRunner = std::function<void(QPrintPreviewDialog&)>;
    using SetupRunner = std::function<bool(QPageSetupDialog&)>;
    void SetPrintRunner(PrintRunner runner) { m_runPrint = std::move(runner); }
    void SetPreviewRunner(PreviewRunner runner) { m_runPreview = std::move(runner); }
    void SetSetupRunner(SetupRunner runner) { m_runSetup = std::move(runner); }

  private:
    // The document's name and the session's page layout.
    void PreparePrinter(QPrinter& printer) const;

    IFrameHost& m_app;
    QWidget* m_pParent;
    CPlotWindow* m_pPlot;
    std::optional<QPageLayout> m_layout;
    PrintRunner m_runPrint;
    PreviewRunner m_runPreview;
    SetupRunner m_runSetup;
};
