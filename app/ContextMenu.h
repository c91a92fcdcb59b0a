#pragma once
// The plot view's right-button menu. It is built anew each time it opens; every entry carries
// its command id as the action's data, and the chosen id goes to CPlotWindow::OnContextCommand.

#include <memory>

class QMenu;
class QWidget;

enum EContextCommand : int {
    ID_CTX_FULL_SCREEN = 1025,
    ID_CTX_NORMAL_SCREEN = 1026,
    ID_CTX_DISPLAY_SETTINGS = 1027,
    ID_CTX_FUN_ADD = 1028,
    ID_CTX_FUN_MODIFY = 1029,
    ID_CTX_FUN_DELETE = 1030,
    ID_CTX_ZOOM_IN = 1031,
    ID_CTX_ZOOM_OUT = 1032,
    ID_CTX_ZOOM_RESET = 1033,
    ID_CTX_ORIGIN_FIRST = 1034, // "居中"; the sub-menu's nine presets follow in order
    ID_CTX_ORIGIN_LAST = 1042,
    ID_CTX_REAL_MOVE = 1043,
    ID_CTX_REAL_ZOOM = 1044,
    ID_CTX_NOTHING = 1045,
};

// The menu with the "原点位置" sub-menu as its child; the first entry offers normal display
// while bFullScreen is set, and the two mode entries carry check marks by the frame's flags.
std::unique_ptr<QMenu> BuildContextMenu(QWidget* pParent, bool bFullScreen, bool bRealMove,
                                        bool bRealZoom);
