#include "app/MainFrame.h"

#include "app/FrameHost.h"
#include "app/HelpWindow.h"
#include "app/PlotSplitter.h"
#include "app/PlotWindow.h"
#include "app/ToolbarImages.h"
#include "panel/ColorListBox.h"
#include "panel/ControlView.h"
#include "view/CurvistView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

QString U(const char* sz) {
    return QString::fromUtf8(sz);
}

// A read-out pane as wide as its placeholder text, which it shows until the first value.
QLabel* MakePane(QStatusBar* pBar, const char* szPlaceholder) {
    auto* pLabel = new QLabel(U(szPlaceholder), pBar);
    pLabel->setFixedWidth(pLabel->sizeHint().width());
    pBar->addPermanentWidget(pLabel);
    return pLabel;
}

} // namespace

CMainFrame::CMainFrame(IFrameHost* pApp) : m_pApp(pApp) {
    setWindowIcon(AppIcon());
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateClient();

    // Accelerators without a menu item.
    auto* pPrint = MakeAction(ID_FILE_PRINT, "打印");
    pPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(pPrint, &QAction::triggered, this, &CMainFrame::OnFilePrint);
    auto* pNext = MakeAction(ID_NEXT_PANE, "下一窗格");
    pNext->setShortcut(QKeySequence(Qt::Key_F6));
    connect(pNext, &QAction::triggered, this, [this] { OnNextPane(false); });
    auto* pPrev = MakeAction(ID_PREV_PANE, "上一窗格");
    pPrev->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(pPrev, &QAction::triggered, this, [this] { OnNextPane(true); });
    addActions({pPrint, pNext, pPrev});
    // The window holds every command too, so that shortcuts keep working while full-screen
    // display hides the menu bar.
    for (const auto& entry : m_actions)
        addAction(entry.second);

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

QAction* CMainFrame::MakeAction(int nId, const char* szText, const char* szPrompt) {
    auto* pAction = new QAction(U(szText), this);
    if (szPrompt) {
        // The prompt is the status-bar text, then the tooltip after the newline.
        const QStringList parts = U(szPrompt).split(u'\n');
        pAction->setStatusTip(parts.value(0));
        pAction->setToolTip(parts.value(1, parts.value(0)));
    }
    pAction->setData(nId);
    m_actions[nId] = pAction;
    return pAction;
}

QAction* CMainFrame::Action(int nId) const {
    auto it = m_actions.find(nId);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateMenus() {
    IFrameHost* app = m_pApp;
    // --- 文件 ---
    m_pMenuFile = menuBar()->addMenu(U("文件(&F)"));
    auto* a = MakeAction(ID_FILE_NEW, "新建(&N)\tCtrl+N", "建立新文档\n新建");
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(a, &QAction::triggered, this, [app] { app->OnFileNew(); });
    m_pMenuFile->addAction(a);
    a = MakeAction(ID_FILE_OPEN, "打开(&O)...\tCtrl+O", "打开一个现有文档\n打开");
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(a, &QAction::triggered, this, [app] { app->OnFileOpen(); });
    m_pMenuFile->addAction(a);
    a = MakeAction(ID_FILE_SAVE, "保存(&S)\tCtrl+S", "保存活动文档\n保存");
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(a, &QAction::triggered, this, [app] { app->OnFileSave(); });
    m_pMenuFile->addAction(a);
    a = MakeAction(ID_FILE_SAVE_AS, "另存为(&A)...", "用新名称保存活动文档\n另存为");
    connect(a, &QAction::triggered, this, [app] { app->OnFileSaveAs(); });
    m_pMenuFile->addAction(a);
    m_pMenuFile->addSeparator();
    a = MakeAction(ID_FILE_MRU_FILE1, "最近文件", "打开该文档");
    a->setEnabled(false);
    m_pMenuFile->addAction(a);
    m_pRecentAnchor = m_pMenuFile->addSeparator();
    a = MakeAction(ID_APP_EXIT, "退出(&X)", "退出应用程序；提示保存文档\n退出");
    connect(a, &QAction::triggered, this, &QWidget::close);
    m_pMenuFile->addAction(a);

    // --- 操作 ---
    QMenu* pOps = menuBar()->addMenu(U("操作(&W)"));
    struct CItem {
        int nId;
        const char* szText;
        const char* szPrompt;
    };
    const CItem funs[] = {{ID_FUN_ADD, "添加函数...", "添加函数\n添加函数"},
                          {ID_FUN_MODIFY, "修改函数...", "修改函数\n修改函数"},
                          {ID_FUN_DELETE, "删除函数", "删除函数\n删除函数"}};
    for (const CItem& it : funs)
        pOps->addAction(MakeAction(it.nId, it.szText, it.szPrompt));
    auto panel = [app](void (CControlView::*fn)()) {
        return [app, fn] {
            if (app->ControlView()) (app->ControlView()->*fn)();
        };
    };
    connect(Action(ID_FUN_ADD), &QAction::triggered, this, panel(&CControlView::OnButtonAdd));
    connect(Action(ID_FUN_MODIFY), &QAction::triggered, this, panel(&CControlView::OnButtonModify));
    connect(Action(ID_FUN_DELETE), &QAction::triggered, this, panel(&CControlView::OnButtonDelete));
    pOps->addSeparator();
    const CItem zooms[] = {{ID_ZOOM_IN, "放大", "放大\n放大"},
                           {ID_ZOOM_OUT, "缩小", "缩小\n缩小"},
                           {ID_ZOOM_RESET, "复位", "恢复正常大小\n恢复正常大小"}};
    for (const CItem& it : zooms)
        pOps->addAction(MakeAction(it.nId, it.szText, it.szPrompt));
    connect(Action(ID_ZOOM_IN), &QAction::triggered, this, [this] { OnZoom(1); });
    connect(Action(ID_ZOOM_OUT), &QAction::triggered, this, [this] { OnZoom(-1); });
    connect(Action(ID_ZOOM_RESET), &QAction::triggered, this, [this] { OnZoom(0); });
    pOps->addSeparator();
    QMenu* pOrigin = pOps->addMenu(U("原点位置"));
    // The view's origin command codes, in menu order; 0 marks a separator.
    const struct {
        int nId;
        const char* szText;
        int nCode;
    } origins[] = {{ID_ORIGIN_CENTER, "居中", 0},
                   {0, nullptr, 0},
                   {ID_ORIGIN_LEFT, "左侧", 1},
                   {ID_ORIGIN_RIGHT, "右侧", 2},
                   {ID_ORIGIN_TOP, "顶部", 3},
                   {ID_ORIGIN_BOTTOM, "底部", 4},
                   {0, nullptr, 0},
                   {ID_ORIGIN_TOPLEFT, "左上角", 5},
                   {ID_ORIGIN_BOTTOMLEFT, "左下角", 6},
                   {ID_ORIGIN_TOPRIGHT, "右上角", 7},
                   {ID_ORIGIN_BOTTOMRIGHT, "右下角", 8}};
    for (const auto& o : origins) {
        if (!o.nId) {
            pOrigin->addSeparator();
            continue;
        }
        QAction* pItem = MakeAction(o.nId, o.szText);
        const int nCode = o.nCode;
        connect(pItem, &QAction::triggered, this, [this, nCode] { OnOrigin(nCode); });
        pOrigin->addAction(pItem);
    }

    // --- 选项 ---
    QMenu* pOptions = menuBar()->addMenu(U("选项(&T)"));
    a = MakeAction(ID_DISPLAY_SETTINGS, "显示参数设置...", "显示参数设置\n显示参数设置");
    connect(a, &QAction::triggered, this, [this] { m_pPlotWnd->OnDisplaySettings(); });
    pOptions->addAction(a);
    pOptions->addSeparator();
    a = MakeAction(ID_VIEW_TOOLBAR, "工具栏(&T)", "显示或隐藏工具栏\n显隐工具栏");
    a->setCheckable(true);
    a->setChecked(true);
    pOptions->addAction(a);
    a = MakeAction(ID_VIEW_STATUS_BAR, "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏");
    a->setCheckable(true);
    a->setChecked(true);
    pOptions->addAction(a);

    // --- 帮助 ---
    QMenu* pHelp = menuBar()->addMenu(U("帮助(&H)"));
    a = MakeAction(ID_HELP_TOPICS, "帮助主题(&H)", "帮助主题\n帮助主题");
    connect(a, &QAction::triggered, this, [this] { ShowHelpTopics(this); });
    pHelp->addAction(a);
    pHelp->addSeparator();
    a = MakeAction(ID_APP_ABOUT, "关于 函数作图器(&A)...", "显示程序信息，版本号和版权\n关于");
    connect(a, &QAction::triggered, this, [app] { app->OnAppAbout(); });
    pHelp->addAction(a);

    // The real-time modes have toolbar buttons only.
    for (int nId : {ID_REAL_MOVE, ID_REAL_ZOOM}) {
        a = MakeAction(nId, nId == ID_REAL_MOVE ? "实时移动" : "实时缩放",
                       nId == ID_REAL_MOVE ? "实时移动\n实时移动" : "实时缩放\n实时缩放");
        a->setCheckable(true);
    }
    connect(Action(ID_REAL_MOVE), &QAction::triggered, this, &CMainFrame::ToggleRealMove);
    connect(Action(ID_REAL_ZOOM), &QAction::triggered, this, &CMainFrame::ToggleRealZoom);
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
        pAction->setIcon(QIcon(ToolbarImage(nId)));
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
    // The panel's own size hint is its template's width; its column is 200 pixels all the same.
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({kPanelWidth, 1 << 20});
    setCentralWidget(m_pSplitter);

    pPanel->Attach(&m_pApp->Doc(), m_pApp->PlotView());
    m_pApp->SetControlView(pPanel);
    connect(pPanel, &CControlView::scaleChanged, this, &CMainFrame::ShowScale);
    m_pPlotWnd->SetFrame(this);
    m_pPlotWnd->setFocus();
}

void CMainFrame::RunFunCommand(EFunCommand command) {
    const int nId = command == EFunCommand::Add      ? ID_FUN_ADD
                    : command == EFunCommand::Modify ? ID_FUN_MODIFY
                                                     : ID_FUN_DELETE;
    Action(nId)->trigger();
}

void CMainFrame::ShowXY(double x, double y) {
    m_pPaneX->setText(QString::asprintf("  X = %.2f", x));
    m_pPaneY->setText(QString::asprintf("  Y = %.2f", y));
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

void CMainFrame::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_pApp->GetTitle());
    bool bOk = false;
    if (m_runPrint) {
        bOk = m_runPrint(printer);
    } else {
        QPrintDialog dlg(&printer, this);
        bOk = dlg.exec() == QDialog::Accepted;
    }
    if (bOk) m_pPlotWnd->Print(printer);
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
