#pragma once
// Which keys of the keyboard work the plane: the arrows (Shift for a whole cell), + and -
// from either block ("=" too, + unshifted on many layouts), and Home. Shortcuts with Ctrl,
// Alt or Meta stay the frame's.

#include "view/PlotNavigation.h"

#include <QKeyEvent>
#include <optional>

struct CPlotKeyPress {
    EPlotKey key;
    bool bCell; // Shift with an arrow
};

std::optional<CPlotKeyPress> PlotKeyOf(const QKeyEvent& event);
