#include "app/MainFrame.h"

#include "app/AppMessage.h"
#include "app/ContextMenu.h"
#include "app/FrameHost.h"
#include "app/PictureCommands.h"
#include "app/PlotSplitter.h"
#include "app/PlotWindow.h"
#include "app/ReadOut.h"
#include "app/ScreenKeys.h"
#include "app/ToolbarImages.h"
#include "app/UndoCommands.h"
#include "help/HelpWindow.h"
#include "panel/ColorListBox.h"
#include "panel/ControlView.h"
#include "platform/qt/QtStrings.h"
#include "view/CurvistView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <new>

namespace {

// A read-out pane as wide as its placeholder text, which it shows until the first value.
QLabel* MakePane(QStatusBar* pBar, const char* szPlaceholder) {
    auto* pLabel = new QLabel(U(szPlaceholder), pBar);
    pLabel->setFixedWidth(pLabel->sizeHint().width());
    pBar->addPermanentWidget(pLabel);
    return pLabel;
}

// The command table: every command once, with its menu text, its status-bar prompt and
// tooltip (split at the newline), its accelerator and whether it carries a check mark.
struct CCommandDef {
    ECommand nId;
    const char* szText;
    const char* szPrompt;
    QKeyCombination key;
    bool bCheckable;
};

const CCommandDef kCommands[] = {
    {ID_FILE_NEW, "新建(&N)\tCtrl+N", "建立新文档\n新建", Qt::CTRL | Qt::Key_N, false},
    {ID_FILE_OPEN, "打开(&O)...\tCtrl+O", "打开一个现有文档\n打开", Qt::CTRL | Qt::Key_O, false},
    {ID_FILE_SAVE, "保存(&S)\tCtrl+S", "保存活动文档\n保存", Qt::CTRL | Qt::Key_S, false},
    {ID_FILE_SAVE_AS, "另存为(&A)...", "用新名称保存活动文档\n另存为", {}, false},
    {ID_FILE_MRU_FILE1, "最近文件", "打开该文档", {}, false},
    {ID_APP_EXIT, "退出(&X)", "退出应用程序；提示保存文档\n退出", {}, false},
    {ID_FILE_EXPORT,
     "导出图像(&E)...",
     "把坐标平面保存为 PNG、SVG 或 PDF 图像\n导出图像",
     {},
     false},
    {ID_FILE_PRINT, "打印(&P)...\tCtrl+P", "打印活动文档\n打印", Qt::CTRL | Qt::Key_P, false},
    {ID_FILE_PRINT_PREVIEW, "打印预览(&V)", "显示整页\n打印预览", {}, false},
    {ID_FILE_PRINT_SETUP, "打印设置(&R)...", "更改打印机和打印选项\n打印设置", {}, false},
    {ID_EDIT_UNDO, "撤销(&U)\tCtrl+Z", "撤销上一步操作\n撤销", Qt::CTRL | Qt::Key_Z, false},
    {ID_EDIT_REDO, "重做(&R)\tCtrl+Y", "重做上一步撤销的操作\n重做", Qt::CTRL | Qt::Key_Y, false},
    {ID_EDIT_COPY, "复制图像(&C)", "把坐标平面复制到剪贴板\n复制图像", {}, false},
    {ID_NEXT_PANE, "下一窗格", nullptr, Qt::Key_F6, false},
    {ID_PREV_PANE, "上一窗格", nullptr, Qt::SHIFT | Qt::Key_F6, false},
    {ID_FUN_ADD, "添加函数...", "添加函数\n添加函数", {}, false},
    {ID_FUN_MODIFY, "修改函数...", "修改函数\n修改函数", {}, false},
    {ID_FUN_DELETE, "删除函数", "删除函数\n删除函数", {}, false},
    {ID_ZOOM_IN, "放大", "放大\n放大", {}, false},
    {ID_ZOOM_OUT, "缩小", "缩小\n缩小", {}, false},
    {ID_ZOOM_RESET, "复位", "恢复正常大小\n恢复正常大小", {}, false},
    {ID_ORIGIN_CENTER, "居中", nullptr, {}, false},
    {ID_ORIGIN_LEFT, "左侧", nullptr, {}, false},
    {ID_ORIGIN_RIGHT, "右侧", nullptr, {}, false},
    {ID_ORIGIN_TOP, "顶部", nullptr, {}, false},
    {ID_ORIGIN_BOTTOM, "底部", nullptr, {}, false},
    {ID_ORIGIN_TOPLEFT, "左上角", nullptr, {}, false},
    {ID_ORIGIN_BOTTOMLEFT, "左下角", nullptr, {}, false},
    {ID_ORIGIN_TOPRIGHT, "右上角", nullptr, {}, false},
    {ID_ORIGIN_BOTTOMRIGHT, "右下角", nullptr, {}, false},
    {ID_DISPLAY_SETTINGS, "显示参数设置...", "显示参数设置\n显示参数设置", {}, false},
    {ID_VIEW_TOOLBAR, "工具栏(&T)", "显示或隐藏工具栏\n显隐工具栏", {}, true},
    {ID_VIEW_STATUS_BAR, "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏", {}, true},
    {ID_HELP_TOPICS, "帮助主题(&H)", "帮助主题\n帮助主题", {}, false},
    {ID_APP_ABOUT, "关于 函数作图器(&A)...", "显示程序信息，版本号和版权\n关于", {}, false},
    {ID_REAL_MOVE, "实时移动", "实时移动\n实时移动", {}, true},
    {ID_REAL_ZOOM, "实时缩放", "实时缩放\n实时缩放", {}, true},
    {ID_FULL_SCREEN, "全屏显示(&F)", nullptr, {}, false},
    {ID_NORMAL_SCREEN, "正常显示(&F)", nullptr, {}, false},
};

} // namespace

CMainFrame::CMainFrame(IFrameHost* pApp) : m_pApp(pApp) {
    setWindowIcon(AppIcon());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateClient();

    // The window holds every command, so that the accelerators work without a menu item and
    // while full-screen display hides the menu bar.
    for (const auto& entry : m_actions)
        addAction(entry.second);
    new CScreenKeys(
        this, [this] { return m_pPlotWnd->IsFullScreen(); }, Action(ID_FULL_SCREEN),
        Action(ID_NORMAL_SCREEN));

    ShowClock();
    m_pClock = new QTimer(this);
    connect(m_pClock, &QTimer::timeout, this, &CMainFrame::ShowClock);
    m_pClock->start(1000);
}

CMainFrame::~CMainFrame() {
    // Closing the window still sends its panes events (deactivation, focus): the view must not
    // reach this frame through them once it is half destroyed.
    if (m_pPlotWnd) m_pPlotWnd->SetFrame(nullptr);
}

QAction* CMainFrame::Action(int nId) const {
    auto it = m_actions.find(nId);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
    for (const CCommandDef& def : kCommands) {
        auto* pAction = new QAction(U(def.szText), this);
        if (def.szPrompt) {
            const QStringList parts = U(def.szPrompt).split(u'\n');
            pAction->setStatusTip(parts.value(0));
            pAction->setToolTip(parts.value(1, parts.value(0)));
        }
        if (def.key != QKeyCombination()) pAction->setShortcut(QKeySequence(def.key));
        pAction->setCheckable(def.bCheckable);
        pAction->setData(int(def.nId));
        m_actions[def.nId] = pAction;
    }
    Action(ID_FILE_MRU_FILE1)->setEnabled(false);
    Action(ID_EDIT_REDO)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);

    // What each command does; the toolbar and status-bar toggles are wired with their bars.
    IFrameHost* app = m_pApp;
    // Memory running out in a command ends the command, never the program: the document stays
    // as it was and the user is told.
    auto on = [this](ECommand nId, auto&& fn) {
        connect(Action(nId), &QAction::triggered, this,
                [this, fn = std::forward<decltype(fn)>(fn)] {
                    try {
                        fn();
                    } catch (const std::bad_alloc&) {
                        OnOutOfMemory();
                    }
                });
    };
    on(ID_FILE_NEW, [app] { app->OnFileNew(); });
    on(ID_FILE_OPEN, [app] { app->OnFileOpen(); });
    on(ID_FILE_SAVE, [app] { app->OnFileSave(); });
    on(ID_FILE_SAVE_AS, [app] { app->OnFileSaveAs(); });
    on(ID_APP_EXIT, [this] { close(); });
    on(ID_FILE_EXPORT, [this] { m_pPicture->OnFileExport(); });
    on(ID_FILE_PRINT, [this] { m_pPrint->OnFilePrint(); });
    on(ID_FILE_PRINT_PREVIEW, [this] { m_pPrint->OnFilePrintPreview(); });
    on(ID_FILE_PRINT_SETUP, [this] { m_pPrint->OnFilePrintSetup(); });
    on(ID_EDIT_COPY, [this] { m_pPicture->OnEditCopy(); });
    on(ID_EDIT_UNDO, [app] { app->Doc().Editor().Undo(); });
    on(ID_EDIT_REDO, [app] { app->Doc().Editor().Redo(); });
    new CUndoCommands(app->Doc().Editor(), Action(ID_EDIT_UNDO), Action(ID_EDIT_REDO), this);
    on(ID_NEXT_PANE, [this] { OnNextPane(false); });
    on(ID_PREV_PANE, [this] { OnNextPane(true); });
    auto panel = [app](void (CControlView::*fn)()) {
        return [app, fn] {
            if (app->ControlView()) (app->ControlView()->*fn)();
        };
    };
    on(ID_FUN_ADD, panel(&CControlView::OnButtonAdd));
    on(ID_FUN_MODIFY, panel(&CControlView::OnButtonModify));
    on(ID_FUN_DELETE, panel(&CControlView::OnButtonDelete));
    on(ID_ZOOM_IN, [this] { OnZoom(1); });
    on(ID_ZOOM_OUT, [this] { OnZoom(-1); });
    on(ID_ZOOM_RESET, [this] { OnZoom(0); });
    for (int nCode = 0; nCode < int(std::size(kOriginCommands)); ++nCode)
        on(kOriginCommands[nCode], [this, nCode] { OnOrigin(nCode); });
    on(ID_DISPLAY_SETTINGS, [this] { m_pPlotWnd->OnDisplaySettings(); });
    on(ID_HELP_TOPICS, [this] { ShowHelpTopics(this); });
    on(ID_APP_ABOUT, [app] { app->OnAppAbout(); });
    on(ID_REAL_MOVE, [this] { ToggleRealMove(); });
    on(ID_REAL_ZOOM, [this] { ToggleRealZoom(); });
    on(ID_FULL_SCREEN, [this] {
        FullScreen();
        m_pPlotWnd->SetFullScreen(true);
    });
    on(ID_NORMAL_SCREEN, [this] {
        NormalScreen();
        m_pPlotWnd->SetFullScreen(false);
    });
}

void CMainFrame::OnOutOfMemory() {
    AppMessageBox(this, QMessageBox::Warning, U("内存不足。"));
    try {
        // What was drawn in place may be half done.
        m_pPlotWnd->FullRepaint();
    } catch (const std::bad_alloc&) {
    }
}

void CMainFrame::CreateMenus() {
    // 0 marks a separator.
    auto fill = [this](QMenu* pMenu, std::initializer_list<int> ids) {
        for (int nId : ids) {
            if (nId)
                pMenu->addAction(Action(nId));
            else
                pMenu->addSeparator();
        }
    };
    m_pMenuFile = menuBar()->addMenu(U("文件(&F)"));
    fill(m_pMenuFile,
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_FILE_EXPORT, 0,
          ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_FILE_MRU_FILE1});
    m_pRecentAnchor = m_pMenuFile->addSeparator();
    fill(m_pMenuFile, {ID_APP_EXIT});

    QMenu* pEdit = menuBar()->addMenu(U("编辑(&E)"));
    fill(pEdit, {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_COPY});

    QMenu* pOps = menuBar()->addMenu(U("操作(&W)"));
    fill(pOps,
         {ID_FUN_ADD, ID_FUN_MODIFY, ID_FUN_DELETE, 0, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_RESET, 0});
    AddOriginMenu(pOps);

    QMenu* pOptions = menuBar()->addMenu(U("选项(&T)"));
    fill(pOptions, {ID_DISPLAY_SETTINGS, 0, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR});

    QMenu* pHelp = menuBar()->addMenu(U("帮助(&H)"));
    fill(pHelp, {ID_HELP_TOPICS, 0, ID_APP_ABOUT});
}

QMenu* CMainFrame::AddOriginMenu(QMenu* pMenu) const {
    QMenu* pOrigin = pMenu->addMenu(U("原点位置"));
    for (int i = 0; i < int(std::size(kOriginCommands)); ++i) {
        // Separators set apart the centre, the four sides and the four corners.
        if (i == 1 || i == 5) pOrigin->addSeparator();
        pOrigin->addAction(Action(kOriginCommands[i]));
    }
    return pOrigin;
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = new QToolBar(U("工具栏"), this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar128"));
    m_pToolBar->setIconSize(QSize(16, 15));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    const int buttons[] = {ID_FILE_NEW,
                           ID_FILE_OPEN,
                           ID_FILE_SAVE,
                           0,
                           ID_FUN_ADD,
                           ID_FUN_MODIFY,
                           ID_FUN_DELETE,
                           0,
                           ID_REAL_MOVE,
                           ID_REAL_ZOOM,
                           0,
                           ID_ZOOM_IN,
                           ID_ZOOM_OUT,
                           ID_ZOOM_RESET,
                           0,
                           ID_DISPLAY_SETTINGS,
                           0,
                           ID_HELP_TOPICS};
    for (int nId : buttons) {
        if (!nId) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = Action(nId);
        pAction->setIcon(QIcon(ToolbarImage(ECommand(nId))));
        m_pToolBar->addAction(pAction);
    }
    QAction* pToggle = Action(ID_VIEW_TOOLBAR);
    connect(pToggle, &QAction::triggered, m_pToolBar, &QWidget::setVisible);
    connect(m_pToolBar, &QToolBar::visibilityChanged, pToggle, [this, pToggle](bool) {
        // Docking hides and shows the bar for a moment; only a settled state counts.
        if (!isVisible()) return;
        pToggle->setChecked(m_pToolBar->isVisible());
    });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* pBar = statusBar();
    // The idle text stays underneath; command prompts cover it while they show.
    m_pIdle = new QLabel(U("就绪"), pBar);
    pBar->addWidget(m_pIdle, 1);
    m_pPaneScale = MakePane(pBar, "    比例：  100%    ");
    m_pPaneX = MakePane(pBar, "  X = 00000.00  ");
    m_pPaneY = MakePane(pBar, "  Y = 00000.00  ");
    m_pPaneClock = MakePane(pBar, "    2003-01-11  12:03:05    ");
    connect(Action(ID_VIEW_STATUS_BAR), &QAction::triggered, pBar, &QWidget::setVisible);
}

void CMainFrame::CreateClient() {
    m_pSplitter = new CPlotSplitter(this);
    auto* pPanel = new CControlView(m_pSplitter);
    m_pLeftPane = pPanel;
    m_pLeftPane->setFixedWidth(kPanelWidth);
    m_pPlotWnd = new CPlotWindow(&m_pApp->Doc(), m_pApp->PlotView(), m_pSplitter);
    m_pSplitter->addWidget(m_pLeftPane);
    m_pSplitter->addWidget(m_pPlotWnd);
    // The panel's own size hint is its dialog-unit layout's width; its column is 200 pixels all the
    // same.
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({kPanelWidth, 1 << 20});
    setCentralWidget(m_pSplitter);

    pPanel->Attach(&m_pApp->Doc(), m_pApp->PlotView());
    m_pApp->SetControlView(pPanel);
    connect(pPanel, &CControlView::scaleChanged, this, &CMainFrame::ShowScale);
    m_pPlotWnd->SetFrame(this);
    m_pPlotWnd->setFocus();
    m_pPrint = std::make_unique<CPrintCommands>(*m_pApp, this, m_pPlotWnd);
    m_pPicture = std::make_unique<CPictureCommands>(*m_pApp, this, m_pPlotWnd);
}

std::unique_ptr<QMenu> CMainFrame::BuildContextMenu(QWidget* pParent, bool bFullScreen) {
    return ::BuildContextMenu(pParent, *this, bFullScreen);
}

void CMainFrame::ShowXY(double x, double y) {
    m_pPaneX->setText(QStringLiteral("  X = ") + ReadOutNumber(x));
    m_pPaneY->setText(QStringLiteral("  Y = ") + ReadOutNumber(y));
}

void CMainFrame::ShowScale(int nScale) {
    m_pPaneScale->setText(QString::asprintf("    比例：  %d%%    ", nScale));
}

void CMainFrame::ShowClock() {
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd  HH:mm:ss"));
    m_pPaneClock->setText(QStringLiteral("    ") + now + QStringLiteral("    "));
}

void CMainFrame::ToggleRealMove() {
    m_bRealMove = !m_bRealMove;
    m_bRealZoom = false;
    UpdateModeButtons();
}

void CMainFrame::ToggleRealZoom() {
    m_bRealZoom = !m_bRealZoom;
    m_bRealMove = false;
    UpdateModeButtons();
}

void CMainFrame::UpdateModeButtons() {
    Action(ID_REAL_MOVE)->setChecked(m_bRealMove);
    Action(ID_REAL_ZOOM)->setChecked(m_bRealZoom);
    m_pPlotWnd->UpdateCursor();
}

void CMainFrame::FullScreen() {
    if (isFullScreen()) return;
    m_nNormalState = windowState();
    m_rcNormal = normalGeometry();
    m_bToolBarShown = !m_pToolBar->isHidden();
    m_bStatusBarShown = !statusBar()->isHidden();
    // Hiding the toolbar here is not the user's choice: its menu item keeps its check.
    QAction* pToggle = Action(ID_VIEW_TOOLBAR);
    const bool bChecked = pToggle->isChecked();
    menuBar()->hide();
    m_pToolBar->hide();
    statusBar()->hide();
    m_pLeftPane->hide();
    pToggle->setChecked(bChecked);
    showFullScreen();
}

void CMainFrame::NormalScreen() {
    if (!isFullScreen()) return;
    menuBar()->show();
    m_pLeftPane->show();
    m_pToolBar->setVisible(m_bToolBarShown);
    statusBar()->setVisible(m_bStatusBarShown);
    if (m_nNormalState & Qt::WindowMaximized) {
        showMaximized();
    } else {
        showNormal();
        setGeometry(m_rcNormal);
    }
}

void CMainFrame::OnZoom(short nDirection) {
    m_pApp->PlotView()->ZoomStep(nDirection);
    ShowScale(m_pApp->PlotView()->GetScale());
}

void CMainFrame::OnOrigin(int nCode) {
    m_pApp->PlotView()->SetOriginPlace(nCode);
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    for (QAction* pOld : m_recentActions) {
        m_pMenuFile->removeAction(pOld);
        pOld->deleteLater();
    }
    m_recentActions.clear();
    QAction* pPlaceholder = Action(ID_FILE_MRU_FILE1);
    pPlaceholder->setVisible(paths.isEmpty());
    for (int i = 0; i < paths.size(); ++i) {
        QString name = QDir::toNativeSeparators(paths[i]);
        name.replace(u'&', QStringLiteral("&&"));
        auto* pEntry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name), this);
        pEntry->setStatusTip(pPlaceholder->statusTip());
        pEntry->setData(ID_FILE_MRU_FILE1 + i);
        connect(pEntry, &QAction::triggered, this, [this, i] { m_pApp->OnOpenRecentFile(i); });
        m_pMenuFile->insertAction(m_pRecentAnchor, pEntry);
        m_recentActions.append(pEntry);
    }
}

void CMainFrame::OnNextPane(bool /*bPrevious*/) {
    // With two panes the next and the previous pane are the same: the other one.
    if (m_pLeftPane->isAncestorOf(QApplication::focusWidget()) ||
        QApplication::focusWidget() == m_pLeftPane)
        m_pPlotWnd->setFocus(Qt::OtherFocusReason);
    else
        static_cast<CControlView*>(m_pLeftPane)->ListFun()->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    if (!m_pApp->SaveModified()) {
        pEvent->ignore();
        return;
    }
    pEvent->accept();
}
