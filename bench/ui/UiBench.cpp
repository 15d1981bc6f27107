// Repaints of an image window showing a 4096 × 4096 picture at 16× in a
// 1280 × 1024 viewport, scrolling between repaints: every frame renders the
// whole visible area.  Prints whole-window repaints per second.

#include "app/AppState.h"
#include "app/FilterCommands.h"
#include "app/LoadSaveDispatch.h"
#include "framework/Ui.h"
#include "ui/CanvasView.h"
#include "ui/EditorHost.h"
#include "ui/ImageWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace celdo;

namespace {

class BenchHost : public EditorHost {
public:
    BenchHost()
        : m_app(FrameVariant::MultipleDocument, QDir::tempPath().toStdString()),
          m_dispatch(m_app, m_ui) {}
    AppState& app() override { return m_app; }
    Ui& ui() override { return m_ui; }
    LoadSaveDispatch& dispatch() override { return m_dispatch; }
    QWidget* hostWindow() override { return nullptr; }
    void setStatusText(const QString&) override {}
    void setToolPaneText(const QString&) override {}
    void restoreToolPaneText() override {}
    void postCommand(Command) override {}
    void refreshToolbar() override {}
    FilterState& filters() override { return m_filters; }
    void startInstance(const std::vector<std::string>&) override {}
    void forwardKey(QKeyEvent*) override {}
    void selectColour(int, int) override {}

private:
    AppState m_app;
    FilterState m_filters;
    DefaultUi m_ui;
    LoadSaveDispatch m_dispatch;
};

CellImagePtr bigPicture(int side) {
    auto p = CellImage::Create(side, side, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, (i * 7) & 0xFF, 255 - i);
    p->SetPalette(palette.data(), 256);
    for (int y = 0; y < side; ++y) {
        std::uint8_t* row = p->row(y);
        for (int x = 0; x < side; ++x)
            row[x] = static_cast<std::uint8_t>((x ^ y) + (x >> 4));
    }
    return p;
}

// Scrolls by `step` pixels per frame and repaints the whole viewport.
double repaintsPerSecond(ImageWindow& window, int frames, int step) {
    QScrollBar* h = window.horizontalScrollBar();
    QScrollBar* v = window.verticalScrollBar();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        h->setValue((h->value() + step) % std::max(1, h->maximum()));
        v->setValue((v->value() + step / 2) % std::max(1, v->maximum()));
        window.viewport()->repaint();
    }
    return frames * 1000.0 / std::max<qint64>(1, timer.elapsed());
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!std::getenv("CELDO_INI"))
        qputenv("CELDO_INI", QDir::temp().filePath("celdo-ui-bench.ini").toLocal8Bit());
    QApplication app(argc, argv);
    BenchHost host;
    ImageWindow window(host);
    window.SetPicture(bigPicture(4096), false);
    window.show();
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    std::printf("picture 4096 x 4096, full-window repaints per second while scrolling\n");
    for (Command command : {Command::ZoomOne, Command::ZoomFour, Command::ZoomSixteen}) {
        window.handleCommand(command);
        window.resize(1280 + window.verticalScrollBar()->sizeHint().width() + 4,
                      1024 + window.horizontalScrollBar()->sizeHint().height() + 4);
        QCoreApplication::processEvents();
        const QSize off = QSize(1280, 1024) - window.viewport()->size();
        window.resize(window.size() + off);
        QCoreApplication::processEvents();
        const QSize vp = window.viewport()->size();
        repaintsPerSecond(window, 10, 48);
        const double rate = repaintsPerSecond(window, frames, 48);
        std::printf("zoom %-3d viewport %d x %d: %.1f repaints/s\n",
                    window.canvas().zoom().factor(), vp.width(), vp.height(), rate);
    }
    return 0;
}
