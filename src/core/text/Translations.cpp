#include "core/text/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Translations::Translations(const QStringList& folders, const QLocale& locale)
{
    const QString name = QStringLiteral("reelbind");
    const QString separator = QStringLiteral("_");
    const auto loadFirst = [&](const auto& load) {
        for (const QString& folder : folders) {
            auto own = std::make_unique<QTranslator>();
            if (load(*own, folder)) {
                m_language = own->language();
                return install(std::move(own));
            }
        }
        return false;
    };
    loadFirst([&](QTranslator& t, const QString& folder) {
        return t.load(locale, name, separator, folder);
    }) ||
        loadFirst([&](QTranslator& t, const QString& folder) {
            return t.load(name + separator + QStringLiteral("en"), folder);
        });
    // Qt's buttons in the program's language, not in a later one of the user's.
    if (m_language.isEmpty() || m_language.startsWith(QLatin1String("en")))
        return;
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + m_language,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        install(std::move(qt));
}

Translations::~Translations()
{
    for (const auto& translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}

bool Translations::install(std::unique_ptr<QTranslator> translator)
{
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    m_installed.push_back(std::move(translator));
    return true;
}
