// The frames of a change of screen: a UI::FaderWidget filling a shown offscreen window of
// 1920 × 1080 cross-fades (700 ms) from one full-size page to another, as the main window does
// between the home screen and the exercise screen. The pages differ all over: each paints its
// own background picture scaled to the page (at the screen's ratio, from the "@2x" picture on a
// ratio-2 screen) under a few labels. Twenty fades (after two to warm up), each timed on its
// own, from the real repaints that the fade's time line asks for:
//   frame     each repaint of the window during the fade (its UpdateRequest: the fader painted
//             into the backing store and flushed), and the fader's own paintEvent in it;
//   interval  from the end of one frame to the end of the next, against the 700 ms / 30 =
//             23.3 ms of the time line's thirty frames; apart from it, the wait from the fade's
//             start to its first frame and from its last frame to the new page;
//   start     fadeIn() itself (the two pictures taken and compared), before the first frame;
//   final     the repaint after the fade, of the new page itself.
// Runs twice, each in a process of its own: at device pixel ratio 1, and at ratio 2 (a window of
// 1920 × 1080 logical pixels on QT_SCALE_FACTOR=2). Prints medians, 99th percentiles and
// maxima per ratio; the last line gives the frame times at ratio 1 (a 1920 x 1080 screen) and
// the frames per fade (median over the fades):
//   screen_fade frame_p50_ms=<median> frame_p99_ms=<p99> frames=<frames per fade>
//
//   screen_fade [--ratio 1|2]     (with --ratio: that ratio only, in this process)

#include "bench_support.h"
#include "ui/widgets/fader_widget.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QTimeLine>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace {

const QSize windowSize(1920, 1080);
constexpr int warmUpFades = 2;
constexpr int measuredFades = 20;
constexpr double timeLineFrameMs = 700.0 / 30.0;

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

// Times the repaints of one top-level window and the paints of one widget in them.
class FrameClock : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (receiver == window && event->type() == QEvent::UpdateRequest) {
            const qint64 start = NowNs();
            const bool result = QApplication::notify(receiver, event);
            const qint64 end = NowNs();
            if (recording)
                frames.push_back({start, end, faderPaintNs});
            faderPaintNs = 0;
            return result;
        }
        if (receiver == fader && event->type() == QEvent::Paint) {
            const qint64 start = NowNs();
            const bool result = QApplication::notify(receiver, event);
            faderPaintNs += NowNs() - start;
            return result;
        }
        return QApplication::notify(receiver, event);
    }

    struct Frame
    {
        qint64 startNs, endNs, faderPaintNs;
    };
    QObject* window = nullptr;
    QObject* fader = nullptr;
    bool recording = false;
    std::vector<Frame> frames;

private:
    qint64 faderPaintNs = 0;
};

// A page of the size of the window: a background picture scaled to it, at the screen's ratio.
class PicturePage : public QWidget
{
public:
    PicturePage(const QString& picture, const QString& title, const QString& text) : picture(picture)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(80, 60, 80, 60);
        auto* heading = new QLabel(title, this);
        QFont font = heading->font();
        font.setPointSize(36);
        heading->setFont(font);
        layout->addWidget(heading);
        auto* body = new QLabel(text, this);
        body->setWordWrap(true);
        layout->addWidget(body);
        layout->addStretch();
    }

protected:
    void resizeEvent(QResizeEvent*) override { scaled = QPixmap(); }
    void paintEvent(QPaintEvent* event) override
    {
        const qreal ratio = devicePixelRatioF();
        if (scaled.isNull() || scaled.devicePixelRatio() != ratio) {
            QPixmap source(ratio > 1.5
                               ? QString(picture).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"))
                               : picture);
            if (source.isNull())
                source = QPixmap(picture);
            scaled = source.scaled(size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            scaled.setDevicePixelRatio(ratio);
        }
        QPainter painter(this);
        painter.drawPixmap(
            event->rect(), scaled,
            QRectF(QPointF(event->rect().topLeft()) * ratio, QSizeF(event->rect().size()) * ratio));
    }

private:
    QString picture;
    QPixmap scaled;
};

// Runs the event loop until `done` holds or `timeoutMs` passed. Returns `done()`.
bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

void Print(const char* name, const std::vector<double>& values)
{
    if (values.empty()) {
        std::printf("  %-32s none\n", name);
        return;
    }
    std::printf("  %-32s n=%4zu p50 %7.3f ms, p99 %7.3f ms, max %7.3f ms\n", name, values.size(),
                Bench::Percentile(values, 0.5), Bench::Percentile(values, 0.99),
                *std::max_element(values.begin(), values.end()));
}

// The bounding rectangle of the pixels in which two pictures of one size differ.
QRect Differing(const QImage& a, const QImage& b)
{
    QRect area;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (p[x] != q[x])
                area |= QRect(x, y, 1, 1);
    }
    return area;
}

// The offscreen platform says on every window layout that it cannot pass size hints on.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int MeasureHere(int argc, char** argv)
{
    qInstallMessageHandler(QuietHandler);
    FrameClock app(argc, argv);

    QWidget window;
    window.resize(windowSize);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* fader = new UI::FaderWidget(&window);
    layout->addWidget(fader);
    auto* home = new PicturePage(QStringLiteral(":/PIX/pixmap/main_bg_big.png"), QStringLiteral("Cantorela"),
                                 QStringLiteral("Note Trainer — Ear Trainer — Music Symbols"));
    auto* exercise =
        new PicturePage(QStringLiteral(":/PIX/pixmap/main_bg.png"), QStringLiteral("Note Trainer"),
                        QStringLiteral("Learn reading notes: single notes, intervals, chords."));
    fader->reset(home);
    window.show();
    app.window = &window;
    app.fader = fader;
    if (!RunUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 5000)) {
        std::fprintf(stderr, "screen_fade: the window was not exposed\n");
        return 1;
    }
    RunUntil([] { return false; }, 100);
    const qreal ratio = window.devicePixelRatioF();
    {
        QImage a(windowSize * ratio, QImage::Format_ARGB32_Premultiplied);
        QImage b(windowSize * ratio, QImage::Format_ARGB32_Premultiplied);
        a.setDevicePixelRatio(ratio);
        b.setDevicePixelRatio(ratio);
        exercise->resize(windowSize);
        home->render(&a);
        exercise->render(&b);
        const QRect area = Differing(a, b);
        std::printf("ratio %.0f: window %dx%d (%dx%d pixels); the pages differ over %dx%d pixels; time line "
                    "update interval %d ms\n",
                    ratio, windowSize.width(), windowSize.height(), a.width(), a.height(), area.width(),
                    area.height(), fader->timeLine()->updateInterval());
    }

    std::vector<double> frameMs, faderPaintMs, intervalMs, firstFrameMs, lastIntervalMs, startMs, finalMs,
        fadeMs, framesPerFade;
    // The repaints recorded before the fade finished are its frames; the next one paints the
    // new page itself (it may come before the loop below sees the end).
    bool finished = false;
    size_t fadeFrames = 0;
    QObject::connect(fader, &UI::FaderWidget::fadeFinished, [&] {
        finished = true;
        fadeFrames = app.frames.size();
    });
    for (int fade = 0; fade < warmUpFades + measuredFades; ++fade) {
        const bool measured = fade >= warmUpFades;
        QWidget* next = fade % 2 == 0 ? static_cast<QWidget*>(exercise) : home;
        finished = false;
        app.frames.clear();
        app.recording = true;
        const qint64 start = NowNs();
        fader->fadeIn(next);
        const qint64 started = NowNs();
        if (!RunUntil([&] { return finished; }, 5000)) {
            std::fprintf(stderr, "screen_fade: fade %d did not finish\n", fade);
            return 1;
        }
        const qint64 end = NowNs();
        RunUntil([&] { return app.frames.size() > fadeFrames; }, 1000);
        app.recording = false;
        const std::vector<FrameClock::Frame> frames(app.frames.begin(),
                                                    app.frames.begin() + long(fadeFrames));
        const std::vector<FrameClock::Frame> after(app.frames.begin() + long(fadeFrames), app.frames.end());
        if (!measured)
            continue;
        startMs.push_back(Ms(start, started));
        fadeMs.push_back(Ms(start, end));
        framesPerFade.push_back(double(frames.size()));
        qint64 previous = 0;
        for (const FrameClock::Frame& frame : frames) {
            frameMs.push_back(Ms(frame.startNs, frame.endNs));
            faderPaintMs.push_back(double(frame.faderPaintNs) / 1e6);
            if (previous)
                intervalMs.push_back(Ms(previous, frame.endNs));
            else
                firstFrameMs.push_back(Ms(start, frame.endNs));
            previous = frame.endNs;
        }
        if (!after.empty())
            lastIntervalMs.push_back(Ms(previous ? previous : start, after.front().endNs));
        for (const FrameClock::Frame& frame : after)
            finalMs.push_back(Ms(frame.startNs, frame.endNs));
        RunUntil([] { return false; }, 50);
    }

    Print("frame (window repaint)", frameMs);
    Print("fader paintEvent in the frame", faderPaintMs);
    Print("interval between frames", intervalMs);
    std::printf("  %-32s %.1f ms\n", "time line's frame (700 ms / 30)", timeLineFrameMs);
    Print("FadeIn to its first frame", firstFrameMs);
    Print("last frame to the new page", lastIntervalMs);
    Print("start (FadeIn call)", startMs);
    Print("final repaint of the new page", finalMs);
    Print("whole fade (FadeIn to finished)", fadeMs);
    std::printf("  %-32s min %.0f, median %.0f, max %.0f (the time line has 30 steps)\n", "frames per fade",
                *std::min_element(framesPerFade.begin(), framesPerFade.end()),
                Bench::Percentile(framesPerFade, 0.5),
                *std::max_element(framesPerFade.begin(), framesPerFade.end()));
    std::printf("result ratio=%.0f frame_p50_ms=%.3f frame_p99_ms=%.3f frame_max_ms=%.3f frames=%.0f\n",
                ratio, Bench::Percentile(frameMs, 0.5), Bench::Percentile(frameMs, 0.99),
                *std::max_element(frameMs.begin(), frameMs.end()), Bench::Percentile(framesPerFade, 0.5));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--ratio") == 0) {
            if (std::strcmp(argv[i + 1], "1") != 0)
                qputenv("QT_SCALE_FACTOR", argv[i + 1]);
            else
                qunsetenv("QT_SCALE_FACTOR");
            Q_INIT_RESOURCE(assets);
            return MeasureHere(argc, argv);
        }

    // One process per ratio: the scale factor is fixed when the application starts.
    QCoreApplication app(argc, argv);
    QFile loadAverage(QStringLiteral("/proc/loadavg"));
    if (loadAverage.open(QIODevice::ReadOnly))
        std::printf("load average before: %s\n", loadAverage.readAll().trimmed().constData());
    double p50 = 0, p99 = 0, frames = 1e9;
    for (const char* ratio : {"1", "2"}) {
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--ratio"), QString::fromLatin1(ratio)});
        if (!run.waitForFinished(300000) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
            std::fprintf(stderr, "screen_fade: the run at ratio %s failed\n", ratio);
            return 1;
        }
        for (const QByteArray& line : run.readAllStandardOutput().split('\n')) {
            if (!line.startsWith("result ")) {
                if (!line.isEmpty())
                    std::printf("%s\n", line.constData());
                continue;
            }
            // The last line is the 1920 x 1080 screen at ratio 1; ratio 2 is printed above it.
            if (QByteArray(ratio) != "1") {
                std::printf("ratio 2: %s\n", line.mid(7).constData());
                continue;
            }
            for (const QByteArray& field : line.split(' ')) {
                const QList<QByteArray> pair = field.split('=');
                if (pair.size() != 2)
                    continue;
                if (pair[0] == "frame_p50_ms")
                    p50 = std::max(p50, pair[1].toDouble());
                else if (pair[0] == "frame_p99_ms")
                    p99 = std::max(p99, pair[1].toDouble());
                else if (pair[0] == "frames")
                    frames = std::min(frames, pair[1].toDouble());
            }
        }
        std::fflush(stdout);
    }
    std::printf("screen_fade frame_p50_ms=%.3f frame_p99_ms=%.3f frames=%.0f\n", p50, p99, frames);
    return 0;
}
