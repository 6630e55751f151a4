// The tempo pieces compiled into ":/midi/": each a Standard MIDI File that loads with libsmf,
// plays the piano on channel 0 from its first event, lasts 8 to 20 seconds, and keeps the beat it
// declares inside the range that the program's description of its tempo marking tells the
// student, throughout its tempo map. The Ecossaise transcribed from its first edition is read
// back note by note in its first bar.

#include "../common/file_bytes.h"
#include "core/exercise/music_tables.h"
#include "core/midi/midi_bank.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <smf.h>

#include <cmath>

namespace {

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

using Smf = std::unique_ptr<smf_t, void (*)(smf_t*)>;

Smf Load(const QString& name)
{
    const QByteArray bytes = ReadAll(QStringLiteral(":/midi/") + name);
    return Smf(smf_load_from_memory(bytes.constData(), bytes.size()), smf_delete);
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

    void pieceFitsItsMarking_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : QDir(QStringLiteral(":/midi/")).entryList(QDir::Files))
            QTest::newRow(qPrintable(name)) << name;
    }
    void pieceFitsItsMarking()
    {
        QFETCH(QString, name);
        const int tempo = Core::MidiBank::TempoOfFileName(name);
        QVERIFY(name.startsWith(Core::MusicTables::TempoName(tempo), Qt::CaseInsensitive));
        const QRegularExpressionMatch range = QRegularExpression(QStringLiteral("(\\d+)-(\\d+) bpm"))
                                                  .match(Core::MusicTables::TempoDescription(tempo));
        QVERIFY(range.hasMatch());
        const double low = range.captured(1).toDouble(), high = range.captured(2).toDouble();

        const Smf smf = Load(name); // read by the program: test_midi_bank::everyPieceHasOneTempo
        QVERIFY(smf);

        // Channel 0 throughout, piano chosen by the first channel event, at the start.
        bool first = true;
        int notes = 0;
        double lastSeconds = 0;
        QSet<int> velocities;
        while (smf_event_t* event = smf_get_next_event(smf.get())) {
            if (smf_event_is_metadata(event))
                continue;
            const int status = event->midi_buffer[0];
            if (std::exchange(first, false))
                QCOMPARE(std::make_tuple(status, int(event->midi_buffer[1]), event->time_pulses),
                         std::make_tuple(0xC0, 0, 0));
            QCOMPARE(status & 0x0F, 0);
            if ((status & 0xF0) == 0x90 && event->midi_buffer[2] > 0) {
                ++notes;
                velocities.insert(event->midi_buffer[2]);
            }
            lastSeconds = event->time_seconds;
        }
        QVERIFY2(notes >= 20, qPrintable(QString::number(notes)));
        QVERIFY2(velocities.size() >= 2, "no dynamics");
        QVERIFY2(lastSeconds >= 8.0 && lastSeconds <= 20.0, qPrintable(QString::number(lastSeconds)));

        QVERIFY(smf_get_tempo_by_number(smf.get(), 0) != nullptr);
        for (int index = 0; smf_tempo_t* t = smf_get_tempo_by_number(smf.get(), index); ++index) {
            const double beatsPerMinute =
                60000000.0 / t->microseconds_per_quarter_note * 24.0 / t->clocks_per_click;
            QVERIFY2(beatsPerMinute >= low - 0.5 && beatsPerMinute <= high + 0.5,
                     qPrintable(QStringLiteral("%1 beats a minute").arg(beatsPerMinute)));
        }
    }

    // Bar 1 of the Ecossaise in G op. 72 no. 3/2 as the first edition (Schlesinger) prints it,
    // after the right hand's upbeat of two semiquavers: both hands' MIDI keys by onset, in
    // crotchets from the bar line, so that a note added, dropped or moved shows up.
    void ecossaiseFirstBarAsPrinted()
    {
        const Smf smf = Load(QStringLiteral("vivace_chop.Ecossaise No.2 in G.mid"));
        QVERIFY(smf);
        QMap<int, QList<int>> bar; // onset in twelfths of a crotchet -> keys
        while (smf_event_t* event = smf_get_next_event(smf.get())) {
            const double onset = double(event->time_pulses) / smf->ppqn - 0.5;
            if (!smf_event_is_metadata(event) && (event->midi_buffer[0] & 0xF0) == 0x90 &&
                event->midi_buffer[2] > 0 && onset > -1e-6 && onset < 2 - 1e-6) {
                QVERIFY2(std::abs(onset * 12 - std::round(onset * 12)) < 1e-6,
                         qPrintable(QString::number(onset)));
                bar[int(std::lround(onset * 12))].append(event->midi_buffer[1]);
            }
        }
        for (QList<int>& keys : bar)
            std::sort(keys.begin(), keys.end());
        const QMap<int, QList<int>> printed = {
            {0, {43, 74}},      // 1: G2, triplet D5
            {2, {76}},          // triplet E5
            {4, {74}},          // triplet D5
            {6, {50, 59, 83}},  // 1 and: D3 B3, B5
            {12, {51, 72}},     // 2: D#3, triplet C5
            {14, {74}},         // triplet D5
            {16, {72}},         // triplet C5
            {18, {54, 60, 81}}, // 2 and: F#3 C4, A5
        };
        QCOMPARE(bar, printed);
    }
};

QTEST_GUILESS_MAIN(TestTempoPieces)
#include "test_tempo_pieces.moc"
