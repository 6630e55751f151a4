#include "core/exercise/tempo_provider.h"

namespace Core {

const TempoProvider& TempoProvider::Instance()
{
    static const TempoProvider provider;
    return provider;
}

} // namespace Core
