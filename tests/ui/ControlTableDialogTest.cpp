#include "framework/qt/ControlTableDialog.h"
#include "framework/ControlTable.h"
#include "framework/ScriptedUi.h"
#include "framework/qt/QtUi.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
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
