#pragma once
// The plot view's right-button menu. It is built anew each time it opens from the frame's own
// command actions, so choosing an entry runs the same command as the menu bar or toolbar.

#include <memory>

class CMainFrame;
class QMenu;
class QWidget;

// The menu with the "原点位置" sub-menu as its child; the first entry offers normal display
// while bFullScreen is set, and the two mode entries carry check marks by the frame's flags.
std::unique_ptr<QMenu> BuildContextMenu(QWidget* pParent, const CMainFrame& frame,
                                        bool bFullScreen);
