#pragma once
// The application's message boxes carry its title as the caption.

#include "platform/qt/MessageBox.h"

inline constexpr char kAppTitle[] = "Curvist";

inline QMessageBox::StandardButton
AppMessageBox(QWidget* pParent, QMessageBox::Icon icon, const QString& text,
              QMessageBox::StandardButtons buttons = QMessageBox::Ok) {
    return ShowMessageBox(pParent, icon, QString::fromUtf8(kAppTitle), text, buttons);
}
