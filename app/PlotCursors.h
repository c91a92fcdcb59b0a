#pragma once
// The plot view's two drawn cursors, monochrome 32 x 32 with the hot spot at the arrow's tip:
// 130, the arrow with a four-headed move cross at its lower right (real-time move and drags),
// and 137, the arrow with a plus sign at its upper right and a minus sign lower down to its
// right (real-time zoom).

#include <QCursor>
#include <QStringList>

// Rows of 32 characters: 'X' black, '.' white, ' ' transparent.
QStringList MoveCursorArt();
QStringList ZoomCursorArt();

QCursor MakeCursor(const QStringList& art);
