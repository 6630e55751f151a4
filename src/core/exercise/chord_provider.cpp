#include "core/exercise/chord_provider.h"

namespace Core {

ChordProvider::ChordProvider() : RootNoteProvider(GetChordPool(), GetChordRootIndex()) {}

const ChordProvider& ChordProvider::Instance()
{
    static const ChordProvider provider;
    return provider;
}

} // namespace Core
