#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/AppMessage.h"
#include "app/ContextMenu.h"
#include "app/FileCommands.h"
#include "app/PictureCommands.h"
#include "app/PlotSplitter.h"
#include "app/PlotWindow.h"
#include "app/ReadOut.h"
#include "app/ToolbarImages.h"
#include "app/UndoCommands.h"
#include "help/HelpWindow.h"
#include "panel/ColorListBox.h"
#include "panel/ControlView.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QtStrings.h"
#include "view/CurvistView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <new>

#include <algorithm>

namespace {

// A read-out pane as wide as its placeholder text, which it shows until the first value.
QLabel* MakePane(QStatusBar* pBar, const char* szPlaceholder) {
    auto* pLabel = new QLabel(U(szPlaceholder), pBar);
    pLabel->setFixedWidth(pLabel->sizeHint().width());
    pBar->addPermanentWidget(pLabel);
    return pLabel;
}

QList<QKeySequence> KeysOf(const CCommandDef& def) {
    QList<QKeySequence> keys;
    for (QKeyCombination key : def.keys)
        if (key != QKeyCombination()) keys << QKeySequence(key);
    return keys;
}

// Whether a text field's command binds one of this command's keys.
bool SharesFieldKey(const CCommandDef& def) {
    for (const CCommandDef& field : CommandTable()) {
        if (field.scope != EKeyScope::TextField) continue;
        for (QKeyCombination key : def.keys)
            if (key != QKeyCombination() && std::ranges::count(field.keys, key)) return true;
    }
    return false;
}

// The text field with the focus (an editable combo box's too), or null.
QLineEdit* FocusedTextField() {
    QWidget* pFocus = QApplication::focusWidget();
    if (auto* pEdit = qobject_cast<QLineEdit*>(pFocus)) return pEdit;
    if (auto* pCombo = qobject_cast<QComboBox*>(pFocus)) return pCombo->lineEdit();
    return nullptr;
}

} // namespace

CMainFrame::CMainFrame(IFileCommands& files, CCurvistDoc& doc, CCurvistView& view,
                       CControlView* pPanel, CPlotWindow* pPlot)
    : m_files(files), m_doc(doc), m_view(view), m_pPanel(pPanel), m_pLeftPane(pPanel),
      m_pPlotWnd(pPlot) {
    setWindowIcon(AppIcon());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateClient();

    PlaceKeys();

    ShowClock();
    m_pClock = new QTimer(this);
    connect(m_pClock, &QTimer::timeout, this, &CMainFrame::ShowClock);
    m_pClock->start(1000);
}

CMainFrame::~CMainFrame() {
    // Closing the window still sends its panes events (deactivation, focus): the view must not
    // reach this frame through them once it is half destroyed.
    if (m_pPlotWnd) m_pPlotWnd->SetFrame(nullptr);
    // Deleting the panes moves the focus, after the actions are gone.
    disconnect(m_focusLink);
}

QAction* CMainFrame::Action(int nId) const {
    auto it = m_actions.find(nId);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
    for (const CCommandDef& def : CommandTable()) {
        auto* pAction = new QAction(def.szText ? U(def.szText) : QString(), this);
        if (def.szPrompt) {
            const QStringList parts = U(def.szPrompt).split(u'\n');
            pAction->setStatusTip(parts.value(0));
            pAction->setToolTip(parts.value(1, parts.value(0)));
        }
        pAction->setShortcuts(KeysOf(def));
        pAction->setCheckable(def.bCheckable);
        pAction->setData(int(def.nId));
        m_actions[def.nId] = pAction;
    }
    Action(ID_FILE_MRU_FILE1)->setEnabled(false);
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);

    // What each command does; the toolbar and status-bar toggles are wired with their bars.
    IFileCommands* app = &m_files;
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
    on(ID_EDIT_UNDO, [this] { m_doc.Editor().Undo(); });
    on(ID_EDIT_REDO, [this] { m_doc.Editor().Redo(); });
    new CUndoCommands(m_doc.Editor(), Action(ID_EDIT_UNDO), Action(ID_EDIT_REDO), this);
    on(ID_NEXT_PANE, [this] { OnNextPane(false); });
    on(ID_PREV_PANE, [this] { OnNextPane(true); });
    // The panel by pointer, not through a nested capture of this, which GCC's UBSan misreads.
    auto panel = [pPanel = m_pPanel](void (CControlView::*fn)()) {
        return [pPanel, fn] { (pPanel->*fn)(); };
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
    on(ID_APP_ABOUT, [this] {
        CAboutDlg dlg(this);
        RunModal(dlg);
    });
    on(ID_REAL_MOVE, [this] { ToggleRealMove(); });
    on(ID_REAL_ZOOM, [this] { ToggleRealZoom(); });
    on(ID_FULL_SCREEN, [this] {
        FullScreen();
        m_pPlotWnd->SetFullScreen(true);
        Action(ID_KEY_SCREEN_LEAVE)->setEnabled(true);
    });
    on(ID_NORMAL_SCREEN, [this] {
        NormalScreen();
        m_pPlotWnd->SetFullScreen(false);
        Action(ID_KEY_SCREEN_LEAVE)->setEnabled(false);
    });

    // The keys with no menu item.
    on(ID_KEY_FIELD_UNDO, [] {
        if (QLineEdit* pField = FocusedTextField()) pField->undo();
    });
    on(ID_KEY_FIELD_REDO, [] {
        if (QLineEdit* pField = FocusedTextField()) pField->redo();
    });
    on(ID_KEY_SCREEN_TOGGLE, [this] {
        Action(m_pPlotWnd->IsFullScreen() ? ID_NORMAL_SCREEN : ID_FULL_SCREEN)->trigger();
    });
    on(ID_KEY_SCREEN_LEAVE, [this] { Action(ID_NORMAL_SCREEN)->trigger(); });
    Action(ID_KEY_SCREEN_LEAVE)->setEnabled(false);
    const struct {
        ECommand nId;
        EPlotKey key;
        bool bCell;
    } planeKeys[] = {
        {ID_KEY_PLANE_LEFT, EPlotKey::Left, false},
        {ID_KEY_PLANE_RIGHT, EPlotKey::Right, false},
        {ID_KEY_PLANE_UP, EPlotKey::Up, false},
        {ID_KEY_PLANE_DOWN, EPlotKey::Down, false},
        {ID_KEY_PLANE_CELL_LEFT, EPlotKey::Left, true},
        {ID_KEY_PLANE_CELL_RIGHT, EPlotKey::Right, true},
        {ID_KEY_PLANE_CELL_UP, EPlotKey::Up, true},
        {ID_KEY_PLANE_CELL_DOWN, EPlotKey::Down, true},
        {ID_KEY_PLANE_ZOOM_IN, EPlotKey::ZoomIn, false},
        {ID_KEY_PLANE_ZOOM_OUT, EPlotKey::ZoomOut, false},
        {ID_KEY_PLANE_HOME, EPlotKey::Home, false},
    };
    for (const auto& k : planeKeys)
        on(k.nId, [this, key = k.key, bCell = k.bCell] { m_pPlotWnd->OnPlaneKey(key, bCell); });
    on(ID_KEY_PLANE_COPY, [this] { m_pPicture->OnEditCopy(); });
    on(ID_KEY_LIST_DELETE, panel(&CControlView::OnButtonDelete));
    on(ID_KEY_LIST_MODIFY, panel(&CControlView::OnButtonModify));
    on(ID_KEY_LIST_SHOW, panel(&CControlView::OnToggleShow));
}

void CMainFrame::PlaceKeys() {
    // Each key works where its row says. The window holds its commands, so that they work
    // without a menu item and while full-screen display hides the menu bar.
    for (const CCommandDef& def : CommandTable()) {
        QAction* pAction = Action(def.nId);
        switch (def.scope) {
        case EKeyScope::Window:
        case EKeyScope::TextField:
            addAction(pAction);
            break;
        case EKeyScope::Plane:
            pAction->setShortcutContext(Qt::WidgetShortcut);
            m_pPlotWnd->addAction(pAction);
            break;
        case EKeyScope::FunList:
            pAction->setShortcutContext(Qt::WidgetShortcut);
            m_pPanel->ListFun()->addAction(pAction);
            break;
        }
    }
    // A text field keeps its own keys: while one has the focus, its commands take the keys
    // they share with window commands, which would otherwise be ambiguous.
    auto followFocus = [this] {
        const bool bField = FocusedTextField() != nullptr;
        for (const CCommandDef& def : CommandTable()) {
            if (def.scope == EKeyScope::TextField) {
                Action(def.nId)->setEnabled(bField);
                continue;
            }
            if (def.scope != EKeyScope::Window || !SharesFieldKey(def)) continue;
            Action(def.nId)->setShortcuts(bField ? QList<QKeySequence>() : KeysOf(def));
        }
    };
    m_focusLink = connect(qApp, &QApplication::focusChanged, this, followFocus);
    followFocus();
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
    m_pLeftPane->setFixedWidth(kPanelWidth);
    m_pSplitter->addWidget(m_pLeftPane);
    m_pSplitter->addWidget(m_pPlotWnd);
    // The panel's own size hint is its dialog-unit layout's width; its column is 200 pixels all the
    // same.
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({kPanelWidth, 1 << 20});
    setCentralWidget(m_pSplitter);

    m_pPlotWnd->SetFrame(this);
    m_pPlotWnd->setFocus();
    m_pPrint = std::make_unique<CPrintCommands>(m_files, this, m_pPlotWnd);
    m_pPicture = std::make_unique<CPictureCommands>(m_doc, m_view, m_files, this);
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

void CMainFrame::ShowNote(const QString& text) {
    statusBar()->showMessage(text, 5000);
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
    m_view.ZoomStep(nDirection);
    ShowScale(m_view.GetScale());
}

void CMainFrame::OnOrigin(int nCode) {
    m_view.SetOriginPlace(nCode);
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
        connect(pEntry, &QAction::triggered, this, [this, i] { m_files.OnOpenRecentFile(i); });
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
        m_pPanel->ListFun()->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    if (!m_files.SaveModified()) {
        pEvent->ignore();
        return;
    }
    pEvent->accept();
}
