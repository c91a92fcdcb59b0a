#include "app/PlotKeys.h"

std::optional<CPlotKeyPress> PlotKeyOf(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    const bool bShift = event.modifiers() & Qt::ShiftModifier;
    switch (event.key()) {
    case Qt::Key_Left:
        return CPlotKeyPress{EPlotKey::Left, bShift};
    case Qt::Key_Right:
        return CPlotKeyPress{EPlotKey::Right, bShift};
    case Qt::Key_Up:
        return CPlotKeyPress{EPlotKey::Up, bShift};
    case Qt::Key_Down:
        return CPlotKeyPress{EPlotKey::Down, bShift};
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return CPlotKeyPress{EPlotKey::ZoomIn, false};
    case Qt::Key_Minus:
        return CPlotKeyPress{EPlotKey::ZoomOut, false};
    case Qt::Key_Home:
        return CPlotKeyPress{EPlotKey::Home, false};
    default:
        return std::nullopt;
    }
}
