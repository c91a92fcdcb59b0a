#include "app/AppMessage.h"

#include <QPushButton>

namespace {
CMessageHook& Hook() {
    static CMessageHook hook;
    return hook;
}
} // namespace

void SetMessageHook(CMessageHook hook) {
    Hook() = std::move(hook);
}

QMessageBox::StandardButton AppMessageBox(QWidget* pParent, QMessageBox::Icon icon,
                                          const QString& text,
                                          QMessageBox::StandardButtons buttons) {
    if (Hook()) return Hook()(pParent, icon, text, buttons);
    QMessageBox box(icon, QString::fromUtf8(kAppTitle), text, buttons, pParent);
    // The texts must not depend on whether a Qt translation is installed.
    const struct {
        QMessageBox::StandardButton id;
        const char* text;
    } names[] = {{QMessageBox::Ok, "确定"},
                 {QMessageBox::Yes, "是"},
                 {QMessageBox::No, "否"},
                 {QMessageBox::Cancel, "取消"}};
    for (const auto& n : names)
        if (QAbstractButton* b = box.button(n.id)) b->setText(QString::fromUtf8(n.text));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
