#include "music_control.h"

#include "core/exercise/music_tables.h"

MusicControl::MusicControl(QWidget* parent) : BaseControl(parent) {}

bool MusicControl::isWhiteKey(int key)
{
    return !Core::MusicTables::IsBlackKey(key);
}

QString MusicControl::keyName(int key)
{
    if (key < 0 || key >= KeyCount)
        return QString();
    if (isWhiteKey(key))
        return Core::MusicTables::NoteLabel(key, false);
    return Core::MusicTables::NoteLabel(key, false) + QLatin1Char('/') +
           Core::MusicTables::NoteLabel(key, true);
}
