#include "EditorTestSupport.h"

#include "app/EnvironmentOptions.h"
#include "app/LoadedImage.h"
#include "app/Settings.h"
#include "canvas/Canvas.h"
#include "canvas/MaskEdit.h"
#include "ui/ChildFrame.h"
#include "ui/ImageWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

using namespace celdo;
using namespace celdo::testing;

namespace {

// What the child editor paints over the whole sample, and its mask and group.
int paintedIndex(int x, int y) {
    return (x * 31 + y * 7 + 3) % 256;
}
int maskValue(int x, int y) {
    return (x + 2 * y) % 3 == 0 ? 255 : 0;
}
ColourValue groupColour(int i) {
    return rgb(i, (3 * i) & 0xFF, 255 - i);
}
constexpr int PaintedGroup = 4;

QString recoveryFolder(const QString& state) {
    return state + QStringLiteral("/celdo/recovery");
}

QStringList records(const QString& state) {
    return QDir(recoveryFolder(state)).entryList({QStringLiteral("*.rec")}, QDir::Files);
}

void waitUntil(const std::function<bool()>& done) {
    // Bounded only against a hang; the test waits for a file, not a time.
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QTest::qWait(20);
}

// The child: an editor that opens the named sample, paints it, gives it a
// mask and a colour group, and says "ready" once the autosave wrote it.
int runChildEditor(const std::string& sample, const std::string& marker) {
    EditorApplication editor(FrameVariant::MultipleDocument, programDirectory());
    editor.StartUp(ParseWords({sample}));
    EditorFixture::settle();
    MainWindow& window = *editor.mainWindow();
    ImageWindow* image = window.activeImageWindow();
    if (!image)
        return 2;
    AppState& app = editor.state();
    app.palette.setCurrentGroup(PaintedGroup);
    for (int i = 0; i < 256; ++i)
        app.palette.current()[i] = groupColour(i);
    image->paletteChanged();
    PaintSurface& surface = image->canvas().surface();
    CellImage& picture = *surface.picture;
    auto mask = CellImage::Create(picture.width(), picture.height(), 8);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            picture.at(x, y) = static_cast<std::uint8_t>(paintedIndex(x, y));
            mask->at(x, y) = static_cast<std::uint8_t>(maskValue(x, y));
        }
    image->AttachMask(std::move(mask));
    surface.modified = true;
    image->syncModified();
    const QString folder = QString::fromStdString(Recovery::DefaultFolder().string());
    // Its own record: another child may be writing into the same folder.
    const QString own = QString::fromStdString(window.autoSaver().recovery()->instance()) +
                        QStringLiteral("-*.rec");
    waitUntil([&] { return !QDir(folder).entryList({own}, QDir::Files).isEmpty(); });
    std::ofstream(marker) << picture.width() << ' ' << picture.height() << '\n';
    // Runs on until the test kills it.
    return QApplication::exec();
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private:
    // Runs `count` child editors at once on copies of dress.cel in `f`'s
    // folder (each sees the others alive, so none is asked anything), waits
    // for their autosaves and kills them.  Returns the picture's size.
    QSize crashChildren(EditorFixture& f, int count = 1) {
        const std::string sample = f.copy("dress.cel");
        std::vector<std::unique_ptr<QProcess>> children;
        std::vector<QString> markers;
        for (int i = 0; i < count; ++i) {
            const QString marker = f.dir.path() + QStringLiteral("/ready%1").arg(i);
            QFile::remove(marker);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            environment.insert(QStringLiteral("CELDO_RECOVERY_CHILD"), marker);
            environment.insert(QStringLiteral("CELDO_RECOVERY_SAMPLE"),
                               QString::fromStdString(sample));
            environment.insert(QStringLiteral("XDG_STATE_HOME"), f.dir.path());
            environment.insert(QStringLiteral("CELDO_INI"), QString::fromStdString(f.ini));
            environment.insert(QStringLiteral("CELDO_AUTOSAVE_MS"), QStringLiteral("10"));
            auto child = std::make_unique<QProcess>();
            child->setProcessEnvironment(environment);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(), {});
            if (!child->waitForStarted())
                return {};
            children.push_back(std::move(child));
            markers.push_back(marker);
        }
        for (const QString& marker : markers)
            waitUntil([&] { return QFileInfo(marker).exists() && QFileInfo(marker).size() > 0; });
        for (auto& child : children) {
            ::kill(static_cast<pid_t>(child->processId()), SIGKILL);
            child->waitForFinished();
        }
        int width = 0;
        int height = 0;
        std::ifstream(markers.front().toStdString()) >> width >> height;
        return {width, height};
    }

    static int countQuestions(const ScriptedUi& ui) {
        int count = 0;
        for (const auto& message : ui.messages)
            if (message.text == AutoSaver::RestoreQuestion)
                ++count;
        return count;
    }

private slots:
    void aKilledEditorsPictureMaskAndGroupComeBackOnYes() {
        EditorFixture f;
        const QSize size = crashChildren(f);
        QVERIFY(size.width() > 0);
        QCOMPARE(records(f.dir.path()).size(), 1);

        f.ui.answerMessage(answer::Yes);
        auto editor = f.start(FrameVariant::MultipleDocument);
        QCOMPARE(countQuestions(f.ui), 1);
        QCOMPARE(f.ui.messages.front().buttons, MessageButtons::YesNo);
        QCOMPARE(f.ui.messages.front().icon, MessageIcon::Question);
        MainWindow& window = *editor->mainWindow();
        QCOMPARE(window.imageWindows().size(), std::size_t(1));
        ImageWindow* image = window.imageWindows().front();
        QCOMPARE(image->displayName(), QStringLiteral("dress.cel"));
        QVERIFY(image->document() == nullptr);
        QVERIFY(image->canvas().surface().modified);
        QCOMPARE(window.childFrames().front()->windowTitle(), QStringLiteral("dress.cel[*]"));

        const CellImage& picture = *image->canvas().surface().picture;
        QCOMPARE(picture.width(), size.width());
        QCOMPARE(picture.height(), size.height());
        const CellImage* mask = image->canvas().surface().mask.get();
        QVERIFY(mask);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                QCOMPARE(int(picture.at(x, y)), paintedIndex(x, y));
                QCOMPARE(int(mask->at(x, y)), maskValue(x, y));
            }
        AppState& app = editor->state();
        QCOMPARE(app.palette.currentGroup(), PaintedGroup);
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(app.palette.current()[i], groupColour(i));
            QCOMPARE(picture.paletteEntry(i), groupColour(i));
        }
        // The crashed run's files are gone; this run keeps the picture.
        const QStringList left = records(f.dir.path());
        QCOMPARE(left.size(), 1);
        QVERIFY(left.front().startsWith(
            QString::fromStdString(window.autoSaver().recovery()->instance())));
        // The question is not asked again by the next editor.
        EditorFixture::settle();
    }

    void noDeletesAKilledEditorsFiles() {
        EditorFixture f;
        QVERIFY(crashChildren(f).width() > 0);
        QCOMPARE(records(f.dir.path()).size(), 1);

        f.ui.answerMessage(answer::No);
        auto editor = f.start(FrameVariant::MultipleDocument);
        QCOMPARE(countQuestions(f.ui), 1);
        QVERIFY(editor->mainWindow()->imageWindows().empty());
        QVERIFY(records(f.dir.path()).isEmpty());
        QVERIFY(QDir(recoveryFolder(f.dir.path()))
                    .entryList({QStringLiteral("*.bmp"), QStringLiteral("*.msk")})
                    .isEmpty());
    }

    void theSingleDocumentEditorTakesOneKilledEditorsPicture() {
        EditorFixture f;
        QVERIFY(crashChildren(f, 2).width() > 0);
        QCOMPARE(records(f.dir.path()).size(), 2);

        f.ui.answerMessage(answer::Yes);
        auto editor = f.start(FrameVariant::SingleDocument);
        QCOMPARE(countQuestions(f.ui), 1);
        MainWindow& window = *editor->mainWindow();
        ImageWindow* image = window.singleImageWindow();
        QVERIFY(image && image->hasPicture());
        QCOMPARE(image->displayName(), QStringLiteral("dress.cel"));
        QVERIFY(image->canvas().surface().modified);
        QCOMPARE(int(image->canvas().surface().picture->at(1, 2)), paintedIndex(1, 2));
        // The other killed editor's picture waits for the next start: its
        // record and this run's own remain.
        QCOMPARE(records(f.dir.path()).size(), 2);
        Recovery probe(Recovery::DefaultFolder());
        QCOMPARE(probe.FindOrphans().size(), std::size_t(1));
    }

    void theMaskPaintedInMaskEditModeIsTheOneWritten() {
        EditorFixture f;
        const std::string sample = f.copy("dress.cel");
        {
            auto editor = f.start(FrameVariant::MultipleDocument, {sample});
            ImageWindow* image = editor->mainWindow()->activeImageWindow();
            QVERIFY(image);
            PaintSurface& surface = image->canvas().surface();
            EnterMaskMode(surface);
            QVERIFY(surface.maskMode);
            // Protected in the view only: (1, 0) and (0, 1).
            surface.maskView->at(1, 0) |= 0x80;
            surface.maskView->at(0, 1) |= 0x80;
            surface.modified = true;
            image->syncModified();
            editor->mainWindow()->autoSaver().SaveNow();
            QVERIFY(surface.maskMode);
        } // gone without an orderly exit, as if it had crashed
        Recovery next(Recovery::DefaultFolder());
        auto found = next.TakeOrphans();
        QCOMPARE(found.size(), std::size_t(1));
        QVERIFY(found[0].mask);
        QCOMPARE(int(found[0].mask->at(1, 0)), 255);
        QCOMPARE(int(found[0].mask->at(0, 1)), 255);
        QCOMPARE(int(found[0].mask->at(0, 0)), 0);
        QCOMPARE(int(found[0].mask->at(1, 1)), 0);
    }

    void nothingLeftMeansNoQuestion() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        QCOMPARE(countQuestions(f.ui), 0);
    }

    void aModifiedPictureIsWrittenAndItsFilesGoWithASave() {
        EditorFixture f;
        const std::string sample = f.copy("dress.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {sample});
        MainWindow& window = *editor->mainWindow();
        QCOMPARE(window.autoSaver().intervalMs(), AutoSaver::DefaultIntervalMs);
        ImageWindow* image = window.activeImageWindow();
        QVERIFY(image);
        // Unmodified: nothing to keep.
        window.autoSaver().SaveNow();
        QVERIFY(records(f.dir.path()).isEmpty());

        image->canvas().surface().picture->at(0, 0) ^= 1;
        image->canvas().surface().modified = true;
        image->syncModified();
        window.autoSaver().SaveNow();
        QCOMPARE(records(f.dir.path()).size(), 1);
        QVERIFY(image->Save());
        QVERIFY(records(f.dir.path()).isEmpty());
        QVERIFY(QDir(recoveryFolder(f.dir.path()))
                    .entryList({QStringLiteral("*.bmp")}, QDir::Files)
                    .isEmpty());
    }

    void aClosedPictureAndAnOrderlyExitLeaveNoFiles() {
        EditorFixture f;
        const std::string first = f.copy("dress.cel");
        const std::string second = f.copy("ribbon.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {first, second});
        MainWindow& window = *editor->mainWindow();
        QCOMPARE(window.imageWindows().size(), std::size_t(2));
        for (ImageWindow* image : window.imageWindows()) {
            image->canvas().surface().modified = true;
            image->syncModified();
        }
        window.autoSaver().SaveNow();
        QCOMPARE(records(f.dir.path()).size(), 2);

        // Closed, its changes thrown away: its files go, the other's stay.
        f.ui.answerMessage(answer::No);
        window.childFrames().front()->close();
        EditorFixture::settle();
        QCOMPARE(window.imageWindows().size(), std::size_t(1));
        QCOMPARE(records(f.dir.path()).size(), 1);

        f.ui.answerMessage(answer::No);
        QVERIFY(window.close());
        QVERIFY(records(f.dir.path()).isEmpty());
    }

    void switchedOffNothingIsWrittenAndTheOptionIsKept() {
        EditorFixture f;
        const std::string sample = f.copy("dress.cel");
        {
            auto editor = f.start(FrameVariant::MultipleDocument, {sample});
            MainWindow& window = *editor->mainWindow();
            QCOMPARE(editor->state().autoSave, 1);
            f.ui.answerDialog("FileOption", 1);
            f.ui.answerDialog("AddinOption", 1);
            f.ui.answerDialog("EnvOption", [](ControlTable& t) {
                t.setValue(envoption::AutoSave, 0);
                return 1;
            });
            window.executeCommand(Command::Options);
            QVERIFY(f.ui.allAnswered());
            QCOMPARE(editor->state().autoSave, 0);

            ImageWindow* image = window.activeImageWindow();
            image->canvas().surface().modified = true;
            image->syncModified();
            window.autoSaver().SaveNow();
            QVERIFY(records(f.dir.path()).isEmpty());
            f.ui.answerMessage(answer::No);
            QVERIFY(window.close());
        }
        QCOMPARE(Settings(f.ini, "CELDOM").readInt("AutoSave", 1), 0);
        auto again = f.start(FrameVariant::MultipleDocument);
        QCOMPARE(again->state().autoSave, 0);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QByteArray marker = qgetenv("CELDO_RECOVERY_CHILD");
    if (!marker.isEmpty())
        return runChildEditor(qgetenv("CELDO_RECOVERY_SAMPLE").toStdString(), marker.toStdString());
    RecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RecoveryTest.moc"
