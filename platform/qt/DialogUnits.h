#pragma once
// Dialog templates are laid out in dialog units; these convert them to pixels with the base
// units of the template's font, as the Windows dialog manager does.

#include <QFont>
#include <QRect>

class QWidget;

struct CDialogBaseUnits {
    int m_nCharWidth = 0;  // average width of the 52 Latin letters, rounded
    int m_nCharHeight = 0; // the font's line height
};

// The templates' font, "宋体" 9 pt; on a machine without it, the Chinese font that the font
// configuration offers.
QFont DialogFont();

CDialogBaseUnits DialogBaseUnits(const QFont& font);

// x_px = x_du * avgCharWidth / 4 and y_px = y_du * charHeight / 8, rounded as MulDiv does.
int DialogUnitsToPixelsX(int nDu, const CDialogBaseUnits& units);
int DialogUnitsToPixelsY(int nDu, const CDialogBaseUnits& units);
QRect DialogRectToPixels(int x, int y, int cx, int cy, const CDialogBaseUnits& units);

// Places a child widget at a template rectangle given in dialog units.
void PlaceAtTemplate(QWidget* pWidget, int x, int y, int cx, int cy, const CDialogBaseUnits& units);
