#include "platform/qt/ModalDialog.h"

namespace {
CDialogHook& Hook() {
    static CDialogHook hook;
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
