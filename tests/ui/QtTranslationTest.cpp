#include "ui/QtTranslation.h"
#include "EditorTestSupport.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

using namespace celdo;
using namespace celdo::testing;

class QtTranslationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Whatever the user's locale, Qt's texts follow the program's.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        if (!QFileInfo::exists(QtTranslationFile())) {
            const QString missing =
                QStringLiteral("%1 is missing (scripts/install-deps.sh installs "
                               "qt6-translations-l10n)")
                    .arg(QtTranslationFile());
            if (qEnvironmentVariableIsSet("CELDO_TESTDATA_REQUIRED"))
                QFAIL(qPrintable(missing));
            QSKIP(qPrintable(missing));
        }
    }

    void standardButtonsSpeakJapaneseAfterTheSetUp() {
        {
            QMessageBox before;
            before.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(before.button(QMessageBox::Yes)->text(), QString("&Yes"));
        }
        EditorFixture fixture;
        auto editor = fixture.start(FrameVariant::MultipleDocument);
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));
    }

    void installsOnceAndEditContextMenusFollow() {
        QVERIFY(InstallQtTranslation());
        QVERIFY(InstallQtTranslation());
        QCOMPARE(qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
        QLineEdit edit(QStringLiteral("text"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << action->text();
        QVERIFY2(texts.join(QLatin1Char('|')).contains(QStringLiteral("コピー")),
                 qPrintable(texts.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(QtTranslationTest)
#include "QtTranslationTest.moc"
