#include "platform/qt/DialogUnits.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>

namespace {

// MulDiv(n, num, den): the product divided with rounding half away from zero.
int MulDiv(int n, int num, int den) {
    const long long p = static_cast<long long>(n) * num;
    return static_cast<int>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

bool IsSimSun(const QString& family) {
    return family.compare(QString::fromUtf8("宋体"), Qt::CaseInsensitive) == 0 ||
           family.compare(QStringLiteral("SimSun"), Qt::CaseInsensitive) == 0;
}

QString DialogFontFamily() {
    const QStringList families = QFontDatabase::families();
    for (const QString& name : families) {
        if (IsSimSun(name)) return name;
    }
    // Prefer a proportional face: the monospaced variants widen every Latin letter.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& name : chinese) {
        if (!QFontDatabase::isFixedPitch(name)) return name;
    }
    return chinese.isEmpty() ? QString() : chinese.front();
}

} // namespace

QFont DialogFont() {
    QFont font;
    const QString family = DialogFontFamily();
    if (!family.isEmpty()) font.setFamily(family);
    // 9 points of SimSun are 12 pixels on the screens the layouts were made for; a substitute
    // face gets the same pixel size so that its text fits the same rectangles.
    if (IsSimSun(family))
        font.setPointSize(9);
    else
        font.setPixelSize(12);
    return font;
}

CDialogBaseUnits DialogBaseUnits(const QFont& font) {
    if (!IsSimSun(QFontInfo(font).family())) {
        // A substitute face is wider than SimSun, whose Latin letters are half its height:
        // measure the layouts in SimSun's units so that they keep their designed size.
        const int px = QFontInfo(font).pixelSize();
        return CDialogBaseUnits{(px + 1) / 2, px};
    }
    const QFontMetrics fm(font);
    const int nWidth = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    CDialogBaseUnits units;
    units.m_nCharWidth = (nWidth / 26 + 1) / 2;
    units.m_nCharHeight = fm.height();
    return units;
}

int DialogUnitsToPixelsX(int nDu, const CDialogBaseUnits& units) {
    return MulDiv(nDu, units.m_nCharWidth, 4);
}

int DialogUnitsToPixelsY(int nDu, const CDialogBaseUnits& units) {
    return MulDiv(nDu, units.m_nCharHeight, 8);
}

QRect DialogRectToPixels(int x, int y, int cx, int cy, const CDialogBaseUnits& units) {
    // Convert both corners so that adjacent controls share their edges exactly.
    const int left = DialogUnitsToPixelsX(x, units);
    const int top = DialogUnitsToPixelsY(y, units);
    const int right = DialogUnitsToPixelsX(x + cx, units);
    const int bottom = DialogUnitsToPixelsY(y + cy, units);
    return QRect(left, top, right - left, bottom - top);
}

void PlaceAtTemplate(QWidget* pWidget, int x, int y, int cx, int cy,
                     const CDialogBaseUnits& units) {
    pWidget->setGeometry(DialogRectToPixels(x, y, cx, cy, units));
}
