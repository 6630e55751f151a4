#pragma once
// One line of the exercise statistics: how often an item (a note, interval, chord or symbol,
// named by its statistics key) was answered right and wrong in one section of one trainer.
// Exercises create one per judged answer; the statistics store accumulates and persists them;
// the statistics views and the question weighting read them back.

#include <QtGlobal>

namespace Core {

struct StatisticsRecord
{
    qint32 id = 0;      // statistics key of the asked item
    qint32 exId = 0;    // trainer index: 0 notes, 1 ear, 2 symbols
    qint32 section = 0; // section index within the trainer's lesson
    qint32 correct = 0;
    qint32 wrong = 0;

    bool operator==(const StatisticsRecord& o) const
    {
        return id == o.id && exId == o.exId && section == o.section && correct == o.correct &&
               wrong == o.wrong;
    }
    bool operator!=(const StatisticsRecord& o) const { return !(*this == o); }
};

} // namespace Core
