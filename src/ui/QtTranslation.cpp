#include "ui/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace celdo {

namespace {
const char* const TranslatorName = "celdo-qtbase-ja";
}

QString QtTranslationFile() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
}

bool InstallQtTranslation() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    if (application->findChild<QTranslator*>(QLatin1String(TranslatorName),
                                             Qt::FindDirectChildrenOnly))
        return true;
    auto translator = std::make_unique<QTranslator>();
    translator->setObjectName(QLatin1String(TranslatorName));
    if (!translator->load(QtTranslationFile()) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    // The application owns it from here, so it lives as long as the texts it
    // translates.
    translator.release()->setParent(application);
    return true;
}

} // namespace celdo
