#include "app/ContextMenu.h"

#include "app/MainFrame.h"

#include <QAction>
#include <QMenu>

std::unique_ptr<QMenu> BuildContextMenu(QWidget* pParent, const CMainFrame& frame,
                                        bool bFullScreen) {
    frame.Action(ID_REAL_MOVE)->setChecked(frame.m_bRealMove);
    frame.Action(ID_REAL_ZOOM)->setChecked(frame.m_bRealZoom);

    auto pMenu = std::make_unique<QMenu>(pParent);
    // 0 marks a separator.
    auto fill = [&](std::initializer_list<int> ids) {
        for (int nId : ids) {
            if (nId)
                pMenu->addAction(frame.Action(nId));
            else
                pMenu->addSeparator();
        }
    };
    fill({bFullScreen ? ID_NORMAL_SCREEN : ID_FULL_SCREEN, 0, ID_FUN_ADD, ID_FUN_MODIFY,
          ID_FUN_DELETE, 0, ID_REAL_MOVE, ID_REAL_ZOOM, 0, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_RESET,
          0});
    frame.AddOriginMenu(pMenu.get());
    fill({0, ID_DISPLAY_SETTINGS});
    return pMenu;
}
