#pragma once
// The exercise screen on real parts for its tests and the answer_feedback benchmark: a catalogue
// of the three trainers whose statistics and telemetry live in a temporary data folder, the
// settings in force (a learning and a quiz block, both ShortLessons(3, 30)), a general settings
// store in a temporary settings folder, a sound controller without the synthesizer, and an
// answer-sound server that records what it is asked to play. Helpers answer as a student does:
// clicks at painted positions, keys.

#include "../common/screen_parts.h"
#include "../common/temp_settings.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/lesson_session.h"
#include "core/midi/au_server.h"
#include "core/midi/midi_bank.h"
#include "core/midi/sound_clip.h"
#include "core/midi/sound_controller.h"
#include "notation/music_font.h"
#include "settings_blocks.h"
#include "ui/exercise/exercise_screen.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/progress.h"
#include "ui/interface_fonts.h"
#include "ui/dialogs/section_end_dialog.h"
#include "core/settings_store.h"

#include <QAccessible>
#include <QLabel>
#include <QApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>
#include <mutex>

// Records the answer sounds instead of playing them; the most recent server is the one in use.
class RecordingAuServer : public Core::AuServer
{
public:
    void Play(SoundClip& clip) override { std::scoped_lock lock(m_mutex); m_played.append(clip.Path()); }
    void Stop() override {}
    QStringList Played() { std::scoped_lock lock(m_mutex); return m_played; }
    void Clear() { std::scoped_lock lock(m_mutex); m_played.clear(); }

private:
    std::mutex m_mutex;
    QStringList m_played;
};

// A key that is none of `expected` and no octave of the first, next to the first of them.
inline int WrongKey(const QVector<int>& expected)
{
    int key = expected.first() + 1;
    while (expected.contains(key) || (key - expected.first()) % 12 == 0)
        ++key;
    return key;
}

// ShortLessons for going through whole lessons on the screen: the ear trainer's tempo section asks
// one question (each plays a whole piece), and the note trainer's policy after a mistake.
inline void WholeLessons(Core::TrainerSettings& s, int questions, int timeoutSeconds,
                         Core::WrongAnswerPolicy afterMistake)
{
    ShortLessons(s, questions, timeoutSeconds);
    s.earTrainer.tempo.duration.questions = 1;
    s.noteTrainer.wrongAnswerPolicy = afterMistake;
}

// The parts of one screen. Create it after ScreenTestSetUp() ran once in the test case.
struct ScreenRig
{
    explicit ScreenRig(std::shared_ptr<Core::MidiBank> bank, QSize size = QSize(1366, 708),
                       std::shared_ptr<Core::SoundController> sound = {})
    {
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        store = std::make_unique<Core::SettingsStore>([this] { return blocks.IsQuizMode(); });
        Core::GeneralSettings general = store->generalSettings();
        general.answerWithGraphicalKeyboard = true;
        general.answerWithMultipleChoice = true;
        general.hideMidiDialog = true;
        store->setGeneralSettings(general);
        blocks.ChangeBoth([](Core::TrainerSettings& s) { ShortLessons(s, 3, 30); });
        catalog = std::make_shared<Core::ExerciseCatalog>(&blocks);
        catalog->SetMidiBank(std::move(bank));
        controller = sound ? std::move(sound) : SilentSound();
        // In a window of its own, as the main window holds it.
        window = std::make_unique<QWidget>();
        window->resize(size);
        screen = std::make_unique<UI::ExerciseScreen>(catalog, controller, store.get(), window.get());
        screen->setGeometry(QRect(QPoint(0, 0), size));
    }
    // Changes the settings block in force (the quiz block in quiz mode).
    template <typename Edit> void Settings(Edit edit) { blocks.Change(edit); }
    void General(const std::function<void(Core::GeneralSettings&)>& edit)
    {
        Core::GeneralSettings general = store->generalSettings();
        edit(general);
        store->setGeneralSettings(general);
    }

    bool Show()
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowExposed(window.get());
    }

    template <typename T = QWidget> T* Child(const QString& name) const { return screen->findChild<T*>(name); }
    QToolButton* Variant(int id) const { return Child<QToolButton>(QStringLiteral("variant%1").arg(id)); }
    QToolButton* SectionButton(int s) const
    {
        return Child<QToolButton>(QStringLiteral("section%1").arg(s + 1));
    }
    Keyboard* Piano() const { return Child<Keyboard>(QStringLiteral("keyboard")); }
    QLabel* Status() const { return Child<QLabel>(QStringLiteral("statusLabel")); }
    QWidget* ScorePane() const { return Child<QWidget>(QStringLiteral("scorePane")); }
    Progress* Bar() const { return Child<Progress>(QStringLiteral("progress")); }
    QSlider* Slider() const { return Child<QSlider>(QStringLiteral("sectionSlider")); }
    // The open lesson now, as its session gives it to the main window.
    Core::LessonSnapshot Lesson() const
    {
        return screen->session() ? screen->session()->snapshot() : Core::LessonSnapshot();
    }

    // Waits until a question waits for its answer (a heard one has finished sounding), and the
    // screen shows it so: the lesson posts its report before its new state can be read, so one
    // pass of the event loop brings the report.
    bool WaitForQuestion(int timeoutMs = 30000) const
    {
        const bool asked = QTest::qWaitFor(
            [this] {
                const Core::LessonSnapshot lesson = Lesson();
                return screen->session() && lesson.state == Core::Exercise::AwaitingAnswer &&
                       lesson.playState == Core::LessonBase::Running;
            },
            timeoutMs);
        QCoreApplication::processEvents();
        return asked;
    }
    // Waits until the screen has shown `answered` judged answers.
    bool WaitForAnswers(int answered, int timeoutMs = 5000) const
    {
        const bool shown = QTest::qWaitFor(
            [&] {
                return Bar()->wrongCount() + Bar()->rightCount() >= answered &&
                       Lesson().counters.answered >= answered;
            },
            timeoutMs);
        QCoreApplication::processEvents();
        return shown;
    }

    // Clicks the key `key` (0-87) of the on-screen piano where it is painted: in the lower part of
    // a white key, in the middle of a black one.
    void ClickKey(int key) const
    {
        const QRect area = Piano()->keyRect(key);
        const QPoint at(area.center().x(), area.bottom() - 4);
        QTest::mouseClick(Piano(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void ClickVariant(int id) const
    {
        QTest::mouseClick(Variant(id), Qt::LeftButton, Qt::NoModifier, Variant(id)->rect().center());
    }
    // Drags the slider's handle to `x` on the slider and lets it go there.
    void DragSlider(int x) const
    {
        QSlider* slider = Slider();
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.maximum = slider->maximum();
        option.sliderPosition = slider->value();
        const QRect handle =
            slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
        const QPoint to(x, handle.center().y());
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, handle.center());
        QMouseEvent move(QEvent::MouseMove, to, slider->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, to);
    }

    // The notes (keys 0-87) of the question being asked, in order.
    QVector<int> ExpectedKeys() const
    {
        QVector<int> keys;
        const Core::QuestionRecord question = Lesson().question;
        if (const Core::QuestionData* item = question.AskedItem())
            if (item->stream)
                for (const MidiEvent& e : *item->stream)
                    if (e.message.IsNoteOn())
                        keys.append(int(e.message.byte1) - 21);
        return keys;
    }

    QTemporaryDir data;
    TempSettings config; // the settings folder
    SettingsBlocks blocks;
    std::unique_ptr<Core::SettingsStore> store;
    std::shared_ptr<Core::SoundController> controller;
    std::shared_ptr<Core::ExerciseCatalog> catalog; // gone after the screen and before the rest
    std::unique_ptr<QWidget> window;
    std::unique_ptr<UI::ExerciseScreen> screen;
};

// Once per test program: resources, fonts and the recording sound server.
inline RecordingAuServer& ScreenTestSetUp()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(assets);
    Q_INIT_RESOURCE(midi_pieces);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
    QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    UI::InterfaceFonts::registerFonts();
    Notation::MusicFont::RegisterApplicationFont();
    static RecordingAuServer server;
    return server;
}
