// Time for the score board to show a chord question: setScore (parse, lay out for the board's
// size) and one paint of the 1050 × 350 board on the exercise screen's grey, at device pixel
// ratio 1 and 2 (a high-density screen paints four times the pixels). Chords of three and four
// keys, mode 3, as the trainers write them. Prints medians and 99th percentiles per ratio; the
// last line gives the worse ratio's:
//   score_board p50_ms=<median> p99_ms=<p99>

#include "ui/widgets/score_board.h"
#include "core/score_builder.h"
#include "notation/music_font.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct Figures
{
    double p50;
    double p99;
};

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

Figures Measure(UI::ScoreBoard& board, const std::vector<QByteArray>& questions, qreal ratio, int runs)
{
    QImage image(board.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    std::vector<double> milliseconds;
    milliseconds.reserve(size_t(runs));
    const int warmUp = 50; // the first paints read the glyph outlines and warm the caches
    for (int i = 0; i < runs + warmUp; ++i) {
        const QByteArray& question = questions[size_t(i) % questions.size()];
        const auto start = std::chrono::steady_clock::now();
        board.setScore(question);
        board.render(&image);
        const auto end = std::chrono::steady_clock::now();
        if (i >= warmUp)
            milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return {Percentile(milliseconds, 0.5), Percentile(milliseconds, 0.99)};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Notation::MusicFont::RegisterApplicationFont();

    const std::vector<QByteArray> questions{
        Core::ScoreBuilder::WriteQuestion({39, 43, 46}, true, false, 3),
        Core::ScoreBuilder::WriteQuestion({39, 43, 46, 50}, true, false, 3),
        Core::ScoreBuilder::WriteQuestion({40, 44, 47, 50}, true, true, 3),
        Core::ScoreBuilder::WriteQuestion({15, 19, 22}, false, false, 3),
    };
    UI::ScoreBoard board;
    board.setDrawingMode(2);
    board.resize(1050, 350);

    const int runs = 2000;
    Figures worst{0.0, 0.0};
    for (qreal ratio : {1.0, 2.0}) {
        const Figures figures = Measure(board, questions, ratio, runs);
        std::printf(
            "score board, chord question at 1050 x 350, ratio %.0f, %d runs: p50 %.3f ms, p99 %.3f ms\n",
            ratio, runs, figures.p50, figures.p99);
        if (figures.p50 > worst.p50)
            worst = figures;
    }
    std::printf("score_board p50_ms=%.3f p99_ms=%.3f\n", worst.p50, worst.p99);
    return 0;
}
