#include "ui/TileBoard.h"

#include "app/AppState.h"
#include "boards/BoardFiles.h"
#include "ui/EditorHost.h"

#include <QPushButton>

namespace celdo {

TileBoard::TileBoard(EditorHost& host)
    : GridBoard(host, host.app().tileBoard, QStringLiteral("TileList"), QStringLiteral("タイル"),
                QStringLiteral("読込"), QStringLiteral("取得"), QStringLiteral("保存")) {
    connect(leftButton(), &QPushButton::clicked, this, &TileBoard::load);
    connect(middleButton(), &QPushButton::clicked, this,
            [this] { this->host().postCommand(Command::TileCapture); });
    connect(rightButton(), &QPushButton::clicked, this, &TileBoard::save);
}

void TileBoard::paletteChanged() {
    setChanged();
}

void TileBoard::tileChanged() {
    cellChanged(host().app().tiles.current());
}

const CellImage& TileBoard::setImage() const {
    return host().app().tiles.image();
}

int TileBoard::currentCell() const {
    return host().app().tiles.current();
}

void TileBoard::cellPressed(int n) {
    AppState& app = host().app();
    const int old = app.tiles.current();
    if (!app.tiles.select(n, app.colours))
        return;
    updateCell(old);
    updateCell(n);
    // Through the palette board, so it shows the pattern as the choice.
    host().selectColour(n, ColourSelection::Tile);
}

void TileBoard::load() {
    AppState& app = host().app();
    if (LoadTileSetFile(app.tiles, app.writtenDataFile(TileSetFileName).string(),
                        app.palette.current(), host().ui(), messageCaption()))
        setChanged();
}

void TileBoard::save() {
    AppState& app = host().app();
    SaveTileSetFile(app.tiles, app.writableDataFile(TileSetFileName).string(), host().ui(),
                    messageCaption());
}

} // namespace celdo
