#include "boards/TileSet.h"

#include "framework/Ui.h"

#include <algorithm>

namespace celdo {

TileSet::TileSet() : m_image(CellImage::Create(BlankSize, BlankSize, 8)) {}

bool TileSet::acceptable(const CellImage* image) {
    return image && image->pixels() && image->bitsPerPixel() == 8 &&
           image->width() >= MinimumSize && image->height() >= MinimumSize;
}

bool TileSet::load(CellImagePtr image, const ColourValue* palette, Ui& ui,
                   const std::string& caption) {
    if (!acceptable(image.get())) {
        ui.messageBox(TileSetReadFailedText, caption, MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    m_image = std::move(image);
    applyPalette(palette);
    if (m_current >= count())
        m_current = 0;
    return true;
}

Status TileSet::save(const std::function<Status(const CellImage&)>& writer, Ui& ui,
                     const std::string& caption) const {
    const Status result = writer ? writer(*m_image) : status::CannotWrite;
    if (result != status::Ok)
        ui.messageBox(TileSetWriteFailedText, caption, MessageIcon::Information,
                      MessageButtons::Ok);
    return result;
}

void TileSet::applyPalette(const ColourValue* palette) {
    if (palette)
        m_image->SetPalette(palette, 256);
}

Rect TileSet::cellRect(int n) const {
    const int c = columns();
    if (c == 0 || n < 0 || n >= count())
        return {};
    const int x = CellSize * (n % c);
    const int y = CellSize * (n / c);
    return {x, y, x + CellSize, y + CellSize};
}

bool TileSet::select(int n, ColourSelection& selection) {
    const Rect cell = cellRect(n);
    if (cell.empty() || !m_image->pixels())
        return false;
    for (int y = 0; y < CellSize; ++y)
        std::copy_n(m_image->row(cell.top + y) + cell.left, CellSize,
                    selection.tilePattern.begin() + y * CellSize);
    m_current = n;
    selection.paintKind = ColourSelection::Tile;
    return true;
}

Rect TileSet::capture(const CellImage& picture, int x, int y, ColourSelection& selection) {
    const Rect cell = cellRect(m_current);
    if (cell.empty() || !m_image->pixels() || !picture.pixels() || picture.bitsPerPixel() != 8)
        return {};
    const Rect area =
        Rect{x - 8, y - 8, x + 8, y + 8}.intersected({0, 0, picture.width(), picture.height()});
    if (area.empty())
        return {};
    for (int iy = area.top; iy < area.bottom; ++iy)
        for (int ix = area.left; ix < area.right; ++ix) {
            const int tx = ix - x + 8;
            const int ty = iy - y + 8;
            const std::uint8_t v = picture.at(ix, iy);
            m_image->at(cell.left + tx, cell.top + ty) = v;
            selection.tilePattern[ty * CellSize + tx] = v;
        }
    return {cell.left + area.left - x + 8, cell.top + area.top - y + 8,
            cell.left + area.right - x + 8, cell.top + area.bottom - y + 8};
}

} // namespace celdo
