// The translations. lupdate, run over the sources as `make translations` runs it, finds every
// text the program shows: each must be in every .ts file of translations/, finished, with the
// placeholders and markup of its source. Then the languages at run time: installing one speaks it
// in the forms and in Qt's own buttons, each has its guide, the system's language is found from the
// user's languages, an unknown one is English, and the language setting is shown, kept and read at
// start-up.

#include "../common/screen_parts.h"
#include "../common/temp_settings.h"
#include "core/settings_store.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/translation.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

const QString translationsFolder = QStringLiteral(CANTORELA_TRANSLATIONS_FOLDER);

struct Message
{
    QString context, source, comment;
    QString type;             // "", "unfinished", "vanished", "obsolete"
    QStringList translations; // one, or one per plural form
    QString Where() const
    {
        return QStringLiteral("[%1] \"%2\"%3")
            .arg(context, source, comment.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(comment));
    }
    QString Key() const { return context + QChar(0x1f) + source + QChar(0x1f) + comment; }
};

struct TsFile
{
    QString language;
    QVector<Message> messages;
    QString error;
};

TsFile ReadTs(const QString& path)
{
    TsFile ts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ts.error = path + QStringLiteral(": ") + file.errorString();
        return ts;
    }
    QXmlStreamReader xml(&file);
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("TS")) {
            ts.language = xml.attributes().value(QLatin1String("language")).toString();
        } else if (name == QLatin1String("name")) {
            message.context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{message.context, {}, {}, {}, {}};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            // Either the text, or one <numerusform> per plural form.
            QString text;
            while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::EndElement &&
                                     xml.name() == QLatin1String("translation"))) {
                if (xml.isStartElement() && xml.name() == QLatin1String("numerusform"))
                    message.translations.append(xml.readElementText());
                else if (xml.isCharacters())
                    text += xml.text();
            }
            if (message.translations.isEmpty())
                message.translations.append(text);
            ts.messages.append(message);
        }
    }
    if (xml.hasError())
        ts.error = QStringLiteral("%1: %2 at line %3").arg(path, xml.errorString()).arg(xml.lineNumber());
    return ts;
}

// The placeholders (%1, %L2, %n, %Ln) and markup tags of a text, sorted: a translation may move
// them, never drop, add or change one.
QStringList Fixed(const QString& text, bool numerus)
{
    static const QRegularExpression parts(QStringLiteral("%L?(\\d+|n)|<[^<>]+>"));
    QStringList found;
    for (auto match = parts.globalMatch(text); match.hasNext();) {
        const QString part = match.next().captured();
        // A plural form may say its number in words ("one semitone").
        if (!(numerus && part.endsWith(QLatin1Char('n'))))
            found.append(part);
    }
    found.sort();
    return found;
}

// Prints the first problems, so that whoever fixes the file sees what and where.
bool Report(const QString& what, const QStringList& problems)
{
    for (const QString& problem : problems.mid(0, 12))
        qWarning().noquote() << what << problem;
    if (problems.size() > 12)
        qWarning().noquote() << what << "and" << problems.size() - 12 << "more";
    return problems.isEmpty();
}

// One row per language the program offers besides English, the language of its sources.
void LanguageRows()
{
    QTest::addColumn<QString>("code");
    for (const UI::Translation::Language& language : UI::Translation::languages())
        if (language.code != QLatin1String("en"))
            QTest::newRow(qPrintable(language.code)) << language.code;
}

QString LanguageFile(const QString& code)
{
    return translationsFolder + QStringLiteral("/cantorela_%1.ts").arg(code);
}

// The translation of one text in a language's file, as the translators wrote it.
QString Translated(const QString& code, const QString& context, const QString& source)
{
    for (const Message& message : ReadTs(LanguageFile(code)).messages)
        if (message.context == context && message.source == source && message.type.isEmpty())
            return message.translations.value(0);
    return QString();
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    TsFile extracted;

private Q_SLOTS:
    void initTestCase()
    {
        UseProgramLook();
        QVERIFY(folder.isValid());
        // lupdate exactly as `make translations` runs it, into a file of the test's own.
        const QString output = folder.filePath(QStringLiteral("extracted.ts"));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(
            QStringLiteral(CANTORELA_LUPDATE),
            QString::fromLatin1(CANTORELA_LUPDATE_OPTIONS).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                << QStringLiteral(CANTORELA_TRANSLATED_SOURCES) << QStringLiteral("-ts") << output);
        QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        extracted = ReadTs(output);
        QVERIFY2(extracted.error.isEmpty(), qPrintable(extracted.error));
        QVERIFY(extracted.messages.size() > 500);
    }

    void cleanupTestCase() { UI::Translation::install(QStringLiteral("en")); }

    // Every text of the sources has an entry, and every entry a text of the sources.
    void everyTextHasAnEntry_data() { LanguageRows(); }
    void everyTextHasAnEntry()
    {
        QFETCH(QString, code);
        const TsFile file = ReadTs(LanguageFile(code));
        QVERIFY2(file.error.isEmpty(), qPrintable(file.error));
        QSet<QString> entries, texts;
        for (const Message& message : file.messages)
            entries.insert(message.Key());
        QStringList problems;
        for (const Message& message : extracted.messages) {
            texts.insert(message.Key());
            if (!entries.contains(message.Key()))
                problems.append(QStringLiteral("missing: ") + message.Where());
        }
        for (const Message& message : file.messages)
            if (!texts.contains(message.Key()))
                problems.append(QStringLiteral("no longer in the sources: ") + message.Where());
        QVERIFY2(Report(LanguageFile(code), problems),
                 qPrintable(QStringLiteral("%1 entries wrong; `make translations` brings the file in step")
                                .arg(problems.size())));
    }

    // Every entry translated and marked finished, none left over from texts that went.
    void everyEntryIsFinished_data() { LanguageRows(); }
    void everyEntryIsFinished()
    {
        QFETCH(QString, code);
        const TsFile file = ReadTs(LanguageFile(code));
        QCOMPARE(file.language, code); // lrelease takes the plural rules from it
        QStringList problems;
        for (const Message& message : file.messages) {
            if (!message.type.isEmpty())
                problems.append(message.type + QStringLiteral(": ") + message.Where());
            else if (message.translations.isEmpty() || message.translations.contains(QString()))
                problems.append(QStringLiteral("empty: ") + message.Where());
        }
        QVERIFY2(Report(LanguageFile(code), problems),
                 qPrintable(QStringLiteral("%1 of %2 entries not finished")
                                .arg(problems.size())
                                .arg(file.messages.size())));
    }

    // The placeholders and the markup of each translation are those of its source.
    void placeholdersAndMarkupKept_data() { LanguageRows(); }
    void placeholdersAndMarkupKept()
    {
        QFETCH(QString, code);
        QStringList problems;
        const auto listed = [](const QStringList& parts) {
            return parts.isEmpty() ? QStringLiteral("none") : parts.join(QLatin1Char(' '));
        };
        for (const Message& message : ReadTs(LanguageFile(code)).messages) {
            const bool numerus = message.translations.size() > 1;
            const QStringList wanted = Fixed(message.source, numerus);
            for (const QString& translation : message.translations)
                if (!translation.isEmpty() && Fixed(translation, numerus) != wanted)
                    problems.append(
                        QStringLiteral("%1 translated with %2 in place of %3")
                            .arg(message.Where(), listed(Fixed(translation, numerus)), listed(wanted)));
        }
        QVERIFY2(Report(LanguageFile(code), problems),
                 qPrintable(QString::number(problems.size()) + " wrong"));
    }

    // The language installed speaks in a form, in Qt's standard buttons and in the locale.
    void installedLanguageIsSpoken_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("inForce");
        QTest::addColumn<QString>("qtCancel");
        QTest::newRow("German") << "de"
                                << "de"
                                << "Abbrechen";
        QTest::newRow("Spanish") << "es"
                                 << "es"
                                 << "Cancelar";
        QTest::newRow("English") << "en"
                                 << "en"
                                 << "Cancel";
        QTest::newRow("a language not offered") << "fr"
                                                << "en"
                                                << "Cancel";
        // main() makes the system's language Spanish.
        QTest::newRow("the system's") << ""
                                      << "es"
                                      << "Cancelar";
    }
    void installedLanguageIsSpoken()
    {
        QFETCH(QString, setting);
        QFETCH(QString, inForce);
        UI::Translation::install(QStringLiteral("de")); // another language in force before
        QCOMPARE(UI::Translation::install(setting), inForce);
        QCOMPARE(UI::Translation::language(), inForce);
        QCOMPARE(QLocale().language(), QLocale(inForce).language());

        TempSettings settings;
        Core::SettingsStore store;
        UI::GeneralSettingsTab tab(0, &store, SilentSound(), {}, {});
        const QString source = QStringLiteral("Midi Input");
        const bool english = inForce == QLatin1String("en");
        const QString expected =
            english ? source : Translated(inForce, QStringLiteral("GeneralSettingsTab"), source);
        QVERIFY2(
            english || (!expected.isEmpty() && expected != source),
            qPrintable(QStringLiteral("no translation of \"%1\" in %2").arg(source, LanguageFile(inForce))));
        QCOMPARE(Part<QGroupBox>(&tab, QStringLiteral("midiInputGroup"))->title(), expected);

        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QTEST(buttons.button(QDialogButtonBox::Cancel)->text(), "qtCancel");
    }

    // Each language offered has its guide compiled in; another language reads the English one.
    void guideInEachLanguage()
    {
        const QString english = QString::fromLatin1(UI::HelpDialog::GuideResource);
        for (const UI::Translation::Language& language : UI::Translation::languages()) {
            const QString guide = UI::HelpDialog::guideResource(language.code);
            QVERIFY2(QFile::exists(guide), qPrintable(guide));
            QVERIFY2((guide == english) == (language.code == QLatin1String("en")), qPrintable(guide));
        }
        QCOMPARE(UI::HelpDialog::guideResource(QStringLiteral("fr")), english);
    }

    // The first of the user's languages the program speaks wins; none of them gives English.
    void systemLanguageIsFound_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("code");
        QTest::newRow("German of Austria") << QStringList{"de-AT", "en"} << "de";
        QTest::newRow("French, then Spanish") << QStringList{"fr-FR", "fr", "es-ES"} << "es";
        QTest::newRow("English before German") << QStringList{"en-GB", "de-DE"} << "en";
        QTest::newRow("none offered") << QStringList{"pt-BR", "ja"} << "en";
        QTest::newRow("the C locale") << QStringList{"C"} << "en";
        QTest::newRow("nothing") << QStringList() << "en";
    }
    void systemLanguageIsFound()
    {
        QFETCH(QStringList, uiLanguages);
        QTEST(UI::Translation::codeFor(uiLanguages), "code");
    }

    // The setting: the choice stored, read back at start-up and by a new store, kept by the
    // defaults; in English, the note shows while the choice would speak another language.
    void languageSettingIsKept_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("noteShown");
        QTest::newRow("German") << "de" << true;
        QTest::newRow("English") << "en" << false;
        QTest::newRow("the system's, Spanish") << "" << true;
    }
    void languageSettingIsKept()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, noteShown);
        QCOMPARE(UI::Translation::install(QStringLiteral("en")), QStringLiteral("en"));
        TempSettings settings;
        auto store = std::make_unique<Core::SettingsStore>();
        Core::GeneralSettings general = store->generalSettings();
        general.language = chosen.isEmpty() ? QStringLiteral("de") : QString(); // another one stored
        store->setGeneralSettings(general);

        auto tab = std::make_unique<UI::GeneralSettingsTab>(0, store.get(), SilentSound(), nullptr, nullptr);
        tab->resize(1280, 664);
        tab->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
        tab->loadSettings();
        auto* combo = Part<QComboBox>(tab.get(), QStringLiteral("languageCombo"));
        QCOMPARE(combo->itemData(0).toString(), QString()); // the system's language first
        QCOMPARE(combo->count(), UI::Translation::languages().size() + 1);
        QVERIFY(!combo->accessibleName().isEmpty());
        QVERIFY(combo->focusPolicy() & Qt::TabFocus);
        combo->setFocus();
        // As the student picks it: the arrow keys step through the entries.
        while (combo->currentData().toString() != chosen) {
            const int before = combo->currentIndex();
            QTest::keyClick(combo, before == combo->count() - 1 ? Qt::Key_Home : Qt::Key_Down);
            QVERIFY(combo->currentIndex() != before);
        }
        QCOMPARE(Part<QLabel>(tab.get(), QStringLiteral("languageNote"))->isVisible(), noteShown);

        tab->restoreDefaults();
        tab->applySettings();
        QCOMPARE(store->generalSettings().language, chosen);
        tab.reset();
        store.reset();
        QCOMPARE(Core::SettingsStore::storedLanguage(), chosen);
        QCOMPARE(Core::SettingsStore().generalSettings().language, chosen);
    }
};

int main(int argc, char** argv)
{
    // The system's language is read once per process, from the environment: the user's languages
    // are Spanish here, whatever the machine's.
    qputenv("LANGUAGE", "es_ES");
    QApplication app(argc, argv);
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_translations.moc"
