#pragma once

#include "ui/GridBoard.h"

namespace celdo {

// "タイル": the tile set.  A click makes a tile the paint pattern; "取得"
// switches the canvas to taking a tile from the picture; "読込" and "保存"
// read and write the set's file.
class TileBoard : public GridBoard {
    Q_OBJECT
public:
    explicit TileBoard(EditorHost& host);

    // The set took the current palette's colours.
    void paletteChanged();
    // The current tile was captured from a picture.
    void tileChanged();

protected:
    const CellImage& setImage() const override;
    int currentCell() const override;
    void cellPressed(int n) override;

private:
    void load();
    void save();
};

} // namespace celdo
