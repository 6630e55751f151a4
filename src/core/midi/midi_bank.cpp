#include "core/midi/midi_bank.h"

#include "core/midi/midi_file.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(midiBankLog, "cantorela.midibank", QtInfoMsg)

namespace Core {

namespace {

struct CatalogueEntry
{
    const char* fileName;
    int tempo;
};

// Every piece by its exact file name (case, spaces and punctuation count).
const CatalogueEntry catalogue[] = {
    {"adagio_bps-26-1.mid", 0},
    {"adagio_hay-p33b.mid", 0},
    {"adagio_hay-p34b.mid", 0},
    {"adagio_mozk332b.mid", 0},
    {"adagio_othayd2.mid", 0},
    {"Allegro_clem36.1.mid", 1},
    {"Allegro_gershwin.Prelude 1.mid", 1},
    {"Allegro_gershwin.Prelude 3.mid", 1},
    {"allegro_greig.Elves' Dance.mid", 1},
    {"allegro_Imprompt Fantastique.mid", 1},
    {"andante_bartok.Ten Easy Piano Pieces Hungarian Folksong Mov.8.mid", 2},
    {"andante_beet33.1.mid", 2},
    {"andante_beet33.4.mid", 2},
    {"andante_faure,Romance sans paroles.mid", 2},
    {"andante_greig.Watchmans' Song.mid", 2},
    {"andante_grieg.Little Bird.mid", 2},
    {"largo_beet10.3.2.mid", 3},
    {"largo_chop28.20(2).mid", 3},
    {"largo_chop28.4(1).mid", 3},
    {"largo_chop28.6(1).mid", 3},
    {"largo_chop58.3.mid", 3},
    {"moderato.cram.34.mid", 4},
    {"moderato_bartok.fing.mid", 4},
    {"moderato_beet.51.mid", 4},
    {"moderato_cram.7.mid", 4},
    {"moderato_ginast.1.4.mid", 4},
    {"presto_beeth10.3.1.mid", 5},
    {"presto_chop.25.2.mid", 5},
    {"presto_chop58.4.mid", 5},
    {"presto_hay31.3.mid", 5},
    {"presto_hay32.3.mid", 5},
    {"presto_hay37.1.mid", 5},
    {"vivace_chop10.7.mid", 6},
    {"vivace_cram.Studies for Piano No.5.mid", 6},
    {"vivace_grieg,cobold.mid", 6},
    {"vivace_hay.34.3.mid", 6},
    {"vivace_heller.Melody No.7, Opus.46.mid", 6},
    {"vivace_chop.Ecossaise No.2 in G.mid", 6},
};

const QHash<QString, int>& CatalogueMap()
{
    static const QHash<QString, int> map = [] {
        QHash<QString, int> result;
        for (const CatalogueEntry& entry : catalogue)
            result.insert(QString::fromUtf8(entry.fileName), entry.tempo);
        return result;
    }();
    return map;
}

} // namespace

MidiBank::MidiBank(const QString& folder)
{
    const QHash<QString, int>& map = CatalogueMap();
    // Files only, in the folder's own order (by name, ignoring case); for the resource folder
    // this is every entry there is.
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
    for (const QFileInfo& info : files) {
        if (!map.contains(info.fileName()))
            qCDebug(midiBankLog) << "uncatalogued piece" << info.fileName() << "taken as adagio";
        PieceEntry entry;
        entry.path = info.absoluteFilePath();
        entry.tempo = map.value(info.fileName(), 0);
        entries.append(entry);
    }
}

MidiBank::~MidiBank() = default;

int MidiBank::TempoOfFileName(const QString& fileName)
{
    return CatalogueMap().value(fileName, 0);
}

void MidiBank::GetPieces(int tempo, QList<PieceEntry>& out)
{
    QMutexLocker lock(&mutex);
    for (PieceEntry& entry : entries) {
        if (entry.tempo != tempo)
            continue;
        if (!entry.stream) {
            auto stream = std::make_shared<MidiStream>();
            const Error error = MidiFile(entry.path).ReadStream(*stream);
            if (MidiFile::IsSuccess(error))
                entry.stream = stream;
            else
                qCDebug(midiBankLog) << entry.path << error.Describe();
        }
        if (entry.stream)
            out.append(entry);
    }
}

} // namespace Core
