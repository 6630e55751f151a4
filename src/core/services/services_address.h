#pragma once
// Where the maker's online services (usage statistics upload, news) are. There is no built-in
// address: the base URL comes from the environment variable CANTORELA_SERVICES_URL or, when
// that is unset, from the setting "Settings.ServicesUrl" in group "GlobalSetting". With neither,
// the program sends nothing anywhere. Used by the application when it creates the telemetry
// store and the news client.

#include <QString>
#include <QUrl>

namespace Core {

class ServicesAddress
{
public:
    ServicesAddress() = delete;

    static constexpr const char* EnvironmentVariable = "CANTORELA_SERVICES_URL";
    static constexpr const char* SettingsGroup = "GlobalSetting";
    static constexpr const char* SettingsKey = "Settings.ServicesUrl";

    // The configured base URL, or an empty URL when none is configured or the configured text
    // is not an absolute http or https URL with a host (that case is logged).
    static QUrl Configured();

    // Checks a base URL the same way; an empty URL for anything unusable.
    static QUrl Validated(const QString& text);

    // The base URL with servicePath ("/Services/News.ashx") appended to its path; the query and
    // fragment of the base are dropped. Empty when base is empty.
    static QUrl ServiceUrl(const QUrl& base, const QString& servicePath);
};

} // namespace Core
