#pragma once
// A world coordinate as the read-out panes and the curve tip show it.

#include <QString>

inline QString ReadOutNumber(double v) {
    return QString::asprintf("%.2f", v);
}
