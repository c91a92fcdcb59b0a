#include "app/ContextMenu.h"

#include <QAction>
#include <QMenu>

namespace {

QAction* AddItem(QMenu* pMenu, const char* szText, int nId) {
    QAction* pAction = pMenu->addAction(QString::fromUtf8(szText));
    pAction->setData(nId);
    return pAction;
}

void AddChecked(QMenu* pMenu, const char* szText, int nId, bool bChecked) {
    QAction* pAction = AddItem(pMenu, szText, nId);
    pAction->setCheckable(true);
    pAction->setChecked(bChecked);
}

} // namespace

std::unique_ptr<QMenu> BuildContextMenu(QWidget* pParent, bool bFullScreen, bool bRealMove,
                                        bool bRealZoom) {
    auto pMenu = std::make_unique<QMenu>(pParent);
    if (bFullScreen)
        AddItem(pMenu.get(), "正常显示(&F)", ID_CTX_NORMAL_SCREEN);
    else
        AddItem(pMenu.get(), "全屏显示(&F)", ID_CTX_FULL_SCREEN);
    pMenu->addSeparator();
    AddItem(pMenu.get(), "添加函数...", ID_CTX_FUN_ADD);
    AddItem(pMenu.get(), "修改函数...", ID_CTX_FUN_MODIFY);
    AddItem(pMenu.get(), "删除函数", ID_CTX_FUN_DELETE);
    pMenu->addSeparator();
    AddChecked(pMenu.get(), "实时移动", ID_CTX_REAL_MOVE, bRealMove);
    AddChecked(pMenu.get(), "实时缩放", ID_CTX_REAL_ZOOM, bRealZoom);
    pMenu->addSeparator();
    AddItem(pMenu.get(), "放大", ID_CTX_ZOOM_IN);
    AddItem(pMenu.get(), "缩小", ID_CTX_ZOOM_OUT);
    AddItem(pMenu.get(), "复位", ID_CTX_ZOOM_RESET);
    pMenu->addSeparator();
    QMenu* pOrigin = pMenu->addMenu(QString::fromUtf8("原点位置"));
    const char* const origins[] = {"居中",  nullptr,  "左侧",   "右侧",   "顶部",  "底部",
                                   nullptr, "左上角", "左下角", "右上角", "右下角"};
    int nId = ID_CTX_ORIGIN_FIRST;
    for (const char* sz : origins) {
        if (sz)
            AddItem(pOrigin, sz, nId++);
        else
            pOrigin->addSeparator();
    }
    pMenu->addSeparator();
    AddItem(pMenu.get(), "显示参数设置...", ID_CTX_DISPLAY_SETTINGS);
    return pMenu;
}
