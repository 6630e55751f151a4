// The 38 tempo pieces compiled into ":/midi/": exactly the catalogue's file names, each a
// Standard MIDI File that passes the file check and loads with libsmf, plays the piano on
// channel 0 from its first event, lasts 8 to 20 seconds, and keeps its beat inside the range of
// its tempo marking throughout its tempo map. The Ecossaise transcribed from its first edition
// is read back note by note in its first bar.

#include "core/midi/midi_file_validator.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtTest>

#include <smf.h>

#include <algorithm>
#include <cmath>

namespace {

struct Marking
{
    const char* prefix;
    double low;
    double high;
};

// Beats a minute of each marking, as the ear trainer describes them.
const Marking markings[] = {{"adagio", 66, 76},  {"allegro", 120, 139},  {"andante", 76, 108},
                            {"largo", 40, 60},   {"moderato", 101, 110}, {"presto", 168, 200},
                            {"vivace", 130, 155}};

const char* const catalogue[] = {"adagio_bps-26-1.mid",
                                 "adagio_hay-p33b.mid",
                                 "adagio_hay-p34b.mid",
                                 "adagio_mozk332b.mid",
                                 "adagio_othayd2.mid",
                                 "Allegro_clem36.1.mid",
                                 "Allegro_gershwin.Prelude 1.mid",
                                 "Allegro_gershwin.Prelude 3.mid",
                                 "allegro_greig.Elves' Dance.mid",
                                 "allegro_Imprompt Fantastique.mid",
                                 "andante_bartok.Ten Easy Piano Pieces Hungarian Folksong Mov.8.mid",
                                 "andante_beet33.1.mid",
                                 "andante_beet33.4.mid",
                                 "andante_faure,Romance sans paroles.mid",
                                 "andante_greig.Watchmans' Song.mid",
                                 "andante_grieg.Little Bird.mid",
                                 "largo_beet10.3.2.mid",
                                 "largo_chop28.20(2).mid",
                                 "largo_chop28.4(1).mid",
                                 "largo_chop28.6(1).mid",
                                 "largo_chop58.3.mid",
                                 "moderato.cram.34.mid",
                                 "moderato_bartok.fing.mid",
                                 "moderato_beet.51.mid",
                                 "moderato_cram.7.mid",
                                 "moderato_ginast.1.4.mid",
                                 "presto_beeth10.3.1.mid",
                                 "presto_chop.25.2.mid",
                                 "presto_chop58.4.mid",
                                 "presto_hay31.3.mid",
                                 "presto_hay32.3.mid",
                                 "presto_hay37.1.mid",
                                 "vivace_chop10.7.mid",
                                 "vivace_cram.Studies for Piano No.5.mid",
                                 "vivace_grieg,cobold.mid",
                                 "vivace_hay.34.3.mid",
                                 "vivace_heller.Melody No.7, Opus.46.mid",
                                 "vivace_chop.Ecossaise No.2 in G.mid"};

// Pieces whose metre is counted in another beat than the usual one for its time signature:
// slow compound metres in eighths, and fast alla breve or 6/8 passages in their smaller beat.
// Values are MIDI clocks per click (24 = quarter).
const QHash<QString, int>& BeatExceptions()
{
    static const QHash<QString, int> table = {
        {"largo_beet10.3.2.mid", 12},              // 6/8 Largo e mesto, counted in eighths
        {"largo_chop28.4(1).mid", 24},             // alla breve Largo, counted in quarters
        {"presto_chop.25.2.mid", 24},              // alla breve, counted in quarters
        {"presto_chop58.4.mid", 24},               // 6/8 at dotted-quarter 112, counted in quarters
        {"vivace_chop10.7.mid", 24},               // 6/8 at the composer's dotted-quarter 84, in quarters
        {"andante_greig.Watchmans' Song.mid", 24}, // alla breve Molto andante, in quarters
        {"vivace_grieg,cobold.mid", 24},           // alla breve Allegro molto, in quarters
    };
    return table;
}

int UsualBeatClocks(int numerator, int denominator)
{
    if (denominator == 8 && (numerator == 6 || numerator == 9 || numerator == 12))
        return 36;
    if (denominator == 2 && numerator == 2)
        return 48;
    return 24;
}

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

struct NoteOn
{
    double quarters; // onset from the start of the file
    int key;
};

// Every sounding note-on of a compiled piece, in file order.
QVector<NoteOn> NoteOns(const QString& name)
{
    QVector<NoteOn> notes;
    QFile file(QStringLiteral(":/midi/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return notes;
    const QByteArray bytes = file.readAll();
    smf_t* smf = smf_load_from_memory(bytes.constData(), bytes.size());
    if (smf == nullptr)
        return notes;
    while (smf_event_t* event = smf_get_next_event(smf)) {
        if (!smf_event_is_metadata(event) && (event->midi_buffer[0] & 0xF0) == 0x90 &&
            event->midi_buffer[2] > 0)
            notes.append({double(event->time_pulses) / smf->ppqn, event->midi_buffer[1]});
    }
    smf_delete(smf);
    return notes;
}

} // namespace

class TestTempoPieces : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        g_log_set_default_handler(IgnoreLog, nullptr);
    }

    void folderHoldsExactlyTheCatalogue()
    {
        QSet<QString> expected;
        for (const char* name : catalogue)
            expected.insert(QString::fromUtf8(name));
        QCOMPARE(expected.size(), 38);
        const QStringList listed = QDir(QStringLiteral(":/midi/")).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(listed.begin(), listed.end()), expected);
    }

    void piece_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : catalogue)
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void piece()
    {
        QFETCH(QString, name);
        const Marking* marking = nullptr;
        for (const Marking& candidate : markings) {
            if (name.startsWith(QLatin1String(candidate.prefix), Qt::CaseInsensitive))
                marking = &candidate;
        }
        QVERIFY(marking != nullptr);

        QFile file(QStringLiteral(":/midi/") + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const Core::MidiFileValidator::Result check = Core::MidiFileValidator::Check(bytes);
        QVERIFY2(check.valid, qPrintable(check.reason));

        smf_t* smf = smf_load_from_memory(bytes.constData(), bytes.size());
        QVERIFY(smf != nullptr);
        const std::unique_ptr<smf_t, void (*)(smf_t*)> owner(smf, smf_delete);
        QVERIFY(smf->format == 0 || smf->format == 1);
        QVERIFY(smf->ppqn == 384 || smf->ppqn == 480);

        // Channel 0 throughout, piano chosen by the first channel event, at the start.
        bool first = true;
        int notes = 0;
        double lastSeconds = 0;
        QSet<int> velocities;
        while (smf_event_t* event = smf_get_next_event(smf)) {
            if (smf_event_is_metadata(event))
                continue;
            const int status = event->midi_buffer[0];
            if (first) {
                QCOMPARE(status, 0xC0);
                QCOMPARE(int(event->midi_buffer[1]), 0);
                QCOMPARE(event->time_pulses, 0);
                first = false;
            }
            QCOMPARE(status & 0x0F, 0);
            if ((status & 0xF0) == 0x90 && event->midi_buffer[2] > 0) {
                ++notes;
                velocities.insert(event->midi_buffer[2]);
            }
            lastSeconds = event->time_seconds;
        }
        QVERIFY(!first);
        QVERIFY2(notes >= 20, qPrintable(QString::number(notes)));
        QVERIFY2(velocities.size() >= 2, "no dynamics");
        QVERIFY2(lastSeconds >= 8.0 && lastSeconds <= 20.0, qPrintable(QString::number(lastSeconds)));

        // Beat rate of every entry of the tempo map.
        QVERIFY(smf_get_tempo_by_number(smf, 0) != nullptr);
        for (int index = 0; smf_tempo_t* tempo = smf_get_tempo_by_number(smf, index); ++index) {
            const int expectedClocks =
                BeatExceptions().value(name, UsualBeatClocks(tempo->numerator, tempo->denominator));
            QCOMPARE(tempo->clocks_per_click, expectedClocks);
            const double quartersPerMinute = 60000000.0 / tempo->microseconds_per_quarter_note;
            const double beatsPerMinute = quartersPerMinute * 24.0 / tempo->clocks_per_click;
            QVERIFY2(beatsPerMinute >= marking->low - 0.5 && beatsPerMinute <= marking->high + 0.5,
                     qPrintable(QStringLiteral("%1 beats a minute").arg(beatsPerMinute)));
        }
    }

    // Bar 1 of the Ecossaise in G op. 72 no. 3/2 as the first edition (Schlesinger) prints it:
    // both hands' MIDI keys starting in each stretch of the bar, in crotchets from the bar line.
    // The stretches cover the whole bar, so a note added, dropped or moved shows up.
    void ecossaiseFirstBar_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("1: G2, triplet D5") << 0.0 << 1.0 / 6 << QList<int>{43, 74};
        QTest::newRow("1, triplet E5") << 1.0 / 6 << 2.0 / 6 << QList<int>{76};
        QTest::newRow("1, triplet D5") << 2.0 / 6 << 0.5 << QList<int>{74};
        QTest::newRow("1 and: D3 B3, B5") << 0.5 << 1.0 << QList<int>{50, 59, 83};
        QTest::newRow("2: D#3, triplet C5") << 1.0 << 7.0 / 6 << QList<int>{51, 72};
        QTest::newRow("2, triplet D5") << 7.0 / 6 << 8.0 / 6 << QList<int>{74};
        QTest::newRow("2, triplet C5") << 8.0 / 6 << 1.5 << QList<int>{72};
        QTest::newRow("2 and: F#3 C4, A5") << 1.5 << 2.0 << QList<int>{54, 60, 81};
    }
    void ecossaiseFirstBar()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QList<int>, keys);
        const double upbeat = 0.5; // the right hand's two semiquavers B4 C5
        const QVector<NoteOn> notes = NoteOns(QStringLiteral("vivace_chop.Ecossaise No.2 in G.mid"));
        QVERIFY(!notes.isEmpty());
        QList<int> found;
        for (const NoteOn& note : notes) {
            const double onset = note.quarters - upbeat;
            if (onset < from - 1e-6 || onset >= to - 1e-6)
                continue;
            QVERIFY2(std::abs(onset - from) < 1e-6,
                     qPrintable(QStringLiteral("key %1 at %2").arg(note.key).arg(onset)));
            found.append(note.key);
        }
        std::sort(found.begin(), found.end());
        QCOMPARE(found, keys);
    }
};

QTEST_GUILESS_MAIN(TestTempoPieces)
#include "test_tempo_pieces.moc"
