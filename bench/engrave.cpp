// Time to engrave a question and an answer view: Notation::ScorePictureBuilder::build of a four-note chord
// question and of a coloured answer (parse, layout, painting of one 1050 × 350 page and its
// graphic map). Prints medians and 99th percentiles; the last line sums them up.

#include "core/score_builder.h"
#include "notation/music_font.h"
#include "notation/score_pictures.h"

#include <QGuiApplication>

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

Figures Measure(const QByteArray& gmn, int runs)
{
    std::vector<double> milliseconds;
    milliseconds.reserve(runs);
    Notation::ScorePictureBuilder builder;
    for (int i = 0; i < runs + 20; ++i) {
        Notation::ScoreSet set;
        const auto start = std::chrono::steady_clock::now();
        builder.build(gmn, set);
        const auto end = std::chrono::steady_clock::now();
        if (i >= 20) // the first builds load the font and warm the caches
            milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    return {milliseconds[milliseconds.size() / 2],
            milliseconds[std::min(milliseconds.size() - 1, milliseconds.size() * 99 / 100)]};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    Notation::MusicFont::RegisterApplicationFont();
    const int runs = 1000;
    const QByteArray question = Core::ScoreBuilder::WriteQuestion({39, 43, 46, 50}, true, false, 3);
    const QByteArray answer =
        Core::ScoreBuilder::WriteAnswer({{39, 0}, {43, 0}, {45, 1}, {50, 2}}, true, false);
    const Figures questionFigures = Measure(question, runs);
    const Figures answerFigures = Measure(answer, runs);
    std::printf("engrave question (four-note chord), %d builds: p50 %.3f ms, p99 %.3f ms\n", runs,
                questionFigures.p50, questionFigures.p99);
    std::printf("engrave answer view (four coloured notes), %d builds: p50 %.3f ms, p99 %.3f ms\n", runs,
                answerFigures.p50, answerFigures.p99);
    std::printf("engrave question_p50_ms=%.3f answer_p50_ms=%.3f\n", questionFigures.p50, answerFigures.p50);
    return 0;
}
