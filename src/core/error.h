#pragma once
// The exception value that engine code throws: where it was thrown (source file, qualified
// function, line), a numeric code grouped by module (0x1xx MIDI files, 0x3xx MIDI ports,
// 0x4xx timer, 0x5xx score, 0x6xx stores) and a message for people. Copies share one record,
// so throwing and catching by value is cheap.

#include <QString>

#include <exception>
#include <memory>

namespace Detail {

struct ErrorData
{
    const char* file;     // static string, e.g. "src/core/timer"
    const char* function; // static string, e.g. "Core::Timer::Start"
    qint32 line;
    qint32 code;
    QString message;
};

} // namespace Detail

class Error : public std::exception
{
public:
    Error(const char* file, const char* function, int line, int code, const QString& message);

    const char* File() const { return data->file; }
    const char* Function() const { return data->function; }
    int Line() const { return data->line; }
    int Code() const { return data->code; }
    const QString& Message() const { return data->message; }

    // "Core::Timer::Start (src/core/timer:42): Error starting timer [0x401]"
    QString Describe() const;
    const char* what() const noexcept override;

private:
    std::shared_ptr<const Detail::ErrorData> data;
    std::shared_ptr<const QByteArray> whatText;
};
