#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QLocale;
class QTranslator;

/// The program's texts, and Qt's own (its buttons, its file dialog), in the
/// user's language, installed into the running application for as long as
/// this object lives.
///
/// The program's are reelbind_<language>.qm, from the first of the folders
/// that has one for the first of the user's languages that has one
/// (QLocale::uiLanguages(), so LANGUAGE counts before LANG); when none has,
/// English, whose file words only the plurals. Qt's own are
/// qtbase_<language>.qm of the same language, from Qt's translations folder.
class Translations
{
public:
    Translations(const QStringList& folders, const QLocale& locale);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    /// The language of the program's texts ("de", "fr"...); empty when no
    /// file was found, not even English.
    QString language() const { return m_language; }

private:
    bool install(std::unique_ptr<QTranslator> translator);

    std::vector<std::unique_ptr<QTranslator>> m_installed;
    QString m_language;
};
