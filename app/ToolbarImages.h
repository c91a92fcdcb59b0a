#pragma once
// The toolbar's 16 x 15 button images and the application icon, drawn here in code.

#include <QIcon>
#include <QPixmap>

// The image of a toolbar command (57600 new, 32772 add, ...); an empty pixmap for other ids.
QPixmap ToolbarImage(int nId);
// The application icon (res/icons): a plane with a curve, from 16 to 256 pixels.
QIcon AppIcon();
