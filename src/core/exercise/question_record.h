#pragma once
// What a section's pool holds and what is asked: the question kind, which answers are accepted,
// and the six multiple-choice candidates, one of which is the asked item. Trainers append one
// template record per section and fill a drawn copy in DrawQuestion; the exercise keeps the
// asked copies in its history and judges answers against them.

#include "core/exercise/question_data.h"

#include <memory>
#include <vector>

namespace Core {

struct QuestionRecord
{
    // Kinds presented by sound when asked; every other kind is only shown.
    enum Kind
    {
        EarQuestion = 1,
        TempoQuestion = 2, // plays a piece with its own instruments
        NoteReadingQuestion = 3,
        SymbolQuestion = 5,
        ChordSymbolQuestion = 6, // answers are matched by pitch class
    };
    // answerModes bits.
    enum Mode
    {
        NotesMode = 1,
        ChoiceMode = 4,
        OrderedMode = 8, // notes of a MIDI answer must come in the order expected
    };

    qint32 kind = 0;
    qint32 answerModes = 0; // 0: no answer can be right
    std::vector<std::shared_ptr<const QuestionData>> candidates;
    qint32 correctIndex = 0;
    bool option1 = false;
    bool option2 = false;

    bool IsSounded() const { return kind == 1 || kind == 2 || kind == 3 || kind == 6; }
    // The asked item, or null when the record has none (a template not drawn yet).
    const QuestionData* AskedItem() const
    {
        if (correctIndex < 0 || size_t(correctIndex) >= candidates.size())
            return nullptr;
        return candidates[size_t(correctIndex)].get();
    }
};

} // namespace Core
