#pragma once
// The window's commands and keys: one numbering and one table. Each id names one QAction of
// the frame, which the menu, the toolbar, the plot's right-button menu and the keys all share;
// a key that no menu shows is a command of its own, with no text.

#include <QKeyCombination>

#include <array>
#include <span>

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

    // Keys with no menu item.
    ID_KEY_FIELD_UNDO = 32900, // a text field's own undo and redo
    ID_KEY_FIELD_REDO,
    ID_KEY_SCREEN_TOGGLE, // F11: full-screen display on and off
    ID_KEY_SCREEN_LEAVE,  // Escape, while the screen is full
    ID_KEY_PLANE_LEFT,    // the plane by ten pixels
    ID_KEY_PLANE_RIGHT,
    ID_KEY_PLANE_UP,
    ID_KEY_PLANE_DOWN,
    ID_KEY_PLANE_CELL_LEFT, // the plane by a cell (Shift)
    ID_KEY_PLANE_CELL_RIGHT,
    ID_KEY_PLANE_CELL_UP,
    ID_KEY_PLANE_CELL_DOWN,
    ID_KEY_PLANE_ZOOM_IN,
    ID_KEY_PLANE_ZOOM_OUT,
    ID_KEY_PLANE_HOME,
    ID_KEY_PLANE_COPY,  // copies the picture, as the Edit menu's item
    ID_KEY_LIST_DELETE, // the function list's keys, as the panel's buttons
    ID_KEY_LIST_MODIFY,
    ID_KEY_LIST_SHOW,
};

// Where a command's keys work. A text field keeps its own keys: where a field has the focus, a
// window key that a field command also binds is the field's.
enum class EKeyScope {
    Window,    // anywhere in the main window, full-screen display too
    TextField, // in the text field that has the focus
    Plane,     // while the plot has the focus
    FunList,   // while the function list has the focus
};

struct CCommandDef {
    ECommand nId;
    const char* szText;   // the menu text; null for a key with no menu item
    const char* szPrompt; // status-bar prompt and tooltip, split at the newline; may be null
    std::array<QKeyCombination, 4> keys; // the first four; empty ones unused
    EKeyScope scope;
    bool bCheckable;
};

// Every command once, in no particular order.
std::span<const CCommandDef> CommandTable();

// The nine origin presets in the order of the "原点位置" menus, the order of the view's codes.
inline constexpr ECommand kOriginCommands[] = {
    ID_ORIGIN_CENTER,     ID_ORIGIN_LEFT,     ID_ORIGIN_RIGHT,
    ID_ORIGIN_TOP,        ID_ORIGIN_BOTTOM,   ID_ORIGIN_TOPLEFT,
    ID_ORIGIN_BOTTOMLEFT, ID_ORIGIN_TOPRIGHT, ID_ORIGIN_BOTTOMRIGHT};
