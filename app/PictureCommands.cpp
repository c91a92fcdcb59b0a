#include "app/PictureCommands.h"

#include "app/AppMessage.h"
#include "app/FileCommands.h"
#include "app/FileMessage.h"
#include "platform/AtomicFile.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Translations.h"
#include "view/CurvistView.h"
#include "view/qt/PlotRender.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace {

// The file types the export dialog offers, each with the suffix a bare name takes.
const struct {
    const char* szFilter;
    const char* szSuffix;
} kPictureTypes[] = {
    {"PNG 图像 (*.png)", "png"},
    {"SVG 图像 (*.svg)", "svg"},
    {"PDF 文档 (*.pdf)", "pdf"},
};

QString SuffixOfFilter(const QString& filter) {
    for (const auto& type : kPictureTypes)
        if (filter == U(type.szFilter)) return U(type.szSuffix);
    return U(kPictureTypes[0].szSuffix);
}

} // namespace

std::unique_ptr<QFileDialog> CreateExportDialog(QWidget* pParent, const QString& strSelect) {
    auto pDlg = std::make_unique<QFileDialog>(pParent, U("导出图像"));
    pDlg->setOption(QFileDialog::DontUseNativeDialog); // in the program's language, as Save As
    ShowFileDetailsInChinese(pDlg.get());
    pDlg->setAcceptMode(QFileDialog::AcceptSave);
    pDlg->setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& type : kPictureTypes)
        filters << U(type.szFilter);
    pDlg->setNameFilters(filters);
    // No default suffix: the dialog would add one that need not follow the chosen type, and a
    // bare name then keeps the name of the wrong format. ConfirmExportPath adds the type's.
    pDlg->selectFile(strSelect);
    return pDlg;
}

QString ConfirmExportPath(QWidget* pParent, const QFileDialog& dlg, const QString& chosen) {
    return ConfirmSavePath(pParent, chosen, SuffixOfFilter(dlg.selectedNameFilter()));
}

CPictureCommands::CPictureCommands(CCurvistDoc& doc, const CCurvistView& view,
                                   const IFileCommands& files, QWidget* pParent)
    : m_doc(doc), m_view(view), m_files(files), m_pParent(pParent) {}

bool CPictureCommands::OnFileExport() {
    const QString proposed = QFileInfo(m_files.GetTitle()).completeBaseName() +
                             QStringLiteral(".") + U(kPictureTypes[0].szSuffix);
    QString path;
    do {
        auto pDlg = CreateExportDialog(m_pParent, proposed);
        QString chosen;
        if (RunModal(*pDlg) == QDialog::Accepted && !pDlg->selectedFiles().isEmpty())
            chosen = pDlg->selectedFiles().front();
        if (chosen.isEmpty()) return false;
        path = ConfirmExportPath(m_pParent, *pDlg, chosen);
    } while (path.isEmpty());
    return ExportTo(path);
}

bool CPictureCommands::ExportTo(const QString& path) {
    const std::string local = LocalPath(path);
    const std::string format = PictureFormat(local);
    if (format.empty()) {
        AppMessageBox(m_pParent, QMessageBox::Warning,
                      U("无法导出图像文件“") + QDir::toNativeSeparators(path) +
                          U("”：请用 .png、.svg、.pdf 等图像扩展名。"));
        return false;
    }
    // The whole picture is made first, so that a failure leaves any old file as it was.
    QByteArray bytes;
    std::string error;
    if (!RenderScene(SceneOf(m_view), format, bytes, error)) {
        AppMessageBox(m_pParent, QMessageBox::Warning,
                      FileErrorMessage("无法导出图像", path, EFileError::Other, error));
        return false;
    }
    CWriteReport report;
    if (!WriteFileAtomically(local, std::string_view(bytes.constData(), bytes.size()), &error, {},
                             &report)) {
        AppMessageBox(m_pParent, QMessageBox::Warning,
                      FileErrorMessage("无法导出图像", path,
                                       DiagnoseWriteFailure(local, report.nErrno), error,
                                       report.strBackup));
        return false;
    }
    return true;
}

void CPictureCommands::OnEditCopy() {
    const CScene scene = SceneOf(m_view);
    const QImage image = RenderSceneImage(scene);
    if (image.isNull()) {
        AppMessageBox(m_pParent, QMessageBox::Warning, U("无法复制图像：内存不足。"));
        return;
    }
    auto pData = std::make_unique<QMimeData>();
    pData->setImageData(image);
    // Word processors and drawing programs take the vector form where they can.
    QByteArray svg;
    std::string error;
    if (RenderScene(scene, "svg", svg, error)) pData->setData(QStringLiteral("image/svg+xml"), svg);
    QGuiApplication::clipboard()->setMimeData(pData.release());
}
