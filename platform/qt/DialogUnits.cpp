#include "platform/qt/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QWidget>

namespace {

// MulDiv(n, num, den): the product divided with rounding half away from zero.
int MulDiv(int n, int num, int den) {
    const long long p = static_cast<long long>(n) * num;
    return static_cast<int>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

QString DialogFontFamily() {
    const QStringList families = QFontDatabase::families();
    for (const QString& name : {QString::fromUtf8("宋体"), QStringLiteral("SimSun")}) {
        if (families.contains(name, Qt::CaseInsensitive)) return name;
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
    font.setPointSize(9);
    return font;
}

CDialogBaseUnits DialogBaseUnits(const QFont& font) {
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
