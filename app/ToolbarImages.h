#pragma once
// The toolbar's 16 x 15 button images and the application icon, drawn here in code.

#include <QIcon>
#include <QPixmap>

// The image of a toolbar command (57600 new, 32772 add, ...); an empty pixmap for other ids.
QPixmap ToolbarImage(int nId);
// The plane with a curve, at 16, 32 and 48 pixels.
QIcon AppIcon();
