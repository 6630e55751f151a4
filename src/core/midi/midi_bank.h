#pragma once
// The tempo pieces compiled into the ":/midi/" resource folder, catalogued by tempo marking
// (0 adagio, 1 allegro, 2 andante, 3 largo, 4 moderato, 5 presto, 6 vivace). Each piece is
// read into a MidiStream on its first request and kept for the rest of the run. Created once
// by the application; the ear and symbol trainers take the pieces of a tempo for their tempo
// questions. Safe to call from any thread (one lock around the catalogue).

#include "core/midi/midi_stream.h"

#include <QList>
#include <QMutex>
#include <QString>

#include <memory>

namespace Core {

class MidiBank
{
public:
    struct PieceEntry
    {
        QString path; // ":/midi/" followed by the file name
        qint32 tempo = 0;
        std::shared_ptr<MidiStream> stream; // null until the first successful read
    };

    // Catalogues the files of folder (the compiled-in pieces unless a test gives another).
    explicit MidiBank(const QString& folder = QStringLiteral(":/midi/"));
    virtual ~MidiBank();

    // Appends to out the pieces of that tempo that can be read, in catalogue order, sharing
    // their cached streams. A piece that fails is left out and read again on the next call.
    void GetPieces(int tempo, QList<PieceEntry>& out);

    // The tempo of a catalogued file name, matched exactly; 0 for a name the catalogue lacks.
    static int TempoOfFileName(const QString& fileName);

private:
    QMutex mutex; // guards entries and their streams' loading
    QList<PieceEntry> entries;
};

} // namespace Core
