#include "EditorTestSupport.h"

#include "app/Settings.h"
#include "canvas/Canvas.h"
#include "formats/KissPaletteFile.h"
#include "ui/ImageWindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <fstream>
#include <sstream>

using namespace celdo;
using namespace celdo::testing;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void defaultPaletteIsLoadedAtStartUp() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        PaletteSet expected;
        KissPaletteFile file((programDirectory() / "DEFAULT.KCF").string());
        QCOMPARE(int(file.readHeader()), 0);
        QCOMPARE(int(file.readGroups(expected)), 0);
        QVERIFY(std::equal(expected.all(), expected.all() + 2560, editor->state().palette.all()));
        QCOMPARE(editor->mainWindow()->windowTitle(), QStringLiteral("Celdo"));
        QCOMPARE(editor->mainWindow()->objectName(), QStringLiteral("CeldoM"));
    }

    void commandLineFilesOpenInOrder() {
        EditorFixture f;
        auto editor =
            f.start(FrameVariant::MultipleDocument, {f.copy("doll.kcf"), f.copy("doll.cel"),
                                                     f.copy("dress.cel"), f.copy("ribbon.cel")});
        const auto frames =
            editor->mainWindow()->clientArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[0]->windowTitle(), QStringLiteral("doll.cel[*]"));
        QCOMPARE(frames[2]->windowTitle(), QStringLiteral("ribbon.cel[*]"));
        QVERIFY(f.ui.messages.empty());
        // An unreadable word shows its error and the next word still opens.
        auto second = f.start(FrameVariant::MultipleDocument,
                              {(f.dir.path() + "/missing.cel").toStdString(), f.copy("doll.cel")});
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(second->mainWindow()->imageWindows().size(), std::size_t(1));
    }

    void bothBuildsKeepTheirSettingsSideBySide() {
        EditorFixture f;
        {
            auto m = f.start(FrameVariant::MultipleDocument);
            m->state().toolbarList = {0, -2, 2, 3, -1};
            m->state().fileOptions.maxMenuFile = 7;
            m->state().imageHistory.add("/pictures/m.cel");
            QVERIFY(m->mainWindow()->close());
        }
        {
            auto s = f.start(FrameVariant::SingleDocument);
            QCOMPARE(s->mainWindow()->objectName(), QStringLiteral("Celdos"));
            // The other build's values are not this build's.
            QCOMPARE(s->state().fileOptions.maxMenuFile, 10);
            QVERIFY(s->state().imageHistory.empty());
            s->state().toolbarList = {5, -1};
            s->state().fileOptions.maxMenuFile = 3;
            QVERIFY(s->mainWindow()->close());
        }
        {
            std::ifstream in(f.ini);
            std::stringstream text;
            text << in.rdbuf();
            QVERIFY(text.str().find("[CELDOM]") != std::string::npos);
            QVERIFY(text.str().find("[CELDOS]") != std::string::npos);
        }
        auto m = f.start(FrameVariant::MultipleDocument);
        QCOMPARE(m->state().toolbarList, (std::vector<int>{0, -2, 2, 3, -1}));
        QCOMPARE(m->state().fileOptions.maxMenuFile, 7);
        QCOMPARE(m->state().imageHistory.size(), 1);
        QCOMPARE(*m->state().imageHistory.entry(0), std::string("/pictures/m.cel"));
        auto s = f.start(FrameVariant::SingleDocument);
        QCOMPARE(s->state().toolbarList, (std::vector<int>{5, -1}));
        QCOMPARE(s->state().fileOptions.maxMenuFile, 3);
    }

    void refusedCloseWritesNothing() {
        EditorFixture f;
        auto m = f.start(FrameVariant::MultipleDocument, {f.copy("doll.cel")});
        m->mainWindow()->imageWindows().front()->canvas().surface().modified = true;
        m->state().fileOptions.maxMenuFile = 2;
        f.ui.answerMessage(answer::Cancel);
        QVERIFY(!m->mainWindow()->close());
        QVERIFY(!Settings(f.ini, "CELDOM").has("MaxMenuFile"));
    }

    void singleDocumentStartsFurtherInstances() {
        EditorFixture f;
        std::vector<std::vector<std::string>> started;
        const std::string kcf = f.copy("doll.kcf");
        const std::string doll = f.copy("doll.cel");
        const std::string dress = f.copy("dress.cel");
        const std::string bmp = f.copy("ribbon.cel", "ribbon.bmp");
        auto s = f.start(FrameVariant::SingleDocument, {doll, kcf, dress, bmp},
                         [&](const std::vector<std::string>& args) { started.push_back(args); });
        MainWindow& w = *s->mainWindow();
        // The first picture opens here; a further cell takes the palette along.
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
        QCOMPARE(w.imageWindows()[0]->displayName(), QStringLiteral("doll.cel"));
        QCOMPARE(started.size(), std::size_t(2));
        QCOMPARE(started[0], (std::vector<std::string>{dress, kcf}));
        QCOMPARE(started[1], (std::vector<std::string>{bmp}));
        QCOMPARE(s->state().paletteHistory.size(), 1);
        // No window menu in this build: "パレット" is the sixth popup.
        QCOMPARE(w.popup(5)->title(), QStringLiteral("パレット(&P)"));
        QVERIFY(!w.action(Command::CloseAllWindows));
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
