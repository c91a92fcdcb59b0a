#pragma once
// Modal message boxes with an OK button that headless tests can intercept.

#include <QMessageBox>
#include <QString>

// Receives a box instead of showing it: parent, icon, caption, text.
using MessageHook = void (*)(QWidget*, QMessageBox::Icon, const QString&, const QString&);

// Shows the box modally, or hands it to hook when one is set.
void ShowMessageBox(QWidget* pParent, QMessageBox::Icon icon, const QString& caption,
                    const QString& text, MessageHook hook);
