// Question pools, validators, statistics ids, variants, the weighted draw. (Labels: test_trainers.)

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

#include <QtTest>

#include <set>

using namespace Core;
Q_DECLARE_METATYPE(const AnswerVariantProvider*)

static QList<int> Permitted(const NotesDiapason& d)
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

class TestQuestionPools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Black keys count with the white key above them, and the maximum is left out.
    void noteRangeAndKeyColours_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QList<int>>("expected");
        // Range from, to; white keys, black keys.
        QTest::newRow("C4 white only") << Permitted({39, 40, true, false}) << QList<int>{39};
        QTest::newRow("C4 black only widens up") << Permitted({39, 40, false, true}) << QList<int>{40};
        QTest::newRow("F4 black only") << Permitted({44, 45, false, true}) << QList<int>{45};
        QTest::newRow("black just below belongs")
            << Permitted({41, 46, true, true}) << QList<int>{40, 41, 42, 43, 44, 45};
        QTest::newRow("top black only widens down") << Permitted({88, 88, false, true}) << QList<int>{85};
        QTest::newRow("C4-C5 excludes maximum")
            << Permitted({39, 51, true, false}) << QList<int>{39, 41, 43, 44, 46, 48, 50};
        QTest::newRow("nothing on") << Permitted({0, 88, false, false}) << QList<int>{};
        QTest::newRow("lowest keys") << Permitted({0, 2, true, true}) << QList<int>{0, 1};
    }
    void noteRangeAndKeyColours()
    {
        QFETCH(QList<int>, keys);
        QTEST(keys, "expected");
    }

    // Each kind's validator at its edges: only what is switched on is asked, ids one past each
    // table are refused.
    void validatorsAtTheirEdges()
    {
        // Intervals: only minor thirds, only the lower key held to the range.
        IntervalSettings s{3, 3, {39, 40, true, false}, {}, {}, false};
        QList<int> ids;
        for (unsigned id = 0; id <= GetIntervalPool().size(); ++id)
            if (ValidateIntervalQuestion(id, &s))
                ids << int(id);
        QCOMPARE(ids.size(), 1);
        QCOMPARE(dynamic_cast<const QuestionChordData&>(*GetIntervalPool().at(size_t(ids[0]))).keys,
                 (std::vector<int>{39, 42}));
        s = {0, 12, {87, 88, true, true}, {}, {}, false};
        QVERIFY(ValidateIntervalQuestion(87, &s));    // unison on C8
        QVERIFY(!ValidateIntervalQuestion(1066, &s)); // one past the pool

        // Chords: only the types and inversions switched on.
        ChordSettings c;
        c.SetAll(false);
        c[ChordSwitch::Diminished] = true;
        c.diapason = {39, 40, true, false};
        auto permitted = [&c] {
            std::vector<std::pair<int, int>> chords; // type, inversion; root C4 for all
            for (unsigned id = 0; id <= GetChordPool().size(); ++id)
                if (ValidateChordQuestion(id, &c)) {
                    const auto& chord = dynamic_cast<const QuestionChordData&>(*GetChordPool().at(id));
                    chords.emplace_back(chord.rootKey == 39 ? chord.type : -1, chord.inversion);
                }
            return chords;
        };
        QCOMPARE(permitted(), (std::vector<std::pair<int, int>>{{16, 0}}));
        c[ChordSwitch::FirstInversion] = true;
        c[ChordSwitch::SecondInversion] = true;
        QCOMPARE(permitted(), (std::vector<std::pair<int, int>>{{16, 0}, {16, 1}, {16, 2}}));

        // Notes past the keyboard; scales.
        QVERIFY(!ValidateNoteQuestion(88, nullptr));
        ScalesSettings scales;
        scales.SetAll(false);
        scales[ScaleSwitch::MelodicMin] = true;
        scales.diapason = {0, 88, true, true};
        QVERIFY(ValidateScaleQuestion(3 * 76 + 39, &scales));
        QVERIFY(!ValidateScaleQuestion(2 * 76 + 39, &scales));
        QVERIFY(!ValidateScaleQuestion(760, &scales));
        // Melodic minor: down the way up in reverse, but with the seventh and the sixth a semitone lower.
        const auto& melodic = dynamic_cast<const QuestionScaleData&>(*GetScalePool().at(3 * 76 + 39));
        std::vector<int> down(melodic.ascendingKeys.rbegin(), melodic.ascendingKeys.rend());
        --down.at(1);
        --down.at(2);
        QCOMPARE(melodic.descendingKeys, down);

        TempoSettings tempo;
        tempo.SetAll(false);
        tempo[TempoSwitch::Prestissimo] = true; // no pieces of its own
        for (unsigned id = 0; id < 8 * 64; ++id)
            QVERIFY(!ValidateTempoQuestion(id, &tempo));
        tempo[TempoSwitch::Allegro] = true;
        QVERIFY(ValidateTempoQuestion(64, &tempo) && ValidateTempoQuestion(127, &tempo));
        QVERIFY(!ValidateTempoQuestion(63, &tempo) && !ValidateTempoQuestion(128, &tempo));

        // (Rests and both spellings of G flat major through the trainer: test_trainers.)
        LengthSettings lengths;
        lengths.SetAll(true);
        QVERIFY(ValidateLengthQuestion(15, &lengths) && !ValidateLengthQuestion(16, &lengths));
        KeySignaturesSettings keys;
        keys.SetAll(true);
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

    // The ids are what the statistics files store: each pool keeps its size and order. (The
    // ends of the note, interval and scale pools: at their validators and labels.)
    void statisticsIdsStayPut()
    {
        QCOMPARE(MusicTables::IntervalFirstId(3), 88 + 87 + 86);
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

        // Tempo: one entry per piece, numbered within its tempo; else one made-up entry of 11 notes.
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
        // Pieces for the second tempo only: made-up entries fill the other tempos, ids in order.
        const auto madeUp = BuildTempoPool([](int tempo) {
            return tempo == 1 ? std::vector<std::shared_ptr<MidiStream>>{std::make_shared<MidiStream>(),
                                                                         std::make_shared<MidiStream>()}
                              : std::vector<std::shared_ptr<MidiStream>>{};
        });
        QCOMPARE(int(madeUp.size()), 8);
        QCOMPARE((std::vector<unsigned>{madeUp[0].id, madeUp[1].id, madeUp[2].id, madeUp[3].id}),
                 (std::vector<unsigned>{0, 64, 65, 128}));
        const MidiStream& adagio = *madeUp[0].data->stream; // notes 77..87 at 70 bpm
        int ons = 0;
        for (const MidiEvent& e : adagio)
            if (e.message.IsNoteOn())
                QCOMPARE(int(e.message.byte1), 77 + ons++);
        QCOMPARE(ons, 11);
        QVERIFY(qAbs(adagio.last().seconds - 10 * 60.0 / 70) < 1e-9);
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
        for (auto [id, expected] : {std::pair<unsigned, int>{3, 20000}, {7, 5000}, {11, 10000}})
            QVERIFY2(qAbs(counts[id] - expected) < 400 + expected / 100,
                     qPrintable(QString::number(counts[id])));
        ListValidator none({});
        QCOMPARE(QuestionGenerator(20, &none, nullptr).Prepare({}), 0);
    }

    // Six different answers, the asked one among them, or all there are when fewer.
    void sixCandidates_data()
    {
        QTest::addColumn<int>("pool");
        QTest::addColumn<const AnswerVariantProvider*>("variants");
        QTest::addColumn<int>("expected");
        const AnswerVariantProvider *none = nullptr, *chords = &ChordProvider::Instance(),
                                    *tempo = &TempoProvider::Instance();
        QTest::newRow("chords, no provider") << int(GetChordPool().size()) << none << 6;
        QTest::newRow("chords with variants") << int(GetChordPool().size()) << chords << 6;
        QTest::newRow("six entries") << 6 << none << 6;
        QTest::newRow("tempo: one per tempo") << 7 * 64 << tempo << 6;
        QTest::newRow("three entries") << 3 << none << 3;
    }
    void sixCandidates()
    {
        QFETCH(int, pool);
        QFETCH(const AnswerVariantProvider*, variants);
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
