#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace vantorelle {

void installTranslations(QCoreApplication& app)
{
    // The languages in the user's order. QTranslator::load(QLocale) alone would pass over a
    // preferred English (it has no file) and take the next language that has one.
    for (const QString& name : QLocale().uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::English || language.language() == QLocale::C) return;
        auto ours = std::make_unique<QTranslator>(&app);
        if (!ours->load(language, QStringLiteral("vantorelle"), QStringLiteral("_"), QStringLiteral(":/i18n"))) continue;
        QCoreApplication::installTranslator(ours.release());
        auto qt = std::make_unique<QTranslator>(&app);
        if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.release());
        }
        return;
    }
}

} // namespace vantorelle
