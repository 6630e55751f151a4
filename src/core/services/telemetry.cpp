#include "core/services/telemetry.h"

#include "core/data_file.h"
#include "core/error.h"
#include "core/services/telemetry_xml_serializer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QOperatingSystemVersion>
#include <QSysInfo>

#include <algorithm>
#include <limits>

Q_LOGGING_CATEGORY(telemetryLog, "cantorela.telemetry")

namespace Core {
namespace {

const char* const SourceFile = "src/core/telemetry";

// Running mean of whole milliseconds: (mean * count + value) / (count + 1), truncated. Computed
// in 64 bits so that long visits or many runs cannot overflow, then kept in the 32-bit range the
// file stores.
qint32 FoldTime(qint32 mean, qint32 count, qint64 value)
{
    const qint64 folded = (qint64(mean) * count + value) / (qint64(count) + 1);
    return qint32(
        std::clamp<qint64>(folded, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

double FoldScore(double mean, qint32 count, double value)
{
    return (mean * count + value) / (double(count) + 1);
}

qint32 Increment(qint32 count)
{
    return count < std::numeric_limits<qint32>::max() ? count + 1 : count;
}

Telemetry::Clock MonotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

Telemetry::Telemetry(const QString& filePath, const QUrl& servicesUrl, Clock clock)
    : filePath(filePath), servicesUrl(servicesUrl), clock(clock ? std::move(clock) : MonotonicClock())
{
    counters.uid = QUuid::createUuid();
    counters.installDate = QDateTime::currentMSecsSinceEpoch();
    counters.os = OperatingSystemName();
    counters.locale = QLocale::system().name();
    counters.tz = QDateTime(QDate::currentDate(), QTime(0, 0), Qt::LocalTime).offsetFromUtc();
    {
        std::lock_guard<std::mutex> lock(mutex);
        Load();
    }
    runStart = this->clock();
}

Telemetry::~Telemetry()
{
    try {
        Save();
    } catch (const Error& error) {
        qCWarning(telemetryLog).noquote() << "usage statistics not saved:" << error.Describe();
    }

    std::shared_ptr<BackgroundRequest> running;
    qint64 waitMs = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        running = upload;
        waitMs = std::max<qint64>(0, uploadStart + UploadTimeLimitMs - clock());
    }
    if (!running)
        return;
    // The upload aborts itself at its time limit; wait for that, never longer. A task that is
    // somehow still unwinding afterwards holds only its own shared state.
    if (!running->Wait(int(waitMs))) {
        running->Cancel();
        if (!running->Wait(250))
            qCWarning(telemetryLog) << "usage statistics upload still running at exit; left behind";
    }
}

QString Telemetry::OperatingSystemName()
{
#ifdef Q_OS_WIN
    const QOperatingSystemVersion v = QOperatingSystemVersion::current();
    const int major = v.majorVersion(), minor = v.minorVersion();
    if (major == 5 && minor == 0)
        return QStringLiteral("Windows 2000");
    if (major == 5 && minor == 1)
        return QStringLiteral("Windows XP");
    if (major == 6 && minor == 0)
        return QStringLiteral("Windows Vista");
    if (major == 6 && minor == 1)
        return QStringLiteral("Windows 7");
    if (major == 6 && minor == 2)
        return QStringLiteral("Windows 8");
    if (major == 6 && minor == 3)
        return QStringLiteral("Windows 8_1");
    return QStringLiteral("Windows");
#else
    return QSysInfo::prettyProductName();
#endif
}

void Telemetry::Load()
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        const Error error(SourceFile, "Core::Telemetry::Load", __LINE__, 1573, file.errorString());
        if (QFileInfo::exists(filePath)) {
            fileUnreadable = true;
            qCWarning(telemetryLog).noquote() << error.Describe();
        } else {
            qCDebug(telemetryLog).noquote() << error.Describe();
        }
        return;
    }
    try {
        TelemetryXMLSerializer(&counters).ReadXML(file);
    } catch (const Error& error) {
        fileUnreadable = true;
        qCWarning(telemetryLog).noquote() << filePath << "could not be read completely:" << error.Describe();
    }
}

void Telemetry::Save()
{
    QByteArray document;
    bool keepAside = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        document = TelemetryXMLSerializer::WriteXML(counters);
        keepAside = fileUnreadable;
    }
    if (keepAside) {
        QString keptPath;
        if (!DataFile::KeepAside(filePath, &keptPath))
            throw Error(SourceFile, "Core::Telemetry::Save", __LINE__, 1572,
                        QStringLiteral("%1 could not be read and could not be kept aside; not replaced")
                            .arg(filePath));
        if (!keptPath.isEmpty())
            qCWarning(telemetryLog).noquote() << "unreadable usage statistics file kept as" << keptPath;
        std::lock_guard<std::mutex> lock(mutex);
        fileUnreadable = false;
    }
    QString errorText;
    if (!DataFile::WriteAtomically(filePath, document, &errorText))
        throw Error(SourceFile, "Core::Telemetry::Save", __LINE__, 1572, errorText);
}

void Telemetry::ExerciseStarted(int trainerIndex, bool quizLesson)
{
    std::lock_guard<std::mutex> lock(mutex);
    currentTrainer = std::clamp(trainerIndex, 0, TelemetryCounters::TrainerCount - 1);
    quiz = quizLesson;
    exerciseStart = clock();
    exerciseRunning = true;
}

void Telemetry::FoldReferenceVisit()
{
    if (!referenceOpen)
        return;
    TrainerUsage& t = counters.trainers[size_t(currentTrainer)];
    t.refTimeAverage = FoldTime(t.refTimeAverage, t.refLaunchCount, clock() - referenceStart);
    t.refLaunchCount = Increment(t.refLaunchCount);
    referenceOpen = false;
}

void Telemetry::ExerciseFinished(double score)
{
    std::lock_guard<std::mutex> lock(mutex);
    FoldReferenceVisit();
    if (!exerciseRunning)
        return;
    TrainerUsage& t = counters.trainers[size_t(currentTrainer)];
    const qint64 elapsed = clock() - exerciseStart;
    qint32& count = quiz ? t.quizLaunchCount : t.exLaunchCount;
    double& scoreAverage = quiz ? t.quizScoreAverage : t.exScoreAverage;
    qint32& timeAverage = quiz ? t.quizTimeAverage : t.exTimeAverage;
    auto& history = quiz ? t.quizScore : t.exScore;
    scoreAverage = FoldScore(scoreAverage, count, score);
    timeAverage = FoldTime(timeAverage, count, elapsed);
    count = Increment(count);
    std::rotate(history.begin(), history.begin() + 1, history.end());
    history.back() = score;
    exerciseRunning = false;
}

void Telemetry::ReferenceOpened()
{
    std::lock_guard<std::mutex> lock(mutex);
    referenceStart = clock();
    referenceOpen = true;
}

void Telemetry::ReferenceClosed()
{
    std::lock_guard<std::mutex> lock(mutex);
    FoldReferenceVisit();
}

void Telemetry::SettingsOpened()
{
    std::lock_guard<std::mutex> lock(mutex);
    FoldReferenceVisit();
    settingsStart = clock();
    settingsOpen = true;
}

void Telemetry::SettingsClosed()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!settingsOpen)
        return;
    TrainerUsage& t = counters.trainers[size_t(currentTrainer)];
    t.settingsTimeAverage = FoldTime(t.settingsTimeAverage, t.settingsLaunchCount, clock() - settingsStart);
    t.settingsLaunchCount = Increment(t.settingsLaunchCount);
    // One visit is counted once, however often its close is reported.
    settingsOpen = false;
}

void Telemetry::ApplicationFinished()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (applicationFinished)
        return;
    applicationFinished = true;
    counters.appTimeAverage = FoldTime(counters.appTimeAverage, counters.appLaunchCount, clock() - runStart);
    counters.appLaunchCount = Increment(counters.appLaunchCount);

    const QUrl url = ServicesAddress::ServiceUrl(servicesUrl, QLatin1String(ServicePath));
    if (url.isEmpty()) {
        qCDebug(telemetryLog) << "no services address configured; usage statistics stay on this machine";
        return;
    }
    BackgroundRequest::Options options;
    options.method = BackgroundRequest::Method::Post;
    options.url = url;
    options.headers.append({QByteArrayLiteral("uid"), counters.uid.toString(QUuid::WithBraces).toLatin1()});
    // The upload works on this snapshot, never on the live counters.
    options.body = TelemetryXMLSerializer::WriteXML(counters);
    options.timeLimitMs = UploadTimeLimitMs;
    options.maxBodyBytes = 64 * 1024; // the answer is ignored; do not buffer an endless one
    uploadStart = clock();
    upload = BackgroundRequest::Start(std::move(options), [](const BackgroundRequest::Result& result) {
        if (!result.succeeded)
            qCDebug(telemetryLog).noquote() << "usage statistics upload failed:" << result.errorText;
    });
}

TelemetryCounters Telemetry::Counters() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return counters;
}

QByteArray Telemetry::Document() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return TelemetryXMLSerializer::WriteXML(counters);
}

bool Telemetry::UploadStarted() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return upload != nullptr;
}

bool Telemetry::WaitForUpload(int timeoutMs)
{
    std::shared_ptr<BackgroundRequest> running;
    {
        std::lock_guard<std::mutex> lock(mutex);
        running = upload;
    }
    return !running || running->Wait(timeoutMs);
}

} // namespace Core
