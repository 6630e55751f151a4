#include "ui/speed.h"

#include "core/exercise/answer.h"

namespace UI {

void registerScreenMetaTypes()
{
    static const bool registered = [] {
        Core::Answer::RegisterMetaType();
        qRegisterMetaType<UI::Speed>("UI::Speed");
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace UI
