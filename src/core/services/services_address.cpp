#include "core/services/services_address.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(servicesLog, "cantorela.services")

namespace Core {

QUrl ServicesAddress::Configured()
{
    QString text = qEnvironmentVariable(EnvironmentVariable).trimmed();
    if (text.isEmpty()) {
        QSettings settings;
        settings.beginGroup(QLatin1String(SettingsGroup));
        text = settings.value(QLatin1String(SettingsKey)).toString().trimmed();
    }
    if (text.isEmpty())
        return QUrl();
    return Validated(text);
}

QUrl ServicesAddress::Validated(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty()) {
        qCWarning(servicesLog).noquote()
            << "ignoring the services address" << text << "- expected an http:// or https:// URL with a host";
        return QUrl();
    }
    return url;
}

QUrl ServicesAddress::ServiceUrl(const QUrl& base, const QString& servicePath)
{
    if (base.isEmpty())
        return QUrl();
    QUrl url = base;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + servicePath);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

} // namespace Core
