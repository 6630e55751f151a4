#pragma once
// How a screen switches its view: at once or with its animation. Travels in queued signals
// between the main window and the exercise screen, so it is a registered meta-type.

#include <QMetaType>

namespace UI {

enum Speed
{
    Quick = 0,    // switch without animation
    Animated = 1, // glide the panes into place
};

// Registers "UI::Speed" (and "Core::Answer", which the exercise screen's signals carry) with
// Qt's meta-type system; once per process, any thread.
void registerScreenMetaTypes();

} // namespace UI

Q_DECLARE_METATYPE(UI::Speed)
