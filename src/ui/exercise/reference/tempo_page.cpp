#include "ui/exercise/reference/tempo_page.h"

#include "core/exercise/music_tables.h"
#include "core/midi/midi_bank.h"
#include "ui/exercise/reference/reference_sheet.h"

#include <QToolButton>

#include <array>
#include <bitset>
#include <iterator>

namespace UI {
namespace Reference {
namespace {

using Core::MusicTables;

struct TempoRow
{
    const char* name; // also the tempo table's name, where the marking has a picture
    const char* description;
};

const TempoRow tempoRows[] = {
    {"Grave", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Slow and solemn (20-40 bpm)")},
    {"Largo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very slow (40-60 bpm)")},
    {"Adagio", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Slow and stately (66-76 bpm)")},
    {"Andante", QT_TRANSLATE_NOOP("UI::ReferenceBook", "At a walking pace (76-108 bpm)")},
    {"Moderato", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Moderately (101-110 bpm)")},
    {"Allegro", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Fast and bright (120-139 bpm)")},
    {"Vivace", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Lively and fast (130-155 bpm)")},
    {"Presto", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very fast (168-200 bpm)")},
    {"Prestissimo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Extremely fast (more than 200 bpm)")},
};

// The opening bars of a tempo piece: up to a strong beat 4.5 to 7 seconds in, found as the
// onset there with the loudest note (the pieces accent their downbeats), whose notes ring a
// moment. Nothing starts after it; then every note still held is let go and the pedal lifted.
// A piece hardly longer than that is played whole.
std::shared_ptr<Core::MidiStream> openingBars(const Core::MidiStream& piece)
{
    constexpr double latest = 7.0, window = 2.5, ring = 0.8, together = 0.001;
    if (piece.isEmpty() || piece.last().seconds <= latest + ring)
        return std::make_shared<Core::MidiStream>(piece);
    // Onsets in the window win over earlier ones, louder over softer, later over earlier.
    double landing = latest;
    std::array<double, 3> best{-1, -1, -1};
    for (const MidiEvent& event : piece) {
        if (event.seconds > latest)
            break;
        if (event.message.IsNoteOn()) {
            const std::array<double, 3> rank{double(event.seconds >= latest - window),
                                             double(event.message.byte2), event.seconds};
            if (rank > best) {
                best = rank;
                landing = event.seconds;
            }
        }
    }

    const double end = landing + ring;
    auto opening = std::make_shared<Core::MidiStream>();
    std::array<std::bitset<128>, 16> held; // by channel and note
    std::bitset<16> channels;
    for (const MidiEvent& event : piece) {
        if (event.seconds >= end)
            break;
        const MidiMessage& message = event.message;
        const int channel = message.Channel();
        if (message.IsNoteOn()) {
            if (event.seconds > landing + together)
                continue;
            held[channel].set(message.byte1 & 0x7F);
        } else if (message.IsNoteOff() || message.IsNoteOnType()) {
            if (!held[channel].test(message.byte1 & 0x7F))
                continue; // its note was left out
            held[channel].reset(message.byte1 & 0x7F);
        } else if (event.seconds > landing + together) {
            continue; // the pedal and the like stay as they were at the landing
        }
        channels.set(channel);
        opening->append(event);
    }
    const qint32 tick = opening->isEmpty() ? 0 : opening->last().tick;
    for (int channel = 0; channel < 16; ++channel) {
        for (int note = 0; note < 128; ++note) {
            if (held[channel].test(note))
                opening->append({MidiMessage(0x80, quint8(channel), quint8(note), 0), tick, end});
        }
        if (channels.test(channel))
            opening->append({MidiMessage(0xB0, quint8(channel), 64, 0), tick, end});
    }
    return opening;
}

} // namespace

QString TempoPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP(
        "UI::ReferenceBook", "Tempo markings tell how fast the beat goes; bpm means beats per minute. "
                             "The numbers are a guide, not a rule."));
}

void TempoPage::fillTable(SheetTable& table, const PageContext& context) const
{
    // The markings the trainers ask have pieces to hear, when the book has the bank.
    const bool playable = context.pieces && context.playPassage;
    QStringList titles{bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo")),
                       bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Name")),
                       bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Description"))};
    if (playable)
        titles << bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"));
    table.header(titles, playable);
    table.stretch({2});
    for (int index = 0; index < int(std::size(tempoRows)); ++index) {
        const TempoRow& row = tempoRows[index];
        const QString name = QString::fromLatin1(row.name);
        int tempo = -1;
        for (int t = 0; t < MusicTables::TempoCount; ++t) {
            if (qstrcmp(MusicTables::TempoAt(t).name, row.name) == 0)
                tempo = t;
        }
        QWidget* cell = tempo < 0 ? PictureCell::marking(name, tempoSize)
                                  : PictureCell::resource(MusicTables::TempoPicture(tempo), tempoSize, name);
        QList<QWidget*> cells{cell, SheetTable::text(name, QStringLiteral("term")),
                              SheetTable::text(bookText(row.description))};
        if (playable && tempo >= 0) {
            // The first piece of the marking that can be read, from its beginning; the bank
            // reads the files on this first request, not while the page is built.
            const auto bank = context.pieces;
            const auto play = context.playPassage;
            cells << playButton(
                name,
                [bank, play, index, tempo] {
                    QList<Core::MidiBank::PieceEntry> pieces;
                    bank->GetPieces(tempo, pieces);
                    play(index, pieces.isEmpty() ? nullptr : openingBars(*pieces.first().stream));
                },
                context.receiver);
        }
        table.row(cells);
    }
}

} // namespace Reference
} // namespace UI
