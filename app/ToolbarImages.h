#pragma once
// The toolbar's 16 x 15 button images and the application icon, drawn here in code.

#include "app/Commands.h"

#include <QIcon>
#include <QPixmap>

// The image of a toolbar command; an empty pixmap for commands without a button.
QPixmap ToolbarImage(ECommand nCommand);
// The application icon (res/icons): a plane with a curve, from 16 to 256 pixels.
QIcon AppIcon();
