#include "ui/PaletteBoard.h"

#include "app/AppState.h"
#include "palette/PaintSelection.h"
#include "palette/ToneTable.h"
#include "ui/EditorHost.h"
#include "ui/ToolCursors.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace celdo {

namespace {

PaletteBoard::MenuRunner& menuRunner() {
    static PaletteBoard::MenuRunner runner;
    return runner;
}

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

QRgb toRgb(ColourValue c) {
    return qRgb(static_cast<int>(redOf(c)), static_cast<int>(greenOf(c)),
                static_cast<int>(blueOf(c)));
}

QColor toColor(ColourValue c) {
    return QColor(toRgb(c));
}

// A one-pixel line along the inside of `r`, in whole logical pixels so it
// stays sharp at any device pixel ratio.
void framePixelRect(QPainter& painter, const QRect& r, const QColor& colour) {
    painter.fillRect(r.left(), r.top(), r.width(), 1, colour);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, colour);
    painter.fillRect(r.left(), r.top(), 1, r.height(), colour);
    painter.fillRect(r.right(), r.top(), 1, r.height(), colour);
}

} // namespace

PaletteBoard::PaletteBoard(EditorHost& host)
    : BoardWindow(host, host.app().paletteBoard, QStringLiteral("PaletteBoard"),
                  QStringLiteral("パレット")) {
    m_layout = m_layout.snapped(m_layout.expectedWidth(), m_layout.expectedHeight());
    m_asked = m_layout;

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        m_firstRow = value;
        update(0, 0, m_layout.scrollBar().left, m_layout.scrollBar().bottom + 1);
    });

    m_colourMenu = buildMenu({{"左に置く", Command::PaletteSetLeft},
                              {"右に置く", Command::PaletteSetRight},
                              {"境界色にする", Command::PaletteSetBorder},
                              {"編集...", Command::PaletteEditColour},
                              {"整列...", Command::PaletteSort},
                              {nullptr, Command::None},
                              {"削除", Command::PaletteDelete}});
    m_dropMenu = buildMenu({{"複写する", Command::PaletteCopy},
                            {"交換する", Command::PaletteSwap},
                            {"交換する(パレットのみ）", Command::PaletteSwapPaletteOnly},
                            {"併合する", Command::PaletteMerge},
                            {nullptr, Command::None},
                            {"色を併合する", Command::PalettePixelMerge},
                            {"色を交換する", Command::PalettePixelSwap}});

    rebuildToneStrip();
    resize(m_layout.width, m_layout.height);
}

void PaletteBoard::setMenuRunner(MenuRunner runner) {
    menuRunner() = std::move(runner);
}

QMenu* PaletteBoard::buildMenu(std::initializer_list<MenuItem> items) {
    auto* menu = new QMenu(this);
    for (const MenuItem& item : items) {
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(static_cast<int>(item.command));
    }
    return menu;
}

void PaletteBoard::runMenu(QMenu& menu, const QPoint& globalPos) {
    const MenuRunner& runner = menuRunner();
    QAction* chosen = runner ? runner(menu, globalPos) : menu.exec(globalPos);
    if (chosen && !chosen->isSeparator())
        host().postCommand(static_cast<Command>(chosen->data().toInt()));
}

QSize PaletteBoard::snappedSize(const QSize& wanted) const {
    // A size this board asked for arrives with the cells it was worked out
    // for.
    const bool asked = wanted == QSize(m_asked.width, m_asked.height);
    m_asked = (asked ? m_asked : m_layout).snapped(wanted.width(), wanted.height());
    return QSize(m_asked.width, m_asked.height);
}

void PaletteBoard::layoutBoard() {
    if (size() == QSize(m_asked.width, m_asked.height))
        m_layout = m_asked;
    else // the window manager refused the size: cells for the one it gave
        m_layout = m_layout.snapped(width(), height());
    m_layout.width = width();
    m_layout.height = height();

    m_scrollBar->setGeometry(toQRect(m_layout.scrollBar()));
    m_scrollBar->setRange(0, m_layout.scrollMaximum());
    m_scrollBar->setPageStep(m_layout.visibleRows);
    m_scrollBar->setEnabled(m_layout.scrollEnabled());
    m_firstRow = m_scrollBar->value();
}

void PaletteBoard::select(int index, int paintKind) {
    const QRect oldMark = markArea();
    if (!SelectPaint(host().app().colours, index, paintKind))
        return;
    update(oldMark);
    update(markArea());
    update(toQRect(m_layout.preview()));
}

void PaletteBoard::paletteChanged() {
    rebuildToneStrip();
    update();
}

void PaletteBoard::rebuildToneStrip() {
    const ColourSelection& colours = host().app().colours;
    const ColourValue* palette = host().app().palette.current();
    const CellImagePtr strip = ToneTable::CreateStrip(palette[colours.leftColor & 0xFF],
                                                      palette[colours.rightColor & 0xFF]);
    if (!strip) {
        m_toneStrip = QImage();
        return;
    }
    ColourValue table[2] = {};
    strip->GetPalette(table, true);
    const QRgb rgb[2] = {toRgb(table[0]), toRgb(table[1])};
    m_toneStrip = QImage(strip->width(), strip->height(), QImage::Format_RGB32);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(strip->stride()) * 8);
    for (int y = 0; y < strip->height(); ++y) {
        strip->UnpackRow1(bits.data(), strip->row(y));
        auto* line = reinterpret_cast<QRgb*>(m_toneStrip.scanLine(y));
        for (int x = 0; x < strip->width(); ++x)
            line[x] = rgb[bits[x] & 1];
    }
}

QImage PaletteBoard::previewPattern() const {
    // The 16 × 16 pattern twice each way, as it repeats on a picture.
    const std::uint8_t* pattern = host().app().colours.tilePattern.data();
    const ColourValue* palette = host().app().palette.current();
    QImage image(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 32; ++x)
            line[x] = toRgb(palette[pattern[(y % 16) * 16 + x % 16]]);
    }
    return image;
}

QRect PaletteBoard::markArea() const {
    const ColourSelection& colours = host().app().colours;
    if (colours.paintKind == ColourSelection::PlainColour) {
        const int shownRow = (colours.drawColor & 0xFF) / PaletteBoardLayout::Columns - m_firstRow;
        if (shownRow < 0 || shownRow >= m_layout.visibleRows)
            return QRect();
        const int column = (colours.drawColor & 0xFF) % PaletteBoardLayout::Columns;
        return toQRect(m_layout.cell(column, shownRow)).adjusted(-1, -1, 1, 1);
    }
    if (colours.paintKind == ColourSelection::Tone) {
        const int tone = std::clamp(colours.toneIndex, 0, PaletteBoardLayout::ToneCount - 1);
        return toQRect(m_layout.toneCell(tone)).adjusted(0, -1, 0, 1);
    }
    return QRect();
}

void PaletteBoard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ColourSelection& colours = host().app().colours;
    const ColourValue* palette = host().app().palette.current();
    const PaletteBoardLayout& l = m_layout;

    for (int r = 0; r < l.visibleRows; ++r)
        for (int c = 0; c < PaletteBoardLayout::Columns; ++c)
            painter.fillRect(toQRect(l.cell(c, r)),
                             toColor(palette[(m_firstRow + r) * PaletteBoardLayout::Columns + c]));

    // Images are drawn one image pixel to a logical pixel and never
    // smoothed, so the patterns stay sharp at any device pixel ratio.
    const QRect preview = toQRect(l.preview());
    if (colours.paintKind == ColourSelection::PlainColour)
        painter.fillRect(preview, toColor(palette[colours.drawColor & 0xFF]));
    else
        painter.drawImage(preview, previewPattern(), QRect(QPoint(0, 0), preview.size()));
    const QRect border = toQRect(l.borderSwatch());
    painter.fillRect(border, toColor(palette[colours.borderColor & 0xFF]));
    // A grey outline keeps a white or pale swatch visible on the board.
    for (const QRect& swatch : {preview, border})
        framePixelRect(painter, swatch.adjusted(-1, -1, 1, 1), QColor(128, 128, 128));

    if (!m_toneStrip.isNull())
        for (int k = 0; k < PaletteBoardLayout::ToneCount; ++k) {
            const QRect cell = toQRect(l.toneCell(k));
            painter.drawImage(cell, m_toneStrip,
                              QRect(QPoint(ToneTable::PatternSize * k, 0), cell.size()));
        }

    const QRect mark = markArea();
    if (mark.isNull())
        return;
    if (colours.paintKind == ColourSelection::PlainColour) {
        framePixelRect(painter, mark, Qt::black);
    } else {
        painter.fillRect(mark.left(), mark.top(), mark.width(), 1, Qt::black);
        painter.fillRect(mark.left(), mark.bottom(), mark.width(), 1, Qt::black);
    }
}

void PaletteBoard::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        runMenu(*m_colourMenu, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const int colour = m_layout.colourAt(at.x(), at.y(), m_firstRow);
    m_pressOnCell = colour >= 0;
    if (m_pressOnCell) {
        select(colour, ColourSelection::PlainColour);
        m_pressPoint = at;
        m_gesture = Gesture::Pressed;
        return;
    }
    const int tone = m_layout.toneAt(at.x(), at.y());
    if (tone >= 0)
        select(tone, ColourSelection::Tone);
}

void PaletteBoard::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        endDrag();
        return;
    }
    if (m_gesture != Gesture::Pressed)
        return;
    const QPoint moved = event->position().toPoint() - m_pressPoint;
    if (std::abs(moved.x()) >= m_layout.cellWidth || std::abs(moved.y()) >= m_layout.cellHeight) {
        m_gesture = Gesture::Dragging;
        setCursor(ToolCursors::cursor("DragCur", devicePixelRatioF()));
    }
}

void PaletteBoard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool dropped = m_gesture == Gesture::Dragging;
    endDrag();
    if (!dropped)
        return;
    const QPoint at = event->position().toPoint();
    const int target = m_layout.colourAt(at.x(), at.y(), m_firstRow);
    ColourSelection& colours = host().app().colours;
    if (target < 0 || target == colours.drawColor)
        return;
    colours.dragTarget = target;
    runMenu(*m_dropMenu, event->globalPosition().toPoint());
}

void PaletteBoard::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pressOnCell)
        host().postCommand(Command::PaletteEditColour);
}

void PaletteBoard::endDrag() {
    if (m_gesture == Gesture::Dragging)
        unsetCursor();
    m_gesture = Gesture::Idle;
}

void PaletteBoard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        host().postCommand(Command::PaletteEditColour);
        return;
    }
    BoardWindow::keyPressEvent(event);
}

} // namespace celdo
