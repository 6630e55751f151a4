#pragma once
// Audio back end for the answer sounds: plays a clip's WAV image from memory without blocking,
// a new clip cutting off the one playing, and stops on request. Servers register themselves in
// a process-wide list as they are constructed; the one in use is the most recent. When none has
// been made, Current() makes the platform's default (AuServerSynth). GUI thread.

class SoundClip;

namespace Core {

class AuServer
{
public:
    AuServer();
    virtual ~AuServer();
    AuServer(const AuServer&) = delete;
    AuServer& operator=(const AuServer&) = delete;

    virtual void Prepare(SoundClip&) {}
    virtual void Play(SoundClip& clip) = 0;
    virtual void Stop() = 0;

    // The most recently constructed server still alive; creates the default when there is none.
    static AuServer* Current();
};

} // namespace Core
