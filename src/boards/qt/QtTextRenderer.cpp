#include "boards/qt/QtTextRenderer.h"

#include "boards/qt/QtFonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace celdo {

namespace {

QFont renderFont(const LogicalFont& font) {
    QFont q = toQFont(font);
    q.setStyleStrategy(QFont::NoAntialias);
    return q;
}

// Characters a vertical Japanese font keeps upright: the wide ones.
bool standsUpright(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}

} // namespace

TextRenderer::Extent QtTextRenderer::measure(const LogicalFont& font, const std::string& text,
                                             bool vertical) {
    const QFontMetrics metrics(renderFont(font));
    const QString line = QString::fromStdString(text);
    Extent extent;
    extent.height = metrics.height();
    if (!vertical) {
        extent.width = metrics.horizontalAdvance(line);
        return extent;
    }
    // A vertical line sets its characters one by one.
    for (char32_t c : line.toUcs4())
        extent.width += metrics.horizontalAdvance(QString::fromUcs4(&c, 1));
    return extent;
}

std::vector<std::uint8_t> QtTextRenderer::render(const LogicalFont& font, const std::string& text,
                                                 bool vertical, const TextPlacement& placement) {
    QImage surface(placement.width, placement.height, QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        const QFont q = renderFont(font);
        const QFontMetrics metrics(q);
        const QString line = QString::fromStdString(text);
        QPainter painter(&surface);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(q);
        painter.setPen(Qt::black);
        painter.translate(placement.originX, placement.originY);
        // The escapement turns counter-clockwise; Qt turns clockwise.
        painter.rotate(-font.escapement / 10.0);
        if (!vertical) {
            painter.drawText(QPointF(0, metrics.ascent()), line);
        } else {
            const double cell = metrics.height();
            double x = 0;
            for (char32_t c : line.toUcs4()) {
                const QString glyph = QString::fromUcs4(&c, 1);
                const double advance = metrics.horizontalAdvance(glyph);
                if (standsUpright(c)) {
                    // Turned a quarter back about its cell's centre, so the
                    // downward line shows it upright.
                    painter.save();
                    painter.translate(x + advance / 2, cell / 2);
                    painter.rotate(-90);
                    painter.drawText(QPointF(-advance / 2, -cell / 2 + metrics.ascent()), glyph);
                    painter.restore();
                } else {
                    painter.drawText(QPointF(x, metrics.ascent()), glyph);
                }
                x += advance;
            }
        }
    }
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(placement.width) * placement.height);
    for (int y = 0; y < placement.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(surface.constScanLine(y));
        for (int x = 0; x < placement.width; ++x)
            pixels.push_back(qGray(row[x]) < 128 ? 0 : 255);
    }
    return pixels;
}

} // namespace celdo
