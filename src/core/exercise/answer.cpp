#include "core/exercise/answer.h"

namespace Core {

int Answer::RegisterMetaType()
{
    static const int id = qRegisterMetaType<Core::Answer>("Core::Answer");
    return id;
}

} // namespace Core
