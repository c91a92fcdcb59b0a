#pragma once
// The main window: menu, toolbar, status bar with its read-out panes and clock, and the two
// panes (function panel, plot window). It routes the commands and keys of the command table to
// the panel, the plot view and the application's file commands.

#include "app/Commands.h"
#include "app/PlotWindow.h"
#include "app/PrintCommands.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>

class CControlView;
class CCurvistDoc;
class CCurvistView;
class CPictureCommands;
class IFileCommands;
class CPlotSplitter;
class CPlotWindow;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

class CMainFrame : public QMainWindow, public IPlotModesAndMenu {
    Q_OBJECT
  public:
    // The document, the view and the file commands are borrowed; the frame places the two
    // panes and owns them from now on.
    CMainFrame(IFileCommands& files, CCurvistDoc& doc, CCurvistView& view, CControlView* pPanel,
               CPlotWindow* pPlot);
    ~CMainFrame() override;

    // --- Read-out panes ------------------------------------------------------------------
    void ShowXY(double x, double y) override;
    void ShowScale(int nScale) override;
    void ShowClock();
    // A note in the status bar for a few seconds, over the idle text.
    void ShowNote(const QString& text);

    // --- Real-time navigation modes (at most one is on) ------------------------------------
    void ToggleRealMove();
    void ToggleRealZoom();
    bool IsRealMove() const override { return m_bRealMove; }
    bool IsRealZoom() const override { return m_bRealZoom; }
    std::unique_ptr<QMenu> BuildContextMenu(QWidget* pParent, bool bFullScreen) override;
    bool m_bRealMove = false;
    bool m_bRealZoom = false;

    // --- Full-screen display -------------------------------------------------------------------
    // Shows the plot window alone over the whole screen: menu, toolbar, status bar and panel
    // hidden. NormalScreen brings back the window state and the bars the user had chosen.
    void FullScreen();
    void NormalScreen();

    // The File menu's recent-file entries, most recent first; none shows the greyed item.
    void SetRecentFiles(const QStringList& paths);

    // Print, preview and page setup; export and copy of the picture.
    CPrintCommands& Printing() const { return *m_pPrint; }
    CPictureCommands& Picture() const { return *m_pPicture; }

    // Moves the keyboard focus to the other pane (F6, Shift+F6).
    void OnNextPane(bool bPrevious);
    // One zoom step (0: back to 100 %), shown in the scale pane.
    void OnZoom(short nDirection);
    // A command ran out of memory: says "内存不足" and redraws the plane whole.
    void OnOutOfMemory();

    // The shared action of a command; null for ids that name none.
    QAction* Action(int nId) const;
    // Appends the "原点位置" sub-menu of the nine origin commands to pMenu.
    QMenu* AddOriginMenu(QMenu* pMenu) const;
    CPlotWindow* PlotWindow() const { return m_pPlotWnd; }
    QWidget* LeftPane() const { return m_pLeftPane; }
    CPlotSplitter* Splitter() const { return m_pSplitter; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QMenu* FileMenu() const { return m_pMenuFile; }
    QLabel* PaneScale() const { return m_pPaneScale; }
    QLabel* PaneX() const { return m_pPaneX; }
    QLabel* PaneY() const { return m_pPaneY; }
    QLabel* PaneClock() const { return m_pPaneClock; }
    QLabel* IdleText() const { return m_pIdle; }

  protected:
    void closeEvent(QCloseEvent* pEvent) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateClient();
    void PlaceKeys();
    void UpdateModeButtons();
    void OnOrigin(int nCode);

    IFileCommands& m_files;
    CCurvistDoc& m_doc;
    CCurvistView& m_view;
    CControlView* m_pPanel;
    std::map<int, QAction*> m_actions;
    QMetaObject::Connection m_focusLink; // the keys that follow the focus into a text field
    QMenu* m_pMenuFile = nullptr;
    QAction* m_pRecentAnchor = nullptr; // the separator after the recent-file entries
    QList<QAction*> m_recentActions;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pIdle = nullptr;
    QLabel* m_pPaneScale = nullptr;
    QLabel* m_pPaneX = nullptr;
    QLabel* m_pPaneY = nullptr;
    QLabel* m_pPaneClock = nullptr;
    QTimer* m_pClock = nullptr;
    CPlotSplitter* m_pSplitter = nullptr;
    QWidget* m_pLeftPane;
    CPlotWindow* m_pPlotWnd;
    std::unique_ptr<CPrintCommands> m_pPrint;
    std::unique_ptr<CPictureCommands> m_pPicture;

    // What FullScreen saved for NormalScreen.
    QRect m_rcNormal;
    Qt::WindowStates m_nNormalState;
    bool m_bToolBarShown = true;
    bool m_bStatusBarShown = true;
};
