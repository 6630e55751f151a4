#pragma once
// Anonymous usage counters of the three trainers: how often and how long exercises, quizzes, the
// reference and the settings are used, and the recent scores. They persist in "tstats.xml" in
// the data directory and, when the main window closes, the same document is posted to the
// maker's usage-statistics service ("/Services/Tstats.ashx", header "uid") when a services
// address is configured (Core::ServicesAddress); otherwise nothing leaves the machine.
//
// The exercise catalogue owns the one instance; the exercise handler, the exercise screen and the
// main window report events to it. All operations take the object's mutex and may run on any
// thread; they are normally called on the GUI thread. The upload runs on a thread-pool thread
// from a snapshot of the document, is limited to UploadTimeLimitMs, and the destructor waits for
// it no longer than that.

#include "core/services/background_request.h"
#include "core/services/services_address.h"
#include "core/services/telemetry_counters.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <mutex>

namespace Core {

class Telemetry
{
public:
    static constexpr const char* ServicePath = "/Services/Tstats.ashx";
    static constexpr int UploadTimeLimitMs = 5000;

    // Milliseconds on a monotonic clock; the default measures real time.
    using Clock = std::function<qint64()>;

    // Builds the defaults (fresh uid, installDate now), loads filePath when it can be read and
    // starts timing the run. servicesUrl is the base address of the maker's services; empty
    // means no upload.
    explicit Telemetry(const QString& filePath, const QUrl& servicesUrl = ServicesAddress::Configured(),
                       Clock clock = Clock());
    // Saves the file (failures are logged), then waits for a running upload, at most until its
    // time limit has passed.
    virtual ~Telemetry();

    Telemetry(const Telemetry&) = delete;
    Telemetry& operator=(const Telemetry&) = delete;

    void ExerciseStarted(int trainerIndex, bool quiz);
    // score: right answers divided by all answers given, 0 when none was given.
    void ExerciseFinished(double score);
    void ReferenceOpened();
    void ReferenceClosed();
    void SettingsOpened();
    void SettingsClosed();
    // Folds the run's length into the program-wide mean and starts the upload. Only the first
    // call of a run counts.
    void ApplicationFinished();

    // Writes "tstats.xml" atomically. Throws Error 1572 when it cannot be written.
    void Save();

    TelemetryCounters Counters() const;
    // The document as it would be saved and uploaded now.
    QByteArray Document() const;
    QString FilePath() const { return filePath; }

    // Whether an upload was started, and waiting for it (any thread but the upload's).
    bool UploadStarted() const;
    bool WaitForUpload(int timeoutMs);

    // The running system's name as reported in "os".
    static QString OperatingSystemName();

private:
    void Load();
    void FoldReferenceVisit();

    const QString filePath;
    const QUrl servicesUrl;
    const Clock clock;

    mutable std::mutex mutex; // guards everything below
    TelemetryCounters counters;
    bool fileUnreadable = false; // kept aside before the first save replaces it

    int currentTrainer = 0;
    bool quiz = false;
    bool exerciseRunning = false;
    bool referenceOpen = false;
    bool settingsOpen = false;
    bool applicationFinished = false;
    qint64 runStart = 0;
    qint64 exerciseStart = 0;
    qint64 referenceStart = 0;
    qint64 settingsStart = 0;

    std::shared_ptr<BackgroundRequest> upload;
    qint64 uploadStart = 0;
};

} // namespace Core
