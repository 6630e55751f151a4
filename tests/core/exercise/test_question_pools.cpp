// Question numbering, settings rules and the draw: the nine validators at their edges, pool
// sizes and first ids, labels and their error texts, the providers, and the weighted draw with
// its six candidates.

#include "core/exercise/chord_provider.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_generator.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/question_scale_data.h"
#include "core/exercise/question_validators.h"
#include "core/exercise/root_note_provider.h"
#include "core/exercise/tempo_provider.h"
#include "core/midi/midi_bank.h"

#include <QTemporaryDir>
#include <QtTest>

#include <set>

using namespace Core;

namespace {

NotesDiapason Diapason(int lo, int hi, bool white, bool black)
{
    NotesDiapason d;
    d.minimum = lo;
    d.maximum = hi;
    d.whiteKeys = white;
    d.blackKeys = black;
    return d;
}

QList<int> Permitted(const NotesDiapason& d)
{
    QList<int> keys;
    for (unsigned key = 0; key < 88; ++key)
        if (ValidateNoteQuestion(key, &d))
            keys << int(key);
    return keys;
}

class ListValidator : public QValidator
{
public:
    explicit ListValidator(std::set<unsigned> ids) : valid(std::move(ids)) {}
    bool Validate(unsigned id) override { return valid.count(id) > 0; }
    std::set<unsigned> valid;
};

} // namespace

class TestQuestionPools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noteRule_data()
    {
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("hi");
        QTest::addColumn<bool>("white");
        QTest::addColumn<bool>("black");
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("C4 white only") << 39 << 40 << true << false << QList<int>{39};
        QTest::newRow("C4 black only widens up") << 39 << 40 << false << true << QList<int>{40};
        QTest::newRow("F4 black only") << 44 << 45 << false << true << QList<int>{45};
        QTest::newRow("black just below belongs")
            << 41 << 46 << true << true << QList<int>{40, 41, 42, 43, 44, 45};
        QTest::newRow("top black only widens down") << 88 << 88 << false << true << QList<int>{85};
        QTest::newRow("C4-C5 excludes maximum")
            << 39 << 51 << true << false << QList<int>{39, 41, 43, 44, 46, 48, 50};
        QTest::newRow("nothing on") << 0 << 88 << false << false << QList<int>{};
        QTest::newRow("lowest keys") << 0 << 2 << true << true << QList<int>{0, 1};
    }
    void noteRule()
    {
        QFETCH(int, lo);
        QFETCH(int, hi);
        QFETCH(bool, white);
        QFETCH(bool, black);
        QTEST(Permitted(Diapason(lo, hi, white, black)), "keys");
        QVERIFY(!ValidateNoteQuestion(200, nullptr));
    }

    // Only minor thirds; only the lower key is held to the diapason.
    void intervalRule()
    {
        IntervalSettings s;
        s.intervalStart = 3;
        s.intervalEnd = 3;
        s.diapason = Diapason(39, 40, true, false);
        QList<int> ids;
        for (unsigned id = 0; id < 1200; ++id)
            if (ValidateIntervalQuestion(id, &s))
                ids << int(id);
        QCOMPARE(ids, QList<int>{MusicTables::IntervalFirstId(3) + 39});
        const auto& entry = dynamic_cast<const QuestionChordData&>(*GetIntervalPool().at(size_t(ids[0])));
        QCOMPARE(entry.type, 3);
        QCOMPARE(entry.rootKey, 39);
        QCOMPARE(entry.keys, (std::vector<int>{39, 42}));
        s.intervalStart = 0;
        s.intervalEnd = 12;
        s.diapason = Diapason(87, 88, true, true);
        QVERIFY(ValidateIntervalQuestion(87, &s));    // unison on C8
        QVERIFY(!ValidateIntervalQuestion(1066, &s)); // beyond the pool
    }

    void chordRule()
    {
        ChordSettings s;
        s.SetAll(false);
        s[ChordSwitch::Diminished] = true;
        s.diapason = Diapason(39, 40, true, false);
        std::vector<int> ids;
        for (unsigned id = 0; id < unsigned(GetChordPool().size()) + 10; ++id)
            if (ValidateChordQuestion(id, &s))
                ids.push_back(int(id));
        QCOMPARE(int(ids.size()), 1);
        const auto& chord = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(size_t(ids[0])));
        QCOMPARE(chord.type, 16);
        QCOMPARE(chord.inversion, 0);
        QCOMPARE(chord.rootKey, 39);
        s[ChordSwitch::FirstInversion] = true;
        s[ChordSwitch::SecondInversion] = true;
        int count = 0;
        for (unsigned id = 0; id < unsigned(GetChordPool().size()); ++id)
            if (ValidateChordQuestion(id, &s)) {
                const auto& c = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(id));
                QCOMPARE(c.type, 16);
                QCOMPARE(c.rootKey, 39);
                ++count;
            }
        QCOMPARE(count, 3);
    }

    void scaleTempoAndSymbolRules()
    {
        ScalesSettings scales;
        scales.SetAll(false);
        scales[ScaleSwitch::MelodicMin] = true;
        scales.diapason = Diapason(0, 88, true, true);
        QVERIFY(ValidateScaleQuestion(3 * 76 + 39, &scales));
        QVERIFY(!ValidateScaleQuestion(2 * 76 + 39, &scales));
        QVERIFY(!ValidateScaleQuestion(760, &scales));

        TempoSettings tempo;
        tempo.SetAll(false);
        tempo[TempoSwitch::Prestissimo] = true;
        for (unsigned id = 0; id < 7 * 64 + 64; ++id)
            QVERIFY(!ValidateTempoQuestion(id, &tempo));
        tempo[TempoSwitch::Allegro] = true;
        QVERIFY(ValidateTempoQuestion(64, &tempo));
        QVERIFY(ValidateTempoQuestion(127, &tempo));
        QVERIFY(!ValidateTempoQuestion(63, &tempo));

        LengthSettings lengths;
        lengths.SetAll(false);
        lengths[LengthSwitch::Half] = true;
        QVERIFY(ValidateLengthQuestion(2, &lengths));
        QVERIFY(!ValidateLengthQuestion(3, &lengths)); // half rest needs Rests too
        lengths[LengthSwitch::Rests] = true;
        QVERIFY(ValidateLengthQuestion(3, &lengths));
        lengths.SetAll(true);
        QVERIFY(!ValidateLengthQuestion(16, &lengths));

        KeySignaturesSettings keys;
        keys.SetAll(false);
        keys[KeySignatureSwitch::GbMaj] = true;
        QVERIFY(ValidateSignatureQuestion(6, &keys) && ValidateSignatureQuestion(7, &keys));
        keys.SetAll(true);
        keys[KeySignatureSwitch::GbMaj] = false;
        QVERIFY(!ValidateSignatureQuestion(6, &keys) && !ValidateSignatureQuestion(7, &keys));
        QVERIFY(ValidateSignatureQuestion(12, &keys) && !ValidateSignatureQuestion(13, &keys));

        LoudnessSettings loudness;
        loudness.SetAll(false);
        loudness[LoudnessSwitch::Diminuendo] = true;
        QVERIFY(ValidateLoudnessQuestion(10, &loudness) && !ValidateLoudnessQuestion(9, &loudness));
        QVERIFY(!ValidateLoudnessQuestion(11, &loudness));

        NoteModifiersSettings modifiers;
        modifiers.SetAll(false);
        modifiers[NoteModifierSwitch::Acciaccatura] = true;
        modifiers[NoteModifierSwitch::Stacatto] = true;
        QVERIFY(ValidateModifiersQuestion(23, &modifiers) && ValidateModifiersQuestion(0, &modifiers));
        QVERIFY(!ValidateModifiersQuestion(1, &modifiers) && !ValidateModifiersQuestion(24, &modifiers));

        // Through the validator objects the trainers use.
        ModifiersValidator validator(&modifiers);
        QVERIFY(validator.Validate(23));
        QVERIFY(!validator.Validate(22));
    }

    void poolSizes()
    {
        QCOMPARE(int(GetNotePool().size()), 88);
        QCOMPARE(int(GetIntervalPool().size()), 1066);
        QCOMPARE(MusicTables::IntervalFirstId(13), 1066);
        QCOMPARE(MusicTables::IntervalFirstId(1), 88);
        QCOMPARE(MusicTables::IntervalFirstId(3), 88 + 87 + 86);
        QCOMPARE(int(GetScalePool().size()), 760);
        QCOMPARE(int(GetChordPool().size()), 1427 + 1368 + 1304);
        // The first first-inversion chord follows every root-position entry.
        const auto& first = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(1427));
        QCOMPARE(first.inversion, 1);
        QCOMPARE(first.type, 0);
        QCOMPARE(first.rootKey, 0);
        const auto& last = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(1426));
        QCOMPARE(last.inversion, 0);
        QCOMPARE(last.type, 17);
        QCOMPARE(last.rootKey, 78);
        for (const auto& entry : GetChordPool()) {
            const auto& chord = dynamic_cast<const QuestionChordData&>(*entry);
            QVERIFY(chord.keys.back() <= 87);
            QCOMPARE(chord.stream->size(), int(chord.keys.size()));
        }
        for (size_t id = 0; id < GetScalePool().size(); ++id)
            QCOMPARE(GetScalePool()[id]->statisticsKey, int(id));
        // The note entries sound their MIDI note at velocity 96.
        const MidiEvent on = GetNotePool().at(39)->stream->at(0);
        QCOMPARE(int(on.message.status), 0x90);
        QCOMPARE(int(on.message.byte1), 60);
        QCOMPARE(int(on.message.byte2), 96);
    }

    void melodicMinorDescending()
    {
        const auto& scale = dynamic_cast<const QuestionScaleData&>(*GetScalePool().at(3 * 76 + 39));
        QCOMPARE(scale.descendingKeys, (std::vector<int>{51, 49, 47, 46, 44, 42, 41, 39}));
        QCOMPARE(scale.ascendingKeys, (std::vector<int>{39, 41, 42, 44, 46, 48, 50, 51}));
        QCOMPARE(scale.caption2, QString::fromUtf8("C4 Melodic m"));
    }

    void labels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dim") << MusicTables::ChordLabel(16, 39, 0) << QString::fromUtf8("Cdim\n(oct 4)");
        QTest::newRow("inv2") << MusicTables::ChordLabel(0, 40, 2)
                              << QString::fromUtf8("C\u266Fmaj inv2\n(oct 4)");
        QTest::newRow("chord error") << MusicTables::ChordLabel(18, 40, 0) << QStringLiteral("chord error");
        QTest::newRow("dim7 suffix") << MusicTables::ChordSuffix(17) << QStringLiteral("dim7");
        QTest::newRow("suffix error") << MusicTables::ChordSuffix(-1) << QStringLiteral("chord error");
        QTest::newRow("octave on A0")
            << MusicTables::IntervalLabel(12, 0, false) << QStringLiteral("A0 Perfect octave");
        QTest::newRow("interval error")
            << MusicTables::IntervalLabel(13, 0, false) << QStringLiteral("interval error");
        QTest::newRow("interval name error")
            << MusicTables::IntervalName(13) << QStringLiteral("interval error");
        QTest::newRow("note error") << MusicTables::NoteName(12, false) << QStringLiteral("note error");
        QTest::newRow("flat") << MusicTables::NoteName(10, true) << QString::fromUtf8("B\u266D");
        QTest::newRow("middle C") << MusicTables::NoteLabel(39, false) << QStringLiteral("C4");
        QTest::newRow("B0") << MusicTables::NoteLabel(2, false) << QStringLiteral("B0");
        QTest::newRow("C8") << MusicTables::NoteLabel(87, false) << QStringLiteral("C8");
        QTest::newRow("scale") << MusicTables::ScaleLabel(0, 39, false) << QStringLiteral("C4 Major");
        QTest::newRow("scale error") << MusicTables::ScaleLabel(10, 39, false)
                                     << QStringLiteral("scale error");
        QTest::newRow("scale name error") << MusicTables::ScaleName(10) << QStringLiteral("scale error");
        QTest::newRow("tempo") << MusicTables::TempoName(3) << QStringLiteral("Largo");
        QTest::newRow("tempo picture")
            << MusicTables::TempoPicture(5) << QStringLiteral(":/pixmap/exercise/presto.png");
    }
    void labels()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void tempoNumbersAndPool()
    {
        QCOMPARE(MusicTables::TempoNumbers(0), (std::array<int, 3>{70, 60, 80}));
        int calls = 0;
        auto pool = BuildTempoPool([&](int tempo) {
            ++calls;
            std::vector<std::shared_ptr<MidiStream>> pieces;
            if (tempo == 1)
                pieces = {std::make_shared<MidiStream>(), std::make_shared<MidiStream>()};
            return pieces;
        });
        QCOMPARE(calls, 7);
        QCOMPARE(int(pool.size()), 8); // two allegro pieces, one made-up entry for each other tempo
        QCOMPARE(pool[0].id, 0u);
        QCOMPARE(pool[1].id, 64u);
        QCOMPARE(pool[2].id, 65u);
        QCOMPARE(pool[3].id, 128u);
        // The made-up adagio entry: eleven notes 77..87 at 70 bpm.
        const MidiStream& made = *pool[0].data->stream;
        int ons = 0;
        for (const MidiEvent& e : made)
            if (e.message.IsNoteOn())
                QCOMPARE(int(e.message.byte1), 77 + ons++);
        QCOMPARE(ons, 11);
        QVERIFY(qAbs(made.last().seconds - 10 * 60.0 / 70) < 1e-9);
        QCOMPARE(pool[0].data->caption2, QStringLiteral("Adagio"));
    }

    // The tempo pool over the compiled-in pieces: one entry per piece, numbered within its tempo.
    void tempoPoolFromBank()
    {
        Q_INIT_RESOURCE(midi_pieces);
        const auto pool = BuildTempoPool(PiecesOf(std::make_shared<MidiBank>()));
        QCOMPARE(int(pool.size()), 38);
        int vivace = 0;
        for (const TempoEntry& entry : pool) {
            QVERIFY(entry.data->stream && !entry.data->stream->isEmpty());
            QCOMPARE(entry.data->statisticsKey, int(entry.id));
            QVERIFY(ValidateTempoQuestion(entry.id, nullptr) == false);
            if (entry.id / 64 == 6) {
                QCOMPARE(entry.id, 6u * 64 + unsigned(vivace));
                QCOMPARE(entry.data->caption2, QStringLiteral("Vivace"));
                ++vivace;
            }
        }
        QCOMPARE(vivace, 6);
        // A bank whose folder holds nothing gives one made-up entry per tempo.
        QTemporaryDir empty;
        QCOMPARE(int(BuildTempoPool(PiecesOf(std::make_shared<MidiBank>(empty.path() + "/"))).size()), 7);
    }

    void providers()
    {
        QVERIFY(TempoProvider::Instance().IsSameAnswer(65, 127));
        QVERIFY(!TempoProvider::Instance().IsSameAnswer(63, 64));
        unsigned candidate = 5;
        QVERIFY(!TempoProvider::Instance().ProvideVariant(64, candidate));
        QCOMPARE(candidate, 5u);
        // Chord variants stand on the asked chord's lowest key.
        const unsigned asked = 1427 + 39; // first inversion major triad on C4: lowest key E4
        for (int i = 0; i < 50; ++i) {
            unsigned variant = 0;
            QVERIFY(ChordProvider::Instance().ProvideVariant(asked, variant));
            const auto& chord = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(variant));
            QCOMPARE(chord.rootKey, 43);
        }
        for (int i = 0; i < 50; ++i) {
            unsigned variant = 0;
            QVERIFY(
                RootNoteProvider::Intervals().ProvideVariant(MusicTables::IntervalFirstId(4) + 10, variant));
            QCOMPARE(dynamic_cast<const QuestionChordData&>(*GetIntervalPool().at(variant)).rootKey, 10);
        }
        unsigned variant = 0;
        QVERIFY(!RootNoteProvider::Intervals().ProvideVariant(87, variant)); // only the unison on C8
    }

    // Without statistics the draw is uniform over the valid ids; with them 200 / 50 / 100.
    void weightedDraw()
    {
        ListValidator validator({3, 7, 11});
        QuestionGenerator generator(20, &validator, nullptr);
        std::vector<StatisticsRecord> records(2);
        records[0].id = 3;
        records[0].wrong = 5;
        records[0].correct = 1; // 200
        records[1].id = 7;
        records[1].wrong = 1;
        records[1].correct = 10; // 50; id 11 has none: 100
        QCOMPARE(generator.Prepare(records), 3);
        std::srand(7);
        std::map<unsigned, int> counts;
        const int draws = 35000;
        for (int i = 0; i < draws; ++i)
            ++counts[generator.Draw()];
        QCOMPARE(int(counts.size()), 3);
        QVERIFY2(qAbs(counts[3] - 20000) < 600, qPrintable(QString::number(counts[3])));
        QVERIFY2(qAbs(counts[7] - 5000) < 400, qPrintable(QString::number(counts[7])));
        QVERIFY2(qAbs(counts[11] - 10000) < 500, qPrintable(QString::number(counts[11])));
        ListValidator none({});
        QuestionGenerator empty(20, &none, nullptr);
        QCOMPARE(empty.Prepare({}), 0);
    }

    void sixCandidates_data()
    {
        QTest::addColumn<int>("pool");
        QTest::addColumn<int>("provider"); // 0 none, 1 chords, 2 tempo
        QTest::addColumn<int>("expected");
        QTest::newRow("chords, no provider") << int(GetChordPool().size()) << 0 << 6;
        QTest::newRow("chords with variants") << int(GetChordPool().size()) << 1 << 6;
        QTest::newRow("six entries") << 6 << 0 << 6;
        QTest::newRow("tempo: one per tempo") << 7 * 64 << 2 << 6;
        QTest::newRow("three entries") << 3 << 0 << 3;
    }
    void sixCandidates()
    {
        QFETCH(int, pool);
        QFETCH(int, provider);
        const QVariantProvider* variants = nullptr;
        if (provider == 1)
            variants = &ChordProvider::Instance();
        else if (provider == 2)
            variants = &TempoProvider::Instance();
        std::set<unsigned> valid;
        for (unsigned id = 0; id < unsigned(pool); id += 3)
            valid.insert(id);
        ListValidator validator(valid);
        QuestionGenerator generator(unsigned(pool), &validator, variants);
        QVERIFY(generator.Prepare({}) > 0);
        std::vector<unsigned> ids;
        for (int i = 0; i < 3000; ++i) {
            const unsigned drawn = generator.Draw();
            QVERIFY(valid.count(drawn));
            const int position = generator.BuildChoices(drawn, ids);
            QTEST(int(ids.size()), "expected");
            QCOMPARE(ids[size_t(position)], drawn);
            for (size_t a = 0; a < ids.size(); ++a)
                for (size_t b = a + 1; b < ids.size(); ++b)
                    QVERIFY(!generator.IsSameAnswer(ids[a], ids[b]));
        }
    }
};

QTEST_GUILESS_MAIN(TestQuestionPools)
#include "test_question_pools.moc"
