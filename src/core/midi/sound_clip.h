#pragma once
// A short recorded sound (the right and wrong answer sounds): a WAV file's bytes held in memory,
// played through the current AuServer. The exercise screen creates its clips when it is built
// and destroys them with it; destroying a clip stops the sound. GUI thread.

#include <QByteArray>
#include <QString>

class SoundClip
{
public:
    // Reads the whole file (a resource path such as ":/wav/right.wav" or a file); data stays
    // empty when it cannot be read. Then lets the current server prepare the clip.
    explicit SoundClip(const QString& path);
    // From WAV bytes already in memory.
    SoundClip(const QByteArray& wav, const QString& name);
    ~SoundClip();
    SoundClip(const SoundClip&) = delete;
    SoundClip& operator=(const SoundClip&) = delete;

    void Play();

    const QByteArray& Data() const { return data; }
    const QString& Path() const { return path; }

private:
    QByteArray data;
    QString path;
};
