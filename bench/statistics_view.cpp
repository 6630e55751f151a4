// The exercise screen's statistics and reference views on the real screen, in a shown offscreen
// window of 1920 × 1080, a note trainer lesson whose history holds a record for each of the 88
// keys (single notes) and a few intervals. Three series:
//   build      the page of the 88 notes shown after the page of the intervals (the section
//              button's slot), its pending layout done and the window repainted: the rows filled
//              and the visible ones painted; the first build, which makes the row widgets, is
//              printed apart. The octave pages of a hovered key are timed the same way.
//   reference  a reference page shown (the section button's slot of the reference view, as the
//              screen has it), and the window repainted.
//   switch     every repaint of the window (its UpdateRequest) while the 220 ms view animation
//              runs, over exercise → statistics → reference → exercise, animated.
// The last line is
//   statistics_view build_p50_ms=<median> reference_p50_ms=<median> switch_p99_ms=<p99>
//
//   statistics_view [--samples N]

#include "bench_support.h"
#include "core/exercise/exercise_statistics.h"
#include "core/exercise/music_tables.h"
#include "test_exercise_screen_fixture.h"
#include "ui/exercise/statistics_rows.h"
#include "ui/widgets/keyboard.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

qint64 NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double Ms(qint64 from, qint64 to)
{
    return double(to - from) / 1e6;
}

// Times the repaints of one top-level window.
class FrameClock : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (receiver == window && event->type() == QEvent::UpdateRequest && recording) {
            const qint64 start = NowNs();
            const bool result = QApplication::notify(receiver, event);
            frames.push_back(Ms(start, NowNs()));
            return result;
        }
        return QApplication::notify(receiver, event);
    }

    QObject* window = nullptr;
    bool recording = false;
    std::vector<double> frames;
};

bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

void Print(const char* name, const std::vector<double>& values)
{
    if (values.empty()) {
        std::printf("  %-40s none\n", name);
        return;
    }
    std::printf("  %-40s n=%4zu p50 %7.3f ms, p99 %7.3f ms, max %7.3f ms\n", name, values.size(),
                Bench::Percentile(values, 0.5), Bench::Percentile(values, 0.99),
                *std::max_element(values.begin(), values.end()));
}

// The offscreen platform says on every window layout that it cannot pass size hints on.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type < QtWarningMsg || message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietHandler);
    FrameClock app(argc, argv);
    const QStringList args = app.arguments();
    int samples = 200;
    const int at = args.indexOf(QStringLiteral("--samples"));
    if (at >= 0 && at + 1 < args.size())
        samples = std::max(10, args[at + 1].toInt());
    ScreenTestSetUp();
    QFile loadAverage(QStringLiteral("/proc/loadavg"));
    if (loadAverage.open(QIODevice::ReadOnly))
        std::printf("load average before: %s\n", loadAverage.readAll().trimmed().constData());

    ScreenRig rig(std::make_shared<Core::MidiBank>(), QSize(1920, 1080));
    // Records of earlier runs: every key of the piano, and a few intervals.
    const auto statistics = rig.catalog->GetStatistics();
    for (int key = 0; key < Core::MusicTables::KeyCount; ++key)
        statistics->Add({key, 0, 0, key % 9 + 1, key % 4});
    for (int id : {300, 301, 520})
        statistics->Add({id, 0, 1, 2, 1});
    if (!rig.Show()) {
        std::fprintf(stderr, "statistics_view: the window was not exposed\n");
        return 1;
    }
    app.window = rig.window.get();
    rig.screen->loadExercise(0, false, false);
    UI::ExerciseScreen* screen = rig.screen.get();
    auto* rows = rig.Child<UI::StatisticsRows>(QStringLiteral("statisticsRows"));
    auto* viewArea = rig.Child(QStringLiteral("viewArea"));
    auto settled = [&](const char* pane) {
        return RunUntil([&] { return rig.Child(QLatin1String(pane))->geometry() == viewArea->rect(); }, 5000);
    };
    // What the student does: a section button clicked, the mouse over a key (or off the piano).
    auto sectionButton = [&](int section) {
        return rig.Child<QToolButton>(QStringLiteral("section%1").arg(section + 1));
    };
    auto* piano = rig.Child<Keyboard>(QStringLiteral("keyboard"));
    auto hoverKey = [&](int key) {
        if (key < 0) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(piano, &leave);
            return;
        }
        QMouseEvent move(QEvent::MouseMove, piano->keyRect(key).center(), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(piano, &move);
    };
    auto repaint = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        rig.window->repaint();
    };

    // build: the 88 notes after the intervals.
    screen->showStatistics(UI::Quick);
    if (!settled("statisticsPane")) {
        std::fprintf(stderr, "statistics_view: the statistics view did not open\n");
        return 1;
    }
    rig.Child<QPushButton>(QStringLiteral("viewHistory"))->click();
    std::vector<double> buildMs, octaveMs;
    double firstBuildMs = 0;
    for (int i = 0; i < samples + 1; ++i) {
        sectionButton(1)->click();
        repaint();
        const qint64 start = NowNs();
        sectionButton(0)->click();
        repaint();
        const double ms = Ms(start, NowNs());
        if (rows->itemCount() != Core::MusicTables::KeyCount) {
            std::fprintf(stderr, "statistics_view: %d rows instead of 88\n", rows->itemCount());
            return 1;
        }
        if (i == 0)
            firstBuildMs = ms;
        else
            buildMs.push_back(ms);
        RunUntil([] { return false; }, 1);
    }
    for (int i = 0; i < samples; ++i) {
        const qint64 start = NowNs();
        hoverKey(3 + (i % 7) * 12);
        repaint();
        octaveMs.push_back(Ms(start, NowNs()));
        hoverKey(-1);
        repaint();
    }

    // reference: each section's page in turn.
    screen->showReference(UI::Quick);
    if (!settled("referencePane")) {
        std::fprintf(stderr, "statistics_view: the reference view did not open\n");
        return 1;
    }
    std::vector<double> referenceMs;
    for (int i = 0; i < samples; ++i) {
        const qint64 start = NowNs();
        sectionButton(i % 3)->click();
        repaint();
        referenceMs.push_back(Ms(start, NowNs()));
    }
    screen->showExercise(UI::Quick);
    settled("exercisePane");

    // switch: the animated views, frame by frame.
    std::vector<double> switchMs;
    const int rounds = std::max(4, samples / 20);
    for (int round = 0; round < rounds; ++round) {
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { screen->showStatistics(UI::Animated); }, "statisticsPane"},
            {[&] { screen->showReference(UI::Animated); }, "referencePane"},
            {[&] { screen->showExercise(UI::Animated); }, "exercisePane"},
        };
        for (const auto& step : steps) {
            app.frames.clear();
            app.recording = true;
            step.first();
            const bool done = settled(step.second);
            // The frames of the animation, and the one after it.
            RunUntil([] { return false; }, 30);
            app.recording = false;
            if (!done) {
                std::fprintf(stderr, "statistics_view: a view did not settle\n");
                return 1;
            }
            switchMs.insert(switchMs.end(), app.frames.begin(), app.frames.end());
        }
    }

    std::printf("window 1920x1080 at ratio %.0f, %d samples\n", rig.window->devicePixelRatioF(), samples);
    std::printf("  %-40s %7.3f ms\n", "first build (row widgets made)", firstBuildMs);
    Print("build and paint, 88 notes", buildMs);
    Print("octave page on hover", octaveMs);
    Print("reference page shown", referenceMs);
    Print("animation frame (window repaint)", switchMs);
    std::printf("statistics_view build_p50_ms=%.3f reference_p50_ms=%.3f switch_p99_ms=%.3f\n",
                Bench::Percentile(buildMs, 0.5), Bench::Percentile(referenceMs, 0.5),
                Bench::Percentile(switchMs, 0.99));
    return 0;
}
