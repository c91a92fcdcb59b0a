#include "platform/qt/MessageBox.h"

void ShowMessageBox(QWidget* pParent, QMessageBox::Icon icon, const QString& caption,
                    const QString& text, MessageHook hook) {
    if (hook) {
        hook(pParent, icon, caption, text);
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, pParent);
    box.exec();
}
