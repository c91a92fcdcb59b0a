#include "platform/qt/ModalDialog.h"

#include <QMenu>

namespace {
CDialogHook& Hook() {
    static CDialogHook hook;
    return hook;
}
CPopupHook& PopupHook() {
    static CPopupHook hook;
    return hook;
}
} // namespace

void SetDialogHook(CDialogHook hook) {
    Hook() = std::move(hook);
}

int RunModal(QDialog& dlg) {
    if (Hook()) return Hook()(dlg);
    return dlg.exec();
}

void SetPopupHook(CPopupHook hook) {
    PopupHook() = std::move(hook);
}

QAction* RunPopup(QMenu& menu, const QPoint& at) {
    if (PopupHook()) return PopupHook()(menu, at);
    menu.exec(at);
    return nullptr;
}
