#include "boards/BrushSet.h"

#include "framework/Ui.h"

namespace celdo {

namespace {

void setBrushColours(CellImage& image) {
    const ColourValue colours[2] = {rgb(255, 255, 255), rgb(0, 0, 0)};
    image.SetPalette(colours, 2);
}

} // namespace

BrushSet::BrushSet() : m_image(CellImage::Create(BlankSize, BlankSize, 1)) {
    setBrushColours(*m_image);
}

bool BrushSet::acceptable(const CellImage* image) {
    return image && image->pixels() && image->bitsPerPixel() == 1 &&
           image->width() >= MinimumSize && image->height() >= MinimumSize;
}

bool BrushSet::load(CellImagePtr image, Ui& ui, const std::string& caption) {
    if (!acceptable(image.get())) {
        ui.messageBox(BrushSetReadFailedText, caption, MessageIcon::Information,
                      MessageButtons::Ok);
        return false;
    }
    m_image = std::move(image);
    setBrushColours(*m_image);
    return true;
}

Status BrushSet::save(const std::function<Status(const CellImage&)>& writer, Ui& ui,
                      const std::string& caption) const {
    const Status result = writer ? writer(*m_image) : status::CannotWrite;
    if (result != status::Ok)
        ui.messageBox(BrushSetWriteFailedText, caption, MessageIcon::Information,
                      MessageButtons::Ok);
    return result;
}

int BrushSet::clampIndex(int n) const {
    if (n >= count())
        n = count() - 1;
    return n < 0 ? 0 : n;
}

Rect BrushSet::cellRect(int n) const {
    const int c = columns();
    if (c == 0 || n < 0 || n >= count())
        return {};
    const int x = CellSize * (n % c);
    const int y = CellSize * (n / c);
    return {x, y, x + CellSize, y + CellSize};
}

Brush BrushSet::brush(int n) const {
    Brush b;
    const Rect cell = cellRect(n);
    if (!cell.empty() && m_image->pixels()) {
        const int byteOffset = cell.left / 8;
        for (int y = 0; y < CellSize; ++y) {
            const std::uint8_t* bits = m_image->row(cell.top + y) + byteOffset;
            for (int x = 0; x < CellSize; ++x)
                b.cells[y * 16 + x] = (bits[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    b.updateExtent();
    return b;
}

void BrushSet::store(int n, const Brush& brush) {
    const Rect cell = cellRect(n);
    if (cell.empty() || !m_image->pixels())
        return;
    const int byteOffset = cell.left / 8;
    for (int y = 0; y < CellSize; ++y) {
        std::uint8_t* bits = m_image->row(cell.top + y) + byteOffset;
        for (int half = 0; half < 2; ++half) {
            std::uint8_t packed = 0;
            for (int x = 0; x < 8; ++x)
                if (brush.cell(8 * half + x, y))
                    packed |= static_cast<std::uint8_t>(0x80 >> x);
            bits[half] = packed;
        }
    }
}

} // namespace celdo
