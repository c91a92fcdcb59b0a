#pragma once
// The application's modal message boxes: caption "Curvist", Chinese button texts. Tests set a
// hook so that no box ever blocks.

#include <QMessageBox>
#include <QString>
#include <functional>

inline constexpr char kAppTitle[] = "Curvist";

using CMessageHook = std::function<QMessageBox::StandardButton(
    QWidget* pParent, QMessageBox::Icon icon, const QString& text,
    QMessageBox::StandardButtons buttons)>;

// Replaces the real boxes while set; an empty hook restores them.
void SetMessageHook(CMessageHook hook);

// Shows text with the given buttons (OK, or Yes/No/Cancel) and returns the button pressed.
QMessageBox::StandardButton AppMessageBox(QWidget* pParent, QMessageBox::Icon icon,
                                          const QString& text,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok);
