#pragma once
// The program's one way to run a modal dialog. Headless tests answer every dialog through one
// hook instead of a user, as they answer message boxes through the message hook.

#include <QDialog>
#include <functional>

// Receives the dialog, set up but not shown, instead of running it, and returns the result to
// report (QDialog::Accepted or Rejected); it may fill the dialog's fields first.
using CDialogHook = std::function<int(QDialog& dlg)>;

// Replaces the real runs while set; an empty hook restores them.
void SetDialogHook(CDialogHook hook);

// Runs dlg modally and returns its result.
int RunModal(QDialog& dlg);
