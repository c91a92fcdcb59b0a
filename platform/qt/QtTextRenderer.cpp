#include "platform/qt/QtTextRenderer.h"

#include "platform/qt/QtStrings.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <map>
#include <utility>

namespace {

// Masks are small, but a long session could meet unboundedly many texts.
constexpr size_t kMaxMasks = 4096;

QString ToQString(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return FromCp936(std::string(text));
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

int CellHeight(int height) {
    if (height == 0) return 14;
    return std::clamp(height, -1000, 1000);
}

} // namespace

QFont QtFontFor(const CFontSpec& req) {
    // Never destroyed: a QFont must not outlive the application object's font system.
    static auto& cache = *new std::map<std::pair<std::string, int>, QFont>;
    const int height = CellHeight(req.height);
    auto key = std::make_pair(req.face, height);
    if (auto it = cache.find(key); it != cache.end()) return it->second;

    QFont font(QString::fromStdString(req.face));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    if (height < 0) {
        font.setPixelSize(-height);
    } else {
        // The largest pixel size whose ascent plus descent fits the requested cell.
        int size = height;
        for (; size > 1; --size) {
            font.setPixelSize(size);
            QFontMetrics fm(font);
            if (fm.ascent() + fm.descent() <= height) break;
        }
        font.setPixelSize(size);
    }
    cache.emplace(key, font);
    return font;
}

const CQtTextRenderer::CMask& CQtTextRenderer::MaskFor(const CFontSpec& req,
                                                       std::string_view text) {
    std::string key = req.face;
    key += '\0';
    key += std::to_string(req.height);
    key += '\0';
    key.append(text);
    if (auto it = m_masks.find(key); it != m_masks.end()) return it->second;
    if (m_masks.size() >= kMaxMasks) m_masks.clear();

    const QFont font = QtFontFor(req);
    const QFontMetrics fm(font);
    const QString str = ToQString(text);
    CMask mask;
    const int cell = req.height > 0 ? CellHeight(req.height) : fm.ascent() + fm.descent();
    mask.extent = {fm.horizontalAdvance(str), cell};
    // Room on both sides for glyphs that reach past their advance (italic tails, 'j').
    const int pad = fm.height() / 2 + 1;
    mask.left = -pad;
    mask.width = mask.extent.cx + 2 * pad;
    mask.height = std::max(cell, fm.ascent() + fm.descent());
    if (!str.isEmpty() && mask.width > 0 && mask.height > 0) {
        QImage img(mask.width, mask.height, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(pad, fm.ascent(), str);
        }
        // A threshold, not the grey level: whatever the rasteriser does at glyph edges, each
        // pixel is either painted or left alone.
        mask.bits.resize(static_cast<size_t>(mask.width) * mask.height);
        for (int y = 0; y < mask.height; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < mask.width; ++x)
                mask.bits[static_cast<size_t>(y) * mask.width + x] = qGreen(row[x]) >= 128;
        }
    }
    return m_masks.emplace(std::move(key), std::move(mask)).first->second;
}

CSize CQtTextRenderer::Extent(const CFontSpec& font, std::string_view text) {
    return MaskFor(font, text).extent;
}

void CQtTextRenderer::Draw(const CFontSpec& font, std::string_view text, int x, int y,
                           std::uint32_t pixel, const CPixelSurface& surface) {
    if (!surface.bits || surface.width <= 0 || surface.height <= 0) return;
    const CMask& mask = MaskFor(font, text);
    if (mask.bits.empty()) return;
    const long long left = static_cast<long long>(x) + mask.left;
    const long long mx0 = std::max(0LL, -left);
    const long long mx1 = std::min<long long>(mask.width, surface.width - left);
    const long long my0 = std::max(0LL, -static_cast<long long>(y));
    const long long my1 =
        std::min<long long>(mask.height, surface.height - static_cast<long long>(y));
    for (long long my = my0; my < my1; ++my) {
        const std::uint8_t* src = mask.bits.data() + my * mask.width;
        // Offsets from the row start: the mask may begin left of the surface.
        const long long row = (y + my) * surface.stride + left;
        for (long long mx = mx0; mx < mx1; ++mx)
            if (src[mx]) surface.bits[row + mx] = pixel;
    }
}
