#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace velinor {

bool loadQtTranslations(const QLocale& locale)
{
    static std::unique_ptr<QTranslator> loaded;
    if (loaded) {
        QCoreApplication::removeTranslator(loaded.get());
        loaded.reset();
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    loaded = std::move(translator);
    return true;
}

} // namespace velinor
