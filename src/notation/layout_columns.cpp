// Gathers the score's events into columns through the element layouters (layout_columns.h).

#include "notation/layout_columns.h"

#include "notation/layout_accidentals.h"
#include "notation/layout_ledger_lines.h"
#include "notation/layout_notes.h"
#include "notation/layout_signs.h"
#include "notation/layout_stems.h"

#include <algorithm>
#include <cmath>

namespace Notation::Layout {

namespace {

// A whole rest with nothing else between its bar lines (or the start and end of the voice).
bool isMeasureRest(const Voice& voice, int index)
{
    const VoiceItem& rest = voice.items[index];
    if (rest.duration.numerator != 1 || rest.duration.denominator != 1 || rest.duration.dots != 0)
        return false;
    const auto isSign = [](const VoiceItem& item) {
        return item.kind == VoiceItem::Kind::Clef || item.kind == VoiceItem::Kind::Key ||
               item.kind == VoiceItem::Kind::Meter;
    };
    for (int i = index - 1; i >= 0 && voice.items[i].kind != VoiceItem::Kind::Bar; --i) {
        if (!isSign(voice.items[i]))
            return false;
    }
    for (int i = index + 1; i < int(voice.items.size()) && voice.items[i].kind != VoiceItem::Kind::Bar; ++i) {
        if (!isSign(voice.items[i]))
            return false;
    }
    return true;
}

} // namespace

ColumnLayouter::ColumnLayouter(const Score& score) : m_score(score)
{
    // Staves in the order of their numbers.
    for (const Voice& voice : score.voices)
        m_staffNumbers.push_back(voice.staff);
    std::sort(m_staffNumbers.begin(), m_staffNumbers.end());
    m_staffNumbers.erase(std::unique(m_staffNumbers.begin(), m_staffNumbers.end()), m_staffNumbers.end());
    m_staffCount = int(m_staffNumbers.size());
}

int ColumnLayouter::staffIndex(int staffNumber) const
{
    return int(std::lower_bound(m_staffNumbers.begin(), m_staffNumbers.end(), staffNumber) -
               m_staffNumbers.begin());
}

ScoreColumns ColumnLayouter::layColumns()
{
    rankVoices();
    m_states.assign(m_staffCount, StaffState());
    collectEvents();
    shareMeter();

    ScoreColumns result;
    result.staffCount = m_staffCount;
    result.initialStates = m_states;
    for (size_t first = 0; first < m_events.size();) {
        Column column;
        first = layColumn(first, &column);
        if (column.items.empty() && !column.holdsNotes())
            continue;
        column.left = 0.0;
        column.right = 0.0;
        for (const LayoutItem& item : column.items) {
            column.left = std::min(column.left, itemLeft(item));
            column.right = std::max(column.right, itemRight(item));
        }
        column.right += column.roomAfter;
        column.statesAfter = m_states;
        result.columns.push_back(std::move(column));
    }
    measureDurations(&result.columns);
    return result;
}

// Several voices with notes on one staff: the first has its stems up, the others down.
void ColumnLayouter::rankVoices()
{
    m_voiceRank.assign(m_score.voices.size(), 0);
    m_voicesWithNotes.assign(m_staffCount, 0);
    for (size_t v = 0; v < m_score.voices.size(); ++v) {
        const Voice& voice = m_score.voices[v];
        const bool hasNotes = std::any_of(voice.items.begin(), voice.items.end(), [](const VoiceItem& item) {
            return item.kind == VoiceItem::Kind::Chord;
        });
        if (hasNotes)
            m_voiceRank[v] = m_voicesWithNotes[staffIndex(voice.staff)]++;
    }
}

// Every item of every voice with its time; the signs before the first note of a voice set the
// staff's starting state instead.
void ColumnLayouter::collectEvents()
{
    m_events.clear();
    for (size_t v = 0; v < m_score.voices.size(); ++v) {
        const Voice& voice = m_score.voices[v];
        StaffState& state = m_states[staffIndex(voice.staff)];
        double time = 0.0;
        bool started = false;
        for (size_t i = 0; i < voice.items.size(); ++i) {
            const VoiceItem& item = voice.items[i];
            int rank = Column::noteRank;
            switch (item.kind) {
            case VoiceItem::Kind::Bar:
                rank = 0;
                started = true;
                break;
            case VoiceItem::Kind::Clef:
                rank = 1;
                if (!started) {
                    state.clef = item.clef;
                    continue;
                }
                break;
            case VoiceItem::Kind::Key:
                rank = 2;
                if (!started) {
                    state.fifths = item.fifths;
                    continue;
                }
                break;
            case VoiceItem::Kind::Meter:
                rank = 3;
                if (!started) {
                    state.hasMeter = true;
                    state.meter = item.meter;
                    continue;
                }
                break;
            case VoiceItem::Kind::Chord:
            case VoiceItem::Kind::Rest:
                started = true;
                break;
            }
            m_events.push_back(TimedEvent{time, rank, int(v), int(i)});
            if (rank == Column::noteRank)
                time += item.duration.Whole();
        }
    }
    std::stable_sort(m_events.begin(), m_events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        if (std::fabs(a.time - b.time) > 1e-9)
            return a.time < b.time;
        return a.rank < b.rank;
    });
}

// The metre is the whole score's: a staff whose voices give none takes another staff's.
void ColumnLayouter::shareMeter()
{
    const auto metered = std::find_if(m_states.begin(), m_states.end(),
                                      [](const StaffState& state) { return state.hasMeter; });
    if (metered == m_states.end())
        return;
    const Meter meter = metered->meter;
    for (StaffState& state : m_states) {
        if (!state.hasMeter) {
            state.hasMeter = true;
            state.meter = meter;
        }
    }
}

size_t ColumnLayouter::layColumn(size_t first, Column* column)
{
    column->time = m_events[first].time;
    column->rank = m_events[first].rank;
    column->shortest = 1e9;
    std::vector<bool> barDone(m_staffCount, false), signDone(m_staffCount, false);
    const Meter* columnMeter = nullptr;
    size_t end = first;
    while (end < m_events.size() && std::fabs(m_events[end].time - column->time) <= 1e-9 &&
           m_events[end].rank == column->rank)
        ++end;
    for (size_t k = first; k < end; ++k)
        layEvent(m_events[k], column, &barDone, &signDone, &columnMeter);
    // A change of metre shows on every staff, whichever voice wrote it.
    if (columnMeter) {
        for (int s = 0; s < m_staffCount; ++s) {
            if (signDone[s])
                continue;
            SignLayouter(s).layTimeSignature(*columnMeter, 0.0, &column->items);
            m_states[s].hasMeter = true;
            m_states[s].meter = *columnMeter;
        }
    }
    return end;
}

void ColumnLayouter::layEvent(const TimedEvent& event, Column* column, std::vector<bool>* barDone,
                              std::vector<bool>* signDone, const Meter** columnMeter)
{
    const Voice& voice = m_score.voices[event.voice];
    const VoiceItem& item = voice.items[event.item];
    const int staff = staffIndex(voice.staff);
    StaffState& state = m_states[staff];
    const SignLayouter signs(staff);
    switch (item.kind) {
    case VoiceItem::Kind::Bar:
        // A bar line runs through every staff of the system, so it ends the measure of each of them.
        for (int s = 0; s < m_staffCount; ++s) {
            m_states[s].measureAlterations.clear();
            if (!(*barDone)[s]) {
                (*barDone)[s] = true;
                column->items.push_back(lineItem(Role::Barline, QPointF(0.0, 0.0), QPointF(0.0, 4.0),
                                                 fontMetadata().Defaults().thinBarlineThickness, s));
            }
        }
        break;
    case VoiceItem::Kind::Clef:
        if (!(*signDone)[staff] && !(state.clef == item.clef)) {
            (*signDone)[staff] = true;
            signs.layClef(item.clef, 0.0, &column->items);
        }
        state.clef = item.clef;
        break;
    case VoiceItem::Kind::Key:
        if (!(*signDone)[staff] && state.fifths != item.fifths) {
            (*signDone)[staff] = true;
            signs.layKeySignature(item.fifths, state.clef, 0.0, &column->items);
        }
        state.fifths = item.fifths;
        state.measureAlterations.clear();
        break;
    case VoiceItem::Kind::Meter:
        if (!(*signDone)[staff]) {
            (*signDone)[staff] = true;
            signs.layTimeSignature(item.meter, 0.0, &column->items);
        }
        state.hasMeter = true;
        state.meter = item.meter;
        *columnMeter = &item.meter;
        break;
    case VoiceItem::Kind::Chord:
        layChord(item, event.voice, staff, column);
        column->shortest = std::min(column->shortest, item.duration.Whole());
        break;
    case VoiceItem::Kind::Rest:
        // With several voices on the staff, the first voice's rests go up, the others' down.
        NoteLayouter(staff).layRest(
            item, m_voicesWithNotes[staff] > 1 ? (m_voiceRank[event.voice] == 0 ? -2.0 : 2.0) : 0.0,
            &column->items);
        if (isMeasureRest(voice, event.item))
            column->items.back().measureRest = true;
        column->shortest = std::min(column->shortest, item.duration.Whole());
        break;
    }
}

// A chord passes through the layouters in drawing order: ledger lines under the heads, then the
// heads, the stem and flag, the dots and the accidentals.
void ColumnLayouter::layChord(const VoiceItem& chord, int voice, int staff, Column* column)
{
    ChordContext context;
    context.staff = staff;
    if (chord.stems == StemDirection::Up)
        context.stemUpForced = true;
    else if (chord.stems == StemDirection::Down)
        context.stemDownForced = true;
    else if (m_voicesWithNotes[staff] > 1)
        (m_voiceRank[voice] == 0 ? context.stemUpForced : context.stemDownForced) = true;

    std::vector<LayoutItem>* out = &column->items;
    const NoteLayouter notes(staff);
    ChordShape shape = notes.stackHeads(chord, m_states[staff].clef);
    shape.stemUp = StemLayouter::stemGoesUp(context, shape);
    notes.displaceSeconds(&shape);
    LedgerLineLayouter(staff).layLedgerLines(shape, out);
    notes.layNoteheads(shape, out);
    StemLayouter(staff).layStem(shape, out);
    notes.layDots(shape, out);
    AccidentalLayouter(staff, &m_states[staff]).layAccidentals(shape, out);
    column->roomAfter = std::max(column->roomAfter, chord.roomAfter);
}

void ColumnLayouter::measureDurations(std::vector<Column>* columns) const
{
    for (size_t c = 0; c < columns->size(); ++c) {
        Column& column = (*columns)[c];
        if (!column.holdsNotes())
            continue;
        column.duration = column.shortest;
        for (size_t next = c + 1; next < columns->size(); ++next) {
            const Column& later = (*columns)[next];
            if (later.holdsNotes() && later.time > column.time + 1e-9) {
                column.duration = std::min(column.duration, later.time - column.time);
                break;
            }
        }
    }
}

} // namespace Notation::Layout
