#pragma once
// The one numbering of the window's commands. Each id names one QAction of the frame, which
// the menu, the toolbar, the plot's right-button menu and the accelerators all share.

enum ECommand : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,
    ID_EDIT_COPY = 57634, // copies the picture of the plane
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_DISPLAY_SETTINGS = 32771,
    ID_FUN_ADD = 32772,
    ID_FUN_DELETE = 32773,
    ID_FUN_MODIFY = 32774,
    ID_ZOOM_IN = 32776,
    ID_ZOOM_OUT = 32777,
    ID_ZOOM_RESET = 32778,
    ID_ORIGIN_TOPLEFT = 32779,
    ID_ORIGIN_BOTTOMLEFT = 32780,
    ID_ORIGIN_CENTER = 32781,
    ID_ORIGIN_TOPRIGHT = 32782,
    ID_ORIGIN_LEFT = 32784,
    ID_ORIGIN_RIGHT = 32785,
    ID_ORIGIN_TOP = 32786,
    ID_ORIGIN_BOTTOM = 32787,
    ID_ORIGIN_BOTTOMRIGHT = 32788,
    ID_REAL_MOVE = 32792,
    ID_REAL_ZOOM = 32793,
    ID_FULL_SCREEN = 32794, // the plot's right-button menu only
    ID_NORMAL_SCREEN = 32795,
    ID_HELP_TOPICS = 32805,
    ID_FILE_EXPORT = 32806, // saves the picture of the plane as PNG, SVG or PDF
};

// The nine origin presets in the order of the "原点位置" menus, the order of the view's codes.
inline constexpr ECommand kOriginCommands[] = {
    ID_ORIGIN_CENTER,     ID_ORIGIN_LEFT,     ID_ORIGIN_RIGHT,
    ID_ORIGIN_TOP,        ID_ORIGIN_BOTTOM,   ID_ORIGIN_TOPLEFT,
    ID_ORIGIN_BOTTOMLEFT, ID_ORIGIN_TOPRIGHT, ID_ORIGIN_BOTTOMRIGHT};
