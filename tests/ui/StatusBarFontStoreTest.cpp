#include "ui/StatusBarFontStore.h"
#include "app/Settings.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace celdo;

class StatusBarFontStoreTest : public QObject {
    Q_OBJECT
private slots:
    void nothingUntilAFontWasChosen() {
        QTemporaryDir dir;
        Settings settings(dir.filePath("CELDO.INI").toStdString(), "CELDOM");
        QVERIFY(!StatusBarFontStore(settings).load());
    }

    void aChosenFontComesBack() {
        QTemporaryDir dir;
        Settings settings(dir.filePath("CELDO.INI").toStdString(), "CELDOM");
        QFont chosen(QStringLiteral("Sans"));
        chosen.setPixelSize(13);
        chosen.setWeight(QFont::Bold);
        chosen.setItalic(true);
        chosen.setStrikeOut(true);
        StatusBarFontStore(settings).store(chosen);

        // The height is stored as a negative pixel height, the weight as is.
        QCOMPARE(settings.readInt("Font1:lfHeight", 0), -QFontInfo(chosen).pixelSize());
        QCOMPARE(settings.readInt("Font1:lfWeight", 0), 700);

        const auto back = StatusBarFontStore(settings).load();
        QVERIFY(back);
        QCOMPARE(back->family(), QFontInfo(chosen).family());
        QCOMPARE(back->pixelSize(), QFontInfo(chosen).pixelSize());
        QCOMPARE(back->weight(), QFont::Bold);
        QVERIFY(back->italic());
        QVERIFY(!back->underline());
        QVERIFY(back->strikeOut());
    }
};

QTEST_MAIN(StatusBarFontStoreTest)
#include "StatusBarFontStoreTest.moc"
