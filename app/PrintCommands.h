#pragma once
// Printing the plane: print, print preview and page setup. The page layout chosen in page setup
// (or changed in the preview) holds for the rest of the session, and the preview paints through
// the same function as the printer, so it shows exactly what printing produces.

#include <QPageLayout>
#include <QString>
#include <optional>

class CPlotWindow;
class IFileCommands;
class QPrinter;
class QWidget;

class CPrintCommands {
  public:
    // pParent owns the dialogs; pPlot draws the pages.
    // files names the printed document.
    CPrintCommands(IFileCommands& files, QWidget* pParent, CPlotWindow* pPlot);

    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    // The layout page setup or the preview chose, or none yet (the printer's default).
    const std::optional<QPageLayout>& PageLayout() const { return m_layout; }

  private:
    // The document's name and the session's page layout.
    void PreparePrinter(QPrinter& printer) const;

    IFileCommands& m_files;
    QWidget* m_pParent;
    CPlotWindow* m_pPlot;
    std::optional<QPageLayout> m_layout;
};
