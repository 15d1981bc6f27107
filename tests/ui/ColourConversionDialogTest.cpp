#include "framework/ScriptedUi.h"
#include "framework/qt/ControlTableDialog.h"
#include "framework/qt/DrawnRowLabel.h"
#include "palette/ColourConverterDialogs.h"
#include "support/PastedGreys.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <array>
#include <memory>

using namespace celdo;
using namespace celdo::colourdialog;

namespace {

const QColor Grey100(100, 100, 100);
const QColor Grey120(120, 120, 120);
const QColor Grey140(140, 140, 140);

using test::PastedGreys;

// Offscreen, a grab has one device pixel a logical pixel.
QImage grabbed(QWidget* widget) {
    return widget->grab().toImage();
}

// A press and release, then the double click and its release, as a mouse
// sends them: a lone double-click event counts as a press.
void doubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

QColor pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

} // namespace

class ColourConversionDialogTest : public QObject {
    Q_OBJECT
private slots:
    void listDrawsSourceAndMappingSwatches() {
        PastedGreys f;
        ScriptedUi inner;
        ControlTable t = makeColourConversionDialog(inner, *f.converter, f.palette.data(), {});
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* list = qobject_cast<QListWidget*>(dialog.widgetFor(List));
        QVERIFY(list);
        QCOMPARE(list->count(), 3);
        const QRect row = list->visualItemRect(list->item(1));
        const int h = row.height();
        QCOMPARE(h, list->fontMetrics().height() + 4);
        const QImage image = grabbed(list->viewport());
        QCOMPARE(image.devicePixelRatio(), 1.0);
        // The source colour's swatch fills the first square of the line.
        QCOMPARE(pixel(image, row.left(), row.top()), Grey120);
        QCOMPARE(pixel(image, row.left() + h - 1, row.bottom()), Grey120);
        // The mapping's checkerboard from seven to eight line heights, cell
        // by cell: entry 2 where x + y is even.
        const int x0 = row.left() + 7 * h;
        QCOMPARE(pixel(image, x0, row.top()), Grey140);
        QCOMPARE(pixel(image, x0 + 1, row.top()), Grey100);
        QCOMPARE(pixel(image, x0, row.top() + 1), Grey100);
        QCOMPARE(pixel(image, x0 + 1, row.top() + 1), Grey140);
        QCOMPARE(pixel(image, x0 + 4, row.top() + 7), Grey100);
        // Nothing is drawn between the mapping swatch and its text.
        QCOMPARE(pixel(image, x0 + h + 1, row.top() + 1),
                 list->palette().color(QPalette::Active, QPalette::Base));
        // Source colour 5 is mapped to entry 2 alone.
        const QRect last = list->visualItemRect(list->item(2));
        QCOMPARE(pixel(image, last.left() + 7 * h, last.top()), Grey140);
        QCOMPARE(pixel(image, last.left() + 7 * h + 1, last.top()), Grey140);
    }

    void listTakingTheFocusChoosesNoRow() {
        PastedGreys f;
        ScriptedUi inner;
        ControlTable t = makeColourConversionDialog(inner, *f.converter, f.palette.data(),
                                                    [&f] { ++f.repaints; });
        ControlTableDialog dialog(t);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* list = qobject_cast<QListWidget*>(dialog.widgetFor(List));
        QVERIFY(list);
        list->setFocus(Qt::TabFocusReason);
        QVERIFY(list->hasFocus());
        QCOMPARE(t.value(List), -1);
        QVERIFY(list->selectedItems().isEmpty());
        // "手動設定" without a chosen row does nothing.
        static_cast<QPushButton*>(dialog.widgetFor(Manual))->click();
        QVERIFY(inner.dialogs.empty());
        QCOMPARE(f.repaints, 0);
        QVERIFY(dialog.isVisible());
    }

    void doubleClickOnARowAssignsThroughPalAssign() {
        PastedGreys f;
        ScriptedUi inner;
        // The outer dialog is the real one; PalAssign goes to the script.
        ControlTable t = makeColourConversionDialog(inner, *f.converter, f.palette.data(),
                                                    [&f] { ++f.repaints; });
        std::string title;
        inner.answerDialog("PalAssign", [&title](ControlTable& pal) {
            title = pal.title;
            const auto& items = pal.find(List)->items;
            for (std::size_t k = 0; k < items.size(); ++k)
                if (items[k] == "  [  2]  (140 140 140)")
                    pal.setValue(List, static_cast<int>(k));
            return pal.press(Assign);
        });
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* list = qobject_cast<QListWidget*>(dialog.widgetFor(List));
        QVERIFY(list);
        QCOMPARE(f.converter->converted()->at(1, 0), 1);

        doubleClickRow(list, 1);
        QCOMPARE(inner.dialogs, std::vector<std::string>{"PalAssign"});
        QCOMPARE(title, std::string("色の割付（2）"));
        QVERIFY(inner.allAnswered());
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.repaints, 1);
        QCOMPARE(f.converter->mapping(2), ColourMapping::single(2));
        // Only the one pixel of source colour 2 changed.
        const CellImage& converted = *f.converter->converted();
        QCOMPARE(converted.at(1, 0), 2);
        QCOMPARE(converted.at(0, 0), 1);
        QCOMPARE(converted.at(2, 0), 2);
        QCOMPARE(converted.at(0, 1), 1);
        QCOMPARE(converted.at(1, 1), 1);
        QCOMPARE(converted.at(2, 1), 2);
        // The list shows the new mapping: text and a solid swatch.
        QCOMPARE(list->item(1)->text(), QStringLiteral("   2 (1)    [  2]"));
        const QRect row = list->visualItemRect(list->item(1));
        const QImage image = grabbed(list->viewport());
        const int x0 = row.left() + 7 * row.height();
        QCOMPARE(pixel(image, x0, row.top()), Grey140);
        QCOMPARE(pixel(image, x0 + 1, row.top()), Grey140);
    }

    void palAssignDrawsItsSourceSwatchAndCandidates() {
        PastedGreys f;
        ControlTable t = makePaletteAssignDialog(*f.converter, 2, candidateRows(*f.converter, 2));
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("色の割付（2）"));

        auto* info = qobject_cast<DrawnRowLabel*>(dialog.widgetFor(SourceInfo));
        QVERIFY(info);
        const int lineHeight = info->fontMetrics().height() + 4;
        QCOMPARE(info->height(), lineHeight);
        const QImage infoImage = grabbed(info);
        QCOMPARE(pixel(infoImage, 0, 0), Grey120);
        QCOMPARE(pixel(infoImage, lineHeight - 1, lineHeight - 1), Grey120);

        auto* list = qobject_cast<QListWidget*>(dialog.widgetFor(List));
        QVERIFY(list);
        QCOMPARE(list->currentRow(), 0); // the present mapping, the half mix
        const QRect row = list->visualItemRect(list->item(0));
        const QImage image = grabbed(list->viewport());
        QCOMPARE(pixel(image, row.left(), row.top()), Grey140);
        QCOMPARE(pixel(image, row.left() + 1, row.top()), Grey100);
        QCOMPARE(pixel(image, row.left() + 1, row.top() + 1), Grey140);
        // The chosen row stands on the highlight colour.
        const QColor between = pixel(image, row.left() + 2 * row.height() - 2, row.top() + 1);
        QVERIFY(between == list->palette().color(QPalette::Active, QPalette::Highlight) ||
                between == list->palette().color(QPalette::Inactive, QPalette::Highlight));
        QVERIFY(between != list->palette().color(QPalette::Active, QPalette::Base));
    }

    void doubleClickInPalAssignOnlyChoosesAndEnterAssigns() {
        PastedGreys f;
        ControlTable t = makePaletteAssignDialog(*f.converter, 2, candidateRows(*f.converter, 2));
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* list = qobject_cast<QListWidget*>(dialog.widgetFor(List));
        QVERIFY(list);
        doubleClickRow(list, 1);
        QCOMPARE(t.value(List), 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(dialog.result(), static_cast<int>(Assign));
        QCOMPARE(t.value(List), 1);
    }
};

QTEST_MAIN(ColourConversionDialogTest)
#include "ColourConversionDialogTest.moc"
