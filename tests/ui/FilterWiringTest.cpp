#include "EditorTestSupport.h"

#include "../../cplugin/CpluginDialogs.h"
#include "../support/PixelRows.h"
#include "app/Settings.h"
#include "canvas/Canvas.h"
#include "canvas/qt/Clipboard.h"
#include "framework/FileDialog.h"
#include "plugins/FilterDialogs.h"
#include "plugins/PluginLibrary.h"
#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"

#include <QPushButton>
#include <QTimer>

#include <deque>

using namespace celdo;
using namespace celdo::testing;

namespace {

// cplugin's own dialogs answered in code: the buttons to press, in order.
std::deque<int> g_buttons;
std::vector<std::string> g_pluginDialogs;

std::int32_t answerPluginDialog(const char* dialog, const char*, void* window, char*, size_t) {
    g_pluginDialogs.push_back(dialog);
    // The plug-in is handed the image window as the owner of its dialogs.
    if (!qobject_cast<ImageWindow*>(static_cast<QWidget*>(window)))
        return 2;
    if (g_buttons.empty())
        return 2;
    const int button = g_buttons.front();
    g_buttons.pop_front();
    return button;
}

std::string deliveredPlugin() {
    return (programDirectory() / "cplugin.so").string();
}

// Pixel x, y = x + 10 * y.
CellImagePtr numbered(int width, int height) {
    auto image = CellImage::Create(width, height, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = rgb(i, i, i);
    image->SetPalette(palette.data(), 256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(x + 10 * y);
    return image;
}

using test::Rows;
using test::rows;

// Opens the picture (with its mask) in a new image window of the editor.
ImageWindow* openPicture(MainWindow& w, CellImagePtr picture, CellImagePtr mask = nullptr) {
    LoadedImage loaded;
    loaded.picture = std::move(picture);
    loaded.mask = std::move(mask);
    w.documents().show(std::move(loaded));
    EditorFixture::settle();
    return w.activeImageWindow();
}

// Chooses the list entry of `exportName` and presses "実行".
ScriptedUi::DialogScript choose(const std::vector<FilterEntry>& list, const char* exportName) {
    return [&list, exportName](ControlTable& t) {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].exportName == exportName)
                t.setValue(filterdialog::List, static_cast<int>(i));
        return t.press(1);
    };
}

} // namespace

class FilterWiringTest : public QObject {
    Q_OBJECT

    // Held open so that the dialog hook stays while the editor loads and
    // releases the library.
    std::unique_ptr<PluginLibrary> library;

private slots:
    void init() {
        library = std::make_unique<PluginLibrary>(deliveredPlugin());
        QVERIFY(library->loaded());
        auto set = library->function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK);
        QVERIFY(set);
        set(&answerPluginDialog);
        g_buttons.clear();
        g_pluginDialogs.clear();
    }
    void cleanup() {
        if (auto set =
                library->function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK))
            set(nullptr);
        library.reset();
    }

    void wholePictureFilterFlipsInPlace() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        // With no Plugin0 the default library beside the program is registered.
        QCOMPARE(w.filters().registry.plugins.size(), std::size_t(1));
        const auto& list = w.filters().lists.wholeImage;
        ImageWindow* window = openPicture(w, numbered(4, 2));
        QVERIFY(window);
        const PaintSurface& surface = window->canvas().surface();

        // The plug-in's own dialog cancelled: nothing changes.
        f.ui.answerDialog("FilterList", choose(list, "Inverse"));
        g_buttons = {2};
        w.executeCommand(Command::WholePictureFilter);
        QCOMPARE(g_pluginDialogs, std::vector<std::string>{"INVERT"});
        QCOMPARE(rows(*surface.picture), (Rows{{0, 1, 2, 3}, {10, 11, 12, 13}}));
        QVERIFY(!surface.modified);

        // "左右反転".
        f.ui.answerDialog("FilterList", choose(list, "Inverse"));
        g_buttons = {261};
        w.executeCommand(Command::WholePictureFilter);
        QCOMPARE(rows(*surface.picture), (Rows{{3, 2, 1, 0}, {13, 12, 11, 10}}));
        QVERIFY(surface.modified);
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
        QVERIFY(f.ui.allAnswered());
    }

    // The library's own dialog, not answered in code: a modal window owned
    // by the image window, with the library's buttons.
    void pluginDialogBelongsToTheImageWindow() {
        library->function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK)(nullptr);
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        ImageWindow* window = openPicture(w, numbered(4, 2));
        QVERIFY(window);
        f.ui.answerDialog("FilterList", choose(w.filters().lists.wholeImage, "Inverse"));

        QString name;
        QWidget* owner = nullptr;
        QStringList texts;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || box->objectName() != QStringLiteral("INVERT"))
                return;
            poll.stop();
            name = box->objectName();
            owner = box->parentWidget();
            QPushButton* choice = nullptr;
            for (QPushButton* b : box->findChildren<QPushButton*>()) {
                texts << b->text();
                if (b->text() == QStringLiteral("左右反転"))
                    choice = b;
            }
            if (choice)
                choice->click();
            else
                box->close();
        });
        poll.start(10);
        w.executeCommand(Command::WholePictureFilter);
        QCOMPARE(name, QStringLiteral("INVERT"));
        QCOMPARE(owner, static_cast<QWidget*>(window));
        QCOMPARE(texts, (QStringList{"上下反転", "左右反転", "半回転", "ｷｬﾝｾﾙ"}));
        QCOMPARE(rows(*window->canvas().surface().picture), (Rows{{3, 2, 1, 0}, {13, 12, 11, 10}}));
    }

    void maskEditModeFiltersTheMaskPlane() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        auto mask = CellImage::Create(4, 2, 8);
        mask->at(0, 0) = 255;
        mask->at(3, 1) = 255;
        ImageWindow* window = openPicture(w, numbered(4, 2), std::move(mask));
        QVERIFY(window);
        w.executeCommand(Command::MaskEdit);
        const PaintSurface& surface = window->canvas().surface();
        QVERIFY(surface.maskMode);

        f.ui.answerDialog("FilterList", choose(w.filters().lists.wholeMask, "Inverse"));
        g_buttons = {261};
        w.executeCommand(Command::WholePictureFilter);
        QCOMPARE(rows(*surface.mask), (Rows{{0, 0, 0, 255}, {255, 0, 0, 0}}));
        QCOMPARE(rows(*surface.picture), (Rows{{0, 1, 2, 3}, {10, 11, 12, 13}}));
        QVERIFY(surface.modified);
        w.executeCommand(Command::ImageEdit);
        QCOMPARE(rows(*surface.mask), (Rows{{0, 0, 0, 255}, {255, 0, 0, 0}}));
    }

    void newPictureOpensInANewWindow() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        ImageWindow* source = openPicture(w, numbered(4, 3));
        QVERIFY(source);
        f.ui.answerDialog("FilterList", choose(w.filters().lists.wholeImage, "Rotation"));
        g_buttons = {260}; // "右90度"
        w.executeCommand(Command::WholePictureFilter);
        f.settle();

        const auto windows = w.imageWindows();
        QCOMPARE(windows.size(), std::size_t(2));
        ImageWindow* made = windows.front() == source ? windows.back() : windows.front();
        QCOMPARE(rows(*made->canvas().picture()),
                 (Rows{{20, 10, 0}, {21, 11, 1}, {22, 12, 2}, {23, 13, 3}}));
        QCOMPARE(rows(*source->canvas().picture()),
                 (Rows{{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}}));
        QVERIFY(!source->canvas().surface().modified);
    }

    void newPictureStartsAnInstanceInTheSingleDocumentBuild() {
        EditorFixture f;
        std::vector<std::vector<std::string>> started;
        auto editor =
            f.start(FrameVariant::SingleDocument, {},
                    [&started](const std::vector<std::string>& a) { started.push_back(a); });
        MainWindow& w = *editor->mainWindow();
        QVERIFY(openPicture(w, numbered(4, 3)));
        f.ui.answerDialog("FilterList", choose(w.filters().lists.wholeImage, "Rotation"));
        g_buttons = {260};
        w.executeCommand(Command::WholePictureFilter);
        f.settle();

        QCOMPARE(started, (std::vector<std::vector<std::string>>{{"/CB"}}));
        ClipboardPicture taken = ReadClipboardPicture();
        QVERIFY(taken.picture);
        QCOMPARE(rows(*taken.picture), (Rows{{20, 10, 0}, {21, 11, 1}, {22, 12, 2}, {23, 13, 3}}));
        QCOMPARE(rows(*w.activeImageWindow()->canvas().picture()),
                 (Rows{{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}}));
    }

    void regionToolFiltersTheDraggedRectangleOnly() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.show();
        ImageWindow* window = openPicture(w, numbered(6, 4));
        QVERIFY(window);
        w.executeCommand(Command::ToolRegionFilter);
        QCOMPARE(w.app().editing.currentTool, 512);

        // Dragged from right to left over columns 1 … 4 of rows 1 and 2.
        Rect offered;
        std::string size;
        f.ui.answerDialog("FilterRegion", [&w, &offered, &size](ControlTable& t) {
            using namespace filterdialog;
            offered = {t.value(Left), t.value(Top), t.value(Right), t.value(Bottom)};
            size = t.text(SizeLabel);
            return choose(w.filters().lists.regionImage, "Inverse")(t);
        });
        g_buttons = {261};
        CanvasView* view = window->canvasView();
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(4, 2));
        QTest::mouseMove(view, QPoint(1, 1));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(1, 1));
        f.settle();

        QVERIFY(f.ui.allAnswered());
        // The dialog shows the last column and row inside the drag.
        QCOMPARE(offered, (Rect{1, 1, 4, 2}));
        QCOMPARE(size, std::string("(4  2)"));
        QCOMPARE(rows(*window->canvas().picture()), (Rows{{0, 1, 2, 3, 4, 5},
                                                          {10, 14, 13, 12, 11, 15},
                                                          {20, 24, 23, 22, 21, 25},
                                                          {30, 31, 32, 33, 34, 35}}));
        QVERIFY(window->canvas().surface().modified);
    }

    void addInPageRefusesANonPluginAndWritesTheRegistry() {
        EditorFixture f;
        const std::string fixture = (programDirectory() / "test-plugins/fixture-kind1.so").string();
        {
            Settings s(f.ini, "CELDOM");
            s.writeString("Plugin0", deliveredPlugin());
            s.writeString("Plugin1", fixture);
            QVERIFY(s.flush());
        }
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        QCOMPARE(w.filters().registry.plugins.size(), std::size_t(2));

        const std::string notAPlugin = f.copy("doll.cel");
        f.ui.answerDialog("FileOption", 1);
        std::vector<std::vector<std::string>> shown;
        f.ui.answerDialog("AddinOption", [&](ControlTable& t) {
            using namespace filterdialog;
            shown.push_back(t.find(List)->items);
            f.ui.answerDialog("AddinLoad", [&](ControlTable& load) {
                load.setText(FileDialog::FileNameEdit, notAPlugin);
                return load.press(1);
            });
            t.press(Register);
            shown.push_back(t.find(List)->items);
            t.setValue(List, 0);
            t.press(Unregister);
            shown.push_back(t.find(List)->items);
            return 1; // the sheet's OK
        });
        w.executeCommand(Command::Options);

        QVERIFY(f.ui.allAnswered());
        const std::vector<std::string> both{deliveredPlugin(), fixture};
        QCOMPARE(shown, (std::vector<std::vector<std::string>>{both, both, {fixture}}));
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, std::string("これはアドインではありません"));
        QCOMPARE(f.ui.messages[0].caption, std::string("Celdos"));
        Settings written(f.ini, "CELDOM");
        QCOMPARE(written.readString("Plugin0"), fixture);
        QCOMPARE(written.readString("Plugin1"), std::string());
        // The lists now hold the fixture's filters only.
        QCOMPARE(w.filters().registry.plugins.size(), std::size_t(1));
        for (const FilterEntry& e : w.filters().lists.wholeImage)
            QCOMPARE(e.plugin, 0);
        QVERIFY(!w.filters().lists.wholeImage.empty());
    }
};

QTEST_MAIN(FilterWiringTest)
#include "FilterWiringTest.moc"
