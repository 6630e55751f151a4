#pragma once
// One presentable item: the item a question asks, or one of the multiple-choice candidates shown
// beside it. Its stream is both the sound of the item and the notes expected of a MIDI answer;
// its statistics key names it in the exercise statistics. The pools hold derived records (notes,
// intervals and chords, scales, tempo pieces); trainers and the screen read them through this
// base. Shared read-only once a pool is built.

#include "core/midi/midi_stream.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace Core {

class QuestionData
{
public:
    virtual ~QuestionData() = default;

    std::shared_ptr<MidiStream> stream; // notes in order; may be empty for shown-only items
    QByteArray gmn;                     // notation text of the item for the score view
    QString caption;                    // text of the item (a picture path where it has one)
    QString caption2;                   // second text of the item (its label)
    qint32 statisticsKey = 0;
};

} // namespace Core
