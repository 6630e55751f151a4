#include "core/error.h"

Error::Error(const char* file, const char* function, int line, int code, const QString& message)
    : data(std::make_shared<const Detail::ErrorData>(Detail::ErrorData{file, function, line, code, message}))
{
    whatText = std::make_shared<const QByteArray>(Describe().toUtf8());
}

QString Error::Describe() const
{
    return QStringLiteral("%1 (%2:%3): %4 [0x%5]")
        .arg(QString::fromUtf8(data->function), QString::fromUtf8(data->file))
        .arg(data->line)
        .arg(data->message)
        .arg(data->code, 0, 16);
}

const char* Error::what() const noexcept
{
    return whatText->constData();
}
