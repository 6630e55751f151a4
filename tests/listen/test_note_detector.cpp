// The note detector on real piano sound: answers rendered by FluidSynth from the sampled pianos
// that Debian packages, fed as a sound card delivers them, and the cantorela-listen tool on a
// recording of them.

#include "answer_audio.h"
#include "listen/note_detector.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>
#include <random>
#include <set>

namespace {

const char* const pianos[] = {"/usr/share/sounds/sf3/FluidR3Mono_GM.sf3", "/usr/share/sounds/sf2/TimGM6mb.sf2"};

std::vector<Listen::HeardOnset> hear(const std::vector<float>& sound, double sampleRate = 44100)
{
    Listen::NoteDetector detector(sampleRate);
    std::vector<Listen::HeardOnset> heard;
    for (std::size_t at = 0; at < sound.size(); at += 256) {
        detector.feed(sound.data() + at, std::min<std::size_t>(256, sound.size() - at));
        for (auto& onset : detector.takeEvents().onsets)
            heard.push_back(std::move(onset));
    }
    return heard;
}

// Loading a soundfont takes a while: each piano is loaded once for the whole test.
AnswerAudio::AnswerRenderer& pianoNamed(const QString& path)
{
    static std::map<QString, std::unique_ptr<AnswerAudio::AnswerRenderer>> loaded;
    auto& renderer = loaded[path];
    if (!renderer)
        renderer = std::make_unique<AnswerAudio::AnswerRenderer>(path.toStdString(), AnswerAudio::RenderOptions{});
    return *renderer;
}

QList<int> keysOf(const std::vector<int>& keys)
{
    return QList<int>(keys.begin(), keys.end());
}

} // namespace

class TestNoteDetector : public QObject
{
    Q_OBJECT

private slots:
    void playedKeysAreHeardOnce_data();
    void playedKeysAreHeardOnce();
    void aWrongNoteIsNeverHeardAsTheRightOne_data();
    void aWrongNoteIsNeverHeardAsTheRightOne();
    void silenceAndNoiseAreNoNotes_data();
    void silenceAndNoiseAreNoNotes();
    void aKeyStruckAgainIsASecondOnset();
    void keysJustAfterANoiseAreHeard();
    void backgroundNoiseStrikesNoKey();
    void aSingleKeyBringsNoKeyAmongItsPartials();
    void theToolPrintsEachOnset();
};

void TestNoteDetector::playedKeysAreHeardOnce_data()
{
    QTest::addColumn<QString>("piano");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("velocity");
    QTest::addColumn<QList<double>>("delaysMs"); // when each key is struck, after the first
    for (const char* piano : pianos) {
        const QString name = QFileInfo(piano).baseName();
        const auto row = [&](const char* what, const QList<int>& keys, int velocity = 80,
                             const QList<double>& delaysMs = {}) {
            QTest::newRow(qPrintable(name + " " + what)) << QString(piano) << keys << velocity << delaysMs;
        };
        row("middle C", {60});
        row("E2, low", {40});
        row("C1, whose high partials ring on their own", {24});
        row("E1, heard through the partials above its faint fundamental", {28});
        row("C7, high", {96});
        row("major third", {60, 64});
        row("B3 and C4, a semitone: C4 takes the lowest partials of B3 out with its own", {59, 60}, 100,
            {7, 0});
        row("A#2 and C3, a tone in the bass, whose partials lie close", {46, 48});
        row("D2 and F2, a minor third low in the bass", {38, 41});
        row("F#3 and G#3, a tone: F#2's odd partials read high beside them, its fundamental does not",
            {54, 56}, 71, {9, 0});
        row("C major triad", {60, 64, 67});
        row("F#3 dominant seventh, whose third's even partials stand out", {54, 58, 61, 64});
        row("F#3 major seventh, second inversion, soft and spread: its F#4 lies in the others' partials",
            {61, 65, 66, 70}, 45, {0, 7, 9, 17});
        row("G#4 and D#6, a twelfth whose partials all lie on the lower key's", {68, 87}, 60, {3, 0});
        row("F#4 and F#6, two octaves", {66, 90}, 57, {0, 4});
        row("F#3 and F#5, two octaves, struck hard: F#4 between them is heard first", {54, 78}, 97, {0, 9});
        row("A3 and E5, a twelfth: E5's stiff strings put its partials sharp of A3's", {57, 76}, 50, {13, 0});
        row("A#3 major triad, soft and spread: A#3's second partial is heard before it, as A#4", {58, 62, 65},
            50, {14, 0, 8});
        row("C3 half-diminished seventh, first inversion: the odd partials of D#3 lie on the others'",
            {51, 54, 58, 60}, 48, {16, 4, 0, 1});
        row("C3 diminished seventh, whose partials fill each octave evenly", {48, 51, 54, 57}, 110,
            {17, 0, 2, 5});
    }
}

void TestNoteDetector::playedKeysAreHeardOnce()
{
    QFETCH(QString, piano);
    QFETCH(QList<int>, keys);
    QFETCH(int, velocity);
    QFETCH(QList<double>, delaysMs);
    AnswerAudio::AnswerRenderer& renderer = pianoNamed(piano);
    QVERIFY2(renderer.ok(), renderer.error().c_str());
    AnswerAudio::Answer answer;
    answer.keys.assign(keys.begin(), keys.end());
    answer.velocity = velocity;
    answer.keyDelayMs.assign(delaysMs.begin(), delaysMs.end());
    const AnswerAudio::RenderedAnswer rendered = renderer.render(answer);

    const auto heard = hear(rendered.samples);
    QCOMPARE(int(heard.size()), 1);
    QCOMPARE(keysOf(heard.front().keys), keys);
    const double onsetMs = double(rendered.onsetSample) * 1000.0 / 44100.0;
    QVERIFY2(std::abs(heard.front().onsetMs - onsetMs) < 25, qPrintable(QString::number(heard.front().onsetMs)));
    QVERIFY(heard.front().reportedMs - onsetMs < 120);
}

void TestNoteDetector::aWrongNoteIsNeverHeardAsTheRightOne_data()
{
    QTest::addColumn<QList<int>>("played");
    QTest::newRow("E a semitone low") << QList<int>{60, 63, 67};
    QTest::newRow("G a semitone high") << QList<int>{60, 64, 68};
    QTest::newRow("C an octave low") << QList<int>{48, 64, 67};
    QTest::newRow("E missing") << QList<int>{60, 67};
}

void TestNoteDetector::aWrongNoteIsNeverHeardAsTheRightOne()
{
    QFETCH(QList<int>, played);
    for (const char* piano : pianos) {
        AnswerAudio::AnswerRenderer& renderer = pianoNamed(piano);
        AnswerAudio::Answer answer;
        answer.keys.assign(played.begin(), played.end());
        std::set<int> heard;
        for (const auto& onset : hear(renderer.render(answer).samples))
            heard.insert(onset.keys.begin(), onset.keys.end());
        QVERIFY2(QList<int>(heard.begin(), heard.end()) != (QList<int>{60, 64, 67}), piano);
    }
}

void TestNoteDetector::silenceAndNoiseAreNoNotes_data()
{
    QTest::addColumn<double>("brownness"); // 0 white noise, towards 1 the rumble of a fan
    QTest::addColumn<float>("level");
    QTest::addColumn<double>("startSeconds"); // after silence: the detector has not heard it before
    QTest::newRow("silence") << 0.0 << 0.0f << 0.0;
    QTest::newRow("steady rumble, -30 dB") << 0.98 << 0.004f << 0.0;
    QTest::newRow("hiss beginning, -48 dB") << 0.0 << 0.004f << 1.0;
    QTest::newRow("hiss beginning, -20 dB") << 0.0 << 0.1f << 1.0;
    QTest::newRow("pinkish noise beginning, -30 dB") << 0.7 << 0.01f << 1.0;
    QTest::newRow("rumble beginning, -30 dB") << 0.98 << 0.004f << 1.0;
}

void TestNoteDetector::silenceAndNoiseAreNoNotes()
{
    QFETCH(double, brownness);
    QFETCH(float, level);
    QFETCH(double, startSeconds);
    std::vector<float> sound(44100 * 2, 0.0f);
    std::mt19937 random(7);
    std::normal_distribution<float> white(0.0f, 1.0f);
    float noise = 0;
    for (std::size_t i = std::size_t(startSeconds * 44100); i < sound.size(); ++i) {
        noise = float(brownness) * noise + white(random);
        sound[i] = noise * level;
    }
    const auto heard = hear(sound);
    QVERIFY2(heard.empty(), heard.empty() ? "" : qPrintable(QString::number(heard.front().keys.front())));
}

// A hiss that begins just before the keys are struck is no note, and holds back none.
void TestNoteDetector::keysJustAfterANoiseAreHeard()
{
    AnswerAudio::Answer answer;
    answer.keys = {60, 64, 67};
    AnswerAudio::RenderedAnswer rendered = pianoNamed(pianos[1]).render(answer);
    std::mt19937 random(7);
    std::normal_distribution<float> white(0.0f, 0.004f);
    for (std::size_t i = rendered.onsetSample - 2205; i < rendered.samples.size(); ++i) // from 50 ms before
        rendered.samples[i] += white(random);

    const auto heard = hear(rendered.samples);
    QCOMPARE(int(heard.size()), 1);
    QCOMPARE(keysOf(heard.front().keys), (QList<int>{60, 64, 67}));
}

// Every key over pink and brown noise 20 dB below it, as a fan or traffic sounds: what stirs in
// the noise before the key is struck is no other key.
void TestNoteDetector::backgroundNoiseStrikesNoKey()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QStringList early;
    for (const char* piano : pianos) {
        std::vector<AnswerAudio::RenderedAnswer> rendered;
        for (int key = 21; key <= 108; ++key) {
            AnswerAudio::Answer answer;
            answer.keys = {key};
            rendered.push_back(pianoNamed(piano).render(answer));
        }
        std::vector<AnswerAudio::RenderedAnswer*> batch;
        for (auto& answer : rendered)
            batch.push_back(&answer);
        std::string why;
        QVERIFY2(AnswerAudio::applyCondition(batch, AnswerAudio::Condition::Noisy, 44100,
                                             work.path().toStdString(), 7, &why),
                 why.c_str());
        for (std::size_t i = 0; i < rendered.size(); ++i) {
            const auto heard = hear(rendered[i].samples);
            const double keyMs = double(rendered[i].onsetSample) * 1000.0 / 44100.0;
            const int key = 21 + int(i);
            if (!heard.empty() && heard.front().onsetMs < keyMs - 50 &&
                heard.front().keys != std::vector<int>{key})
                early << QStringLiteral("%1 key %2: %3 heard %4 ms before")
                             .arg(QFileInfo(piano).baseName())
                             .arg(key)
                             .arg(heard.front().keys.front())
                             .arg(keyMs - heard.front().onsetMs, 0, 'f', 0);
        }
    }
    QVERIFY2(early.isEmpty(), qPrintable(early.join(QStringLiteral("; "))));
}

// A key two octaves or a twelfth above another is heard in the partials they share: a single key's
// own partials there must not be heard as one, struck softly or hard.
void TestNoteDetector::aSingleKeyBringsNoKeyAmongItsPartials()
{
    QStringList ghosts;
    for (const char* piano : pianos) {
        for (int key = 21; key <= 108; ++key) {
            AnswerAudio::Answer answer;
            answer.keys = {key};
            answer.velocity = key % 2 ? 110 : 50;
            for (const auto& onset : hear(pianoNamed(piano).render(answer).samples))
                for (int heard : onset.keys)
                    if (heard == key + 19 || heard == key + 24)
                        ghosts << QStringLiteral("%1 key %2: %3")
                                      .arg(QFileInfo(piano).baseName())
                                      .arg(key)
                                      .arg(heard);
        }
    }
    QVERIFY2(ghosts.isEmpty(), qPrintable(ghosts.join(QStringLiteral("; "))));
}

void TestNoteDetector::aKeyStruckAgainIsASecondOnset()
{
    AnswerAudio::AnswerRenderer& renderer = pianoNamed(pianos[0]);
    AnswerAudio::Answer answer;
    answer.keys = {64};
    answer.holdMs = 350;
    answer.repeatAfterMs = 400;
    const auto heard = hear(renderer.render(answer).samples);
    QCOMPARE(int(heard.size()), 2);
    QCOMPARE(keysOf(heard[0].keys), QList<int>{64});
    QCOMPARE(keysOf(heard[1].keys), QList<int>{64});
}

void TestNoteDetector::theToolPrintsEachOnset()
{
    QTemporaryDir folder;
    AnswerAudio::AnswerRenderer& renderer = pianoNamed(pianos[0]);
    AnswerAudio::Answer answer;
    answer.keys = {57, 60, 64};
    const AnswerAudio::RenderedAnswer rendered = renderer.render(answer);
    const QString path = folder.filePath("answer.wav");
    std::string error;
    QVERIFY2(AnswerAudio::writeWav(path.toStdString(), rendered.samples, 44100, &error), error.c_str());

    QProcess tool;
    tool.start(CANTORELA_LISTEN_TOOL, {path});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    const QString printed = QString::fromUtf8(tool.readAllStandardOutput());
    QVERIFY2(QRegularExpression("^onset_ms=3\\d\\d keys=57,60,64\\n$").match(printed).hasMatch(), qPrintable(printed));

    tool.start(CANTORELA_LISTEN_TOOL, {folder.filePath("missing.wav")});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY(tool.readAllStandardError().contains("missing.wav"));
}

QTEST_GUILESS_MAIN(TestNoteDetector)
#include "test_note_detector.moc"
