#pragma once

#include <QPointer>

namespace celdo {

class BrushBoard;
class EditorHost;
class PaletteBoard;
class TileBoard;

// The main window's three boards.  Each is created by its command (or at
// start-up when it was open at the last exit), deleted when the user closes
// it, and told when what it shows changes.  At most one of each exists.
class BoardWindows {
public:
    explicit BoardWindows(EditorHost& host);
    ~BoardWindows();
    BoardWindows(const BoardWindows&) = delete;
    BoardWindows& operator=(const BoardWindows&) = delete;

    // Opens the board when it is closed, then activates it.
    void openPaletteBoard();
    void openBrushBoard();
    void openTileBoard();
    // After the command-line files: the tile board, the brush board, then the
    // palette board, each when it was open at the last exit.
    void openAtStartUp();
    // Records which boards are open and where, then closes them.
    void shutDown();

    // The palette or the colour group changed: the palette board rebuilds its
    // swatches, the tile board shows the tiles in the new colours.
    void paletteChanged();
    // Only the colour selection changed (left, right, border colour).
    void selectionChanged();
    // A pick through the palette board; false when it is closed.
    bool selectColour(int index, int paintKind);
    // A tile was captured into the current tile and the tile pattern.
    void tileCaptured();

    PaletteBoard* paletteBoard() const;
    // The palette board is open and the active window (undo works on the
    // palette then).
    bool paletteBoardIsActive() const;
    BrushBoard* brushBoard() const;
    TileBoard* tileBoard() const;

private:
    EditorHost& m_host;
    QPointer<PaletteBoard> m_palette;
    QPointer<BrushBoard> m_brush;
    QPointer<TileBoard> m_tile;
};

} // namespace celdo
