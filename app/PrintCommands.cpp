#include "app/PrintCommands.h"

#include "app/FrameHost.h"
#include "app/PlotWindow.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

CPrintCommands::CPrintCommands(IFrameHost& app, QWidget* pParent, CPlotWindow* pPlot)
    : m_app(app), m_pParent(pParent), m_pPlot(pPlot) {}

void CPrintCommands::PreparePrinter(QPrinter& printer) const {
    printer.setDocName(m_app.GetTitle());
    if (m_layout) printer.setPageLayout(*m_layout);
}

void CPrintCommands::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    bool bOk = false;
    if (m_runPrint) {
        bOk = m_runPrint(printer);
    } else {
        QPrintDialog dlg(&printer, m_pParent);
        bOk = dlg.exec() == QDialog::Accepted;
    }
    if (bOk) m_pPlot->Print(printer);
}

void CPrintCommands::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    const QPageLayout before = printer.pageLayout();
    QPrintPreviewDialog dlg(&printer, m_pParent);
    // The preview's pages and its own print button both come through here.
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [this](QPrinter* pPrinter) { m_pPlot->Print(*pPrinter); });
    if (m_runPreview) {
        m_runPreview(dlg);
    } else {
        if (m_pParent) dlg.resize(m_pParent->size() * 0.8);
        dlg.exec();
    }
    // The preview's own page setup and orientation buttons choose a layout as page setup does.
    if (printer.pageLayout() != before) m_layout = printer.pageLayout();
}

void CPrintCommands::OnFilePrintSetup() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPageSetupDialog dlg(&printer, m_pParent);
    const bool bOk = m_runSetup ? m_runSetup(dlg) : dlg.exec() == QDialog::Accepted;
    if (bOk) m_layout = printer.pageLayout();
}
