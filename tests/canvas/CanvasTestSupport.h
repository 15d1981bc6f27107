#pragma once

#include "canvas/Canvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace celdo::testing {

// A canvas with an 8-bit picture of one index, the dot brush and colour 5.
struct CanvasFixture {
    ColourSelection selection;
    Brush brush = Brush::dot();
    EditingState state{selection, brush};
    Canvas canvas{state};

    explicit CanvasFixture(int width = 10, int height = 10, int fill = 0) {
        CellImagePtr picture = CellImage::Create(width, height, 8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture->at(x, y) = static_cast<std::uint8_t>(fill);
        canvas.SetPicture(std::move(picture));
        selection.drawColor = 5;
    }

    CellImage& picture() { return *canvas.picture(); }
    std::uint8_t at(int x, int y) { return picture().at(x, y); }

    void fullBrush() {
        brush.cells.fill(1);
        brush.updateExtent();
    }

    CellImage& addMask() {
        canvas.surface().mask = CellImage::Create(picture().width(), picture().height(), 8);
        return *canvas.surface().mask;
    }

    // The picture as rows of characters: '.' for `background`, the digit or
    // letter of the index otherwise ('#' for the draw colour).
    std::string render(int background = 0) {
        std::string out;
        for (int y = 0; y < picture().height(); ++y) {
            for (int x = 0; x < picture().width(); ++x) {
                const int v = at(x, y);
                out +=
                    v == background ? '.' : (v == selection.drawColor ? '#' : char('a' + v % 26));
            }
            out += '\n';
        }
        return out;
    }
};

} // namespace celdo::testing
