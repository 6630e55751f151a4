// Painting the on-screen keyboard, 1880 x 190 pixels, offscreen.
//   key:  one key changes (its green mark set or cleared with setMarks) and its region is painted
//         into a picture of device pixel ratio 1 and 2 (QWidget::render of the key's region).
//   full: the whole keyboard painted into such a picture.
//   live: at the screen's own ratio, setMarks on one key with its synchronous repaint through
//         the window's backing store, and a synchronous repaint of the whole widget.
// The first paint at each ratio scales the pictures and is reported on its own.
// The last line is the summary, each figure the slower of the two ratios:
//   keyboard_paint key_p50_us=<median> key_p99_us=<p99> full_p50_ms=<median>

#include "ui/widgets/keyboard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

const QSize keyboardSize(1880, 190);
constexpr int keyRounds = 4000;
constexpr int fullRounds = 400;

struct Figures
{
    double keyP50, keyP99, fullP50, fullP99;
};

// Changes one key after another: marks it, then clears it again.
void ChangeKey(Keyboard& keyboard, int round)
{
    const int key = (round / 2 * 7) % Keyboard::KeyCount;
    if (round % 2 == 0)
        keyboard.setMarks({key}, {});
    else
        keyboard.setMarks({}, {});
}

int ChangedKey(int round)
{
    return (round / 2 * 7) % Keyboard::KeyCount;
}

Figures Rendered(qreal ratio)
{
    Keyboard keyboard;
    keyboard.resize(keyboardSize);
    QPixmap canvas(keyboardSize * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::black);

    QElapsedTimer clock;
    clock.start();
    keyboard.render(&canvas);
    const double firstMs = double(clock.nsecsElapsed()) / 1e6;
    // Every set of pictures scaled once.
    for (int round = 0; round < 2 * Keyboard::KeyCount; ++round) {
        ChangeKey(keyboard, round);
        keyboard.render(&canvas, QPoint(), QRegion(keyboard.keyRect(ChangedKey(round))));
    }

    std::vector<double> keyUs, fullMs;
    for (int round = 0; round < keyRounds; ++round) {
        clock.restart();
        ChangeKey(keyboard, round);
        keyboard.render(&canvas, QPoint(), QRegion(keyboard.keyRect(ChangedKey(round))));
        keyUs.push_back(double(clock.nsecsElapsed()) / 1e3);
    }
    for (int round = 0; round < fullRounds; ++round) {
        clock.restart();
        keyboard.render(&canvas);
        fullMs.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const Figures figures{Percentile(keyUs, 0.5), Percentile(keyUs, 0.99), Percentile(fullMs, 0.5),
                          Percentile(fullMs, 0.99)};
    std::printf(
        "ratio %.0f: first paint %.2f ms; key p50 %.1f us p99 %.1f us; full p50 %.3f ms p99 %.3f ms\n", ratio,
        firstMs, figures.keyP50, figures.keyP99, figures.fullP50, figures.fullP99);
    return figures;
}

void Live()
{
    Keyboard keyboard;
    keyboard.setFixedSize(keyboardSize);
    keyboard.show();
    QApplication::processEvents();
    for (int round = 0; round < 2 * Keyboard::KeyCount; ++round)
        ChangeKey(keyboard, round);
    std::vector<double> keyUs, fullMs;
    QElapsedTimer clock;
    for (int round = 0; round < keyRounds; ++round) {
        clock.start();
        ChangeKey(keyboard, round);
        keyUs.push_back(double(clock.nsecsElapsed()) / 1e3);
    }
    for (int round = 0; round < fullRounds; ++round) {
        clock.start();
        keyboard.repaint();
        fullMs.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("live at ratio %.0f: key p50 %.1f us p99 %.1f us; full p50 %.3f ms p99 %.3f ms\n",
                keyboard.devicePixelRatioF(), Percentile(keyUs, 0.5), Percentile(keyUs, 0.99),
                Percentile(fullMs, 0.5), Percentile(fullMs, 0.99));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(assets);

    std::printf("keyboard %dx%d, %d key changes and %d full paints per ratio\n", keyboardSize.width(),
                keyboardSize.height(), keyRounds, fullRounds);
    const Figures plain = Rendered(1.0);
    const Figures dense = Rendered(2.0);
    Live();
    std::printf("keyboard_paint key_p50_us=%.1f key_p99_us=%.1f full_p50_ms=%.3f\n",
                std::max(plain.keyP50, dense.keyP50), std::max(plain.keyP99, dense.keyP99),
                std::max(plain.fullP50, dense.fullP50));
    return 0;
}
