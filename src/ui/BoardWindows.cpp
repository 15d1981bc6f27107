#include "ui/BoardWindows.h"

#include "app/AppState.h"
#include "ui/BrushBoard.h"
#include "ui/EditorHost.h"
#include "ui/PaletteBoard.h"
#include "ui/TileBoard.h"

namespace celdo {

namespace {

template <typename Board>
void open(QPointer<Board>& board, EditorHost& host, BoardState& state, bool activate = true) {
    if (!board) {
        board = new Board(host);
        board->placeBesideMainWindow();
        state.open = true;
        // The state records the board as open until it closes by itself.
        QObject::connect(board, &QObject::destroyed, [&state] { state.open = false; });
        board->show();
    }
    if (!activate)
        return;
    board->raise();
    board->activateWindow();
}

template <typename Board> void shut(QPointer<Board>& board, BoardState& state) {
    if (!board) {
        state.open = false;
        return;
    }
    board->recordPlacement();
    QObject::disconnect(board, &QObject::destroyed, nullptr, nullptr);
    board->close();
    state.open = true;
}

} // namespace

BoardWindows::BoardWindows(EditorHost& host) : m_host(host) {}

BoardWindows::~BoardWindows() {
    // The boards are children of the main window; they must not report to
    // a state that goes before them.
    for (QObject* board :
         {static_cast<QObject*>(m_palette.data()), static_cast<QObject*>(m_brush.data()),
          static_cast<QObject*>(m_tile.data())})
        if (board)
            QObject::disconnect(board, &QObject::destroyed, nullptr, nullptr);
}

PaletteBoard* BoardWindows::paletteBoard() const {
    return m_palette;
}

bool BoardWindows::paletteBoardIsActive() const {
    return m_palette && m_palette->isVisible() && m_palette->isActiveWindow();
}

BrushBoard* BoardWindows::brushBoard() const {
    return m_brush;
}

TileBoard* BoardWindows::tileBoard() const {
    return m_tile;
}

void BoardWindows::openPaletteBoard() {
    open(m_palette, m_host, m_host.app().paletteBoard);
}

void BoardWindows::openBrushBoard() {
    open(m_brush, m_host, m_host.app().brushBoard);
}

void BoardWindows::openTileBoard() {
    open(m_tile, m_host, m_host.app().tileBoard);
}

void BoardWindows::openAtStartUp() {
    // Shown beside the main window, which keeps the keyboard.
    AppState& app = m_host.app();
    if (app.tileBoard.open)
        open(m_tile, m_host, app.tileBoard, false);
    if (app.brushBoard.open)
        open(m_brush, m_host, app.brushBoard, false);
    if (app.paletteBoard.open)
        open(m_palette, m_host, app.paletteBoard, false);
}

void BoardWindows::shutDown() {
    AppState& app = m_host.app();
    shut(m_brush, app.brushBoard);
    shut(m_tile, app.tileBoard);
    shut(m_palette, app.paletteBoard);
}

void BoardWindows::paletteChanged() {
    if (m_palette)
        m_palette->paletteChanged();
    if (m_tile)
        m_tile->paletteChanged();
}

void BoardWindows::selectionChanged() {
    if (m_palette)
        m_palette->paletteChanged();
}

bool BoardWindows::selectColour(int index, int paintKind) {
    if (!m_palette)
        return false;
    m_palette->select(index, paintKind);
    return true;
}

void BoardWindows::tileCaptured() {
    if (m_tile)
        m_tile->tileChanged();
    // The preview shows the pattern while tones or tiles are painted.
    if (m_palette)
        m_palette->paletteChanged();
}

} // namespace celdo
