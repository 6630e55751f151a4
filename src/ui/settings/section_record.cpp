#include "ui/settings/section_record.h"

#include "core/exercise/settings_check.h"

namespace UI {
namespace {

template <typename Record> void setSwitches(SectionRecord& r, Record& record)
{
    r.switches = record.switches.data();
    r.switchCount = int(record.switches.size());
    r.duration = &record.duration;
}

template <typename Record> void setPitched(SectionRecord& r, Record& record)
{
    r.diapason = &record.diapason;
    r.duration = &record.duration;
    r.clefs = &record.clefs;
}

} // namespace

SectionRecord SectionRecord::of(Core::TrainerSettings& block, int trainer, int section)
{
    using Core::SectionKind;
    SectionRecord r;
    const bool ear = trainer == Core::EarTrainerIndex;
    switch (Core::KindOfSection(trainer, section)) {
    case SectionKind::Notes: {
        auto& notes = ear ? block.earTrainer.singleNotes : block.noteTrainer.singleNotes;
        setPitched(r, notes);
        break;
    }
    case SectionKind::Intervals: {
        auto& intervals = ear ? block.earTrainer.intervals : block.noteTrainer.intervals;
        setPitched(r, intervals);
        r.intervals = &intervals;
        break;
    }
    case SectionKind::Chords: {
        auto& chords = ear ? block.earTrainer.chords : block.noteTrainer.chords;
        setSwitches(r, chords);
        setPitched(r, chords);
        break;
    }
    case SectionKind::Scales:
        setSwitches(r, block.earTrainer.scales);
        setPitched(r, block.earTrainer.scales);
        break;
    case SectionKind::Tempo:
        setSwitches(r, ear ? block.earTrainer.tempo : block.symbolTrainer.tempo);
        break;
    case SectionKind::Lengths:
        setSwitches(r, block.symbolTrainer.lengths);
        break;
    case SectionKind::Signatures:
        setSwitches(r, block.symbolTrainer.keySignatures);
        break;
    case SectionKind::Loudness:
        setSwitches(r, block.symbolTrainer.loudness);
        break;
    case SectionKind::Modifiers:
        setSwitches(r, block.symbolTrainer.noteModifiers);
        break;
    case SectionKind::None:
        break;
    }
    return r;
}

} // namespace UI
