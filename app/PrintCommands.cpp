#include "app/PrintCommands.h"

#include "app/FileCommands.h"
#include "app/PlotWindow.h"
#include "platform/qt/ModalDialog.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

CPrintCommands::CPrintCommands(IFileCommands& files, QWidget* pParent, CPlotWindow* pPlot)
    : m_files(files), m_pParent(pParent), m_pPlot(pPlot) {}

void CPrintCommands::PreparePrinter(QPrinter& printer) const {
    printer.setDocName(m_files.GetTitle());
    if (m_layout) printer.setPageLayout(*m_layout);
}

void CPrintCommands::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintDialog dlg(&printer, m_pParent);
    if (RunModal(dlg) == QDialog::Accepted) m_pPlot->Print(printer);
}

void CPrintCommands::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    const QPageLayout before = printer.pageLayout();
    QPrintPreviewDialog dlg(&printer, m_pParent);
    // The preview's pages and its own print button both come through here.
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [this](QPrinter* pPrinter) { m_pPlot->Print(*pPrinter); });
    if (m_pParent) dlg.resize(m_pParent->size() * 0.8);
    RunModal(dlg);
    // The preview's own page setup and orientation buttons choose a layout as page setup does.
    if (printer.pageLayout() != before) m_layout = printer.pageLayout();
}

void CPrintCommands::OnFilePrintSetup() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPageSetupDialog dlg(&printer, m_pParent);
    if (RunModal(dlg) == QDialog::Accepted) m_layout = printer.pageLayout();
}
