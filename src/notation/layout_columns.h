#pragma once
// The column layouter: reads the voices of a score in time order and gathers everything that
// starts at one time into a column — either notes and rests, or one kind of sign — calling the
// note, ledger-line, stem, accidental and sign layouters for its parts. It hands on the columns,
// their items relative to the column's x and their staff's top line, with the staff states the
// system layouter needs to restate clef, key and metre at the start of each system.

#include "notation/layout_primitives.h"

#include <vector>

namespace Notation::Layout {

struct Column
{
    double time = 0.0;
    int rank = 0; // 0 bar, 1 clef, 2 key, 3 metre, 4 notes and rests
    std::vector<LayoutItem> items;
    double left = 0.0;
    double right = 0.0;
    double duration = 0.0;               // notes: time to the next note column
    double shortest = 0.0;               // notes: shortest event starting here
    double roomAfter = 0.0;              // notes: kept free right of the items (VoiceItem::roomAfter)
    std::vector<StaffState> statesAfter; // staff states after the column, for system starts

    static constexpr int noteRank = 4;
    bool holdsNotes() const { return rank == noteRank; }
};

struct ScoreColumns
{
    int staffCount = 0;
    std::vector<StaffState> initialStates; // set by the signs before the first note of each voice
    std::vector<Column> columns;
};

class ColumnLayouter
{
public:
    explicit ColumnLayouter(const Score& score);

    ScoreColumns layColumns();

private:
    struct TimedEvent
    {
        double time;
        int rank;
        int voice;
        int item;
    };

    int staffIndex(int staffNumber) const;
    void rankVoices();
    void collectEvents();
    void shareMeter();
    // Lays the events from `first` that share its time and rank; returns the index past them.
    size_t layColumn(size_t first, Column* column);
    void layEvent(const TimedEvent& event, Column* column, std::vector<bool>* barDone,
                  std::vector<bool>* signDone, const Meter** columnMeter);
    void layChord(const VoiceItem& chord, int voice, int staff, Column* column);
    void measureDurations(std::vector<Column>* columns) const;

    const Score& m_score;
    std::vector<int> m_staffNumbers; // in order: staff index → number in the text
    int m_staffCount = 0;
    std::vector<int> m_voiceRank;       // order of a voice among those with notes on its staff
    std::vector<int> m_voicesWithNotes; // per staff
    std::vector<StaffState> m_states;
    std::vector<TimedEvent> m_events;
};

} // namespace Notation::Layout
