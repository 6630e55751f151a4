// A short soak of the exercise screen: random user actions from a fixed seed on the real screen
// with the real engine (clicks, on-screen keys, note-ons from a JACK port, the space bar, slider
// seeks, section buttons, view switches, settings re-applied, restarts, other trainers loaded,
// lesson ends with the section end dialog and its choices), short enough to run under
// ThreadSanitizer. What it finds that the lesson session's own tests do not: a warning about
// objects touched from another thread while the screen mixes all of these, and counts that leak
// from one lesson or trainer into another (at every lesson end the score bar holds exactly the
// answers judged since that lesson began).
//
// CANTORELA_SOAK_SEED overrides the seed.

#include "screen_jack_keyboard.h"
#include "test_exercise_screen_fixture.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"

#include <QAbstractButton>
#include <QRegularExpression>

#include <random>

using Core::Exercise;
using Core::LessonBase;

namespace {

constexpr int ActionCount = 500;
constexpr quint32 DefaultSeed = 0x50A6C0DE;
// Every this many actions the slider is dragged past the last section: a lesson end.
constexpr int LessonEndEvery = 40;
constexpr int PaceMs = 4; // the student's pace between two actions, the event loop running

// Warnings about objects used from the wrong thread, or widgets painted inside a paint; the
// offscreen platform's own notes are harmless.
const QRegularExpression threadWarning(QStringLiteral(
    "QObject::|Cannot create children|Timers cannot be|QWidget::repaint: Recursive repaint|QBasicTimer"));
const QRegularExpression allowedWarning(
    QStringLiteral("This plugin does not support|QObject::connect: signal not found"));

std::mutex warningMutex;
QStringList caughtWarnings;
QtMessageHandler previousHandler = nullptr;

// Any thread.
void CatchThreadWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        std::lock_guard<std::mutex> guard(warningMutex); // also keeps the expressions to one thread
        if (threadWarning.match(message).hasMatch() && !allowedWarning.match(message).hasMatch())
            caughtWarnings.append(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

class TestExerciseScreenSoak : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
        previousHandler = qInstallMessageHandler(CatchThreadWarnings);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void soak()
    {
        quint32 seed = DefaultSeed;
        if (qEnvironmentVariableIsSet("CANTORELA_SOAK_SEED"))
            seed = qEnvironmentVariable("CANTORELA_SOAK_SEED").toUInt(nullptr, 0);
        qInfo("soak seed 0x%08x (set CANTORELA_SOAK_SEED to repeat another)", seed);
        std::mt19937 random(seed);
        auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
        auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };

        std::unique_ptr<JackKeyboard> jack;
        if (HaveJack()) {
            jack = std::make_unique<JackKeyboard>("Cantorela Soak Keyboard");
            QVERIFY(jack->Ready());
        }
        ScreenRig rig(bank, QSize(1366, 708), jack ? jack->controller : nullptr);
        rig.General([&](Core::GeneralSettings& g) { g.hideMidiDialog = !jack; }); // never asked with one
        rig.blocks.ChangeBoth([](Core::TrainerSettings& s) { WholeLessons(s, 2, 1, {true, 200}); });
        QVERIFY(rig.Show());
        UI::ExerciseScreen* screen = rig.screen.get();

        // The answers judged by the lesson open now, as its session reported them; what a lesson
        // reports while another one is being opened belongs to neither.
        int right = 0, wrong = 0, judged = 0;
        bool switching = false;
        QPointer<Core::LessonSession> followed;
        auto follow = [&] {
            Core::LessonSession* session = screen->session();
            if (!session || followed == session)
                return;
            followed = session;
            connect(session, &Core::LessonSession::answerJudged, this, [&](const Core::Judgement& j) {
                ++judged;
                if (!switching)
                    ++(j.isRight() ? right : wrong);
            });
        };
        bool atHome = false;
        auto open = [&](int trainer, bool quiz, bool restart) {
            rig.blocks.SetQuizMode(quiz);
            if (atHome)
                screen->closeExercise();
            switching = true;
            right = wrong = 0;
            if (restart)
                screen->restartExercise();
            else
                screen->loadExercise(size_t(trainer), quiz, false);
            switching = false;
            follow();
            screen->onScreenChanged(QStringLiteral("console_exercise_control"),
                                     QStringLiteral("ex_block_view_control"));
            atHome = false;
        };
        connect(screen, &UI::ExerciseScreen::exitRequested, this, [&] {
            // The main window goes back to the home screen.
            atHome = true;
            screen->onScreenChanged(QStringLiteral("ex_block_view_control"),
                                     QStringLiteral("console_exercise_control"));
        });
        open(0, false, false);

        int dialogsShown = 0;
        for (int n = 0; n < ActionCount; ++n) {
            follow();
            UI::SectionEndDialog* dialog = screen->sectionEndDialog();
            const Core::LessonSnapshot lesson = rig.Lesson();
            const bool inExercise = screen->viewMode() == UI::ExerciseScreen::ExerciseView;
            const bool lessonEnd = n % LessonEndEvery == LessonEndEvery - 1;
            if (dialog && dialog->isVisible() && !dialog->isFadingOut()) {
                // The lesson's score holds the answers of this lesson alone.
                QCOMPARE(qMakePair(rig.Bar()->rightCount(), rig.Bar()->wrongCount()), qMakePair(right, wrong));
                static const char* const names[3] = {"Continue", "Repeat", "ReviewStats"};
                const int choice = dialogsShown++ % 3;
                if (choice == 1) {
                    switching = true;
                    right = wrong = 0;
                }
                QTest::mouseClick(dialog->findChild<QAbstractButton*>(QLatin1String(names[choice])),
                                  Qt::LeftButton);
                switching = false;
                follow();
                QVERIFY2(QTest::qWaitFor([&] { return !dialog->isVisible() || dialog->isFadingOut(); }, 3000),
                         names[choice]);
            } else if (atHome || !screen->session()) {
                open(pick(0, 2), chance(0.25), false);
            } else if (!inExercise && (chance(0.3) || lessonEnd)) {
                screen->showExercise(chance(0.5) ? UI::Quick : UI::Animated);
            } else if (lessonEnd && !screen->isQuizMode()) {
                rig.DragSlider(rig.Slider()->width() - 1);
                // The dialog comes once the last judgement has been seen.
                (void)QTest::qWaitFor(
                    [&] {
                        const auto* end = screen->sectionEndDialog();
                        return (end && end->isVisible()) || rig.Lesson().state != Exercise::LessonEnd;
                    },
                    UI::ExerciseScreen::FeedbackBeforeSectionEndMs + 2000);
            } else if (lesson.playState == LessonBase::Paused && chance(0.4)) {
                QTest::keyClick(screen, Qt::Key_Space); // a student who paused goes on sooner or later
            } else {
                const int action = pick(0, 99);
                const bool awaiting = lesson.state == Exercise::AwaitingAnswer;
                if (action < 30) { // an answer button or its number key
                    const int id = chance(0.6) ? lesson.question.correctIndex + 1 : pick(1, 6);
                    if (chance(0.4))
                        QTest::keyClick(screen, Qt::Key(Qt::Key_0 + std::clamp(id, 1, 6)));
                    else if (rig.Variant(id)->isVisible())
                        rig.ClickVariant(id);
                } else if (action < 60) { // on-screen or MIDI keys
                    const bool midi = jack && chance(0.5);
                    QVector<int> keys = awaiting && chance(0.6) ? rig.ExpectedKeys() : QVector<int>();
                    if (keys.isEmpty())
                        keys = {pick(27, 63)};
                    keys.resize(std::min(keys.size(), 6)); // a heard piece has many notes
                    for (int key : keys) {
                        if (midi)
                            jack->Play(key);
                        else if (rig.Piano()->isVisible())
                            rig.ClickKey(key);
                    }
                } else if (action < 72) { // pause or resume
                    UI::PlayDialog* veil = screen->playDialog();
                    if (veil && veil->isShown() && chance(0.5))
                        QTest::mouseClick(veil->playButton(), Qt::LeftButton);
                    else
                        QTest::keyClick(screen, Qt::Key_Space);
                } else if (action < 80) {
                    const int s = pick(0, UI::ExerciseScreen::SectionCount - 1);
                    if (rig.SectionButton(s)->isVisible())
                        QTest::mouseClick(rig.SectionButton(s), Qt::LeftButton);
                } else if (action < 86 && rig.Slider()->isVisible() && rig.Slider()->isEnabled()) {
                    rig.DragSlider(pick(0, rig.Slider()->width() - 1));
                } else if (action < 92) {
                    if (chance(0.5))
                        screen->showStatistics(chance(0.5) ? UI::Quick : UI::Animated);
                    else
                        screen->showReference(UI::Quick);
                } else if (action < 96) {
                    const bool keyboard = chance(0.7);
                    rig.General([&](Core::GeneralSettings& g) {
                        g.answerWithGraphicalKeyboard = keyboard;
                        g.answerWithMultipleChoice = !keyboard || chance(0.7);
                    });
                    const Core::WrongAnswerPolicy policy{chance(0.7), pick(0, 400)};
                    const int questions = pick(1, 3);
                    rig.Settings([&](Core::TrainerSettings& s) { WholeLessons(s, questions, 1, policy); });
                    screen->applySettings();
                } else { // the same trainer again or another one, while its reports are in flight
                    const bool restart = chance(0.3);
                    open(restart ? int(screen->exerciseId()) : pick(0, 2),
                         restart ? screen->isQuizMode() : chance(0.25), restart);
                }
            }
            QTest::qWait(PaceMs);
            const QStringList warnings = [] { std::scoped_lock lock(warningMutex); return caughtWarnings; }();
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
        }
        screen->closeExercise();
        qInfo("soak: %d answers judged, %d section end dialogs", judged, dialogsShown);
        QVERIFY2(dialogsShown >= 3, "every choice of the section end dialog was made");
        QVERIFY(judged > 10); // a mistake is followed by a wait of a second at least
        QVERIFY(!jack || !screen->midiWarningDialog());
    }
};

QTEST_MAIN(TestExerciseScreenSoak)
#include "test_exercise_screen_soak.moc"
