// Question numbering, settings rules and the draw: the validators at their edges, the ids the
// statistics files keep, labels and their error texts, the tempo pool, the variants, and the
// weighted draw with its six candidates.

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

QList<int> Permitted(const NotesDiapason& d)
{
    QList<int> keys;
    for (unsigned key = 0; key < 88; ++key)
        if (ValidateNoteQuestion(key, &d))
            keys << int(key);
    return keys;
}

class ListValidator : public QuestionValidator
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
    // Black keys count with the white key above them, and the maximum is left out.
    void noteRangeAndKeyColours_data()
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
    void noteRangeAndKeyColours()
    {
        QFETCH(int, lo);
        QFETCH(int, hi);
        QFETCH(bool, white);
        QFETCH(bool, black);
        QTEST(Permitted({lo, hi, white, black}), "keys");
    }

    // Only minor thirds; only the lower key is held to the range.
    void intervalRangeHoldsTheLowerKey()
    {
        IntervalSettings s;
        s.intervalStart = 3;
        s.intervalEnd = 3;
        s.diapason = {39, 40, true, false};
        QList<int> ids;
        for (unsigned id = 0; id <= GetIntervalPool().size(); ++id)
            if (ValidateIntervalQuestion(id, &s))
                ids << int(id);
        QCOMPARE(ids.size(), 1);
        QCOMPARE(dynamic_cast<const QuestionChordData&>(*GetIntervalPool().at(size_t(ids[0]))).keys,
                 (std::vector<int>{39, 42}));
        s.intervalStart = 0;
        s.intervalEnd = 12;
        s.diapason = {87, 88, true, true};
        QVERIFY(ValidateIntervalQuestion(87, &s));    // unison on C8
        QVERIFY(!ValidateIntervalQuestion(1066, &s)); // one past the pool
    }

    void chordSwitchesAndInversions()
    {
        ChordSettings s;
        s.SetAll(false);
        s[ChordSwitch::Diminished] = true;
        s.diapason = {39, 40, true, false};
        auto permitted = [&s] {
            std::vector<std::pair<int, int>> chords; // type, inversion; root C4 for all
            for (unsigned id = 0; id <= GetChordPool().size(); ++id)
                if (ValidateChordQuestion(id, &s)) {
                    const auto& c = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(id));
                    if (c.rootKey == 39)
                        chords.emplace_back(c.type, c.inversion);
                    else
                        chords.emplace_back(-1, -1);
                }
            return chords;
        };
        QCOMPARE(permitted(), (std::vector<std::pair<int, int>>{{16, 0}}));
        s[ChordSwitch::FirstInversion] = true;
        s[ChordSwitch::SecondInversion] = true;
        QCOMPARE(permitted(), (std::vector<std::pair<int, int>>{{16, 0}, {16, 1}, {16, 2}}));
    }

    // Each kind switched off is never asked, and ids one past each table are refused.
    void switchedOffKindsAreNeverAsked()
    {
        QVERIFY(!ValidateNoteQuestion(88, nullptr));
        ScalesSettings scales;
        scales.SetAll(false);
        scales[ScaleSwitch::MelodicMin] = true;
        scales.diapason = {0, 88, true, true};
        QVERIFY(ValidateScaleQuestion(3 * 76 + 39, &scales));
        QVERIFY(!ValidateScaleQuestion(2 * 76 + 39, &scales));
        QVERIFY(!ValidateScaleQuestion(760, &scales));

        TempoSettings tempo;
        tempo.SetAll(false);
        tempo[TempoSwitch::Prestissimo] = true; // no pieces of its own
        for (unsigned id = 0; id < 8 * 64; ++id)
            QVERIFY(!ValidateTempoQuestion(id, &tempo));
        tempo[TempoSwitch::Allegro] = true;
        QVERIFY(ValidateTempoQuestion(64, &tempo) && ValidateTempoQuestion(127, &tempo));
        QVERIFY(!ValidateTempoQuestion(63, &tempo) && !ValidateTempoQuestion(128, &tempo));

        // Half rests need the Rests switch too; G flat major is off in both spellings.
        LengthSettings lengths;
        lengths.SetAll(false);
        lengths[LengthSwitch::Half] = true;
        QVERIFY(ValidateLengthQuestion(2, &lengths) && !ValidateLengthQuestion(3, &lengths));
        lengths.SetAll(true);
        QVERIFY(ValidateLengthQuestion(15, &lengths) && !ValidateLengthQuestion(16, &lengths));
        KeySignaturesSettings keys;
        keys.SetAll(true);
        keys[KeySignatureSwitch::GbMaj] = false;
        QVERIFY(!ValidateSignatureQuestion(6, &keys) && !ValidateSignatureQuestion(7, &keys));
        QVERIFY(ValidateSignatureQuestion(12, &keys) && !ValidateSignatureQuestion(13, &keys));

        LoudnessSettings loudness;
        loudness.SetAll(false);
        loudness[LoudnessSwitch::Diminuendo] = true;
        QVERIFY(ValidateLoudnessQuestion(10, &loudness) && !ValidateLoudnessQuestion(9, &loudness));
        QVERIFY(!ValidateLoudnessQuestion(11, &loudness));

        // Through the validator object the trainer uses.
        NoteModifiersSettings modifiers;
        modifiers.SetAll(false);
        modifiers[NoteModifierSwitch::Acciaccatura] = true;
        modifiers[NoteModifierSwitch::Stacatto] = true;
        ModifiersValidator validator(&modifiers);
        QVERIFY(validator.Validate(23) && validator.Validate(0));
        QVERIFY(!validator.Validate(1) && !validator.Validate(22) && !validator.Validate(24));
    }

    // The ids are what the statistics files store: each pool keeps its size and order.
    void statisticsIdsStayPut()
    {
        QCOMPARE(int(GetNotePool().size()), 88);
        QCOMPARE(int(GetIntervalPool().size()), 1066);
        QCOMPARE(MusicTables::IntervalFirstId(3), 88 + 87 + 86);
        QCOMPARE(int(GetScalePool().size()), 760);
        QCOMPARE(int(GetChordPool().size()), 1427 + 1368 + 1304);
        // The last root-position chord, then the first inversions from the bottom again.
        const auto& last = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(1426));
        QCOMPARE(std::make_tuple(last.type, last.inversion, last.rootKey), std::make_tuple(17, 0, 78));
        const auto& first = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(1427));
        QCOMPARE(std::make_tuple(first.type, first.inversion, first.rootKey), std::make_tuple(0, 1, 0));
        for (const auto& entry : GetChordPool()) {
            const auto& chord = dynamic_cast<const QuestionChordData&>(*entry);
            QVERIFY(chord.keys.back() <= 87);
            QCOMPARE(chord.stream->size(), int(chord.keys.size()));
        }
        for (size_t id = 0; id < GetScalePool().size(); ++id)
            QCOMPARE(GetScalePool()[id]->statisticsKey, int(id));
        // Middle C sounds MIDI note 60.
        QCOMPARE(int(GetNotePool().at(39)->stream->at(0).message.byte1), 60);
    }

    // Down the way up in reverse, but with the seventh and the sixth a semitone lower.
    void melodicMinorDescendsNatural()
    {
        const auto& scale = dynamic_cast<const QuestionScaleData&>(*GetScalePool().at(3 * 76 + 39));
        std::vector<int> down(scale.ascendingKeys.rbegin(), scale.ascendingKeys.rend());
        --down.at(1);
        --down.at(2);
        QCOMPARE(scale.descendingKeys, down);
        QCOMPARE(scale.caption2, QString::fromUtf8("C4 Melodic m"));
    }

    // Labels at the ends of their tables, and one past them.
    void labelsAtTheEdges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("inv2") << MusicTables::ChordLabel(0, 40, 2)
                              << QString::fromUtf8("C\u266Fmaj inv2\n(oct 4)");
        QTest::newRow("chord error") << MusicTables::ChordLabel(18, 40, 0) << "chord error";
        QTest::newRow("suffix error") << MusicTables::ChordSuffix(-1) << "chord error";
        QTest::newRow("interval error") << MusicTables::IntervalLabel(13, 0, false) << "interval error";
        QTest::newRow("interval name error") << MusicTables::IntervalName(13) << "interval error";
        QTest::newRow("flat") << MusicTables::NoteName(10, true) << QString::fromUtf8("B\u266D");
        QTest::newRow("note error") << MusicTables::NoteName(12, false) << "note error";
        QTest::newRow("scale error") << MusicTables::ScaleLabel(10, 39, false) << "scale error";
        QTest::newRow("scale name error") << MusicTables::ScaleName(10) << "scale error";
    }
    void labelsAtTheEdges()
    {
        QFETCH(QString, text);
        QTEST(text, "expected");
    }

    // Tempos without pieces get a made-up run of eleven notes at the tempo's speed.
    void tempoPoolFillsTemposWithoutPieces()
    {
        int calls = 0;
        auto pool = BuildTempoPool([&](int tempo) {
            ++calls;
            std::vector<std::shared_ptr<MidiStream>> pieces;
            if (tempo == 1)
                pieces = {std::make_shared<MidiStream>(), std::make_shared<MidiStream>()};
            return pieces;
        });
        QCOMPARE(calls, 7);
        QCOMPARE(int(pool.size()), 8);
        QCOMPARE((std::vector<unsigned>{pool[0].id, pool[1].id, pool[2].id, pool[3].id}),
                 (std::vector<unsigned>{0, 64, 65, 128}));
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

    // Over the compiled-in pieces: one entry per piece, numbered within its tempo.
    void tempoPoolFromBank()
    {
        Q_INIT_RESOURCE(midi_pieces);
        const auto pool = BuildTempoPool(PiecesOf(std::make_shared<MidiBank>()));
        QCOMPARE(int(pool.size()), 38);
        int vivace = 0;
        for (const TempoEntry& entry : pool) {
            QVERIFY(entry.data->stream && !entry.data->stream->isEmpty());
            QCOMPARE(entry.data->statisticsKey, int(entry.id));
            QVERIFY(!ValidateTempoQuestion(entry.id, nullptr));
            if (entry.id / 64 == 6)
                QCOMPARE(entry.id, 6u * 64 + unsigned(vivace++));
        }
        QCOMPARE(vivace, 6);
        // A bank whose folder holds nothing gives one made-up entry per tempo.
        QTemporaryDir empty;
        QCOMPARE(int(BuildTempoPool(PiecesOf(std::make_shared<MidiBank>(empty.path() + "/"))).size()), 7);
    }

    // Variants of a chord stand on the asked chord's lowest key, of an interval on its root.
    void variantsShareTheAskedRoot()
    {
        const unsigned asked = 1427 + 39; // first inversion major triad on C4: lowest key E4
        for (int i = 0; i < 50; ++i) {
            unsigned chord = 0;
            QVERIFY(ChordProvider::Instance().ProvideVariant(asked, chord));
            QCOMPARE(dynamic_cast<const QuestionChordData&>(*GetChordPool().at(chord)).rootKey, 43);
            unsigned interval = 0;
            QVERIFY(
                RootNoteProvider::Intervals().ProvideVariant(MusicTables::IntervalFirstId(4) + 10, interval));
            QCOMPARE(dynamic_cast<const QuestionChordData&>(*GetIntervalPool().at(interval)).rootKey, 10);
        }
        unsigned variant = 5;
        QVERIFY(!RootNoteProvider::Intervals().ProvideVariant(87, variant)); // only the unison on C8
        QVERIFY(!TempoProvider::Instance().ProvideVariant(64, variant));
        QCOMPARE(variant, 5u);
    }

    // Without statistics the draw is uniform over the valid ids; with them 200 / 50 / 100.
    void weightedDraw()
    {
        ListValidator validator({3, 7, 11});
        QuestionGenerator generator(20, &validator, nullptr);
        // Id 3: 5 wrong, 1 right, weight 200; id 7: 1 wrong, 10 right, 50; id 11 none, 100.
        QCOMPARE(generator.Prepare({{3, 0, 0, 1, 5}, {7, 0, 0, 10, 1}}), 3);
        std::srand(7);
        std::map<unsigned, int> counts;
        for (int i = 0; i < 35000; ++i)
            ++counts[generator.Draw()];
        QCOMPARE(int(counts.size()), 3);
        QVERIFY2(qAbs(counts[3] - 20000) < 600, qPrintable(QString::number(counts[3])));
        QVERIFY2(qAbs(counts[7] - 5000) < 400, qPrintable(QString::number(counts[7])));
        QVERIFY2(qAbs(counts[11] - 10000) < 500, qPrintable(QString::number(counts[11])));
        ListValidator none({});
        QCOMPARE(QuestionGenerator(20, &none, nullptr).Prepare({}), 0);
    }

    // Six different answers, the asked one among them, or all there are when fewer.
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
        const AnswerVariantProvider* variants = nullptr;
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
