#include "core/midi/sound_clip.h"

#include "core/midi/au_server.h"

#include <QFile>

SoundClip::SoundClip(const QString& filePath) : path(filePath)
{
    QFile file(filePath);
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    Core::AuServer::Current()->Prepare(*this);
}

SoundClip::SoundClip(const QByteArray& wav, const QString& name) : data(wav), path(name)
{
    Core::AuServer::Current()->Prepare(*this);
}

SoundClip::~SoundClip()
{
    // The sound playing may be this clip's.
    Core::AuServer::Current()->Stop();
}

void SoundClip::Play()
{
    Core::AuServer::Current()->Play(*this);
}
