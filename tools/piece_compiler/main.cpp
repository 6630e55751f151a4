// The piece compiler: reads a piece in the note-list text format and writes it as a Standard
// MIDI File (format 0, 480 pulses per quarter, channel 0, piano) through libsmf.
//   piece_compiler [--check] INPUT.notes OUTPUT.mid

#include "note_list_parser.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <smf.h>

#include <cstdio>

namespace {

int Complain(const QString& message)
{
    std::fprintf(stderr, "piece_compiler: %s\n", qUtf8Printable(message));
    return 1;
}

bool WriteMidiFile(const CompiledPiece& piece, const QString& path)
{
    smf_t* smf = smf_new();
    if (smf == nullptr)
        return false;
    bool ok = smf_set_ppqn(smf, NoteListParser::ticksPerQuarter) == 0;
    smf_track_t* track = smf_track_new();
    smf_add_track(smf, track);
    ok = ok && smf_set_format(smf, 0) == 0;
    for (const CompiledEvent& compiled : piece.events) {
        QVector<quint8> bytes = compiled.bytes;
        smf_event_t* event = smf_event_new_from_pointer(bytes.data(), bytes.size());
        if (event == nullptr) {
            ok = false;
            break;
        }
        smf_track_add_event_pulses(track, event, int(compiled.tick));
    }
    if (ok && !piece.title.isEmpty()) {
        smf_event_t* name = smf_event_new_textual(0x03, piece.title.toUtf8().constData());
        if (name != nullptr)
            smf_track_add_event_pulses(track, name, 0);
    }
    ok = ok && smf_track_add_eot_pulses(track, int(piece.events.last().tick)) == 0;
    ok = ok && smf_save(smf, QFile::encodeName(path).constData()) == 0;
    smf_delete(smf);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool checkOnly = arguments.removeAll(QStringLiteral("--check")) > 0;
    if (arguments.size() != (checkOnly ? 1 : 2))
        return Complain(QStringLiteral("usage: piece_compiler [--check] INPUT.notes [OUTPUT.mid]"));

    QFile input(arguments.at(0));
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        return Complain(QStringLiteral("cannot open %1").arg(input.fileName()));
    const QString text = QString::fromUtf8(input.readAll());

    NoteListParser parser;
    CompiledPiece piece;
    QString error;
    if (!parser.Parse(text, piece, error))
        return Complain(QStringLiteral("%1: %2").arg(input.fileName(), error));

    QTextStream(stdout) << QStringLiteral("%1: %2 s, %3/%4, beat %5 ticks at %6 a minute\n")
                               .arg(input.fileName())
                               .arg(piece.seconds, 0, 'f', 1)
                               .arg(piece.numerator)
                               .arg(piece.denominator)
                               .arg(piece.beatTicks)
                               .arg(piece.beatsPerMinute.value(0));
    if (checkOnly)
        return 0;
    if (!WriteMidiFile(piece, arguments.at(1)))
        return Complain(QStringLiteral("cannot write %1").arg(arguments.at(1)));
    return 0;
}
