// The listener heard out: a fixed set of answers (tools/answer_audio: single keys, intervals,
// chords, keys struck twice, sung notes, and wrong answers beside them) rendered on two sampled
// pianos, clean, over background noise and in a room, each fed to the note detector in blocks of
// 256 samples as a sound card delivers them, and judged as the exercise screen judges an answer:
// the keys of every onset within 120 ms of the first one heard make the answer.
//
//   notes_pct, intervals_pct, chords_pct  right answers judged right, per kind
//   sung_pct                              sung notes judged right by their pitch class, heard as the
//                                         program hears a student answering by singing (by the
//                                         network with --method=basic-pitch)
//   wrong_accepted_pct                    wrong answers (a key a semitone or an octave off) judged right
//   onset_to_judgement_p99_ms             the report of the answer's last onset, after the first key
//                                         struck; stream time, so it holds the sound waited for
//                                         (keys struck: a sung note is said once it has been held)
//   cpu_pct                               time spent in feed() over the duration of the piano's sound
//                                         fed (the singing tracker's own is printed above it)
//
// Options: --only=note|interval|chord|sung, --soundfont=NAME, --condition=clean|noisy|room,
// --rate=HZ, --verbose (every failure on stderr), --save-failures=FOLDER (their sound as WAV),
// --method=detector|basic-pitch, --set=benchmark|sweep (the fixed set above, or a wider one of
// right answers only, clean: every interval up to two octaves on every key, every triad and
// seventh chord in every inversion on every root from C2 to C6).
// The last line is
//   listen notes_pct=... intervals_pct=... chords_pct=... sung_pct=... wrong_accepted_pct=...
//   onset_to_judgement_p99_ms=... cpu_pct=...

#include "bench_support.h"

#include "answer_set.h"
#include "listen/basic_pitch.h"
#include "listen/note_detector.h"
#include "listen/sung_note_tracker.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace AnswerAudio;
using Listen::HeardOnset;

namespace {

// Onsets this close to the first one heard are one answer: a chord is never struck quite at once.
constexpr double gatherMs = 120;
// The size of the blocks a sound card hands over.
constexpr std::size_t blockSamples = 256;

// A way of hearing: the onsets in one answer's sound, and the seconds spent hearing them.
using HearingMethod = std::function<std::vector<HeardOnset>(const float* samples, std::size_t count,
                                                            double* busySeconds)>;

HearingMethod detectorMethod(double sampleRate)
{
    auto detector = std::make_shared<Listen::NoteDetector>(sampleRate);
    return [detector](const float* samples, std::size_t count, double* busySeconds) {
        detector->reset();
        std::vector<HeardOnset> onsets;
        double busy = 0;
        for (std::size_t at = 0; at < count; at += blockSamples) {
            const auto start = std::chrono::steady_clock::now();
            detector->feed(samples + at, std::min(blockSamples, count - at));
            busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            Listen::DetectorEvents events = detector->takeEvents();
            onsets.insert(onsets.end(), events.onsets.begin(), events.onsets.end());
        }
        *busySeconds = busy;
        return onsets;
    };
}

// Sung answers are heard as the program hears a student who answers by singing.
HearingMethod singingMethod(double sampleRate)
{
    auto tracker = std::make_shared<Listen::SungNoteTracker>(sampleRate);
    return [tracker](const float* samples, std::size_t count, double* busySeconds) {
        tracker->reset();
        std::vector<HeardOnset> onsets;
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t at = 0; at < count; at += blockSamples) {
            tracker->feed(samples + at, std::min(blockSamples, count - at));
            Listen::DetectorEvents events = tracker->takeEvents();
            onsets.insert(onsets.end(), events.onsets.begin(), events.onsets.end());
        }
        *busySeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return onsets;
    };
}

// The network hears a whole clip at once; its time is the clip's.
HearingMethod basicPitchMethod(double sampleRate, std::string* error)
{
    std::shared_ptr<const Listen::BasicPitch> model =
        Listen::BasicPitch::load(Listen::BasicPitch::defaultFolder(), error);
    if (!model)
        return {};
    return [model, sampleRate](const float* samples, std::size_t count, double* busySeconds) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<HeardOnset> onsets = Listen::basicPitchOnsets(*model, samples, count, sampleRate);
        *busySeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return onsets;
    };
}

// One answer as the exercise screen gathers it.
struct Gathered
{
    double firstOnsetMs = 0;
    double lastReportedMs = 0;
    std::vector<int> keys;
};

// The heard onsets gathered into answers, one after another.
std::vector<Gathered> gather(std::vector<HeardOnset> onsets)
{
    std::stable_sort(onsets.begin(), onsets.end(),
                     [](const HeardOnset& a, const HeardOnset& b) { return a.onsetMs < b.onsetMs; });
    std::vector<Gathered> answers;
    for (const HeardOnset& onset : onsets) {
        if (onset.keys.empty())
            continue;
        if (answers.empty() || onset.onsetMs - answers.back().firstOnsetMs > gatherMs)
            answers.push_back({onset.onsetMs, onset.reportedMs, {}});
        Gathered& answer = answers.back();
        answer.lastReportedMs = std::max(answer.lastReportedMs, onset.reportedMs);
        answer.keys.insert(answer.keys.end(), onset.keys.begin(), onset.keys.end());
        std::sort(answer.keys.begin(), answer.keys.end());
        answer.keys.erase(std::unique(answer.keys.begin(), answer.keys.end()), answer.keys.end());
    }
    return answers;
}

bool judgedRight(const AnswerCase& c, const std::vector<int>& heard)
{
    if (c.kind == AnswerKind::Sung)
        return pitchClasses(heard) == pitchClasses(c.expected);
    return heard == c.expected;
}

std::string option(int argc, char** argv, const char* name)
{
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
            return argv[i] + length + 1;
    return {};
}

bool flag(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

double percent(int part, int whole)
{
    return whole ? 100.0 * part / whole : 0.0;
}

struct Tally
{
    int rightAnswers = 0, rightJudgedRight = 0;
    int wrongAnswers = 0, wrongJudgedRight = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const std::string only = option(argc, argv, "--only");
    const std::string soundFontFilter = option(argc, argv, "--soundfont");
    const std::string conditionFilter = option(argc, argv, "--condition");
    const std::string method = option(argc, argv, "--method").empty() ? "detector" : option(argc, argv, "--method");
    const std::string saveFailures = option(argc, argv, "--save-failures");
    const bool verbose = flag(argc, argv, "--verbose");
    RenderOptions renderOptions;
    if (!option(argc, argv, "--rate").empty())
        renderOptions.sampleRate = std::atof(option(argc, argv, "--rate").c_str());

    const std::string set = option(argc, argv, "--set").empty() ? "benchmark" : option(argc, argv, "--set");
    if (set != "benchmark" && set != "sweep") {
        std::fprintf(stderr, "listen: --set is benchmark or sweep\n");
        return 2;
    }
    std::vector<AnswerCase> cases;
    for (const AnswerCase& c : set == "sweep" ? sweepSet() : answerSet())
        if ((only.empty() || only == kindName(c.kind))
            && (soundFontFilter.empty() || soundFontFilter == answerSoundFonts()[std::size_t(c.soundFont)].name)
            && (conditionFilter.empty() || conditionFilter == conditionName(c.condition)))
            cases.push_back(c);
    if (cases.empty()) {
        std::fprintf(stderr, "listen: no answers match --only=%s --soundfont=%s --condition=%s\n",
                     only.c_str(), soundFontFilter.c_str(), conditionFilter.c_str());
        return 2;
    }

    HearingMethod hear, hearSung;
    if (method == "detector") {
        hear = detectorMethod(renderOptions.sampleRate);
        hearSung = singingMethod(renderOptions.sampleRate);
    } else if (method == "basic-pitch") {
        std::string error;
        hear = basicPitchMethod(renderOptions.sampleRate, &error);
        if (!hear) {
            std::fprintf(stderr, "listen: the basic-pitch network could not be loaded: %s\n", error.c_str());
            return 1;
        }
    } else {
        std::fprintf(stderr, "listen: --method is detector or basic-pitch\n");
        return 2;
    }

    // Render: sox's takes go to a folder of this run, removed again at the end.
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "cantorela-listen-XXXXXX").string();
    if (!mkdtemp(folderTemplate.data())) {
        std::fprintf(stderr, "listen: no temporary folder\n");
        return 1;
    }
    const std::string workFolder = folderTemplate;
    std::vector<RenderedAnswer> rendered;
    std::string error;
    const auto renderStart = std::chrono::steady_clock::now();
    const bool renderedOk = renderAnswerSet(cases, renderOptions, workFolder, &rendered, &error);
    const double renderSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - renderStart).count();
    std::error_code removed;
    std::filesystem::remove_all(workFolder, removed);
    if (!renderedOk) {
        std::fprintf(stderr, "listen: rendering failed: %s\n", error.c_str());
        return 1;
    }
    double soundSeconds = 0;
    for (const RenderedAnswer& r : rendered)
        soundSeconds += double(r.samples.size()) / renderOptions.sampleRate;
    std::printf("listen: %d answers rendered in %.1f s: %.1f min of sound at %.0f Hz, method %s\n",
                int(cases.size()), renderSeconds, soundSeconds / 60, renderOptions.sampleRate, method.c_str());

    std::map<AnswerKind, Tally> byKind;
    std::map<std::string, Tally> byFontAndCondition;
    std::vector<double> judgementMs, onsetErrorMs;
    double busySeconds = 0, sungBusySeconds = 0, pianoSoundSeconds = 0, sungSoundSeconds = 0;
    int repeats = 0, repeatsHeardTwice = 0, unheard = 0, stray = 0, early = 0, failures = 0;
    if (!saveFailures.empty())
        std::filesystem::create_directories(saveFailures, removed);
    const auto hearStart = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const AnswerCase& c = cases[i];
        const RenderedAnswer& r = rendered[i];
        double busy = 0;
        const bool sung = c.kind == AnswerKind::Sung && hearSung;
        const std::vector<Gathered> heard =
            gather((sung ? hearSung : hear)(r.samples.data(), r.samples.size(), &busy));
        (sung ? sungBusySeconds : busySeconds) += busy;
        (sung ? sungSoundSeconds : pianoSoundSeconds) += double(r.samples.size()) / renderOptions.sampleRate;

        const bool repeated = c.answer.repeatAfterMs > 0;
        const double onsetMs = 1000.0 * double(r.onsetSample) / renderOptions.sampleRate;
        bool right = !heard.empty() && judgedRight(c, heard[0].keys);
        if (repeated) {
            ++repeats;
            right = right && heard.size() >= 2 && judgedRight(c, heard[1].keys);
            repeatsHeardTwice += right;
        }
        if (heard.empty()) {
            ++unheard;
        } else {
            if (!sung) // a sung note is said once it has been held
                judgementMs.push_back(heard[0].lastReportedMs - onsetMs);
            onsetErrorMs.push_back(std::fabs(heard[0].firstOnsetMs - onsetMs));
            early += heard[0].firstOnsetMs < onsetMs - 50;
            stray += heard.size() > (repeated ? 2u : 1u);
        }

        const bool rightAnswer = isRightAnswer(c);
        const std::string place = std::string(answerSoundFonts()[std::size_t(c.soundFont)].name) + " "
                                  + conditionName(c.condition);
        for (Tally* tally : {&byKind[c.kind], &byFontAndCondition[place]}) {
            if (rightAnswer) {
                ++tally->rightAnswers;
                tally->rightJudgedRight += right;
            } else {
                ++tally->wrongAnswers;
                tally->wrongJudgedRight += right;
            }
        }
        if (right == rightAnswer)
            continue;
        ++failures;
        if (verbose || failures <= 20) {
            std::string heardText;
            for (const Gathered& g : heard) {
                char at[32];
                std::snprintf(at, sizeof at, "@%+.0fms", g.firstOnsetMs - onsetMs);
                heardText += (heardText.empty() ? "" : " | ") + keysName(g.keys) + at;
            }
            std::fprintf(stderr, "listen: FAIL #%d %s %s %s [%s] expected %s played %s heard %s\n", c.id,
                         kindName(c.kind), answerSoundFonts()[std::size_t(c.soundFont)].name.c_str(),
                         conditionName(c.condition), c.name.c_str(), keysName(c.expected).c_str(),
                         keysName(c.answer.keys).c_str(), heardText.empty() ? "nothing" : heardText.c_str());
        }
        if (!saveFailures.empty()) {
            const std::string path = saveFailures + "/" + std::to_string(c.id) + "-" + kindName(c.kind) + "-"
                                     + answerSoundFonts()[std::size_t(c.soundFont)].name + "-"
                                     + conditionName(c.condition) + ".wav";
            if (!writeWav(path, r.samples, renderOptions.sampleRate, &error))
                std::fprintf(stderr, "listen: %s\n", error.c_str());
        }
    }
    const double hearSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - hearStart).count();
    if (!verbose && failures > 20)
        std::fprintf(stderr, "listen: %d failures in all, --verbose lists every one\n", failures);

    std::printf("listen: heard in %.1f s; %-9s %6s %6s %6s %6s\n", hearSeconds, "kind", "right", "heard", "wrong",
                "taken");
    for (const auto& [kind, t] : byKind)
        std::printf("listen:   %-9s %6d %6d %6d %6d  right %.1f%%, wrong taken %.1f%%\n", kindName(kind),
                    t.rightAnswers, t.rightJudgedRight, t.wrongAnswers, t.wrongJudgedRight,
                    percent(t.rightJudgedRight, t.rightAnswers), percent(t.wrongJudgedRight, t.wrongAnswers));
    for (const auto& [place, t] : byFontAndCondition)
        std::printf("listen:   %-18s right %5.1f%% of %d, wrong taken %5.1f%% of %d\n", place.c_str(),
                    percent(t.rightJudgedRight, t.rightAnswers), t.rightAnswers,
                    percent(t.wrongJudgedRight, t.wrongAnswers), t.wrongAnswers);
    std::printf("listen: keys struck twice heard as two answers: %d of %d\n", repeatsHeardTwice, repeats);
    std::printf("listen: nothing heard %d, first onset over 50 ms early %d, later stray onsets %d\n", unheard, early,
                stray);
    std::printf("listen: onset error p50_ms=%.1f p99_ms=%.1f; onset to judgement p50_ms=%.1f\n",
                Bench::Percentile(onsetErrorMs, 0.5), Bench::Percentile(onsetErrorMs, 0.99),
                Bench::Percentile(judgementMs, 0.5));

    if (hearSung && sungSoundSeconds > 0)
        std::printf("listen: sung notes heard by the singing tracker, cpu_pct=%.2f\n",
                    100.0 * sungBusySeconds / sungSoundSeconds);
    std::printf(
        "listen notes_pct=%.1f intervals_pct=%.1f chords_pct=%.1f sung_pct=%.1f wrong_accepted_pct=%.1f "
        "onset_to_judgement_p99_ms=%.1f cpu_pct=%.2f\n",
        percent(byKind[AnswerKind::Note].rightJudgedRight, byKind[AnswerKind::Note].rightAnswers),
        percent(byKind[AnswerKind::Interval].rightJudgedRight, byKind[AnswerKind::Interval].rightAnswers),
        percent(byKind[AnswerKind::Chord].rightJudgedRight, byKind[AnswerKind::Chord].rightAnswers),
        percent(byKind[AnswerKind::Sung].rightJudgedRight, byKind[AnswerKind::Sung].rightAnswers),
        [&] {
            int wrong = 0, taken = 0;
            for (const auto& entry : byKind) {
                wrong += entry.second.wrongAnswers;
                taken += entry.second.wrongJudgedRight;
            }
            return percent(taken, wrong);
        }(),
        Bench::Percentile(judgementMs, 0.99), 100.0 * busySeconds / std::max(pianoSoundSeconds, 1e-9));
    return 0;
}
