#include "framework/qt/ControlTableDialog.h"
#include "core/CellImage.h"
#include "formats/MagFile.h"
#include "framework/ControlTable.h"
#include "framework/ScriptedUi.h"
#include "framework/qt/QtUi.h"
#include "palette/PaletteDialogs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using namespace celdo;

namespace {

ControlTable sampleTable() {
    ControlTable t;
    t.name = "Sample";
    t.title = "KiSS セル ファイル保存情報";
    t.add(staticText(200, "doll.cel"));
    t.add(staticText(300, "X"));
    t.add(scrollBar(360, 0, 2000, 50, 10, 361));
    t.add(staticText(361, ""));
    t.add(groupBox(240, " 種類 "));
    t.add(radioButton(241, "16色(old)", 1, false));
    t.add(radioButton(242, "16色", 1, false));
    t.add(radioButton(243, "256色", 1, true));
    t.add(checkBox(280, "マスクをαチャネルにする", true));
    t.add(editField(400, "", 4));
    t.add(button(1, "&Save"));
    t.add(button(2, "&Cancel"));
    return t;
}

// `count` characters: Japanese without a single space, with one long
// unbroken Latin run in the middle, as picture comments are written.
std::string longText(int count) {
    const std::u32string kana = U"きせかえセルの注釈はとても長いことがあります";
    std::u32string text;
    for (int i = 0; static_cast<int>(text.size()) < count; ++i) {
        if (i == 10)
            text += std::u32string(80, U'x');
        else
            text += kana;
    }
    text.resize(static_cast<std::size_t>(count));
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

// The dialog lies within the available screen area and every button is
// shown whole inside it.
void verifyOnScreen(ControlTableDialog& dialog, std::initializer_list<int> buttons) {
    const QRect area = dialog.screen()->availableGeometry();
    QVERIFY2(dialog.frameGeometry().width() <= area.width(),
             qPrintable(
                 QStringLiteral("%1 > %2").arg(dialog.frameGeometry().width()).arg(area.width())));
    QVERIFY(dialog.frameGeometry().height() <= area.height());
    QVERIFY(area.contains(dialog.frameGeometry()));
    for (int id : buttons) {
        QWidget* button = dialog.widgetFor(id);
        QVERIFY(button);
        QVERIFY(button->isVisible());
        const QRect inDialog(button->mapTo(&dialog, QPoint(0, 0)), button->size());
        QVERIFY2(dialog.rect().contains(inDialog),
                 qPrintable(QStringLiteral("button %1 at %2,%3 outside %4x%5")
                                .arg(id)
                                .arg(inDialog.right())
                                .arg(inDialog.bottom())
                                .arg(dialog.width())
                                .arg(dialog.height())));
    }
}

} // namespace

class ControlTableDialogTest : public QObject {
    Q_OBJECT
private slots:
    void rendersExactTexts() {
        ControlTable t = sampleTable();
        ControlTableDialog dialog(t);
        QCOMPARE(dialog.windowTitle(), QString("KiSS セル ファイル保存情報"));
        QCOMPARE(static_cast<QRadioButton*>(dialog.widgetFor(241))->text(), QString("16色(old)"));
        QCOMPARE(static_cast<QLabel*>(dialog.widgetFor(361))->text(), QString("10"));
        QVERIFY(static_cast<QRadioButton*>(dialog.widgetFor(243))->isChecked());
        QCOMPARE(static_cast<QLineEdit*>(dialog.widgetFor(400))->maxLength(), 4);
    }

    void unnamedLabelsBesideAnUnnamedGroupBoxKeepTheirTexts() {
        // The sort dialog's layout: two unnamed labels and an unnamed group
        // box around radio buttons.
        ControlTable t = BuildSortColorDialog(SortColorSettings{}, false);
        ControlTableDialog dialog(t);
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("開始番号")));
        QVERIFY(labels.contains(QStringLiteral("終了番号")));
        QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("整列方法"));
        QVERIFY(!dialog.widgetFor(sort_color::MostUsedFirst)->isEnabled());
        QVERIFY(dialog.widgetFor(sort_color::BrightFirst)->isEnabled());
    }

    void widgetChangesReachTheTableAndItsHandlers() {
        ControlTable t = sampleTable();
        int changes = 0;
        t.onChange = [&](ControlTable& table, int id) {
            ++changes;
            // A check box that disables the scroll bar, as linked controls do.
            if (id == 280)
                table.setEnabled(360, table.value(280) != 0);
        };
        ControlTableDialog dialog(t);
        static_cast<QScrollBar*>(dialog.widgetFor(360))->setValue(1234);
        QCOMPARE(t.value(360), 1234);
        QCOMPARE(static_cast<QLabel*>(dialog.widgetFor(361))->text(), QString("1234"));

        static_cast<QRadioButton*>(dialog.widgetFor(241))->click();
        QCOMPARE(t.checkedRadio(241, 243), 241);
        QVERIFY(!static_cast<QRadioButton*>(dialog.widgetFor(243))->isChecked());

        static_cast<QCheckBox*>(dialog.widgetFor(280))->click();
        QCOMPARE(t.value(280), 0);
        QVERIFY(!dialog.widgetFor(360)->isEnabled());
        QVERIFY(changes >= 3);
    }

    void buttonsCloseWithTheirResult() {
        ControlTable t = sampleTable();
        ControlTableDialog dialog(t);
        dialog.show();
        static_cast<QPushButton*>(dialog.widgetFor(1))->click();
        QCOMPARE(dialog.result(), 1);

        ControlTable stay = sampleTable();
        stay.add(button(2250, "更新"));
        int updates = 0;
        stay.onButton = [&](ControlTable&, int id) {
            if (id == 2250) {
                ++updates;
                return 0;
            }
            return id;
        };
        ControlTableDialog second(stay);
        second.show();
        static_cast<QPushButton*>(second.widgetFor(2250))->click();
        QCOMPARE(updates, 1);
        QVERIFY(second.isVisible());
        second.reject();
        QCOMPARE(second.result(), 2);
    }

    void longStaticTextWrapsWithinTheScreen() {
        ControlTable t;
        t.name = "Long";
        t.title = "情報";
        t.add(staticText(-1, "注釈", 0));
        t.add(staticText(204, longText(1200), 0));
        t.add(button(1, "&Load", 1));
        t.add(button(2, "&Cancel", 1));
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // The unwrapped text alone is far wider than the screen.
        const QFontMetrics metrics = dialog.fontMetrics();
        QVERIFY(metrics.horizontalAdvance(QString::fromStdString(t.text(204))) >
                3 * dialog.screen()->availableGeometry().width());
        verifyOnScreen(dialog, {1, 2});
        auto* box = qobject_cast<QPlainTextEdit*>(dialog.widgetFor(204));
        QVERIFY(box);
        QCOMPARE(box->toPlainText(), QString::fromStdString(t.text(204)));
        QVERIFY(box->width() <= dialog.width());
        // Wrapped into many lines, none wider than the box: the Latin run
        // without spaces breaks too.
        QTextLayout* layout = box->document()->firstBlock().layout();
        QVERIFY(layout->lineCount() > 10);
        for (int i = 0; i < layout->lineCount(); ++i)
            QVERIFY(layout->lineAt(i).naturalTextWidth() <= box->viewport()->width());
    }

    void tallTableScrollsAboveItsButtons() {
        ControlTable t;
        t.name = "Tall";
        for (int i = 0; i < 80; ++i)
            t.add(checkBox(100 + i, "項目 " + std::to_string(i), false));
        t.add(button(1, "OK"));
        t.add(button(2, "中止"));
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        verifyOnScreen(dialog, {1, 2});
        QVERIFY(dialog.findChild<QScrollArea*>());
    }

    void staticThatGrowsIsElidedWithTheWholeTextInTheTooltip() {
        ControlTable t = sampleTable();
        ControlTableDialog dialog(t);
        auto* label = qobject_cast<QLabel*>(dialog.widgetFor(200));
        QVERIFY(label);
        QCOMPARE(label->text(), QString("doll.cel"));
        QVERIFY(label->toolTip().isEmpty());
        const std::string path = "/" + std::string(400, 'd') + "/doll.cel";
        t.onChange = [&](ControlTable& table, int) { table.assignText(200, path); };
        static_cast<QScrollBar*>(dialog.widgetFor(360))->setValue(5);
        QCOMPARE(label->toolTip(), QString::fromStdString(path));
        QVERIFY(label->text().endsWith(QStringLiteral("doll.cel")));
        QVERIFY(label->text().size() < static_cast<qsizetype>(path.size()));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        verifyOnScreen(dialog, {1, 2});
    }

    void magInformationWithALongCommentFitsTheScreen() {
        QTemporaryDir dir;
        const std::string path = (dir.path() + QStringLiteral("/long.mag")).toStdString();
        auto picture = CellImage::Create(8, 4, 4);
        QVERIFY(picture);
        const std::string comment = longText(1100);
        QCOMPARE(MagFile::Save(path, *picture, comment), status::Ok);
        MagFile file(path);
        QCOMPARE(file.readHeader(), status::Ok);
        QCOMPARE(file.comment(), comment);
        ControlTable t = MagLoadDialog(file);
        QCOMPARE(t.name, std::string("MagLoad"));
        ControlTableDialog dialog(t);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        verifyOnScreen(dialog, {1, 2});
        auto* box = qobject_cast<QPlainTextEdit*>(dialog.widgetFor(204));
        QVERIFY(box);
        QCOMPARE(box->toPlainText(), QString::fromStdString(comment));
    }

    void responderAnswersInsteadOfTheScreen() {
        ScriptedUi script;
        script.answerDialog("Sample", [](ControlTable& t) {
            t.setValue(360, 77);
            return t.press(1);
        });
        script.answerMessage(answer::No);
        QtUi::setResponder(&script);
        QtUi ui;
        ControlTable t = sampleTable();
        QCOMPARE(ui.runDialog(t), 1);
        QCOMPARE(t.value(360), 77);
        QCOMPARE(ui.messageBox("保存しますか？", "Celdo", MessageIcon::Question,
                               MessageButtons::YesNoCancel),
                 answer::No);
        QtUi::setResponder(nullptr);
        QCOMPARE(script.dialogs, std::vector<std::string>{"Sample"});
        QVERIFY(script.allAnswered());
    }
};

QTEST_MAIN(ControlTableDialogTest)
#include "ControlTableDialogTest.moc"
