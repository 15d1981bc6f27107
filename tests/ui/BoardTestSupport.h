#pragma once

#include "FakeEditorHost.h"

#include "boards/BoardFiles.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <string>

namespace celdo::testing {

// A fake host whose program directory is a fresh folder, so the boards read
// and write their files there and nowhere else.
struct BoardHost {
    QTemporaryDir dir{realTemp() + QStringLiteral("/celdo-board-XXXXXX")};
    std::unique_ptr<FakeEditorHost> host;

    BoardHost() {
        qputenv("TMPDIR", dir.path().toLocal8Bit());
        host = std::make_unique<FakeEditorHost>();
    }
    ~BoardHost() { qputenv("TMPDIR", realTemp().toLocal8Bit()); }

    std::string file(const char* name) const { return (dir.path() + '/' + name).toStdString(); }

    // The temporary folder the test run started with.
    static QString realTemp() {
        static const QString path = QDir::tempPath();
        return path;
    }
};

inline void writeBitmap(const CellImage& image, const std::string& path) {
    QCOMPARE(BoardBitmapWriter(path)(image), status::Ok);
}

// Shows a board at `size` and waits until it has settled.
inline void showAt(QWidget& board, QSize size) {
    board.resize(size);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
}

constexpr QRgb Black = 0x000000;
constexpr QRgb White = 0xFFFFFF;

// The centre of cell (column, row) of a board's visible grid.
inline QPoint cellCentre(int column, int row) {
    return {2 + 18 * column + 8, 2 + 18 * row + 8};
}

inline QRgb pixelAt(QWidget& widget, int x, int y) {
    return widget.grab().toImage().pixel(x, y) & 0xFFFFFF;
}

inline QPushButton* buttonNamed(QWidget& parent, const QString& text) {
    for (auto* button : parent.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

} // namespace celdo::testing
