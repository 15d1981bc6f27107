#include "ui/GridBoard.h"

#include "core/CellImage.h"
#include "ui/EditorHost.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

namespace celdo {

namespace {

constexpr int CellStep = 18;
constexpr int CellSize = 16;
constexpr int ButtonHeight = 18;
constexpr int ScrollBarWidth = 12;

// The set image as a Qt image of the same depth and colours, so cells are
// drawn pixel for pixel without conversion of the indices.
QImage toQImage(const CellImage& image) {
    if (!image.pixels() || (image.bitsPerPixel() != 1 && image.bitsPerPixel() != 8))
        return {};
    QImage out(image.width(), image.height(),
               image.bitsPerPixel() == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (out.isNull())
        return out;
    QList<QRgb> colours(CellImage::fullColourCount(image.bitsPerPixel()));
    for (qsizetype i = 0; i < colours.size(); ++i) {
        const ColourValue c = image.paletteEntry(static_cast<int>(i));
        colours[i] = qRgb(redOf(c), greenOf(c), blueOf(c));
    }
    out.setColorTable(colours);
    const auto bytes = std::min<qsizetype>(out.bytesPerLine(), image.stride());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out.scanLine(y), image.row(y), bytes);
    return out;
}

QPushButton* boardButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    // The board keeps the keyboard, so typed keys still reach the main window.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

GridBoard::GridBoard(EditorHost& host, BoardState& state, const QString& objectName,
                     const QString& caption, const QString& leftText, const QString& middleText,
                     const QString& rightText)
    : BoardWindow(host, state, objectName, caption),
      m_scrollBar(new QScrollBar(Qt::Vertical, this)), m_left(boardButton(leftText, this)),
      m_middle(boardButton(middleText, this)), m_right(boardButton(rightText, this)) {
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    m_scrollBar->setSingleStep(1);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { update(); });
}

int GridBoard::firstRow() const {
    return m_scrollBar->value();
}

BoardGeometry GridBoard::grid() const {
    const CellImage& image = setImage();
    return BoardGeometry::forClientHeight(image.width() / CellSize, image.height() / CellSize,
                                          height());
}

void GridBoard::setChanged() {
    m_picture = QImage();
    const QSize want = snappedSize(size());
    if (want != size())
        resize(want);
    else
        layoutBoard();
    update();
}

void GridBoard::cellChanged(int n) {
    m_picture = QImage();
    updateCell(n);
}

void GridBoard::updateCell(int n) {
    const BoardGeometry g = grid();
    if (n < 0 || g.columns == 0)
        return;
    const int row = n / g.columns - firstRow();
    if (row < 0 || row >= g.visibleRows)
        return;
    const int column = n % g.columns;
    update(CellStep * column + 1, CellStep * row + 1, CellStep, CellStep);
}

std::string GridBoard::messageCaption() const {
    const QWidget* main = host().hostWindow();
    return (main ? main->windowTitle() : QStringLiteral("Celdo")).toStdString();
}

QSize GridBoard::snappedSize(const QSize& wanted) const {
    const CellImage& image = setImage();
    const BoardGeometry g = BoardGeometry::forClientHeight(
        image.width() / CellSize, image.height() / CellSize, wanted.height());
    return {g.expectedWidth(), g.expectedHeight()};
}

void GridBoard::layoutBoard() {
    const BoardGeometry g = grid();
    const int w = g.expectedWidth();
    m_scrollBar->setGeometry(width() - ScrollBarWidth, 2, ScrollBarWidth,
                             CellStep * g.visibleRows - 2);
    m_scrollBar->setRange(0, g.scrollMaximum());
    m_scrollBar->setPageStep(g.visibleRows);
    m_scrollBar->setEnabled(g.scrollEnabled());
    const int top = height() - ButtonHeight;
    const int third = w / 3;
    m_left->setGeometry(0, top, third, ButtonHeight);
    m_middle->setGeometry(third, top, w - 2 * third, ButtonHeight);
    m_right->setGeometry(w - third, top, third, ButtonHeight);
}

void GridBoard::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        m_picture = toQImage(setImage());
    const BoardGeometry g = grid();
    const int first = firstRow();
    QPainter painter(this);
    for (int r = 0; r < g.visibleRows && first + r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c)
            painter.drawImage(QRect(2 + CellStep * c, 2 + CellStep * r, CellSize, CellSize),
                              m_picture,
                              QRect(CellSize * c, CellSize * (first + r), CellSize, CellSize));

    const int n = currentCell();
    if (g.columns == 0 || n < 0)
        return;
    const int row = n / g.columns - first;
    if (row < 0 || row >= g.visibleRows)
        return;
    const int left = CellStep * (n % g.columns) + 1;
    const int top = CellStep * row + 1;
    const int last = CellStep - 1;
    painter.fillRect(left, top, CellStep, 1, Qt::black);
    painter.fillRect(left, top + last, CellStep, 1, Qt::black);
    painter.fillRect(left, top, 1, CellStep, Qt::black);
    painter.fillRect(left + last, top, 1, CellStep, Qt::black);
}

int GridBoard::cellAt(const QPoint& point) const {
    return grid().cellAt(point.x(), point.y(), firstRow());
}

void GridBoard::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int n = cellAt(event->position().toPoint());
    if (n >= 0)
        cellPressed(n);
}

void GridBoard::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int n = cellAt(event->position().toPoint());
    if (n >= 0)
        cellDoubleClicked(n);
}

} // namespace celdo
