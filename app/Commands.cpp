#include "app/Commands.h"

namespace {

using enum EKeyScope;

// The keys of a row: up to four combinations; {} for none.
using K = std::array<QKeyCombination, 4>;

const CCommandDef kCommands[] = {
    {ID_FILE_NEW, "新建(&N)\tCtrl+N", "建立新文档\n新建", K{Qt::CTRL | Qt::Key_N}, Window, false},
    {ID_FILE_OPEN, "打开(&O)...\tCtrl+O", "打开一个现有文档\n打开", K{Qt::CTRL | Qt::Key_O}, Window,
     false},
    {ID_FILE_SAVE, "保存(&S)\tCtrl+S", "保存活动文档\n保存", K{Qt::CTRL | Qt::Key_S}, Window,
     false},
    {ID_FILE_SAVE_AS, "另存为(&A)...", "用新名称保存活动文档\n另存为", {}, Window, false},
    {ID_FILE_MRU_FILE1, "最近文件", "打开该文档", {}, Window, false},
    {ID_APP_EXIT, "退出(&X)", "退出应用程序；提示保存文档\n退出", {}, Window, false},
    {ID_FILE_EXPORT,
     "导出图像(&E)...",
     "把坐标平面保存为 PNG、SVG 或 PDF 图像\n导出图像",
     {},
     Window,
     false},
    {ID_FILE_PRINT, "打印(&P)...\tCtrl+P", "打印活动文档\n打印", K{Qt::CTRL | Qt::Key_P}, Window,
     false},
    {ID_FILE_PRINT_PREVIEW, "打印预览(&V)", "显示整页\n打印预览", {}, Window, false},
    {ID_FILE_PRINT_SETUP, "打印设置(&R)...", "更改打印机和打印选项\n打印设置", {}, Window, false},
    {ID_EDIT_UNDO, "撤销(&U)\tCtrl+Z", "撤销上一步操作\n撤销", K{Qt::CTRL | Qt::Key_Z}, Window,
     false},
    {ID_EDIT_REDO, "重做(&R)\tCtrl+Y", "重做上一步撤销的操作\n重做",
     K{Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}, Window, false},
    {ID_EDIT_COPY, "复制图像(&C)", "把坐标平面复制到剪贴板\n复制图像", {}, Window, false},
    {ID_NEXT_PANE, "下一窗格", nullptr, K{Qt::Key_F6}, Window, false},
    {ID_PREV_PANE, "上一窗格", nullptr, K{Qt::SHIFT | Qt::Key_F6}, Window, false},
    {ID_FUN_ADD, "添加函数...", "添加函数\n添加函数", {}, Window, false},
    {ID_FUN_MODIFY, "修改函数...", "修改函数\n修改函数", {}, Window, false},
    {ID_FUN_DELETE, "删除函数", "删除函数\n删除函数", {}, Window, false},
    {ID_ZOOM_IN, "放大", "放大\n放大", {}, Window, false},
    {ID_ZOOM_OUT, "缩小", "缩小\n缩小", {}, Window, false},
    {ID_ZOOM_RESET, "复位", "恢复正常大小\n恢复正常大小", {}, Window, false},
    {ID_ORIGIN_CENTER, "居中", nullptr, {}, Window, false},
    {ID_ORIGIN_LEFT, "左侧", nullptr, {}, Window, false},
    {ID_ORIGIN_RIGHT, "右侧", nullptr, {}, Window, false},
    {ID_ORIGIN_TOP, "顶部", nullptr, {}, Window, false},
    {ID_ORIGIN_BOTTOM, "底部", nullptr, {}, Window, false},
    {ID_ORIGIN_TOPLEFT, "左上角", nullptr, {}, Window, false},
    {ID_ORIGIN_BOTTOMLEFT, "左下角", nullptr, {}, Window, false},
    {ID_ORIGIN_TOPRIGHT, "右上角", nullptr, {}, Window, false},
    {ID_ORIGIN_BOTTOMRIGHT, "右下角", nullptr, {}, Window, false},
    {ID_DISPLAY_SETTINGS, "显示参数设置...", "显示参数设置\n显示参数设置", {}, Window, false},
    {ID_VIEW_TOOLBAR, "工具栏(&T)", "显示或隐藏工具栏\n显隐工具栏", {}, Window, true},
    {ID_VIEW_STATUS_BAR, "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏", {}, Window, true},
    {ID_HELP_TOPICS, "帮助主题(&H)", "帮助主题\n帮助主题", {}, Window, false},
    {ID_APP_ABOUT, "关于 函数作图器(&A)...", "显示程序信息，版本号和版权\n关于", {}, Window, false},
    {ID_REAL_MOVE, "实时移动", "实时移动\n实时移动", {}, Window, true},
    {ID_REAL_ZOOM, "实时缩放", "实时缩放\n实时缩放", {}, Window, true},
    {ID_FULL_SCREEN, "全屏显示(&F)", nullptr, {}, Window, false},
    {ID_NORMAL_SCREEN, "正常显示(&F)", nullptr, {}, Window, false},

    // X11's text fields know only Ctrl+Shift+Z for redo: Ctrl+Y would otherwise redo a
    // change of the document while the user edits a field.
    {ID_KEY_FIELD_UNDO, nullptr, nullptr, K{Qt::CTRL | Qt::Key_Z}, TextField, false},
    {ID_KEY_FIELD_REDO, nullptr, nullptr, K{Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
     TextField, false},
    {ID_KEY_SCREEN_TOGGLE, nullptr, nullptr, K{Qt::Key_F11}, Window, false},
    // Escape works only while the screen is full, so that the panel's controls keep it.
    {ID_KEY_SCREEN_LEAVE, nullptr, nullptr, K{Qt::Key_Escape}, Window, false},

    // The plane's keys take Shift and the keypad alike (a keypad key finds its row without
    // the keypad modifier); with Ctrl, Alt or Meta they are not the plane's.
    {ID_KEY_PLANE_LEFT, nullptr, nullptr, K{Qt::Key_Left}, Plane, false},
    {ID_KEY_PLANE_RIGHT, nullptr, nullptr, K{Qt::Key_Right}, Plane, false},
    {ID_KEY_PLANE_UP, nullptr, nullptr, K{Qt::Key_Up}, Plane, false},
    {ID_KEY_PLANE_DOWN, nullptr, nullptr, K{Qt::Key_Down}, Plane, false},
    {ID_KEY_PLANE_CELL_LEFT, nullptr, nullptr, K{Qt::SHIFT | Qt::Key_Left}, Plane, false},
    {ID_KEY_PLANE_CELL_RIGHT, nullptr, nullptr, K{Qt::SHIFT | Qt::Key_Right}, Plane, false},
    {ID_KEY_PLANE_CELL_UP, nullptr, nullptr, K{Qt::SHIFT | Qt::Key_Up}, Plane, false},
    {ID_KEY_PLANE_CELL_DOWN, nullptr, nullptr, K{Qt::SHIFT | Qt::Key_Down}, Plane, false},
    // "=" is + unshifted on many layouts. No row has Shift with "=" or "-": X11 offers Shift+=
    // beside Shift++ for a "+" typed with Shift, which would make the key ambiguous, and Shift
    // with "-" types "_", which is not the plane's.
    {ID_KEY_PLANE_ZOOM_IN, nullptr, nullptr,
     K{Qt::Key_Plus, Qt::SHIFT | Qt::Key_Plus, Qt::Key_Equal}, Plane, false},
    {ID_KEY_PLANE_ZOOM_OUT, nullptr, nullptr, K{Qt::Key_Minus}, Plane, false},
    {ID_KEY_PLANE_HOME, nullptr, nullptr, K{Qt::Key_Home, Qt::SHIFT | Qt::Key_Home}, Plane, false},
    // Only on the plane: elsewhere the copy keys belong to the text fields.
    {ID_KEY_PLANE_COPY, nullptr, nullptr,
     K{Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert, Qt::Key_F16, Qt::Key_Copy}, Plane, false},

    {ID_KEY_LIST_DELETE, nullptr, nullptr, K{Qt::Key_Delete}, FunList, false},
    {ID_KEY_LIST_MODIFY, nullptr, nullptr, K{Qt::Key_Return, Qt::Key_Enter, Qt::Key_F2}, FunList,
     false},
    {ID_KEY_LIST_SHOW, nullptr, nullptr, K{Qt::Key_Space}, FunList, false},
};

} // namespace

std::span<const CCommandDef> CommandTable() {
    return kCommands;
}
