// The exercise screen on a real catalogue of the three trainers, driven as a student drives it.

#include "core/exercise/question_data.h"
#include "test_exercise_screen_fixture.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/exercise/action_hint.h"
#include "ui/exercise/speaker_widget.h"
#include "ui/exercise/view_switcher.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/score_board.h"

#include <QAbstractAnimation>
#include <QCheckBox>
#include <QPropertyAnimation>
#include <QPushButton>

using Core::Exercise;
using Core::LessonBase;

namespace {

// The id (1-6) of the right answer button.
int RightButton(const ScreenRig& rig)
{
    return rig.Lesson().question.correctIndex + 1;
}

// A look the form stores as the style-sheet property `look` of the widget `holder`; a missing
// one matches no style sheet (two empty ones would).
QString Look(const ScreenRig& rig, const char* holder, const char* look)
{
    const QString sheet = rig.Child(QString::fromLatin1(holder))->property(look).toString();
    return sheet.isEmpty() ? QStringLiteral("no look %1").arg(QLatin1String(look)) : sheet;
}

bool IsShaking(const ScreenRig& rig)
{
    for (auto* animation : rig.screen->findChildren<QPropertyAnimation*>())
        if (animation->targetObject() == rig.ScorePane() &&
            animation->state() == QAbstractAnimation::Running &&
            animation->easingCurve().type() == QEasingCurve::InOutElastic)
            return true;
    return false;
}

// What answer buttons 1-6 begin with: a tick, a cross, or their number when unmarked.
QString Marks(const ScreenRig& rig)
{
    QString marks;
    for (int id = 1; id <= 6; ++id)
        marks += rig.Variant(id)->text().at(0);
    return marks;
}

// The view whose pane fills the view area while the others are out of it or hidden; else empty.
QString ShownView(const ScreenRig& rig)
{
    QString shown;
    const QRect area = rig.Child(QStringLiteral("viewArea"))->rect();
    for (const char* view : {"exercise", "statistics", "extendedStatistics", "reference"}) {
        const QWidget* pane = rig.Child(QLatin1String(view) + QStringLiteral("Pane"));
        if (pane->isVisible() && pane->geometry() == area && shown.isEmpty())
            shown = QLatin1String(view);
        else if (pane->isVisible() && pane->geometry().intersects(area))
            return QString();
    }
    return shown;
}

// The computer keyboard's piano keys by their place, from the lower row's C.
constexpr const char PianoLetters[] = "ZSXDCVGBHNJMQ2W3ER5T6Y7UI";

// Sends the press or release of the key the platform reports as `key` at `scanCode` (0: none).
void SendKey(QWidget* to, QEvent::Type type, int key, quint32 scanCode = 0)
{
    QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0);
    QApplication::sendEvent(to, &event);
}

// Moves the computer keyboard's window to its lowest place (C0), then `octaves` up.
void MovePianoWindow(QWidget* screen, int octaves)
{
    for (int n = 0; n < 8; ++n)
        QTest::keyClick(screen, Qt::Key_PageDown);
    for (int n = 0; n < octaves; ++n)
        QTest::keyClick(screen, Qt::Key_PageUp);
}

} // namespace

class TestConsoleExerciseControl : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;
    RecordingAuServer* sounds = nullptr;

    std::unique_ptr<ScreenRig> rig;

    // Shows a screen with a lesson of `trainer` open and its first question waiting.
    bool Open(unsigned trainer, const std::function<void(ScreenRig&)>& prepare = {})
    {
        rig = std::make_unique<ScreenRig>(bank);
        if (prepare)
            prepare(*rig);
        if (!rig->Show())
            return false;
        rig->screen->loadExercise(trainer, rig->blocks.IsQuizMode(), false);
        return rig->WaitForQuestion();
    }

private Q_SLOTS:
    void initTestCase()
    {
        sounds = &ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }
    void cleanup() { rig.reset(); }

    // A judgement (click, piano, time-out) shows once in words, looks, marks, score and sound; after a
    // mistake the hint waits for Space, which brings the next question; hiding pauses the lesson.
    void judgementShownOnce_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<QString>("how");
        for (const char* how : {"right button", "wrong button", "right number", "wrong number", "right keys", "wrong key"})
            QTest::addRow("notes, %s", how) << 0u << QString::fromLatin1(how);
        for (const char* how : {"right button", "wrong button", "time-out"})
            QTest::addRow("symbols, %s", how) << 2u << QString::fromLatin1(how);
    }
    void judgementShownOnce()
    {
        QFETCH(unsigned, trainer);
        QFETCH(QString, how);
        const bool timeOut = how == "time-out", right = how.startsWith("right");
        const bool chosenWrong = how == "wrong button" || how == "wrong number";
        QVERIFY(Open(trainer, [&](ScreenRig& r) {
            r.Settings([&](Core::TrainerSettings& s) { WholeLessons(s, 3, timeOut ? 1 : 30, {false, 0}); });
            // (Where the piano answers too, its keys take the digits it plays.)
            if (how.endsWith("number"))
                r.General([](Core::GeneralSettings& g) { g.answerWithGraphicalKeyboard = false; });
        }));
        const int asked = rig->Lesson().counters.asked;
        sounds->Clear();
        const int rightId = RightButton(*rig), wrongId = rightId % 6 + 1;
        const QVector<int> keys = rig->ExpectedKeys();
        if (how.endsWith("button")) {
            rig->ClickVariant(right ? rightId : wrongId);
        } else if (how.endsWith("number")) {
            // Keys 1 to 6 answer with the numbered buttons, which a click never gives the focus.
            for (int id = 1; id <= 6; ++id)
                QVERIFY(!(rig->Variant(id)->focusPolicy() & Qt::ClickFocus));
            QTest::keyClick(rig->screen.get(), Qt::Key(Qt::Key_0 + (right ? rightId : wrongId)));
        } else if (how == "right keys") {
            for (int key : keys)
                rig->ClickKey(key);
        } else if (how == "wrong key") {
            rig->ClickKey(WrongKey(keys));
        }
        QVERIFY(rig->WaitForAnswers(1, 4000));

        const QString words = timeOut ? "Out of time." : right ? "Right" : "Wrong";
        QTRY_COMPARE(rig->Status()->text(), words);
        QCOMPARE(rig->Status()->styleSheet(),
                 Look(*rig, "statusLabel", timeOut ? "TimeoutStyle" : right ? "RightStyle" : "WrongStyle"));
        QCOMPARE(QAccessible::queryAccessibleInterface(rig->Status())->text(QAccessible::Name), words);
        // The time left is used up exactly when the time is up (and read so).
        QWidget* countdown = rig->Child(QStringLiteral("questionCountdown"));
        QVERIFY(countdown->isVisible());
        QCOMPARE(QAccessible::queryAccessibleInterface(countdown)->valueInterface()->currentValue().toInt() == 0,
                 timeOut);
        QCOMPARE(rig->ScorePane()->styleSheet(),
                 Look(*rig, "scorePane", right ? "CorrectAnswerBorderStyle" : "WrongAnswerBorderStyle"));
        QCOMPARE(IsShaking(*rig), !right);
        QCOMPARE(qMakePair(rig->Bar()->rightCount(), rig->Bar()->wrongCount()), qMakePair(int(right), int(!right)));
        const QString sound = right ? ":/wav/right.wav" : ":/wav/wrong.wav";
        QCOMPARE(sounds->Played(), trainer == 2 ? QStringList{sound} : QStringList());
        QString marks = QStringLiteral("123456");
        marks[rightId - 1] = QChar(0x2713); // a tick
        if (chosenWrong)
            marks[wrongId - 1] = QChar(0x2717); // a cross
        QCOMPARE(Marks(*rig), marks);
        QCOMPARE(rig->Variant(rightId)->styleSheet(), Look(*rig, "variantBar", "MultichoiceCorrectStyle"));
        QVERIFY(rig->Variant(rightId)->accessibleName().endsWith("right answer"));
        if (chosenWrong) {
            QCOMPARE(rig->Variant(wrongId)->styleSheet(),
                     Look(*rig, "variantBar", "MultichoiceIncorrectStyle"));
            QVERIFY(rig->Variant(wrongId)->accessibleName().contains("wrong"));
        }
        if (how == "wrong key") {
            QCOMPARE(rig->Piano()->keyState(WrongKey(keys)).mark, int(Keyboard::RedMark));
            QCOMPARE(rig->Piano()->keyState(keys.first()).mark, int(Keyboard::BlueMark));
        }
        for (int key : keys)
            QVERIFY(how != "right keys" || rig->Piano()->keyState(key).mark == Keyboard::GreenMark);
        if (timeOut)
            QTRY_COMPARE_WITH_TIMEOUT(rig->Status()->styleSheet(), Look(*rig, "statusLabel", "RegularStyle"),
                                      Core::LessonSession::TimeoutSummaryDelayMs + 1000);
        QVERIFY(!timeOut || rig->Status()->text().startsWith("Question "));

        // Nothing more is shown or heard for the same answer.
        QCOMPARE(sounds->Played().size(), trainer == 2 ? 1 : 0);
        QCOMPARE(rig->Bar()->rightCount() + rig->Bar()->wrongCount(), 1);
        UI::ActionHint* hint = rig->screen->actionHint();
        if (!right) {
            QTRY_VERIFY(hint->isVisible());
            QCOMPARE(hint->text(), UI::ActionHint::textOf(UI::ActionHint::NextQuestionMode));
            const QWidget* bar = rig->Child(QStringLiteral("variantBar"));
            const QRect buttons(bar->mapTo(rig->screen.get(), QPoint()), bar->size());
            QVERIFY(!hint->geometry().intersects(buttons));
            QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        }
        QTRY_VERIFY(rig->Lesson().counters.asked > asked);
        QVERIFY(rig->WaitForQuestion());
        QTRY_COMPARE(Marks(*rig), QStringLiteral("123456"));
        QVERIFY(rig->Status()->text().startsWith("Question "));
        QCOMPARE(rig->ScorePane()->styleSheet(), Look(*rig, "scorePane", "RegularBorderStyle"));
        QVERIFY(!hint->isVisible() || hint->mode() == UI::ActionHint::PauseMode);
        rig->screen->hide();
        QCOMPARE(rig->Lesson().playState, LessonBase::Paused);
    }

    // A button per section with questions, wider for longer ones but a 12 times longer section not
    // twice as wide; the slider dragged past the last section ends the lesson, and a quiz's is locked.
    void sectionBarFollowsSectionLengths()
    {
        QVERIFY(Open(0, [](ScreenRig& r) {
            r.Settings([](Core::TrainerSettings& s) {
                s.noteTrainer.wrongAnswerPolicy = {true, 60000};
                s.noteTrainer.singleNotes.duration = {1, 2};
                s.noteTrainer.intervals.duration = {1, 6};
                s.noteTrainer.chords.duration = {1, 24};
            });
        }));
        const Core::LessonSnapshot lesson = rig->Lesson();
        QCOMPARE(lesson.segments.size(), size_t(3));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(rig->SectionButton(i)->isVisible(), i < 3);
        QCOMPARE(rig->SectionButton(2)->text(), lesson.segments[2].name);
        QVERIFY(rig->SectionButton(0)->width() < rig->SectionButton(1)->width());
        QVERIFY(rig->SectionButton(1)->width() < rig->SectionButton(2)->width());
        QVERIFY(rig->SectionButton(2)->width() < 2 * rig->SectionButton(0)->width());

        QVERIFY(rig->Slider()->isEnabled());
        // A drag that lands in a section's last question but one goes on with the last, and says so.
        QToolButton* chords = rig->SectionButton(2);
        rig->DragSlider(chords->x() + chords->width() * 45 / 48);
        QTRY_COMPARE(rig->Status()->text(), QStringLiteral("Question 24 of 24"));
        rig->DragSlider(rig->Slider()->width() - 1);
        QCOMPARE(rig->Slider()->value(), rig->Slider()->maximum());
        QTRY_COMPARE(rig->Lesson().state, Exercise::LessonEnd);
        QCOMPARE(rig->Lesson().position.position, lesson.position.length - 1);
        QTRY_VERIFY(rig->screen->sectionEndDialog() && rig->screen->sectionEndDialog()->isVisible());

        // In a quiz neither the slider nor the section buttons move the lesson, also once answered.
        QVERIFY(Open(1, [&](ScreenRig& r) { r.blocks.SetQuizMode(true); }));
        QVERIFY(!rig->Slider()->isEnabled());
        QToolButton* later = rig->SectionButton(2);
        QVERIFY(later->isVisible());
        QTest::mouseClick(rig->window->windowHandle(), Qt::LeftButton, {},
                          later->mapTo(rig->window.get(), later->rect().center()));
        QCOMPARE(rig->Lesson().section, 0);
        QVERIFY(!later->isChecked());
        rig->ClickVariant(RightButton(*rig));
        QVERIFY(rig->WaitForAnswers(1, 30000));
        QVERIFY(!rig->Slider()->isEnabled());
    }

    // The inputs the settings ask for, also when changed in a lesson; the symbol trainer's buttons
    // only. Number keys answer nothing while the buttons are hidden (with them: judgementShownOnce).
    void inputsFollowSettings_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("piano");
        QTest::addColumn<bool>("choices");
        for (unsigned trainer : {0u, 1u, 2u})
            for (auto [piano, choices] :
                 {std::pair(true, false), std::pair(false, true), std::pair(true, true)})
                QTest::addRow("trainer %u, piano %d, choices %d", trainer, piano, choices)
                    << trainer << piano << choices;
    }
    void inputsFollowSettings()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, piano);
        QFETCH(bool, choices);
        QVERIFY(Open(trainer, [&](ScreenRig& r) {
            r.General([&](Core::GeneralSettings& g) {
                g.answerWithGraphicalKeyboard = piano;
                g.answerWithMultipleChoice = choices;
            });
        }));
        QCOMPARE(rig->Piano()->isVisible(), piano && trainer != 2);
        QCOMPARE(rig->Variant(1)->isVisible(), choices || trainer == 2);
        if (!rig->Variant(1)->isVisible()) {
            QTest::keyClick(rig->screen.get(), Qt::Key_1);
            QCOMPARE(rig->Lesson().counters.answered, 0);
        }
        rig->General([&](Core::GeneralSettings& g) {
            g.answerWithGraphicalKeyboard = !piano;
            g.answerWithMultipleChoice = true;
        });
        rig->screen->applySettings();
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->Piano()->isVisible(), !piano && trainer != 2);
        QVERIFY(rig->Variant(1)->isVisible());
    }

    // While a heard question sounds: the speaker, inputs locked; then its picture; after the answer
    // its notes on the staff.
    void heardQuestionLocksInputsWhileItSounds()
    {
        QVERIFY(Open(1));
        rig->SectionButton(1)->click(); // intervals: their two notes sound for a second
        QVERIFY(rig->WaitForQuestion());
        auto* fader = rig->Child<UI::FaderWidget>(QStringLiteral("questionFader"));
        auto* speaker = rig->Child<UI::SpeakerWidget>(QStringLiteral("speaker"));
        auto* board = rig->Child<UI::ScoreBoard>(QStringLiteral("scoreBoard"));
        auto shownContent = [&] { return fader->content() ? fader->content()->objectName() : QString(); };
        QTRY_COMPARE(shownContent(), QStringLiteral("questionPicture"));
        QVERIFY(!speaker->isAnimating());
        rig->ClickVariant(RightButton(*rig));
        QVERIFY(rig->WaitForAnswers(1));
        QVERIFY(fader->isFading() || fader->content() == board);
        QVERIFY(board->pageCount() > 0);
        // The next question sounds: looked at once the screen has shown the new state (its
        // queued slot runs first), with an answer tried meanwhile.
        QString seen;
        auto look = [&] {
            if (!seen.isEmpty() || rig->Lesson().state != Exercise::Presenting)
                return;
            seen = QStringLiteral("speaker %1, buttons %2, piano %3")
                       .arg(speaker->isAnimating())
                       .arg(rig->Variant(1)->isEnabled())
                       .arg(rig->Piano()->isEnabled());
            rig->ClickVariant(RightButton(*rig));
            seen += QStringLiteral(", answered %1").arg(rig->Lesson().counters.answered);
        };
        connect(rig->screen->session(), &Core::LessonSession::stateChanged, rig->screen.get(),
                [&] { QTimer::singleShot(0, rig->screen.get(), look); });
        QTRY_COMPARE(seen, QStringLiteral("speaker 1, buttons 0, piano 0, answered 1"));
        QVERIFY(rig->WaitForQuestion());
        QTRY_VERIFY(rig->Variant(1)->isEnabled());
        QVERIFY(rig->Piano()->isEnabled());
        QVERIFY(!speaker->isAnimating());
        QTRY_COMPARE(shownContent(), QStringLiteral("questionPicture"));
    }

    // A heard question is heard again by its button or R, as often as wanted in a lesson and once
    // in a quiz, never while it sounds; a paused lesson shows the play card, loses no time and
    // plays nothing again.
    void heardAgainAndPaused_data()
    {
        QTest::addColumn<bool>("quiz");
        QTest::newRow("lesson") << false;
        QTest::newRow("quiz") << true;
    }
    void heardAgainAndPaused()
    {
        QFETCH(bool, quiz);
        // (Where the piano answers, R plays it instead.)
        QVERIFY(Open(1, [&](ScreenRig& r) {
            r.blocks.SetQuizMode(quiz);
            r.General([](Core::GeneralSettings& g) { g.answerWithGraphicalKeyboard = false; });
        }));
        auto* again = rig->Child<QToolButton>(QStringLiteral("hearAgainButton"));
        QStringList whileSounding; // the button as the screen shows it while the question sounds
        connect(rig->screen->session(), &Core::LessonSession::stateChanged, rig->screen.get(),
                [&](const Core::LessonSnapshot& lesson) {
                    if (lesson.state == Exercise::Presenting)
                        whileSounding << (again->isEnabled() ? "enabled" : "disabled");
                });
        QTRY_COMPARE(rig->Lesson().state, Exercise::AwaitingAnswer);
        QTRY_VERIFY(again->isVisible() && again->isEnabled());
        QCOMPARE(again->accessibleName(), QStringLiteral("Hear again"));
        QVERIFY(again->text().contains(QStringLiteral("(R)")));
        for (int hearing = 1; hearing <= 2; ++hearing) {
            QTest::keyClick(rig->screen.get(), Qt::Key_R);
            if (quiz && hearing == 2) {
                QVERIFY(!again->isEnabled());
                QCOMPARE(rig->Lesson().state, Exercise::AwaitingAnswer);
                break;
            }
            // (A single note has sounded again at once: its report says it was sounding.)
            QTRY_COMPARE(whileSounding.size(), hearing);
            QTRY_COMPARE(rig->Lesson().state, Exercise::AwaitingAnswer);
            QTRY_COMPARE(again->isEnabled(), !quiz);
        }
        QCOMPARE(whileSounding.size(), quiz ? 1 : 2);
        QCOMPARE(whileSounding.count(QStringLiteral("disabled")), whileSounding.size());

        rig->screen->pauseExercise(true); // as the main window does before its settings
        const int at = rig->Lesson().position.position;
        QTRY_VERIFY(rig->screen->playDialog() && rig->screen->playDialog()->isShown());
        QTRY_COMPARE(rig->screen->playDialog()->opacity(), 1.0);
        QTest::keyClick(rig->screen.get(), Qt::Key_R);
        QCOMPARE(rig->Lesson().state, Exercise::AwaitingAnswer);
        QCOMPARE(rig->Lesson().position.position, at);
        QVERIFY(!again->isEnabled());
    }

    // The computer keyboard plays the piano: a whole note-trainer lesson with letters alone, the
    // window moved by octaves to each question, chords gathered from held keys.
    void computerKeyboardAnswersAWholeLesson()
    {
        QVERIFY(Open(0, [](ScreenRig& r) {
            r.General([](Core::GeneralSettings& g) { g.answerWithMultipleChoice = false; });
            r.Settings([](Core::TrainerSettings& s) { WholeLessons(s, 1, 30, {true, 1000}); });
        }));
        QWidget* screen = rig->screen.get();
        for (int answered = 0;; ++answered) {
            QVERIFY(QTest::qWaitFor([&] {
                const Core::LessonSnapshot lesson = rig->Lesson();
                return lesson.state == Exercise::LessonEnd ||
                       (lesson.state == Exercise::AwaitingAnswer && lesson.playState == LessonBase::Running &&
                        lesson.counters.answered == answered);
            }, 30000));
            if (rig->Lesson().state == Exercise::LessonEnd) {
                QVERIFY(answered >= 3);
                break;
            }
            QCoreApplication::processEvents();
            const QVector<int> keys = rig->ExpectedKeys();
            QVERIFY(!keys.isEmpty() && rig->Piano()->isVisible());
            const int octaves = (*std::min_element(keys.begin(), keys.end()) + 21 - 12) / 12;
            MovePianoWindow(screen, octaves);
            QVector<Qt::Key> letters;
            for (int key : keys) {
                const int place = key + 21 - 12 * (octaves + 1);
                QVERIFY2(place >= 0 && place < 25, "the question spans more than the window");
                letters.append(Qt::Key(PianoLetters[place]));
            }
            for (Qt::Key letter : letters) {
                // Gathered while held: nothing is judged before the last key.
                QCOMPARE(rig->Lesson().counters.answered, answered);
                QTest::keyPress(screen, letter);
            }
            QVERIFY(rig->WaitForAnswers(answered + 1));
            QCOMPARE(rig->Lesson().counters.correct, answered + 1);
            for (Qt::Key letter : letters)
                QTest::keyRelease(screen, letter);
        }
    }

    // Keys count by their place on the keyboard, whatever letter the layout prints there, and
    // play nothing while no answer is awaited.
    void computerKeyboardPlaysByPlace_data()
    {
        QTest::addColumn<quint32>("scanCode");
        QTest::addColumn<int>("letter");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("played"); // key 0-87 with the window on C3, -1 for none
        QTest::addColumn<unsigned>("trainer");

        QTest::newRow("Z on a German layout") << 52u << int(Qt::Key_Y) << false << 27 << 0u;
        QTest::newRow("Q on a French layout") << 24u << int(Qt::Key_A) << false << 39 << 0u;
        QTest::newRow("I, the top of the window") << 31u << int(Qt::Key_I) << false << 51 << 0u;
        QTest::newRow("no place reported") << 0u << int(Qt::Key_Z) << false << 27 << 0u;
        QTest::newRow("R, not Hear again, in the ear trainer") << 27u << int(Qt::Key_R) << false << 44 << 1u;
        QTest::newRow("paused") << 52u << int(Qt::Key_Z) << true << -1 << 0u;
    }
    void computerKeyboardPlaysByPlace()
    {
        QFETCH(quint32, scanCode);
        QFETCH(int, letter);
        QFETCH(bool, paused);
        QFETCH(int, played);
        QFETCH(unsigned, trainer);
        QVERIFY(Open(trainer, [](ScreenRig& r) {
            r.General([](Core::GeneralSettings& g) { g.answerWithMultipleChoice = false; });
        }));
        QWidget* screen = rig->screen.get();
        MovePianoWindow(screen, 3);
        if (paused)
            QTest::keyClick(screen, Qt::Key_Space);
        QTRY_COMPARE(rig->Child<QToolButton>(QStringLiteral("playButton"))->text(), paused ? "Play" : "Pause");
        SendKey(screen, QEvent::KeyPress, letter, scanCode);
        SendKey(screen, QEvent::KeyRelease, letter, scanCode);
        for (int key = 0; key < 88; ++key)
            QVERIFY2(rig->Piano()->keyState(key).played == quint8(key == played), qPrintable(QString::number(key)));
        if (played >= 0)
            QVERIFY(rig->WaitForAnswers(1));
        QCOMPARE(rig->Lesson().counters.answered, int(played >= 0));
    }

    // A chord written as a symbol is shown as its text and answered on the keys only.
    void chordSymbolIsTextAnsweredOnKeys()
    {
        QVERIFY(Open(0, [](ScreenRig& r) {
            r.Settings([](Core::TrainerSettings& s) {
                s.noteTrainer.chords[Core::ChordSwitch::ChordNotation] = true;
            });
        }));
        rig->SectionButton(2)->click();
        QVERIFY(rig->WaitForQuestion());
        const Core::QuestionRecord question = rig->Lesson().question;
        QCOMPARE(question.kind, int(Core::QuestionRecord::ChordSymbolQuestion));
        const QString label = question.AskedItem()->caption2;
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("questionText"))->text(),
                 label.left(label.indexOf(QLatin1Char('\n'))));
        QVERIFY(!rig->Variant(1)->isVisible());
        QVERIFY(rig->Piano()->isVisible());
        QTest::keyClick(rig->screen.get(), Qt::Key_1);
        QCOMPARE(rig->Lesson().counters.answered, 0);
        for (int key : rig->ExpectedKeys())
            rig->ClickKey(key);
        QVERIFY(rig->WaitForAnswers(1));
        QTRY_COMPARE(rig->Status()->text(), QStringLiteral("Right"));
    }

    // For trainers that take keys, unless the settings hide it.
    void missingMidiNoticeOncePerScreen_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("shown");
        QTest::newRow("note trainer") << 0u << false << true;
        QTest::newRow("ear trainer") << 1u << false << true;
        QTest::newRow("symbol trainer") << 2u << false << false;
        QTest::newRow("hidden by the settings") << 0u << true << false;
    }
    void missingMidiNoticeOncePerScreen()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, hidden);
        QFETCH(bool, shown);
        rig = std::make_unique<ScreenRig>(bank);
        rig->General([&](Core::GeneralSettings& g) { g.hideMidiDialog = hidden; });
        QVERIFY(rig->Show());
        rig->screen->loadExercise(trainer, false, false);
        QCOMPARE(rig->controller->InputCount(), 0);
        UI::MidiWarningDialog* notice = rig->screen->midiWarningDialog();
        QCOMPARE(notice != nullptr && notice->isVisible(), shown);
        if (!shown) {
            QVERIFY(rig->WaitForQuestion());
            return;
        }
        // The notice holds the lesson: nothing is asked or sounds, no clock runs, until it is closed.
        QVERIFY(notice->isModal());
        QCOMPARE(rig->Lesson().playState, LessonBase::Stopped);
        QCOMPARE(rig->Lesson().counters.asked, 0);
        // "Do not show again" is kept in the settings (asked for in one row only: without it the
        // notice still comes once per screen, not again for a new lesson of another trainer).
        const bool dontShowAgain = trainer == 1;
        notice->findChild<QCheckBox*>(QStringLiteral("midiWarningDontShow"))->setChecked(dontShowAgain);
        QTest::mouseClick(notice->okButton(), Qt::LeftButton);
        QTRY_VERIFY(!notice->isVisible());
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->store->generalSettings().hideMidiDialog, dontShowAgain);
        rig->screen->play();
        rig->screen->play();
        QVERIFY(!notice->isVisible());
        rig->screen->loadExercise(1 - trainer, false, false);
        QVERIFY(rig->WaitForQuestion());
        QVERIFY(!notice->isVisible());
        rig->ClickVariant(RightButton(*rig)); // answers still come from the screen
        QVERIFY(rig->WaitForAnswers(1, 30000));
    }

    // The last judgement is seen before the dialog covers it; Continue leaves, Repeat starts afresh.
    void lessonEndShowsTheLastJudgementThenLeavesOrRepeats_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("continue") << "Continue";
        QTest::newRow("repeat") << "Repeat";
    }
    void lessonEndShowsTheLastJudgementThenLeavesOrRepeats()
    {
        QFETCH(QString, choice);
        QVERIFY(Open(2, [](ScreenRig& r) {
            // The policy after a mistake is the note trainer's for every trainer.
            r.Settings([](Core::TrainerSettings& s) { WholeLessons(s, 1, 30, {true, 0}); });
        }));
        for (int n = 0; n < 5; ++n) {
            QVERIFY(rig->WaitForQuestion());
            rig->ClickVariant(RightButton(*rig));
            QVERIFY(rig->WaitForAnswers(n + 1));
        }
        QTRY_COMPARE(rig->Status()->text(), QStringLiteral("Right"));
        QVERIFY(!rig->screen->sectionEndDialog() || !rig->screen->sectionEndDialog()->isVisible());
        // The score the dialog has counted up to.
        const auto dialog = [this] { return rig->screen->sectionEndDialog(); };
        QTRY_VERIFY(dialog() && dialog()->isVisible() && dialog()->scoreShown());
        const Progress* score = dialog()->findChild<Progress*>();
        QCOMPARE(qMakePair(score->rightCount(), score->wrongCount()), qMakePair(5 * score->divisor(), 0));
        QSignalSpy exit(rig->screen.get(), &UI::ExerciseScreen::exitRequested);
        QTest::mouseClick(dialog()->findChild<QAbstractButton*>(choice), Qt::LeftButton);
        QCOMPARE(exit.size(), int(choice == "Continue"));
        if (choice == "Continue")
            return;
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->Lesson().counters.answered, 0);
        QCOMPARE(rig->Bar()->rightCount() + rig->Bar()->wrongCount(), 0);
    }

    // The views pause the lesson until the play dialog (Space does nothing there); the section buttons
    // turn statistics pages or exercise sections; the tempo page gives the piano's room away.
    void sectionButtonsFollowTheView()
    {
        QVERIFY(Open(1));
        rig->screen->showStatistics(UI::Animated);
        QCOMPARE(rig->Lesson().playState, LessonBase::Paused);
        QTRY_COMPARE(ShownView(*rig), QStringLiteral("statistics"));
        QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        QCOMPARE(rig->Lesson().playState, LessonBase::Paused);
        // The title names the page shown, not the section the lesson waits in.
        const auto title = [this] { return rig->Child<QLabel>(QStringLiteral("sectionTitle"))->text(); };
        const QString lessonTitle = title();
        QTest::mouseClick(rig->SectionButton(4), Qt::LeftButton, {}, rig->SectionButton(4)->rect().center());
        QTRY_VERIFY(!rig->Piano()->isVisible());
        QCOMPARE(title(), QStringLiteral("Train Tempo"));
        QCOMPARE(rig->Lesson().section, 0);
        QCOMPARE(rig->Lesson().playState, LessonBase::Paused);
        QCOMPARE(rig->SectionButton(4)->styleSheet(), Look(*rig, "sectionButtons", "sectionStatisticsMode"));
        rig->screen->showExercise(UI::Quick);
        QTRY_COMPARE(ShownView(*rig), QStringLiteral("exercise"));
        QCOMPARE(title(), lessonTitle);
        QVERIFY(rig->Piano()->isVisible());
        QCOMPARE(rig->SectionButton(4)->styleSheet(), Look(*rig, "sectionButtons", "sectionExerciseMode"));
        UI::PlayDialog* dialog = rig->screen->playDialog();
        QVERIFY(dialog && dialog->isShown());
        QTRY_VERIFY(dialog->playButton()->isVisible());
        QTest::mouseClick(dialog->playButton(), Qt::LeftButton);
        QCOMPARE(rig->Lesson().playState, LessonBase::Running);
        QTRY_VERIFY(!dialog->isVisible());
        QToolButton* button = rig->SectionButton(3);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->Lesson().section, 3);
        QTRY_VERIFY(button->isChecked());
        // The slider's value counts pixels along the buttons: it stands under the section's button
        // (by half a handle at most before it).
        const int value = rig->Slider()->value();
        QVERIFY2(value >= button->x() - 16 && value < button->x() + button->width(),
                 qPrintable(QStringLiteral("%1 %2 %3").arg(value).arg(button->x()).arg(button->width())));
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("sectionTitle"))->text(), QStringLiteral("Train Scales"));
    }

    // A view asked for before the view machine runs (it starts on the next turn of the event
    // loop) is reached all the same: the panes never stay on one view while the screen names another.
    void viewAskedBeforeTheMachineRunsIsReached()
    {
        QWidget area;
        area.resize(300, 200);
        UI::ViewSwitcher::Widgets parts;
        parts.area = &area;
        for (QWidget** part : {&parts.exercisePane, &parts.statisticsPane, &parts.extendedStatisticsPane,
                               &parts.referencePane, &parts.statisticsRows, &parts.extendedStatisticsRows,
                               &parts.keyboard})
            *part = new QWidget(&area);
        UI::ViewSwitcher views(parts);
        views.start();
        views.switchTo(UI::ViewSwitcher::ReferenceView, UI::Animated);
        QTRY_COMPARE(parts.referencePane->geometry(), area.rect());
        QTRY_VERIFY(!parts.exercisePane->isVisibleTo(&area));
    }
};

QTEST_MAIN(TestConsoleExerciseControl)
#include "test_exercise_screen.moc"
