#include "app/PlotCursors.h"

#include <QBitmap>
#include <QImage>

#include <array>

namespace {

constexpr int kSize = 32;
using CGrid = std::array<std::array<char, kSize>, kSize>;

// The standard arrow: white inside a black outline, tip at (0, 0).
constexpr const char* kArrow[] = {
    "X",         "XX",        "X.X",        "X..X",        "X...X",     "X....X",   "X.....X",
    "X......X",  "X.......X", "X........X", "X.....XXXXX", "X..X..X",   "X.X X..X", "XX  X..X",
    "X    X..X", "     X..X", "      X..X", "      X..X",  "       XX",
};

CGrid Arrow() {
    CGrid g;
    for (auto& row : g)
        row.fill(' ');
    for (int y = 0; y < static_cast<int>(std::size(kArrow)); ++y)
        for (int x = 0; kArrow[y][x]; ++x)
            g[y][x] = kArrow[y][x];
    return g;
}

void Ink(CGrid& g, int x, int y) {
    if (x >= 0 && x < kSize && y >= 0 && y < kSize) g[y][x] = '#';
}

void Bar(CGrid& g, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            Ink(g, x, y);
}

// The symbols are black with a white rim, so they show on the black plane as on white.
QStringList Finish(CGrid g) {
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            if (g[y][x] != ' ') continue;
            bool bRim = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && nx < kSize && ny >= 0 && ny < kSize && g[ny][nx] == '#')
                        bRim = true;
                }
            if (bRim) g[y][x] = '.';
        }
    QStringList rows;
    for (auto& row : g) {
        QString s;
        for (char c : row)
            s += QLatin1Char(c == '#' ? 'X' : c);
        rows << s;
    }
    return rows;
}

} // namespace

QStringList MoveCursorArt() {
    CGrid g = Arrow();
    const int cx = 22, cy = 22, arm = 8;
    Bar(g, cx - arm, cy, cx + arm, cy);
    Bar(g, cx, cy - arm, cx, cy + arm);
    // An arrowhead of three rows at each end of the cross.
    for (int i = 1; i <= 3; ++i) {
        Bar(g, cx - i, cy - arm + i, cx + i, cy - arm + i);
        Bar(g, cx - i, cy + arm - i, cx + i, cy + arm - i);
        Bar(g, cx - arm + i, cy - i, cx - arm + i, cy + i);
        Bar(g, cx + arm - i, cy - i, cx + arm - i, cy + i);
    }
    return Finish(g);
}

QStringList ZoomCursorArt() {
    CGrid g = Arrow();
    // The plus at the upper right, two pixels thick.
    Bar(g, 14, 4, 24, 5);
    Bar(g, 18, 0, 19, 9);
    // The minus to its right, lower down.
    Bar(g, 21, 15, 30, 16);
    return Finish(g);
}

QCursor MakeCursor(const QStringList& art) {
    QImage ink(kSize, kSize, QImage::Format_RGB32), mask(kSize, kSize, QImage::Format_RGB32);
    ink.fill(Qt::white);
    mask.fill(Qt::white);
    for (int y = 0; y < kSize && y < art.size(); ++y)
        for (int x = 0; x < kSize && x < art[y].size(); ++x) {
            const QChar c = art[y][x];
            if (c == u' ') continue;
            mask.setPixel(x, y, qRgb(0, 0, 0));
            if (c == u'X') ink.setPixel(x, y, qRgb(0, 0, 0));
        }
    return QCursor(QBitmap::fromImage(ink), QBitmap::fromImage(mask), 0, 0);
}
