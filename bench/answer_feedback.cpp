// How soon the exercise screen shows what happened, measured on the real screen in a shown
// offscreen window of 1920 × 1080, a note trainer lesson of single notes with every answer input
// shown. Three series, each to the end of the window's paint (the return of its UpdateRequest:
// every dirty widget painted and the backing store flushed):
//   midi   the note-on sent from a keyboard port on a JACK server, to the end of the first paint
//          after the screen showed the judgement (its status label painted in it);
//   click  a QTest click on a variant button, to the same paint;
//   next   the next-question timer firing (the session's aboutToAskNext()), to the end of the
//          first paint after the new question was shown (the fader or the score board painted in
//          it).
// Right and wrong answers by turns, after a varying pause (0-200 ms) as a student takes; wrong
// answers move on after 500 ms, as right ones do. For each series it prints medians and 99th
// percentiles of the whole and of its stages, so that a slow one shows where its time goes.
//
//   answer_feedback [--load] [--samples N]
//
// --load keeps both cores busy with spinning threads while measuring. Starts a JACK server of
// its own unless JACK_DEFAULT_SERVER names one. The last line is
//   answer_feedback midi_p50_ms=... midi_p99_ms=... click_p99_ms=... next_p99_ms=...

#include "bench_support.h"
#include "jack_test_ports.h"
#include "test_exercise_screen_fixture.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

quint64 Now()
{
    return Core::Timer::NowNs();
}

double Ms(quint64 from, quint64 to)
{
    return to >= from ? double(to - from) / 1e6 : 0.0;
}

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Times every paint of one top-level window, and every queued call of one object (the lesson
// session, whose queued reports run the screen's slots): the application's event delivery is the
// only place where the end of a paint is seen.
class PaintClock : public QApplication
{
public:
    using QApplication::QApplication;

    struct Paint
    {
        quint64 startNs;
        quint64 endNs;
        std::set<QObject*> painted;
        // Time in each widget's own paintEvent (its children's paints excluded), by widget.
        std::map<QString, double> selfMs;
    };

    bool notify(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (receiver == window && type == QEvent::UpdateRequest && !inUpdate) {
            inUpdate = true;
            current.painted.clear();
            current.selfMs.clear();
            current.startNs = Now();
            const bool result = QApplication::notify(receiver, event);
            current.endNs = Now();
            inUpdate = false;
            ++paints;
            paintNs += current.endNs - current.startNs;
            for (QObject* widget : current.painted)
                ++paintedCount[WidgetName(widget)];
            if (onPaint)
                onPaint(current);
            return result;
        }
        if (inUpdate && type == QEvent::Paint) {
            current.painted.insert(receiver);
            const quint64 start = Now();
            nested.push_back(0);
            const bool result = QApplication::notify(receiver, event);
            const quint64 inclusive = Now() - start;
            const quint64 children = nested.back();
            nested.pop_back();
            if (!nested.empty())
                nested.back() += inclusive;
            current.selfMs[WidgetName(receiver)] += double(inclusive - std::min(inclusive, children)) / 1e6;
            return result;
        }
        if (receiver == screen && type == QEvent::MetaCall) {
            const quint64 start = Now();
            currentScreenCallStartNs = start;
            const bool result = QApplication::notify(receiver, event);
            return result;
        }
        return QApplication::notify(receiver, event);
    }

    QObject* window = nullptr;
    QObject* screen = nullptr;
    std::function<void(const Paint&)> onPaint;
    quint64 currentScreenCallStartNs = 0; // of the queued call being delivered
    int paints = 0;
    quint64 paintNs = 0;
    // How many window paints each widget took part in.
    std::map<QString, int> paintedCount;

private:
    static QString WidgetName(QObject* object)
    {
        const QString name = object->objectName();
        return name.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : name;
    }

    bool inUpdate = false;
    std::vector<quint64> nested;
    Paint current;
};

// One series: totals and the stages of each sample, in milliseconds.
struct Series
{
    explicit Series(const char* seriesName, std::vector<const char*> stageNames)
        : name(seriesName), stageNames(std::move(stageNames)), stages(this->stageNames.size())
    {
    }
    void AddPaint(const std::map<QString, double>& selfMs)
    {
        for (const auto& entry : selfMs)
            paintMs[entry.first] += entry.second;
        ++paintSamples;
    }
    void Add(double totalMs, const std::vector<double>& stageMs)
    {
        total.push_back(totalMs);
        for (size_t i = 0; i < stages.size() && i < stageMs.size(); ++i)
            stages[i].push_back(stageMs[i]);
    }
    double P50() const { return Bench::Percentile(total, 0.5); }
    double P99() const { return Bench::Percentile(total, 0.99); }
    void Print() const
    {
        const double max = total.empty() ? 0 : *std::max_element(total.begin(), total.end());
        std::printf("%-6s n=%zu p50 %.3f ms, p90 %.3f ms, p99 %.3f ms, max %.3f ms, over 16 ms: %d\n", name,
                    total.size(), P50(), Bench::Percentile(total, 0.9), P99(), max,
                    int(std::count_if(total.begin(), total.end(), [](double v) { return v > 16.0; })));
        for (size_t i = 0; i < stages.size(); ++i)
            std::printf("         %-38s p50 %.3f ms, p99 %.3f ms\n", stageNames[i],
                        Bench::Percentile(stages[i], 0.5), Bench::Percentile(stages[i], 0.99));
        std::vector<std::pair<double, QString>> widgets;
        for (const auto& entry : paintMs)
            widgets.emplace_back(entry.second / std::max(1, paintSamples), entry.first);
        std::sort(widgets.rbegin(), widgets.rend());
        QStringList top;
        for (size_t i = 0; i < widgets.size() && i < 8; ++i)
            top.append(QStringLiteral("%1 %2").arg(widgets[i].second).arg(widgets[i].first, 0, 'f', 3));
        std::printf("         paintEvent self time per paint, mean ms: %s\n",
                    qPrintable(top.join(QStringLiteral(", "))));
    }

    const char* name;
    std::vector<const char*> stageNames;
    std::vector<double> total;
    std::vector<std::vector<double>> stages;
    std::map<QString, double> paintMs;
    int paintSamples = 0;
};

// Runs the event loop (no sleeping between polls, so nothing waits that would not in the
// program) until `done` holds or `timeoutMs` passed. Returns `done()`.
bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PaintClock app(argc, argv);
    const QStringList args = app.arguments();
    const bool load = args.contains(QStringLiteral("--load"));
    int samples = 250;
    const int at = args.indexOf(QStringLiteral("--samples"));
    if (at >= 0 && at + 1 < args.size())
        samples = std::max(10, args[at + 1].toInt());
    const int warmUp = 10;

    Bench::JackServer server;
    setenv("CANTORELA_MIDI_API", "jack", 1);
    ScreenTestSetUp();

    TestKeyboard keyboard("Bench Keyboard");
    Core::SoundController::Options options;
    options.builtInSynthesizer = false;
    options.watchDevices = false;
    auto controller = std::make_shared<Core::SoundController>(options);
    controller->RefreshDevices();
    if (!controller->SelectInputByName(keyboard.name) ||
        WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) < 0) {
        std::fprintf(stderr, "answer_feedback: no JACK server with our keyboard port\n");
        return 1;
    }

    ScreenRig rig(std::make_shared<Core::MidiBank>(), QSize(1920, 1080), controller);
    rig.Settings([](Core::TrainerSettings& s) {
        ShortLessons(s, 5000, 30); // one long first section of single notes
        s.noteTrainer.wrongAnswerPolicy = {true, UI::ExerciseScreen::RightAnswerDelayMs};
    });
    if (!rig.Show()) {
        std::fprintf(stderr, "answer_feedback: the window was not exposed\n");
        return 1;
    }
    rig.screen->loadExercise(0, false, false);
    Core::LessonSession* session = rig.screen->session();
    if (!session) {
        std::fprintf(stderr, "answer_feedback: no exercise\n");
        return 1;
    }
    // The moment the engine judged the answer, on whatever thread judged it.
    quint64 judgedNs = 0;

    QWidget* status = rig.Status();
    QWidget* fader = rig.Child(QStringLiteral("questionFader"));
    QWidget* board = rig.Child(QStringLiteral("scoreBoard"));
    app.window = rig.window.get();
    app.screen = session;

    Series midi("midi", {"send -> judged (MIDI thread)", "judged -> judgement report start", "judgement shown",
                         "judgement shown -> paint start", "paint (window sync+flush)"});
    Series click("click", {"click -> judged (GUI thread)", "judged -> judgement report start", "judgement shown",
                           "judgement shown -> paint start", "paint (window sync+flush)"});
    Series next("next", {"timer -> question report start", "question shown",
                         "question shown -> paint start", "paint (window sync+flush)"});

    // The feedback sample in flight.
    Series* feedbackSeries = nullptr;
    quint64 feedbackStartNs = 0;
    quint64 feedbackCallStartNs = 0, feedbackCallEndNs = 0;
    bool feedbackRecordNow = false;
    int feedbackPaintsWithoutLabel = 0;
    // The next-question sample in flight.
    bool nextArmed = false;
    quint64 nextStartNs = 0;
    quint64 nextCallStartNs = 0, nextCallEndNs = 0;
    int nextRecorded = 0;
    int nextPaintsWithoutQuestion = 0;
    int feedbackMissed = 0;

    // Connected after the screen's own slots, so these run right after the screen has shown the
    // judgement or the question, inside the session's queued call that reported it.
    QObject probe;
    QObject::connect(
        session, &Core::LessonSession::answerJudged, &probe,
        [&](const Core::Judgement& judgement) {
            judgedNs = judgement.judgedAtNs;
            feedbackCallStartNs = app.currentScreenCallStartNs;
            feedbackCallEndNs = Now();
        },
        Qt::DirectConnection);
    QObject::connect(
        session, &Core::LessonSession::questionAsked, &probe,
        [&] {
            if (!nextArmed)
                return;
            nextCallStartNs = app.currentScreenCallStartNs;
            nextCallEndNs = Now();
        },
        Qt::DirectConnection);
    QObject::connect(
        session, &Core::LessonSession::aboutToAskNext, &probe,
        [&] {
            nextStartNs = Now();
            nextCallStartNs = nextCallEndNs = 0;
            nextArmed = true;
        },
        Qt::DirectConnection);

    bool measuring = false;
    app.onPaint = [&](const PaintClock::Paint& paint) {
        if (feedbackSeries && feedbackCallEndNs != 0) {
            if (paint.painted.count(status)) {
                if (feedbackRecordNow)
                    feedbackSeries->AddPaint(paint.selfMs);
                if (feedbackRecordNow)
                    feedbackSeries->Add(Ms(feedbackStartNs, paint.endNs),
                                        {Ms(feedbackStartNs, judgedNs), Ms(judgedNs, feedbackCallStartNs),
                                         Ms(feedbackCallStartNs, feedbackCallEndNs),
                                         Ms(feedbackCallEndNs, paint.startNs),
                                         Ms(paint.startNs, paint.endNs)});
                feedbackSeries = nullptr;
            } else {
                ++feedbackPaintsWithoutLabel;
            }
        }
        if (nextArmed && nextCallEndNs != 0) {
            if (paint.painted.count(fader) || paint.painted.count(board)) {
                if (measuring)
                    next.AddPaint(paint.selfMs);
                if (measuring)
                    next.Add(Ms(nextStartNs, paint.endNs),
                             {Ms(nextStartNs, nextCallStartNs), Ms(nextCallStartNs, nextCallEndNs),
                              Ms(nextCallEndNs, paint.startNs), Ms(paint.startNs, paint.endNs)});
                nextArmed = false;
                ++nextRecorded;
            } else {
                ++nextPaintsWithoutQuestion;
            }
        }
    };

    const QString loadBefore = LoadAverage();
    std::unique_ptr<Bench::BusyCores> busy;
    if (load)
        busy = std::make_unique<Bench::BusyCores>(2);

    app.paints = 0;
    app.paintNs = 0;
    app.paintedCount.clear();
    const quint64 runStartNs = Now();
    std::mt19937 random(14);
    const int rounds = 2 * (samples + warmUp);
    for (int n = 0; n < rounds; ++n) {
        measuring = n >= 2 * warmUp;
        // Wait for the question: the previous one's next-question paint seen, an answer awaited.
        if (!RunUntil(
                [&] {
                    const Core::LessonSnapshot lesson = rig.Lesson();
                    return !nextArmed && lesson.state == Core::Exercise::AwaitingAnswer &&
                           lesson.playState == Core::LessonBase::Running && !rig.ExpectedKeys().isEmpty();
                },
                10000)) {
            std::fprintf(stderr, "answer_feedback: no question to answer (round %d)\n", n);
            return 1;
        }
        RunFor(int(random() % 201));
        const bool right = (n / 2) % 2 == 0;
        const bool byMidi = n % 2 == 0;
        const QVector<int> expected = rig.ExpectedKeys();
        const Core::QuestionRecord question = rig.Lesson().question;

        feedbackCallStartNs = feedbackCallEndNs = 0;
        judgedNs = 0;
        feedbackRecordNow = measuring;
        feedbackSeries = byMidi ? &midi : &click;
        int key = 0;
        if (byMidi) {
            key = (right ? expected.first() : WrongKey(expected)) + 21;
            feedbackStartNs = Now();
            keyboard.Send(MidiMessage(0x90, 0, quint8(key), 100));
        } else {
            const int count = int(question.candidates.size());
            const int id =
                right || count < 2 ? question.correctIndex + 1 : (question.correctIndex + 1) % count + 1;
            QToolButton* button = rig.Variant(id);
            feedbackStartNs = Now();
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        }
        if (!RunUntil([&] { return feedbackSeries == nullptr; }, 5000)) {
            ++feedbackMissed;
            feedbackSeries = nullptr;
        }
        if (byMidi)
            keyboard.Send(MidiMessage(0x80, 0, quint8(key), 0));
    }
    RunUntil([&] { return !nextArmed; }, 5000);
    busy.reset();
    const QString loadAfter = LoadAverage();

    app.onPaint = nullptr;

    std::printf("answer_feedback: note trainer, single notes, 1920 x 1080 offscreen, %s, load average "
                "before %s, after %s; JACK period 64 frames at 48 kHz (1.33 ms)\n",
                load ? "both cores kept busy" : "no added load", qPrintable(loadBefore),
                qPrintable(loadAfter));
    {
        std::vector<std::pair<int, QString>> widgets;
        for (const auto& entry : app.paintedCount)
            widgets.emplace_back(entry.second, entry.first);
        std::sort(widgets.rbegin(), widgets.rend());
        QStringList top;
        for (size_t i = 0; i < widgets.size() && i < 10; ++i)
            top.append(QStringLiteral("%1 %2").arg(widgets[i].second).arg(widgets[i].first));
        const double seconds = double(Now() - runStartNs) / 1e9;
        std::printf(
            "window paints %.1f per second, %.1f %% of the GUI thread's time; widgets painted in most: %s\n",
            app.paints / seconds, 100.0 * double(app.paintNs) / 1e9 / seconds,
            qPrintable(top.join(QStringLiteral(", "))));
    }
    std::printf("window paints %d; feedback waits that saw a paint without the status label %d, missed %d; "
                "next-question paints without the question %d\n",
                app.paints, feedbackPaintsWithoutLabel, feedbackMissed, nextPaintsWithoutQuestion);
    midi.Print();
    click.Print();
    next.Print();
    std::printf("answer_feedback midi_p50_ms=%.3f midi_p99_ms=%.3f click_p99_ms=%.3f next_p99_ms=%.3f\n",
                midi.P50(), midi.P99(), click.P99(), next.P99());
    return 0;
}
