#pragma once
// The application: owns the document, the plot view and the main window, builds the window's
// parts and hands them to each other; starts up, and runs the file commands (New, Open, Save,
// Save As, the recent-file list).

#include "app/FileCommands.h"
#include "document/CurvistDoc.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

class CControlView;
class CCurvistView;
class CMainFrame;
class IFunListSink;
class QFileDialog;
class QWidget;

inline constexpr char kWindowTitle[] = "Lumivo函数作图器";
inline constexpr char kUntitled[] = "无标题";
inline constexpr int kRecentFileCount = 4;

// The Open (bSave false) or Save As dialog of the file commands, set up but not shown;
// strSelect is the name Save As proposes.
std::unique_ptr<QFileDialog> CreateFileDialog(QWidget* pParent, bool bSave,
                                              const QString& strSelect = {});

class CCurvistApp : public IFileCommands {
  public:
    // iniPath: the display parameters ("VisParam.ini" beside the executable by default).
    explicit CCurvistApp(const std::string& strIniPath = {});
    ~CCurvistApp() override;
    CCurvistApp(const CCurvistApp&) = delete;
    CCurvistApp& operator=(const CCurvistApp&) = delete;

    // Creates the main window and processes the arguments: a path opens that document,
    // otherwise the document is new. False when the named file cannot be opened. The window is
    // shown maximized when bShow is set.
    bool InitInstance(const QStringList& args, bool bShow = true);

    CCurvistDoc& Doc() { return m_doc; }
    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    // The parts the application made, for tests; the panel once the window exists.
    CControlView* m_pControlView = nullptr;
    CCurvistView* m_pPlotView = nullptr;

    // --- File commands; each returns false when it did not happen (cancelled or failed) ------
    bool OnFileNew() override;
    bool OnFileOpen() override;
    bool OnFileSave() override;
    bool OnFileSaveAs() override;
    bool OpenDocumentFile(const QString& path);
    bool OnOpenRecentFile(int nIndex) override;
    // Asks whether to save a modified document: true to go on (saved or declined).
    bool SaveModified() override;

    // The document's name for the title: the file name, or "无标题".
    QString GetTitle() const override;
    const QString& GetPathName() const { return m_strPath; }
    const QStringList& RecentFiles() const { return m_recent; }
    void AddToRecentFileList(const QString& path);

  private:
    // Makes the frame, the panel and the plot window and connects them.
    void BuildWindow();
    // Asks for a file name (open or save mode); empty when cancelled.
    QString AskFileName(bool bSave);
    bool DoOpen(const QString& path);
    bool DoSave(const QString& path);
    void SetPathName(const QString& path);
    void UpdateTitle();
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void RemoveRecentFile(const QString& path);

    CCurvistDoc m_doc;
    std::unique_ptr<CCurvistView> m_pView;
    std::unique_ptr<IFunListSink> m_pPanelRows; // the view's list refill, handed to the panel
    std::unique_ptr<CMainFrame> m_pFrame;
    QString m_strPath;
    QStringList m_recent;
};
