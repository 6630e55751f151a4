// The bank of tempo pieces: its catalogue over the compiled-in resources, the streams it hands
// out and keeps, and the pieces it leaves out (and tries again) when their files fail, on real
// files in a temporary folder.

#include "core/midi/midi_bank.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <glib.h>

#include <atomic>
#include <vector>

namespace {

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

QByteArray Resource(const QString& name)
{
    QFile file(QStringLiteral(":/midi/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing piece %s", qPrintable(name));
    return file.readAll();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Format 0, 480 pulses a quarter, one track of a tempo and a time signature, nothing to play.
const QByteArray metaOnly("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0"
                          "MTrk\x00\x00\x00\x13"
                          "\x00\xFF\x51\x03\x07\xA1\x20"
                          "\x00\xFF\x58\x04\x04\x02\x18\x08"
                          "\x00\xFF\x2F\x00",
                          41);

QStringList Names(const QList<Core::MidiBank::PieceEntry>& pieces)
{
    QStringList names;
    for (const auto& piece : pieces)
        names << QFileInfo(piece.path).fileName();
    return names;
}

} // namespace

class TestMidiBank : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(midi_pieces);
        g_log_set_default_handler(IgnoreLog, nullptr);
    }

    void tempos_data()
    {
        QTest::addColumn<int>("tempo");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("count");
        QTest::newRow("adagio") << 0 << "adagio_" << 5;
        QTest::newRow("allegro") << 1 << "allegro_" << 5;
        QTest::newRow("andante") << 2 << "andante_" << 6;
        QTest::newRow("largo") << 3 << "largo_" << 5;
        QTest::newRow("moderato") << 4 << "moderato" << 5;
        QTest::newRow("presto") << 5 << "presto_" << 6;
        QTest::newRow("vivace") << 6 << "vivace_" << 6;
    }
    void tempos()
    {
        QFETCH(int, tempo);
        QFETCH(QString, prefix);
        QFETCH(int, count);

        Core::MidiBank bank;
        QList<Core::MidiBank::PieceEntry> pieces;
        bank.GetPieces(tempo, pieces);
        QCOMPARE(pieces.size(), count);
        for (const auto& piece : pieces) {
            QVERIFY(piece.path.startsWith(QLatin1String(":/midi/")));
            QVERIFY2(QFileInfo(piece.path).fileName().startsWith(prefix, Qt::CaseInsensitive),
                     qPrintable(piece.path));
            QCOMPARE(piece.tempo, tempo);
            QVERIFY(piece.stream);
            QVERIFY(!piece.stream->isEmpty());
        }
        // The bank's order is the folder's: by name, ignoring case.
        QStringList sorted = Names(pieces);
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(Names(pieces), sorted);
    }

    void outOfRangeTempos()
    {
        Core::MidiBank bank;
        QList<Core::MidiBank::PieceEntry> pieces;
        bank.GetPieces(-1, pieces);
        bank.GetPieces(7, pieces);
        QVERIFY(pieces.isEmpty());
    }

    void catalogueNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tempo");
        QTest::newRow("dot after the marking") << "moderato.cram.34.mid" << 4;
        QTest::newRow("capital") << "Allegro_clem36.1.mid" << 1;
        QTest::newRow("comma") << "vivace_heller.Melody No.7, Opus.46.mid" << 6;
        QTest::newRow("apostrophe") << "andante_greig.Watchmans' Song.mid" << 2;
        QTest::newRow("brackets") << "largo_chop28.20(2).mid" << 3;
        QTest::newRow("case differs") << "allegro_clem36.1.mid" << 0;
        QTest::newRow("unknown") << "presto_unknown.mid" << 0;
    }
    void catalogueNames()
    {
        QFETCH(QString, name);
        QFETCH(int, tempo);
        QCOMPARE(Core::MidiBank::TempoOfFileName(name), tempo);
    }

    // Six vivace pieces with streams; the second call hands out the same streams and reads no
    // file again, which shows once the files are gone.
    void cachesStreams()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QStringList vivace =
            QDir(QStringLiteral(":/midi/")).entryList({QStringLiteral("vivace_*")}, QDir::Files);
        QCOMPARE(vivace.size(), 6);
        for (const QString& name : vivace)
            QVERIFY(WriteFile(folder.filePath(name), Resource(name)));

        Core::MidiBank bank(folder.path());
        QList<Core::MidiBank::PieceEntry> first;
        bank.GetPieces(6, first);
        QCOMPARE(first.size(), 6);
        for (const auto& piece : first)
            QVERIFY(piece.stream && !piece.stream->isEmpty());

        for (const QString& name : vivace)
            QVERIFY(QFile::remove(folder.filePath(name)));
        QList<Core::MidiBank::PieceEntry> second;
        bank.GetPieces(6, second);
        QCOMPARE(second.size(), 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(second.at(i).path, first.at(i).path);
            QCOMPARE(second.at(i).stream.get(), first.at(i).stream.get());
        }
    }

    // A truncated piece is left out and tried again; a piece with nothing but meta events
    // counts as loaded with an empty stream.
    void failedPiecesLeftOutAndRetried()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QByteArray whole = Resource(QStringLiteral("presto_hay31.3.mid"));
        QVERIFY(WriteFile(folder.filePath(QStringLiteral("presto_beeth10.3.1.mid")), metaOnly));
        QVERIFY(
            WriteFile(folder.filePath(QStringLiteral("presto_hay31.3.mid")), whole.left(whole.size() - 7)));
        QVERIFY(WriteFile(folder.filePath(QStringLiteral("presto_hay32.3.mid")),
                          Resource(QStringLiteral("presto_hay32.3.mid"))));
        QVERIFY(WriteFile(folder.filePath(QStringLiteral("largo_chop58.3.mid")), whole.left(20)));

        Core::MidiBank bank(folder.path());
        QList<Core::MidiBank::PieceEntry> pieces;
        bank.GetPieces(5, pieces);
        QCOMPARE(Names(pieces), (QStringList{"presto_beeth10.3.1.mid", "presto_hay32.3.mid"}));
        QVERIFY(pieces.at(0).stream);
        QVERIFY(pieces.at(0).stream->isEmpty());
        QVERIFY(!pieces.at(1).stream->isEmpty());

        QList<Core::MidiBank::PieceEntry> largo;
        bank.GetPieces(3, largo);
        QVERIFY(largo.isEmpty()); // a tempo whose pieces all fail has none

        QVERIFY(WriteFile(folder.filePath(QStringLiteral("presto_hay31.3.mid")), whole));
        QList<Core::MidiBank::PieceEntry> again;
        bank.GetPieces(5, again);
        QCOMPARE(Names(again),
                 (QStringList{"presto_beeth10.3.1.mid", "presto_hay31.3.mid", "presto_hay32.3.mid"}));
        QCOMPARE(again.at(0).stream.get(), pieces.at(0).stream.get());
        QVERIFY(!again.at(1).stream->isEmpty());
    }

    // Two trainers may ask at once: each piece is read once and both get the same streams.
    void concurrentRequests()
    {
        Core::MidiBank bank;
        std::vector<QList<Core::MidiBank::PieceEntry>> results(4);
        std::vector<QThread*> threads;
        for (auto& result : results)
            threads.push_back(QThread::create([&bank, &result] { bank.GetPieces(2, result); }));
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        for (const auto& result : results) {
            QCOMPARE(result.size(), 6);
            for (int i = 0; i < 6; ++i)
                QCOMPARE(result.at(i).stream.get(), results.front().at(i).stream.get());
        }
    }
};

QTEST_GUILESS_MAIN(TestMidiBank)
#include "test_midi_bank.moc"
