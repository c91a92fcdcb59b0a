#include "app/CurvistApp.h"

#include "app/AppMessage.h"
#include "app/FileDrop.h"
#include "app/FileMessage.h"
#include "app/MainFrame.h"
#include "app/PanelRows.h"
#include "app/PlotWindow.h"
#include "document/DocumentFile.h"
#include "panel/ControlView.h"
#include "platform/FileError.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Translations.h"
#include "settings/VisParam.h"
#include "view/CurvistView.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>

namespace {

const QString kRecentGroup = QStringLiteral("Recent File List");

// The user's $XDG_CONFIG_HOME/curvist/Curvist.conf, beside the user's "VisParam.ini".
QSettings AppSettings() {
    return QSettings(QStringLiteral("curvist"), QStringLiteral("Curvist"));
}

// A list left in ~/.config/Local AppWizard-Generated Applications/Curvist.conf moves here
// once: the old list is removed, and the old file and folder with it once empty.
void TakeOverOldRecentFiles(QSettings& settings) {
    QSettings old(QStringLiteral("Local AppWizard-Generated Applications"),
                  QStringLiteral("Curvist"));
    if (!old.childGroups().contains(kRecentGroup)) return;
    old.beginGroup(kRecentGroup);
    if (!settings.childGroups().contains(kRecentGroup)) {
        settings.beginGroup(kRecentGroup);
        for (const QString& key : old.childKeys())
            settings.setValue(key, old.value(key));
        settings.endGroup();
        settings.sync();
        if (settings.status() != QSettings::NoError) return;
    }
    old.remove(QString());
    old.endGroup();
    old.sync();
    if (old.allKeys().isEmpty()) {
        const QFileInfo file(old.fileName());
        QFile::remove(file.filePath());
        QDir().rmdir(file.path());
    }
}

const char kFilter[] = "方程文件(*.cvx);;所有文件 (*)";

} // namespace

CCurvistApp::CCurvistApp(const std::string& strIniPath)
    : m_pView(
          std::make_unique<CCurvistView>(strIniPath.empty() ? DefaultVisParamPath() : strIniPath)) {
    m_pPlotView = m_pView.get();
    m_pView->SetDocument(&m_doc);
    LoadRecentFiles();
}

CCurvistApp::~CCurvistApp() {
    // The panes borrow the view and the document: they go first.
    m_pView->SetFunList(nullptr);
    m_pFrame.reset();
}

void CCurvistApp::BuildWindow() {
    auto* pPanel = new CControlView;
    auto* pPlot = new CPlotWindow(&m_doc, m_pView.get());
    m_pFrame = std::make_unique<CMainFrame>(*this, m_doc, *m_pView, pPanel, pPlot);
    pPanel->Attach(&m_doc);
    m_pPanelRows = std::make_unique<CPanelRows>(*pPanel);
    m_pView->SetFunList(m_pPanelRows.get());
    CMainFrame* pFrame = m_pFrame.get();
    QObject::connect(pPanel, &CControlView::wheelStep, pFrame,
                     [pFrame](int nDirection) { pFrame->OnZoom(static_cast<short>(nDirection)); });
    QObject::connect(pPanel, &CControlView::statusMessage, pFrame,
                     [pFrame](const QString& text) { pFrame->ShowNote(text); });
    m_pControlView = pPanel;
}

bool CCurvistApp::InitInstance(const QStringList& args, bool bShow) {
    BuildWindow();
    new CFileDrop(m_pFrame.get(), [this](const QString& path) { return OpenDocumentFile(path); });
    m_pFrame->SetRecentFiles(m_recent);
    m_doc.OnNewDocument();
    SetPathName({});
    if (!args.isEmpty() && !OpenDocumentFile(args.front())) return false;
    if (bShow) {
        // Without a window manager (a bare X server) maximizing does nothing: take the screen.
        if (QScreen* pScreen = m_pFrame->screen())
            m_pFrame->setGeometry(pScreen->availableGeometry());
        m_pFrame->showMaximized();
    }
    return true;
}

QString CCurvistApp::GetTitle() const {
    return m_strPath.isEmpty() ? U(kUntitled) : DisplayPath(QFileInfo(m_strPath).fileName());
}

void CCurvistApp::SetPathName(const QString& path) {
    m_strPath = path;
    UpdateTitle();
}

void CCurvistApp::UpdateTitle() {
    if (m_pFrame) m_pFrame->setWindowTitle(GetTitle() + QStringLiteral(" - ") + U(kWindowTitle));
}

QString CCurvistApp::AskFileName(bool bSave) {
    auto pDlg =
        CreateFileDialog(m_pFrame.get(), bSave, m_strPath.isEmpty() ? GetTitle() : m_strPath);
    if (RunModal(*pDlg) != QDialog::Accepted || pDlg->selectedFiles().isEmpty()) return {};
    return pDlg->selectedFiles().front();
}

std::unique_ptr<QFileDialog> CreateFileDialog(QWidget* pParent, bool bSave,
                                              const QString& strSelect) {
    auto pDlg = std::make_unique<QFileDialog>(pParent, bSave ? U("另存为") : U("打开"));
    // Qt's own dialog speaks the program's language; a desktop's native one follows the
    // system locale, which is often English.
    pDlg->setOption(QFileDialog::DontUseNativeDialog);
    ShowFileDetailsInChinese(pDlg.get());
    pDlg->setNameFilters(U(kFilter).split(QStringLiteral(";;")));
    if (bSave) {
        pDlg->setAcceptMode(QFileDialog::AcceptSave);
        pDlg->setFileMode(QFileDialog::AnyFile);
        pDlg->setDefaultSuffix(QStringLiteral("cvx"));
        pDlg->selectFile(strSelect);
    } else {
        pDlg->setFileMode(QFileDialog::ExistingFile);
    }
    return pDlg;
}

bool CCurvistApp::SaveModified() {
    if (!m_doc.IsModified()) return true;
    const QString text = U("是否保存对“") + GetTitle() + U("”的修改？");
    switch (AppMessageBox(m_pFrame.get(), QMessageBox::Warning, text,
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return OnFileSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CCurvistApp::OnFileNew() {
    if (!SaveModified()) return false;
    m_doc.OnNewDocument();
    SetPathName({});
    if (m_pFrame) m_pFrame->PlotWindow()->FullRepaint();
    return true;
}

bool CCurvistApp::OnFileOpen() {
    const QString path = AskFileName(false);
    if (path.isEmpty()) return false;
    return OpenDocumentFile(path);
}

bool CCurvistApp::OpenDocumentFile(const QString& path) {
    if (!SaveModified()) return false;
    return DoOpen(path);
}

bool CCurvistApp::DoOpen(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    std::string error;
    // The document takes the records only once the whole file has been read, so a failure
    // leaves the document, the panel and the picture as they were.
    if (!LoadDocument(m_doc, LocalPath(full), &error)) {
        AppMessageBox(m_pFrame.get(), QMessageBox::Warning,
                      FileErrorMessage("无法打开", full,
                                       DiagnoseReadFailure(LocalPath(full), kMaxFunFileBytes),
                                       error));
        return false;
    }
    SetPathName(full);
    AddToRecentFileList(full);
    if (m_pFrame) m_pFrame->PlotWindow()->FullRepaint();
    return true;
}

bool CCurvistApp::OnOpenRecentFile(int nIndex) {
    if (nIndex < 0 || nIndex >= m_recent.size()) return false;
    const QString path = m_recent[nIndex];
    if (!SaveModified()) return false;
    if (!DoOpen(path)) {
        // A file that is gone leaves the list; one that exists but cannot be read stays.
        if (!QFileInfo::exists(path)) RemoveRecentFile(path);
        return false;
    }
    return true;
}

bool CCurvistApp::OnFileSave() {
    if (m_strPath.isEmpty()) return OnFileSaveAs();
    return DoSave(m_strPath);
}

bool CCurvistApp::OnFileSaveAs() {
    QString path;
    do {
        const QString chosen = AskFileName(true);
        if (chosen.isEmpty()) return false;
        path = ConfirmSavePath(m_pFrame.get(), chosen, QStringLiteral("cvx"));
    } while (path.isEmpty());
    if (!DoSave(path)) return false;
    SetPathName(path);
    AddToRecentFileList(path);
    return true;
}

bool CCurvistApp::DoSave(const QString& path) {
    std::string error;
    CWriteReport report;
    if (!SaveDocument(m_doc, LocalPath(path), &error, {}, &report)) {
        AppMessageBox(m_pFrame.get(), QMessageBox::Warning,
                      FileErrorMessage("无法保存", path,
                                       DiagnoseWriteFailure(LocalPath(path), report.nErrno), error,
                                       report.strBackup));
        return false;
    }
    m_doc.SetModifiedFlag(false);
    return true;
}

void CCurvistApp::AddToRecentFileList(const QString& path) {
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > kRecentFileCount)
        m_recent.removeLast();
    SaveRecentFiles();
    if (m_pFrame) m_pFrame->SetRecentFiles(m_recent);
}

void CCurvistApp::RemoveRecentFile(const QString& path) {
    m_recent.removeAll(path);
    SaveRecentFiles();
    if (m_pFrame) m_pFrame->SetRecentFiles(m_recent);
}

void CCurvistApp::LoadRecentFiles() {
    QSettings settings = AppSettings();
    TakeOverOldRecentFiles(settings);
    settings.beginGroup(kRecentGroup);
    m_recent.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) m_recent.append(path);
    }
}

void CCurvistApp::SaveRecentFiles() const {
    QSettings settings = AppSettings();
    settings.beginGroup(kRecentGroup);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_recent.size())
            settings.setValue(key, m_recent[i - 1]);
        else
            settings.remove(key);
    }
}
