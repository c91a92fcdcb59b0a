#pragma once
// The program's one modal message box. Its buttons read 确定 / 是 / 否 / 取消 whatever Qt's
// translation says, and headless tests answer it through one hook instead of a user.

#include <QMessageBox>
#include <QString>
#include <functional>

// Receives the finished box (caption, icon, text, buttons all set) instead of running it, and
// returns the button to report as pressed.
using CMessageHook = std::function<QMessageBox::StandardButton(QMessageBox& box)>;

// Replaces the real boxes while set; an empty hook restores them.
void SetMessageHook(CMessageHook hook);

// Shows text with the given buttons and returns the button pressed (Escape gives Cancel, or
// the only button).
QMessageBox::StandardButton ShowMessageBox(QWidget* pParent, QMessageBox::Icon icon,
                                           const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);
