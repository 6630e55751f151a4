#include "ui/translation.h"

#include "core/exercise/note_spelling.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QPointer>
#include <QTranslator>

Q_LOGGING_CATEGORY(translationLog, "cantorela.ui.translation")

// Resources compiled into a static library must be registered by name from inside it, outside
// any namespace; registering twice is harmless.
static void InitializeTranslationResources()
{
    Q_INIT_RESOURCE(translations);
}

namespace UI {

namespace {

const QString english = QStringLiteral("en");

// The translators this class installed, owned by the application object.
QPointer<QTranslator> programTranslator;
QPointer<QTranslator> qtTranslator;
QString languageInForce = english;

QString programFile(const QString& code)
{
    return QStringLiteral(":/i18n/cantorela_%1.qm").arg(code);
}

void removeInstalled()
{
    for (QPointer<QTranslator>* installed : {&programTranslator, &qtTranslator}) {
        if (*installed) {
            QCoreApplication::removeTranslator(*installed);
            delete installed->data();
        }
        *installed = nullptr;
    }
}

// A translator of `file` in `folder` installed for the application, or none when the file cannot
// be loaded.
QTranslator* installTranslator(const QString& file, const QString& folder = QString())
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(file, folder) && QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace

QList<Translation::Language> Translation::languages()
{
    // Each name in its own language, whatever the language in force: a student who cannot read
    // the present one still finds their own.
    return {{english, QStringLiteral("English")},
            {QStringLiteral("de"), QStringLiteral("Deutsch")},
            {QStringLiteral("es"), QStringLiteral("Español")}};
}

QString Translation::codeFor(const QStringList& uiLanguages)
{
    for (const QString& wanted : uiLanguages) {
        const QLocale::Language language = QLocale(wanted).language();
        for (const Language& offered : languages())
            if (language != QLocale::C && QLocale(offered.code).language() == language)
                return offered.code;
    }
    return english;
}

QString Translation::resolve(const QString& code)
{
    const QString wanted = code.isEmpty() ? codeFor(QLocale::system().uiLanguages()) : code;
    if (wanted == english)
        return english;
    InitializeTranslationResources();
    for (const Language& offered : languages())
        if (offered.code == wanted && QFile::exists(programFile(wanted)))
            return wanted;
    return english;
}

QString Translation::install(const QString& code)
{
    QString chosen = resolve(code);
    if (QCoreApplication::instance()) {
        removeInstalled();
        // English is the language of the sources and of Qt's own texts: it needs no translation.
        if (chosen != english) {
            programTranslator = installTranslator(programFile(chosen));
            if (!programTranslator) {
                qCWarning(translationLog)
                    << "the translation" << programFile(chosen) << "could not be installed";
                chosen = english;
            }
        }
        // Qt's standard dialogs and buttons; without the file they stay in English.
        const QString qtFolder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
        if (chosen != english) {
            qtTranslator = installTranslator(QStringLiteral("qtbase_") + chosen, qtFolder);
            if (!qtTranslator)
                qCInfo(translationLog) << "no Qt translation for" << chosen << "in" << qtFolder;
        }
    }
    // Numbers and dates as the student's own locale writes them when it speaks the language
    // chosen, else as the language's main country does.
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == QLocale(chosen).language() ? system : QLocale(chosen));
    Core::NoteSpelling::setNoteNaming(Core::NoteSpelling::translatedNoteNaming());
    languageInForce = chosen;
    return chosen;
}

QString Translation::language()
{
    return languageInForce;
}

} // namespace UI
