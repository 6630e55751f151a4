#pragma once
// A MIDI keyboard for the exercise-screen tests that run under ctest's test JACK server: a
// keyboard port on that server and a sound controller (no synthesizer, no device watching) with
// the port selected as its MIDI input, to hand to ScreenRig. Without the server (a test binary
// run by hand) HaveJack() is false and the tests go on without MIDI keys.

#include "../common/screen_parts.h"
#include "../core/midi/jack_test_ports.h"

#include <memory>

inline bool HaveJack()
{
    return !qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER");
}

struct JackKeyboard
{
    explicit JackKeyboard(const std::string& clientName = "Cantorela Screen Keyboard")
        : keyboard(clientName), controller(SilentSound())
    {
        controller->RefreshDevices();
    }
    // Selects the port as the controller's input and waits until the input device hears it.
    bool Ready()
    {
        return controller->SelectInputByName(keyboard.name) &&
               WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) >= 0;
    }
    // Presses and releases the key `key` (0-87).
    void Play(int key)
    {
        keyboard.Send(MidiMessage(0x90, 0, quint8(key + 21), 100));
        keyboard.Send(MidiMessage(0x80, 0, quint8(key + 21), 0));
    }

    TestKeyboard keyboard;
    std::shared_ptr<Core::SoundController> controller;
};
