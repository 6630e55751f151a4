#pragma once
// The format of the program's settings file: the INI text of Qt's own IniFormat (sections, "\" for
// "/" in keys, escaped and quoted strings, "@"-marked types), so that the files of earlier versions
// read as before and Qt's reader reads ours, but written so that a save succeeds only once every
// byte is in the file. Qt's writer hands its text to a QSaveFile whose buffer takes it whole; a
// full disk then fails only in the flush at commit, which QSaveFile does not check, and the empty
// temporary file would replace the settings. Here the text is flushed and synced inside the
// write, and a failure makes QSettings keep the old file and report QSettings::AccessError.
//
// Reading refuses what is not INI text (NUL bytes, invalid UTF-8, a line that is neither a
// section, a key = value, a comment nor blank), so that QSettings reports QSettings::FormatError
// rather than handing out keys made of noise. Text past ASCII (a hand edit: Qt's writer escapes it)
// is read as UTF-8.
//
// Same file name as the native format: ~/.config/<organisation>/<application>.conf on Linux.

#include <QSettings>

class QIODevice;

namespace Core {

class SettingsFileFormat
{
public:
    SettingsFileFormat() = delete;

    // The format, registered with QSettings on the first call (Qt keeps every registration, and
    // allows sixteen). NativeFormat if Qt refuses it.
    static QSettings::Format Registered();
    // Registers the format and makes it the one of every QSettings made by the default
    // constructor. Called at start-up before the first QSettings is made.
    static void Install();

    // QSettings' read and write functions of the format.
    static bool Read(QIODevice& device, QSettings::SettingsMap& map);
    static bool Write(QIODevice& device, const QSettings::SettingsMap& map);
};

} // namespace Core
