#include "EditorTestSupport.h"
#include "FakeEditorHost.h"

#include "app/Settings.h"
#include "app/ToolButtonTable.h"
#include "boards/FontChoice.h"
#include "boards/qt/QtFonts.h"
#include "canvas/qt/Clipboard.h"
#include "ui/FontChoiceDialog.h"
#include "ui/TextPasteCommand.h"
#include "ui/ToolBarWidget.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QStatusBar>
#include <QtTest>

#include <set>

using namespace celdo;
using namespace celdo::testing;
namespace fd = celdo::fontdialog;

namespace {

// The Japanese family the tests write with: the first one the database has.
QString japaneseFamily() {
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    return families.isEmpty() ? QString() : families.front();
}

int rowOf(const ControlTable& table, int list, const QString& item) {
    const auto& items = table.find(list)->items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (QString::fromStdString(items[i]) == item)
            return static_cast<int>(i);
    return -1;
}

// The text, the family and size 18 (24 pixels) chosen as a user would.
ScriptedUi::DialogScript choose(const QString& text, int angle, bool pasteAtOnce, int maskId = 0) {
    return [=](ControlTable& t) {
        t.setValue(fd::FontList, rowOf(t, fd::FontList, japaneseFamily()));
        t.setValue(fd::SizeList, rowOf(t, fd::SizeList, QStringLiteral("18")));
        t.setText(fd::Text, text.toStdString());
        t.setValue(fd::Angle, angle);
        t.setValue(fd::PasteAtOnce, pasteAtOnce ? 1 : 0);
        if (maskId)
            t.setValue(maskId, 1);
        return t.press(1);
    };
}

// The line's unrotated size as the font engine measures it, unsmoothed.
QSize measured(const QString& text) {
    QFont font(japaneseFamily());
    font.setPixelSize(24);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void prepareColours(AppState& app) {
    for (int i = 0; i < 256; ++i)
        app.palette.current()[i] = rgb(i, 255 - i, 7);
    app.colours.drawColor = 5;
    app.colours.borderColor = 9;
}

std::set<int> indicesOf(const CellImage& picture) {
    std::set<int> values;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            values.insert(picture.at(x, y));
    return values;
}

} // namespace

class TextPasteTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QGuiApplication::clipboard()->clear();
        if (japaneseFamily().isEmpty())
            QSKIP("no Japanese font installed");
    }

    void confirmedTextGoesToTheClipboardAndIsPasted() {
        FakeEditorHost host;
        prepareColours(host.app());
        host.scripted.answerDialog("GFontDialog", choose(QStringLiteral("AB漢字"), 0, true));
        QVERIFY(RunTextPaste(host));
        QCOMPARE(host.scripted.dialogs, std::vector<std::string>{"GFontDialog"});

        const ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        const QSize size = measured(QStringLiteral("AB漢字"));
        QCOMPARE(got.picture->width(), size.width());
        QCOMPARE(got.picture->height(), size.height());
        QCOMPARE(got.picture->bitsPerPixel(), 8);
        // Text in the current colour on the border colour, nothing else.
        QCOMPARE(indicesOf(*got.picture), (std::set<int>{5, 9}));
        QCOMPARE(got.picture->paletteEntry(5), rgb(5, 250, 7));
        QCOMPARE(got.picture->paletteEntry(9), rgb(9, 246, 7));
        QVERIFY(!got.mask);
        QCOMPARE(host.posted, std::vector<Command>{Command::Paste});

        // The choices last for the run.
        QCOMPARE(host.app().textPaste.text, std::string("AB漢字"));
        QCOMPARE(host.app().textPaste.font.height, 24);
        QCOMPARE(QString::fromStdString(host.app().textPaste.font.faceName), japaneseFamily());
    }

    void atNinetyDegreesThePictureStands() {
        FakeEditorHost host;
        prepareColours(host.app());
        host.scripted.answerDialog("GFontDialog", choose(QStringLiteral("ABC"), 90, true));
        QVERIFY(RunTextPaste(host));
        const ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        const QSize size = measured(QStringLiteral("ABC"));
        QCOMPARE(got.picture->width(), size.height());
        QCOMPARE(got.picture->height(), size.width());
    }

    void withoutPasteAtOnceTheTextWaitsOnTheClipboard() {
        FakeEditorHost host;
        prepareColours(host.app());
        host.scripted.answerDialog("GFontDialog", choose(QStringLiteral("A"), 0, false));
        QVERIFY(RunTextPaste(host));
        QVERIFY(host.posted.empty());
        QVERIFY(ClipboardHasPicture());
        QVERIFY(!host.app().textPaste.pasteAtOnce);
    }

    void maskingTheTextPutsItsMaskBeside() {
        FakeEditorHost host;
        prepareColours(host.app());
        host.scripted.answerDialog("GFontDialog",
                                   choose(QStringLiteral("字"), 0, false, fd::MaskText));
        QVERIFY(RunTextPaste(host));
        const ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QVERIFY(got.mask);
        int text = 0;
        for (int y = 0; y < got.picture->height(); ++y)
            for (int x = 0; x < got.picture->width(); ++x) {
                const bool isText = got.picture->at(x, y) == 5;
                text += isText ? 1 : 0;
                QCOMPARE(got.mask->at(x, y), std::uint8_t(isText ? 255 : 0));
            }
        QVERIFY(text > 0);
    }

    void cancelChangesAndRendersNothing() {
        FakeEditorHost host;
        host.app().textPaste.text = "before";
        host.scripted.answerDialog("GFontDialog", [](ControlTable& t) {
            t.setText(fd::Text, "after");
            t.setValue(fd::PasteAtOnce, 1);
            return t.press(2);
        });
        QVERIFY(!RunTextPaste(host));
        QVERIFY(!ClipboardHasPicture());
        QVERIFY(host.posted.empty());
        QCOMPARE(host.app().textPaste.text, std::string("before"));
    }

    void textPasteStartsWithAJapaneseMonospaceFace() {
        const QString face = QString::fromStdString(DefaultTextFace());
        QVERIFY(QFontDatabase::families(QFontDatabase::Japanese).contains(face));
        QFont font(face);
        font.setPixelSize(24);
        const QFontMetrics metrics(font);
        QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')),
                 metrics.horizontalAdvance(QLatin1Char('W')));
        FakeEditorHost host;
        host.scripted.answerDialog("GFontDialog", 2);
        RunTextPaste(host);
        QCOMPARE(host.scripted.tables.back().text(fd::FaceName), face.toStdString());
    }

    void theDialogOnTheScreenFollowsItsTable() {
        TextPasteSettings settings;
        settings.font.faceName = japaneseFamily().toStdString();
        settings.text = "文字";
        FontChoice choice(InstalledFontFamilies(), settings);
        FontChoiceDialog dialog(choice);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("文字の貼付け"));
        for (int id :
             {fd::FaceName, fd::FontList, fd::Size, fd::SizeList, fd::Weight, fd::WeightList,
              fd::Italic, fd::Underline, fd::StrikeOut, fd::Vertical, fd::Angle, fd::AngleValue,
              fd::Text, fd::Sample, fd::MaskBackground, fd::MaskText, fd::PasteAtOnce})
            QVERIFY2(dialog.widgetFor(id), qPrintable(QString::number(id)));

        auto* background = static_cast<QCheckBox*>(dialog.widgetFor(fd::MaskBackground));
        auto* text = static_cast<QCheckBox*>(dialog.widgetFor(fd::MaskText));
        background->click();
        QVERIFY(background->isChecked());
        text->click();
        QVERIFY(text->isChecked());
        QVERIFY(!background->isChecked());
        QCOMPARE(choice.table().value(fd::MaskBackground), 0);

        // Choosing a size in the list shows it in the field and the font.
        auto* sizes = static_cast<QListWidget*>(dialog.widgetFor(fd::SizeList));
        sizes->setCurrentRow(rowOf(choice.table(), fd::SizeList, QStringLiteral("36")));
        QCOMPARE(choice.table().text(fd::Size), std::string("36"));
        QCOMPARE(choice.font().height, 48);

        // The sample shows dark text on white.
        dialog.resize(dialog.sizeHint());
        const QImage sample = dialog.widgetFor(fd::Sample)->grab().toImage();
        QCOMPARE(sample.pixelColor(sample.width() / 2, sample.height() - 3), QColor(Qt::white));
        int dark = 0;
        for (int y = 2; y < sample.height() - 2; ++y)
            for (int x = 2; x < sample.width() - 2; ++x)
                dark += qGray(sample.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY(dark > 20);
    }

    void theMenuOffersTextPasteWithAPicture() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        // Button 22 is "文字貼付".
        editor->state().toolbarList = {22, ToolButtonTable::End};
        w.toolBar()->setList(editor->state().toolbarList);
        w.refreshToolbar();
        w.updateMenuState();
        QVERIFY(!w.action(Command::TextPaste)->isEnabled());
        QVERIFY(w.action(Command::StatusBarFont)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(22), int(ToolButtonTable::Disabled));

        w.documents().openFiles(ParseWords({f.copy("doll.cel")}));
        f.settle();
        w.updateMenuState();
        QVERIFY(w.action(Command::TextPaste)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(22), int(ToolButtonTable::Normal));

        editor->state().colours.drawColor = 4;
        editor->state().colours.borderColor = 0;
        f.ui.answerDialog("GFontDialog", choose(QStringLiteral("KiSS"), 0, false));
        w.executeCommand(Command::TextPaste);
        f.settle();
        const ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QCOMPARE(got.picture->width(), measured(QStringLiteral("KiSS")).width());
        QCOMPARE(indicesOf(*got.picture), (std::set<int>{0, 4}));
        QVERIFY(f.ui.allAnswered());
    }

    void statusBarFontDialogSetsTheBarAndTheKeys() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        f.ui.answerDialog("FontDialog", [](ControlTable& t) {
            // Only Japanese families are offered.
            const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
            for (const std::string& name : t.find(fd::FontList)->items)
                if (!japanese.contains(QString::fromStdString(name)))
                    return 2;
            t.setValue(fd::FontList, rowOf(t, fd::FontList, japaneseFamily()));
            t.setText(fd::Size, "18");
            t.setValue(fd::WeightList, rowOf(t, fd::WeightList, QStringLiteral("700")));
            t.setValue(fd::Italic, 1);
            return t.press(1);
        });
        w.executeCommand(Command::StatusBarFont);
        QCOMPARE(f.ui.dialogs.back(), std::string("FontDialog"));
        QCOMPARE(f.ui.tables.back().title, std::string("ステータスバーのフォント"));

        const QFont bar = w.statusBar()->font();
        QCOMPARE(bar.family(), japaneseFamily());
        QCOMPARE(bar.pixelSize(), 24);
        QCOMPARE(bar.weight(), QFont::Bold);
        QVERIFY(bar.italic());

        // Written at once, as the thirteen fields of the record.
        Settings written(f.ini, "CELDOM");
        QCOMPARE(QString::fromStdString(written.readString("Font1:lfFaceName")), japaneseFamily());
        QCOMPARE(written.readInt("Font1:lfHeight", 0), 24);
        QCOMPARE(written.readInt("Font1:lfWidth", -1), 0);
        QCOMPARE(written.readInt("Font1:lfWeight", 0), 700);
        QCOMPARE(written.readInt("Font1:lfItalic", 0), 1);
        QCOMPARE(written.readInt("Font1:lfUnderline", -1), 0);
        QCOMPARE(written.readInt("Font1:lfCharSet", 0), 128);
    }

    void cancellingTheStatusBarFontKeepsIt() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const QFont before = w.statusBar()->font();
        f.ui.answerDialog("FontDialog", [](ControlTable& t) {
            t.setText(fd::Size, "40");
            return t.press(2);
        });
        w.executeCommand(Command::StatusBarFont);
        QCOMPARE(w.statusBar()->font(), before);
        Settings written(f.ini, "CELDOM");
        QVERIFY(written.readString("Font1:lfFaceName").empty());
    }
};

QTEST_MAIN(TextPasteTest)
#include "TextPasteTest.moc"
