#include "app/ToolbarImages.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kW = 16;
constexpr int kH = 15;

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kBlue(0, 0, 160);
const QColor kGreen(0, 140, 0);
const QColor kRed(200, 0, 0);
const QColor kYellow(240, 200, 40);
const QColor kGrey(128, 128, 128);

void Page(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(
        QPolygon({QPoint(2, 0), QPoint(9, 0), QPoint(12, 3), QPoint(12, 14), QPoint(2, 14)}));
    p.drawLine(9, 0, 9, 3);
    p.drawLine(9, 3, 12, 3);
}

void Magnifier(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(1, 0, 9, 9);
    p.setPen(QPen(kInk, 2));
    p.drawLine(9, 9, 13, 13);
}

// A small curve over a line of axes, the mark of the function commands.
void Curve(QPainter& p, const QColor& clr) {
    p.setPen(kGrey);
    p.drawLine(0, 8, 9, 8);
    p.drawLine(4, 2, 4, 14);
    p.setPen(clr);
    QPoint prev(0, 13);
    for (int x = 1; x <= 9; ++x) {
        QPoint pt(x, 13 - (x * x) / 7);
        p.drawLine(prev, pt);
        prev = pt;
    }
}

void Arrow(QPainter& p, QPoint tip, int dx, int dy) {
    // dx, dy: the direction the arrow points in, one of the four axis directions.
    const QPoint back(-dx * 2, -dy * 2), side(dy * 2, dx * 2);
    p.drawPolygon(QPolygon({tip, tip + back + side, tip + back - side}));
}

void Draw(QPainter& p, ECommand nCommand) {
    switch (nCommand) {
    case ID_FILE_NEW:
        Page(p);
        break;
    case ID_FILE_OPEN:
        p.setPen(kInk);
        p.setBrush(kYellow);
        p.drawPolygon(QPolygon({QPoint(0, 3), QPoint(5, 3), QPoint(6, 5), QPoint(13, 5),
                                QPoint(13, 13), QPoint(0, 13)}));
        p.setBrush(QColor(255, 230, 120));
        p.drawPolygon(QPolygon({QPoint(2, 7), QPoint(15, 7), QPoint(13, 13), QPoint(0, 13)}));
        break;
    case ID_FILE_SAVE:
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(1, 0, 13, 14);
        p.setBrush(kPaper);
        p.drawRect(3, 0, 9, 6);
        p.setBrush(kGrey);
        p.drawRect(4, 9, 7, 5);
        break;
    case ID_FUN_ADD:
        Curve(p, kBlue);
        p.setPen(QPen(kGreen, 2));
        p.drawLine(12, 8, 12, 14);
        p.drawLine(9, 11, 15, 11);
        break;
    case ID_FUN_MODIFY:
        Curve(p, kBlue);
        p.setPen(kInk);
        p.setBrush(kYellow);
        p.drawPolygon(QPolygon(
            {QPoint(9, 13), QPoint(10, 10), QPoint(15, 5), QPoint(15, 7), QPoint(11, 12)}));
        break;
    case ID_FUN_DELETE:
        Curve(p, kBlue);
        p.setPen(QPen(kRed, 2));
        p.drawLine(9, 8, 14, 13);
        p.drawLine(14, 8, 9, 13);
        break;
    case ID_REAL_MOVE: // the four-way arrow
        p.setPen(kInk);
        p.setBrush(kInk);
        p.drawLine(2, 7, 13, 7);
        p.drawLine(7, 2, 7, 12);
        Arrow(p, QPoint(0, 7), -1, 0);
        Arrow(p, QPoint(15, 7), 1, 0);
        Arrow(p, QPoint(7, 0), 0, -1);
        Arrow(p, QPoint(7, 14), 0, 1);
        break;
    case ID_REAL_ZOOM: // drag up and down to scale
        p.setPen(kInk);
        p.setBrush(kInk);
        p.drawLine(4, 2, 4, 12);
        Arrow(p, QPoint(4, 0), 0, -1);
        Arrow(p, QPoint(4, 14), 0, 1);
        p.setBrush(Qt::NoBrush);
        p.drawRect(8, 2, 6, 6);
        p.drawRect(10, 9, 3, 3);
        break;
    case ID_ZOOM_IN:
    case ID_ZOOM_OUT:
    case ID_ZOOM_RESET:
        Magnifier(p);
        p.setPen(kInk);
        if (nCommand == ID_ZOOM_RESET) {
            p.drawText(QRect(1, 0, 10, 10), Qt::AlignCenter, QStringLiteral("1"));
        } else {
            p.drawLine(3, 4, 7, 4);
            if (nCommand == ID_ZOOM_IN) p.drawLine(5, 2, 5, 6);
        }
        break;
    case ID_DISPLAY_SETTINGS: // grid and axes
        p.fillRect(0, 0, kW, kH, kInk);
        p.setPen(QColor(98, 0, 100));
        for (int i = 1; i < kW; i += 4)
            p.drawLine(i, 0, i, kH - 1);
        for (int j = 1; j < kH; j += 4)
            p.drawLine(0, j, kW - 1, j);
        p.setPen(kPaper);
        p.drawLine(0, 9, kW - 1, 9);
        p.drawLine(5, 0, 5, kH - 1);
        break;
    case ID_HELP_TOPICS:
        p.setPen(kBlue);
        p.setBrush(kBlue);
        p.drawEllipse(1, 0, 13, 13);
        p.setPen(kPaper);
        p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    default:
        break;
    }
}

} // namespace

QPixmap ToolbarImage(ECommand nCommand) {
    QPixmap pm(kW, kH);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    Draw(p, nCommand);
    return pm;
}

QIcon AppIcon() {
    // The icon lives in a static library: its resources must be asked for by name.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    for (int n : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/curvist-%1.png").arg(n), QSize(n, n));
    return icon;
}
