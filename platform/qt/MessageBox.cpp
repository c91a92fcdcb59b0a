#include "platform/qt/MessageBox.h"

#include <QAbstractButton>

namespace {
CMessageHook& Hook() {
    static CMessageHook hook;
    return hook;
}
} // namespace

void SetMessageHook(CMessageHook hook) {
    Hook() = std::move(hook);
}

QMessageBox::StandardButton ShowMessageBox(QWidget* pParent, QMessageBox::Icon icon,
                                           const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, pParent);
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
    if (Hook()) return Hook()(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
