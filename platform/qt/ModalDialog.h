#pragma once
// The program's one way to run a modal dialog or a popup menu. Headless tests answer every
// dialog and choose from every popup menu through these hooks instead of a user, as they answer
// message boxes through the message hook.

#include <QDialog>
#include <QPoint>
#include <functional>

// Receives the dialog, set up but not shown, instead of running it, and returns the result to
// report (QDialog::Accepted or Rejected); it may fill the dialog's fields first.
using CDialogHook = std::function<int(QDialog& dlg)>;

// Replaces the real runs while set; an empty hook restores them.
void SetDialogHook(CDialogHook hook);

// Runs dlg modally and returns its result.
int RunModal(QDialog& dlg);

class QAction;
class QMenu;

// Receives a popup menu, set up but not shown, and the global point it would open at, instead of
// running it; returns the action to choose, or null for none.
using CPopupHook = std::function<QAction*(QMenu& menu, const QPoint& at)>;

// Replaces the real popups while set; an empty hook restores them.
void SetPopupHook(CPopupHook hook);

// Opens menu at the global point at. A shown menu triggers the chosen action itself and null is
// returned; under the hook the chosen action is returned for the caller to trigger once the menu
// is gone.
QAction* RunPopup(QMenu& menu, const QPoint& at);
