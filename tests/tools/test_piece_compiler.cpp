// The piece compiler run as the build runs it: a note-list source in, a MIDI file out. Mistakes
// in a source (a bar that does not add up, a note off the keyboard, an unknown word) stop the
// build with the line number; a good source gives a file that passes the MIDI file check and
// carries its metre, beat and tempo.

#include "../common/file_bytes.h"
#include "core/midi/midi_file_validator.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <smf.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
    QByteArray midi;
};

Run Compile(const QTemporaryDir& dir, const QByteArray& source)
{
    Run run;
    const QString input = dir.filePath(QStringLiteral("piece.notes"));
    const QString output = dir.filePath(QStringLiteral("piece.mid"));
    if (!WriteAll(input, source))
        return run;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(CANTORELA_PIECE_COMPILER), {input, output});
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAll());
    run.midi = ReadAll(output);
    return run;
}

const char* const header = "time 3/4\ntempo 60\n";

} // namespace

class TestPieceCompiler : public QObject
{
    Q_OBJECT

private slots:
    // `message` empty: the source is good and gives a file that passes the MIDI file check.
    void judgesSourcesAtTheirLimits_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const QByteArray& source, const char* message) {
            QTest::newRow(name) << source << QString::fromLatin1(message);
        };
        const QByteArray voice = QByteArray(header) + "voice a\n";
        row("bar too long", voice + "c4:4 d4 e4 f4 |\n", "line 4: bar line");
        row("bar too short", voice + "c4:2 |\n", "line 4: bar line");
        row("lowest key", voice + "a0:4\n", "");
        row("below the piano", voice + "g#0:4\n", "line 4: pitch 'g#0' is outside the piano");
        row("highest key", voice + "c8:4\n", "");
        row("above the piano", voice + "c#8:4\n", "outside the piano");
        row("unknown duration", voice + "c4:3\n", "bad duration");
        row("unknown word", voice + "forte\n", "bad pitch");
        row("unclosed chord", voice + "<c4 e4\n", "without '>'");
        row("unclosed repeat", voice + "( c4:4\n", "without ')*N'");
        row("no tempo", "time 3/4\nvoice a\nc4:4\n", "before 'time' and 'tempo'");
        row("odd metre", "time 3/5\ntempo 60\n", "bad time signature");
        row("slowest tempo", "time 3/4\ntempo 20\nvoice a\nc4:4\n", "");
        row("tempo too slow", "time 3/4\ntempo 19\n", "20..300");
        row("fastest tempo", "time 3/4\ntempo 300\nvoice a\nc4:4\n", "");
        row("tempo too fast", "time 3/4\ntempo 301\n", "20..300");
        row("longest title", "title " + QByteArray(100, 'x') + "\n" + voice + "c4:4\n", "");
        row("title too long", "title " + QByteArray(101, 'x') + "\n" + voice + "c4:4\n",
            "line 1: title longer than 100 bytes");
        row("no notes", voice + "r:4\n", "no notes");
    }
    void judgesSourcesAtTheirLimits()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const Run run = Compile(dir, source);
        QVERIFY2(run.exitCode == (message.isEmpty() ? 0 : 1), qPrintable(run.output));
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
        QCOMPARE(Core::MidiFileValidator::Check(run.midi).valid, message.isEmpty());
    }

    // Three bars of 3/4 in two voices at 60 quarters a minute, with a pickup, a chord, a repeat and
    // a tempo change: the file says 3/4, quarter beat, 60 then 30 a minute, and ends where the
    // tempo map puts the last note-off.
    void writesAPlayableFile()
    {
        QTemporaryDir dir;
        const QByteArray source = "title Test piece\ntime 3/4\ntempo 60\npartial 4\n"
                                  "voice upper\nmf c5:4 | ( e5:8 d5 )*3 | <c5 e5 g5>:2. |\n@tempo=30 g5:2'\n"
                                  "voice lower -10\nr:4 | ped c3:2. | ped g2:2. * | c3:2.\n";
        const Run run = Compile(dir, source);
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QVERIFY(Core::MidiFileValidator::Check(run.midi).valid);

        smf_t* smf = smf_load_from_memory(run.midi.constData(), run.midi.size());
        QVERIFY(smf != nullptr);
        const std::unique_ptr<smf_t, void (*)(smf_t*)> owner(smf, smf_delete);
        smf_tempo_t* first = smf_get_tempo_by_number(smf, 0);
        smf_tempo_t* second = smf_get_tempo_by_number(smf, 1);
        QVERIFY(first && second && !smf_get_tempo_by_number(smf, 2));
        // ppqn; metre, quarter beat and tempo of the start; the change's tempo and its place.
        QCOMPARE((QVector<int>{smf->ppqn, first->numerator, first->denominator, first->clocks_per_click,
                               first->microseconds_per_quarter_note, second->microseconds_per_quarter_note,
                               int(second->time_pulses)}),
                 (QVector<int>{480, 3, 4, 24, 1000000, 2000000, 480 * 7}));

        int notes = 0, pedals = 0;
        double last = 0;
        while (smf_event_t* event = smf_get_next_event(smf)) {
            if (smf_event_is_metadata(event))
                continue;
            notes += event->midi_buffer[0] == 0x90;
            pedals += event->midi_buffer[0] == 0xB0 && event->midi_buffer[1] == 64;
            last = event->time_seconds;
        }
        QCOMPARE(notes, 1 + 6 + 3 + 1 + 3);
        QCOMPARE(pedals, 4); // down, change (up and down), up
        // 7 quarters at 60, then 30 a minute: the left hand's last note ends shortly before its
        // bar does, 7 s + 3 quarters at 2 s.
        QVERIFY2(last > 12.4 && last < 13.0, qPrintable(QString::number(last)));
    }
};

QTEST_GUILESS_MAIN(TestPieceCompiler)
#include "test_piece_compiler.moc"
