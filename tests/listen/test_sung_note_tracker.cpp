// Sung notes: a voice made of a wavering fundamental and its falling harmonics, with breath, held
// for a while after silence; what the tracker names is the pitch class the judge compares.

#include "listen/sung_note_tracker.h"
#include "sung_voice.h"

#include <QtTest>

namespace {

constexpr double rate = 44100;

std::vector<float> sing(const std::vector<SungVoice::Note>& notes, float breath = 0.002f)
{
    return SungVoice::Sing(notes, rate, breath);
}

Listen::DetectorEvents hear(const std::vector<float>& sound)
{
    Listen::SungNoteTracker tracker(rate);
    Listen::DetectorEvents heard;
    for (std::size_t at = 0; at < sound.size(); at += 256) {
        tracker.feed(sound.data() + at, std::min<std::size_t>(256, sound.size() - at));
        Listen::DetectorEvents events = tracker.takeEvents();
        heard.onsets.insert(heard.onsets.end(), events.onsets.begin(), events.onsets.end());
        heard.releases.insert(heard.releases.end(), events.releases.begin(), events.releases.end());
    }
    return heard;
}

} // namespace

class TestSungNoteTracker : public QObject
{
    Q_OBJECT

private slots:
    void aHeldPitchIsOneNote_data();
    void aHeldPitchIsOneNote();
    void breathAloneIsNoNote();
    void notesInTurnAreLetGo();
};

void TestSungNoteTracker::aHeldPitchIsOneNote_data()
{
    QTest::addColumn<double>("key");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("vibratoCents");
    QTest::addColumn<int>("heard"); // -1: nothing

    QTest::newRow("middle C") << 60.0 << 0.6 << 30.0 << 60;
    QTest::newRow("a bass's low C") << 36.0 << 0.6 << 30.0 << 36;
    QTest::newRow("a soprano's high C") << 84.0 << 0.6 << 30.0 << 84;
    QTest::newRow("40 cents sharp") << 64.4 << 0.6 << 5.0 << 64;
    QTest::newRow("40 cents flat") << 63.6 << 0.6 << 5.0 << 64;
    QTest::newRow("60 cents sharp is the next key") << 64.6 << 0.6 << 5.0 << 65;
    QTest::newRow("held long enough") << 67.0 << 0.26 << 20.0 << 67;
    QTest::newRow("too short") << 67.0 << 0.15 << 20.0 << -1;
}

void TestSungNoteTracker::aHeldPitchIsOneNote()
{
    QFETCH(double, key);
    QFETCH(double, seconds);
    QFETCH(double, vibratoCents);
    QFETCH(int, heard);

    const Listen::DetectorEvents events = hear(sing({{key, seconds, vibratoCents}}));
    if (heard < 0) {
        QVERIFY(events.onsets.empty());
        return;
    }
    QCOMPARE(events.onsets.size(), std::size_t(1));
    QCOMPARE(events.onsets[0].keys, std::vector<int>{heard});
    QCOMPARE(events.releases.size(), std::size_t(1));
    QCOMPARE(events.releases[0].key, heard);
    // The note counts from where the voice began, and is said once it has been held long enough.
    QVERIFY(std::abs(events.onsets[0].onsetMs - 300.0) < 40.0);
    QVERIFY(events.onsets[0].reportedMs - events.onsets[0].onsetMs >= 200.0);
}

void TestSungNoteTracker::breathAloneIsNoNote()
{
    QVERIFY(hear(sing({}, 0.05f)).onsets.empty());
}

void TestSungNoteTracker::notesInTurnAreLetGo()
{
    const Listen::DetectorEvents events = hear(sing({{60, 0.5, 30}, {67, 0.5, 30}, {60, 0.5, 30}}));
    std::vector<int> keys;
    for (const Listen::HeardOnset& onset : events.onsets)
        keys.insert(keys.end(), onset.keys.begin(), onset.keys.end());
    QCOMPARE(keys, (std::vector<int>{60, 67, 60}));
    QCOMPARE(events.releases.size(), std::size_t(3));
    for (std::size_t i = 0; i < 3; ++i)
        QVERIFY(events.releases[i].timeMs < (i + 1 < 3 ? events.onsets[i + 1].onsetMs : 1e9));
}

QTEST_APPLESS_MAIN(TestSungNoteTracker)
#include "test_sung_note_tracker.moc"
