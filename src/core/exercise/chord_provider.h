#pragma once
// Multiple-choice variants of an asked chord: another chord whose root is the asked chord's
// lowest key. Two different chord ids never count as the same answer. One per process.

#include "core/exercise/root_note_provider.h"

namespace Core {

class ChordProvider : public RootNoteProvider
{
public:
    static const ChordProvider& Instance();
    ChordProvider();
};

} // namespace Core
