#pragma once
// The language the program speaks. English is the language of the sources; German and Spanish
// come as compiled translations in the resources (":/i18n/cantorela_<code>.qm"). Installing a
// language also installs Qt's own translation of its standard dialogs and buttons
// (qtbase_<code>.qm from Qt's translations folder), makes the language the default locale and
// sets the note naming the translation asks for (Core::NoteSpelling). The application installs
// the language of its setting at start-up, before any window or question pool builds a text:
// texts already built keep their language, so a change takes effect at the next start.
// GUI thread only.

#include <QList>
#include <QString>
#include <QStringList>

namespace UI {

class Translation
{
public:
    struct Language
    {
        QString code;       // "en", "de", "es"
        QString nativeName; // the language's name in itself: "English", "Deutsch", "Español"
    };

    // The languages the program speaks, English first.
    static QList<Language> languages();

    // Installs the translations for `code` ("" = the system's language), replacing those
    // installed before, sets QLocale's default and the note naming; returns the code in force
    // ("en" when no translation matches).
    static QString install(const QString& code);

    // The code install() would put in force for `code`, without installing anything.
    static QString resolve(const QString& code);
    // The first of the program's languages that the user's languages (most wanted first, as
    // QLocale::uiLanguages() lists them: "de-AT", "es") ask for; "en" when none does.
    static QString codeFor(const QStringList& uiLanguages);
    // The code of the language in force: "en" until install() puts another in force.
    static QString language();
};

} // namespace UI
