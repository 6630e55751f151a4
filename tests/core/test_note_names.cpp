// Note names in each naming a translation can ask for: English letters, German names (H, B,
// Es, Heses) and solfège, in single names, labels, key captions and the letters under the score;
// and the naming read from an installed translation.

#include "core/exercise/music_tables.h"
#include "core/exercise/note_spelling.h"
#include "ui/widgets/note_letters.h"

#include "notation/score_document.h"

#include <QTranslator>
#include <QtTest>

using Core::MusicTables;
using namespace Core::NoteSpelling;

Q_DECLARE_METATYPE(Core::NoteSpelling::NoteNaming)

namespace {

constexpr NoteNaming Letters = NoteNaming::Letters;
constexpr NoteNaming German = NoteNaming::German;
constexpr NoteNaming Solfege = NoteNaming::Solfege;

// A translation that answers only the naming question, with `answer`.
class NamingTranslation : public QTranslator
{
public:
    explicit NamingTranslation(const QString& answer) : answer(answer) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return qstrcmp(context, "Core::NoteSpelling") == 0 && qstrcmp(source, "letters") == 0 ? answer
                                                                                              : QString();
    }

private:
    QString answer;
};

} // namespace

class TestNoteNames : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setNoteNaming(Letters); }

    void namesFollowTheNaming_data()
    {
        QTest::addColumn<NoteNaming>("naming");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("alter");
        QTest::addColumn<QString>("name");
        const struct
        {
            NoteNaming naming;
            int step, alter;
            const char* name;
        } rows[] = {
            {Letters, 6, 0, "B"},        {Letters, 6, -1, "B\u266D"},  {Letters, 0, 2, "C\u266F\u266F"},
            {German, 6, 0, "H"},         {German, 6, -1, "B"},         {German, 6, -2, "Heses"},
            {German, 6, 1, "His"},       {German, 6, 2, "Hisis"},      {German, 2, -1, "Es"},
            {German, 2, -2, "Eses"},     {German, 5, -1, "As"},        {German, 5, -2, "Ases"},
            {German, 1, -1, "Des"},      {German, 0, 2, "Cisis"},      {German, 2, 1, "Eis"},
            {Solfege, 0, 1, "Do\u266F"}, {Solfege, 6, -1, "Si\u266D"}, {Solfege, 2, -2, "Mi\u266D\u266D"},
            {Solfege, 4, 0, "Sol"},
        };
        for (const auto& row : rows)
            QTest::addRow("%d: %s", int(row.naming), row.name)
                << row.naming << row.step << row.alter << QString::fromUtf8(row.name);
    }
    void namesFollowTheNaming()
    {
        QFETCH(NoteNaming, naming);
        QFETCH(int, step);
        QFETCH(int, alter);
        setNoteNaming(naming);
        QTEST(displayName(SpelledNote{step, alter}), "name");
    }

    // Octave numbers stay; a minor key's letters come in lower case where the naming marks the
    // minor so: letters in a signature's caption, German names everywhere, syllables never.
    void labelsFollowTheNaming_data()
    {
        QTest::addColumn<NoteNaming>("naming");
        QTest::addColumn<QString>("flatLabel");
        QTest::addColumn<QString>("chordLabel");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("minorKey");
        QTest::newRow("letters") << Letters << QStringLiteral("B\u266D4")
                                 << QStringLiteral("Bmaj inv1\n(oct 4)")
                                 << QStringLiteral("F\u266F / d\u266F") << QStringLiteral("D\u266F");
        QTest::newRow("german") << German << QStringLiteral("B4") << QStringLiteral("Hmaj inv1\n(oct 4)")
                                << QStringLiteral("Fis / dis") << QStringLiteral("dis");
        QTest::newRow("solfege") << Solfege << QStringLiteral("Si\u266D4")
                                 << QStringLiteral("Simaj inv1\n(oct 4)")
                                 << QStringLiteral("Fa\u266F / Re\u266F") << QStringLiteral("Re\u266F");
    }
    void labelsFollowTheNaming()
    {
        QFETCH(NoteNaming, naming);
        setNoteNaming(naming);
        QTEST(MusicTables::NoteLabel(49, true), "flatLabel");
        QTEST(MusicTables::ChordLabel(0, 50, 1), "chordLabel");
        const SignatureKeys sixSharps = signatureKeys(6);
        QTEST(signatureCaption(sixSharps), "caption");
        QTEST(keyName(sixSharps.minor, true), "minorKey");
        QCOMPARE(keyName(sixSharps.major, false), displayName(sixSharps.major));
    }

    // German names carry their accidentals, so no sign is drawn after them; letters and
    // syllables are written bare, with the music font's sign after them.
    void scoreLettersFollowTheNaming_data()
    {
        QTest::addColumn<NoteNaming>("naming");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<bool>>("signs");
        QTest::newRow("letters") << Letters << QStringList{"C", "B", "B"} << QList<bool>{true, true, false};
        QTest::newRow("german") << German << QStringList{"Cis", "B", "H"} << QList<bool>{false, false, false};
        QTest::newRow("solfege") << Solfege << QStringList{"Do", "Si", "Si"}
                                 << QList<bool>{true, true, false};
    }
    void scoreLettersFollowTheNaming()
    {
        QFETCH(NoteNaming, naming);
        setNoteNaming(naming);
        Notation::ScoreDocument document;
        QVERIFY(document.SetGmnCode("[ c#1 b&1 b1 ]"));
        const UI::NoteLetters letters(10.0);
        const std::vector<UI::NoteLetters::Letter> placed =
            letters.place(document, 0, QRectF(0, 0, 800, 400), 10.0, Qt::black);
        QStringList texts;
        QList<bool> signs;
        for (const UI::NoteLetters::Letter& letter : placed) {
            texts << letter.text;
            signs << letter.hasAccidental;
        }
        QTEST(texts, "texts");
        QTEST(signs, "signs");
    }

    void namingComesFromTheTranslation_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<NoteNaming>("naming");
        QTest::newRow("german") << QStringLiteral("german") << German;
        QTest::newRow("solfege, loosely written") << QStringLiteral(" Solfege\n") << Solfege;
        QTest::newRow("letters") << QStringLiteral("letters") << Letters;
        QTest::newRow("untranslated") << QString() << Letters;
        QTest::newRow("unknown word") << QStringLiteral("Deutsch") << Letters;
    }
    void namingComesFromTheTranslation()
    {
        QFETCH(QString, answer);
        NamingTranslation translation(answer);
        QVERIFY(QCoreApplication::installTranslator(&translation));
        const NoteNaming naming = translatedNoteNaming();
        QCoreApplication::removeTranslator(&translation);
        QTEST(naming, "naming");
        QCOMPARE(translatedNoteNaming(), Letters);
    }
};

QTEST_MAIN(TestNoteNames)
#include "test_note_names.moc"
