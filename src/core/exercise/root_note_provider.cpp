#include "core/exercise/root_note_provider.h"

#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_scale_data.h"

#include <cstdlib>

namespace Core {

RootNoteProvider::RootNoteProvider(const QuestionPool& entries, const RootIndex& roots)
    : pool(entries), index(roots)
{
}

const RootNoteProvider& RootNoteProvider::Intervals()
{
    static const RootNoteProvider provider(GetIntervalPool(), GetIntervalRootIndex());
    return provider;
}

const RootNoteProvider& RootNoteProvider::Scales()
{
    static const RootNoteProvider provider(GetScalePool(), GetScaleRootIndex());
    return provider;
}

int RootNoteProvider::LowestKey(unsigned questionId) const
{
    if (questionId >= pool.size())
        return -1;
    const QuestionData* entry = pool[questionId].get();
    if (auto chord = dynamic_cast<const QuestionChordData*>(entry))
        return chord->keys.empty() ? -1 : chord->keys.front();
    if (auto scale = dynamic_cast<const QuestionScaleData*>(entry))
        return scale->rootKey;
    return -1;
}

bool RootNoteProvider::ProvideVariant(unsigned questionId, unsigned& candidate) const
{
    const int key = LowestKey(questionId);
    if (key < 0 || size_t(key) >= index.size())
        return false;
    const std::vector<unsigned>& entries = index[size_t(key)];
    if (entries.size() < 2)
        return false;
    candidate = entries[size_t(std::rand()) % entries.size()];
    return true;
}

} // namespace Core
