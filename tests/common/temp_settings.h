#pragma once
// A settings file of the test's own: the program's organisation and application names, and
// QSettings pointed into a temporary folder, so that no test reads what another left behind or
// touches the user's own settings. Make one per test (in init()), or one per test program. The
// settings file format is the program's own, as the application installs it at start-up.

#include "core/settings_file_format.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

class TempSettings
{
public:
    TempSettings()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        Core::SettingsFileFormat::Install();
    }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    bool IsValid() const { return dir.isValid(); }
    QString Path() const { return dir.path(); }

private:
    QTemporaryDir dir;
};
