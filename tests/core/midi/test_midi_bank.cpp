// The bank of tempo pieces over the compiled-in resources and over real files in a temporary
// folder: which pieces each tempo gets, the streams it keeps, and the pieces it leaves out (and
// tries again) when their files fail.

#include "../../common/file_bytes.h"
#include "core/midi/midi_bank.h"
#include "midi_file_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <glib.h>

#include <thread>
#include <vector>

using Core::MidiBank;

namespace {

void IgnoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

QByteArray Resource(const QString& name)
{
    return ReadAll(QStringLiteral(":/midi/") + name);
}

QStringList Names(const QList<MidiBank::PieceEntry>& pieces)
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

    // Each piece goes to the tempo its name is catalogued with, in the folder's order; tempos
    // outside the seven have none. (Every compiled-in piece read and handed out once:
    // test_question_pools::statisticsIdsStayPut.)
    void everyPieceHasOneTempo()
    {
        MidiBank bank;
        for (int tempo = -1; tempo <= 7; ++tempo) {
            QList<MidiBank::PieceEntry> pieces;
            bank.GetPieces(tempo, pieces);
            QCOMPARE(pieces.isEmpty(), tempo < 0 || tempo > 6);
            for (const auto& piece : pieces) {
                QCOMPARE(MidiBank::TempoOfFileName(QFileInfo(piece.path).fileName()), tempo);
                QCOMPARE(piece.tempo, tempo);
            }
            QStringList sorted = Names(pieces);
            std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            });
            QCOMPARE(Names(pieces), sorted);
        }
    }

    // A truncated piece is left out and tried again, while the pieces read before are handed out
    // as they were cached; a piece of nothing but meta events counts as read, with an empty
    // stream; a name the catalogue lacks (here by its case) is adagio.
    void failedPiecesLeftOutAndRetried()
    {
        QTemporaryDir folder;
        const QByteArray whole = Resource(QStringLiteral("presto_hay31.3.mid"));
        const QByteArray metaOnly = MidiFileBytes::Smf("00ff510307a120 00ff580404021808 00ff2f00");
        QVERIFY(WriteAll(folder.filePath(QStringLiteral("presto_beeth10.3.1.mid")), metaOnly));
        QVERIFY(
            WriteAll(folder.filePath(QStringLiteral("presto_hay31.3.mid")), whole.left(whole.size() - 7)));
        QVERIFY(WriteAll(folder.filePath(QStringLiteral("presto_hay32.3.mid")), whole));
        QVERIFY(WriteAll(folder.filePath(QStringLiteral("Presto_hay37.1.mid")), whole));
        QVERIFY(WriteAll(folder.filePath(QStringLiteral("largo_chop58.3.mid")), whole.left(20)));

        MidiBank bank(folder.path());
        QList<MidiBank::PieceEntry> presto, largo, adagio, again;
        bank.GetPieces(5, presto);
        QCOMPARE(Names(presto), (QStringList{"presto_beeth10.3.1.mid", "presto_hay32.3.mid"}));
        QVERIFY(presto.at(0).stream && presto.at(0).stream->isEmpty());
        QVERIFY(!presto.at(1).stream->isEmpty());
        bank.GetPieces(3, largo);
        QVERIFY(largo.isEmpty()); // a tempo whose pieces all fail has none
        bank.GetPieces(0, adagio);
        QCOMPARE(Names(adagio), QStringList{"Presto_hay37.1.mid"});

        QVERIFY(WriteAll(folder.filePath(QStringLiteral("presto_hay31.3.mid")), whole));
        bank.GetPieces(5, again);
        QCOMPARE(Names(again),
                 (QStringList{"presto_beeth10.3.1.mid", "presto_hay31.3.mid", "presto_hay32.3.mid"}));
        QCOMPARE(again.at(0).stream.get(), presto.at(0).stream.get());
        QVERIFY(!again.at(1).stream->isEmpty());
    }

    // Two trainers may ask at once: each piece is read once and both get the same streams.
    void concurrentRequests()
    {
        MidiBank bank;
        std::vector<QList<MidiBank::PieceEntry>> results(4);
        std::vector<std::thread> threads;
        for (auto& result : results)
            threads.emplace_back([&bank, &result] { bank.GetPieces(2, result); });
        for (std::thread& thread : threads)
            thread.join();
        QVERIFY(!results.front().isEmpty());
        for (const auto& result : results) {
            QCOMPARE(result.size(), results.front().size());
            for (int i = 0; i < result.size(); ++i)
                QCOMPARE(result.at(i).stream.get(), results.front().at(i).stream.get());
        }
    }
};

QTEST_GUILESS_MAIN(TestMidiBank)
#include "test_midi_bank.moc"
