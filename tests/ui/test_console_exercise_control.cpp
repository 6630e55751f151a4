// The exercise screen on a real catalogue of the three trainers, driven as a student drives it:
// clicks on the answer buttons and the piano keys where they are painted, the keys 1 to 6 and
// the space bar, the slider and the section buttons. Checked: the feedback (border, buttons with
// their marks, "Right" / "Wrong" / "Out of time." for screen readers too, sounds), the
// next-question timer and the wrong-answer policy, pausing, the section bar, which inputs show,
// the missing-MIDI notice, the views and their machine, answers from other threads shown once,
// and the section end.
//
// Set CANTORELA_SCREEN_SHOTS to a folder to also write pictures of the statistics and reference
// views.

#include "core/exercise/question_data.h"
#include "test_console_exercise_control_fixture.h"
#include "ui/action_hint.h"
#include "ui/controls/score_board.h"
#include "ui/fader_widget.h"
#include "ui/midi_warning_dialog.h"
#include "ui/play_dialog.h"
#include "ui/section_end_dialog.h"
#include "ui/speaker_widget.h"

#include <QAbstractAnimation>
#include <QCheckBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QState>
#include <QStateMachine>

#include <cmath>
#include <thread>

using Core::Exercise;
using Core::LessonBase;

namespace {

Core::Answer Choice(int variant)
{
    Core::Answer answer;
    answer.kind = Core::Answer::Choice;
    answer.variant = variant;
    return answer;
}

// The id (1-6) of the right and of a wrong answer button.
int RightButton(const ScreenRig& rig)
{
    return rig.Lesson().GetCurrentQuestion().correctIndex + 1;
}
int WrongButton(const ScreenRig& rig)
{
    return RightButton(rig) % 6 + 1;
}

void SetPolicy(ScreenRig& rig, bool continueAfterMistake, int delay)
{
    rig.Settings([=](Core::TrainerSettings& s) {
        s.noteTrainer.wrongAnswerPolicy = {continueAfterMistake, delay};
    });
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

} // namespace

class TestConsoleExerciseControl : public QObject
{
    Q_OBJECT
    std::shared_ptr<Core::MidiBank> bank;
    RecordingAuServer* sounds = nullptr;

    // A screen shown with a lesson of `trainer` open and its first question waiting.
    std::unique_ptr<ScreenRig> Open(unsigned trainer, QSize size = QSize(1366, 708),
                                    const std::function<void(ScreenRig&)>& prepare = {})
    {
        auto rig = std::make_unique<ScreenRig>(bank, size);
        if (prepare)
            prepare(*rig);
        if (!rig->Show())
            return nullptr;
        rig->screen->LoadExercise(trainer, rig->blocks.IsQuizMode(), false);
        if (!rig->WaitForQuestion())
            return nullptr;
        QCoreApplication::processEvents();
        return rig;
    }
    std::unique_ptr<ScreenRig> Open(unsigned trainer, const std::function<void(ScreenRig&)>& prepare)
    {
        return Open(trainer, QSize(1366, 708), prepare);
    }

private Q_SLOTS:
    void initTestCase()
    {
        sounds = &ScreenTestSetUp();
        bank = std::make_shared<Core::MidiBank>();
    }

    // The form: six answer buttons numbered by "Id" that never take the focus, every control
    // named for screen readers, and the looks stored in the form and applied from there.
    void formCarriesLooksAndNames()
    {
        ScreenRig rig(bank);
        QSet<int> ids;
        for (int id = 1; id <= 6; ++id) {
            QToolButton* button = rig.Variant(id);
            QVERIFY(button);
            ids.insert(button->property("Id").toInt());
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QCOMPARE(button->styleSheet(), rig.Look("variantBar", "MultichoiceDefaultStyle"));
        }
        QCOMPARE(ids, (QSet<int>{1, 2, 3, 4, 5, 6}));
        QCOMPARE(rig.Piano()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(rig.Piano()->cursor().shape(), Qt::OpenHandCursor);
        QCOMPARE(rig.ScorePane()->styleSheet(), rig.Look("scorePane", "RegularBorderStyle"));
        QCOMPARE(rig.Slider()->styleSheet(), rig.Look("sectionSlider", "sliderOn"));

        const QList<QPair<QString, const char*>> looks = {{"variantBar", "MultichoiceCorrectStyle"},
                                                          {"variantBar", "MultichoiceIncorrectStyle"},
                                                          {"scorePane", "CorrectAnswerBorderStyle"},
                                                          {"scorePane", "WrongAnswerBorderStyle"},
                                                          {"scorePane", "RegularBackgroundStyle"},
                                                          {"scorePane", "ReferencesBackgroundStyle"},
                                                          {"statusLabel", "TimeoutStyle"},
                                                          {"statusLabel", "RegularStyle"},
                                                          {"sectionSlider", "sliderOff"},
                                                          {"sectionButtons", "sectionExerciseMode"},
                                                          {"sectionButtons", "sectionStatisticsMode"}};
        for (const auto& look : looks)
            QVERIFY2(!rig.Look(look.first, look.second).isEmpty(), look.second);

        // Everything a user can reach has a name a screen reader reads.
        QList<QWidget*> controls;
        for (auto* button : rig.screen->findChildren<QAbstractButton*>())
            controls.append(button);
        controls << rig.Slider() << rig.Piano() << rig.Bar() << rig.ScorePane()
                 << rig.Child(QStringLiteral("scoreBoard")) << rig.Child(QStringLiteral("exercisePane"))
                 << rig.Child(QStringLiteral("statisticsPane")) << rig.Child(QStringLiteral("referencePane"));
        for (QWidget* control : controls) {
            QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            QVERIFY(face);
            QVERIFY2(!face->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
        }
    }

    // Nothing is cut off or overlaps at the common screen sizes, whichever trainer is open.
    void layoutFits_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<QSize>("size");
        for (QSize size : {QSize(1366, 708), QSize(1920, 1020), QSize(1280, 660)})
            for (unsigned trainer : {0u, 1u, 2u})
                QTest::addRow("trainer %u at %dx%d", trainer, size.width(), size.height()) << trainer << size;
    }
    void layoutFits()
    {
        QFETCH(unsigned, trainer);
        QFETCH(QSize, size);
        auto rig = Open(trainer, size);
        QVERIFY(rig);
        const QRect screen = rig->screen->rect();
        auto placed = [&](const char* name) {
            QWidget* w = rig->Child(QString::fromLatin1(name));
            return QRect(w->mapTo(rig->screen.get(), QPoint(0, 0)), w->size());
        };
        const QStringList parts = {"headerBar", "scorePane", "variantBar", "keyboard", "sectionBar"};
        QList<QRect> shown;
        for (const QString& part : parts) {
            QWidget* w = rig->Child(part);
            if (!w->isVisible())
                continue;
            const QRect r = placed(part.toLatin1().constData());
            QVERIFY2(screen.contains(r), qPrintable(part));
            QVERIFY2(r.height() >= w->minimumSizeHint().height() || part == QLatin1String("scorePane"),
                     qPrintable(part));
            for (const QRect& other : shown)
                QVERIFY2(!other.intersects(r), qPrintable(part));
            shown.append(r);
        }
        QVERIFY(placed("scorePane").height() >= 200);
        // Each answer's text fits its button.
        for (int id = 1; id <= 6; ++id) {
            QToolButton* button = rig->Variant(id);
            if (!button->isVisible())
                continue;
            const QFontMetrics metrics(button->font());
            const QRect text = metrics.boundingRect(QRect(0, 0, 10000, 10000), 0, button->text());
            QVERIFY2(text.width() <= button->width() - 12, qPrintable(button->text()));
            QVERIFY2(text.height() <= button->height() - 12, qPrintable(button->text()));
        }
        // The section buttons share the bar's width without running out of it.
        int right = 0;
        for (int s = 0; s < 5; ++s)
            if (rig->SectionButton(s)->isVisible())
                right = std::max(right, rig->SectionButton(s)->geometry().right());
        QVERIFY(right < rig->Child(QStringLiteral("sectionButtons"))->width());
    }

    // A right answer followed by a pause within 500 ms: the next-question timer fires while paused
    // and does nothing; after resuming, it moves on.
    void rightAnswerThenPause()
    {
        auto rig = Open(0);
        QVERIFY(rig);
        const int asked = rig->Lesson().GetCounters().asked;
        rig->ClickVariant(RightButton(*rig));
        QVERIFY(rig->WaitForAnswers(1));
        QVERIFY(rig->screen->IsNextQuestionPending());
        QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
        QVERIFY(rig->screen->FindPlayDialog() && rig->screen->FindPlayDialog()->IsShown());
        QTest::qWait(3 * UI::ConsoleExerciseControl::RightAnswerDelayMs); // nothing may happen meanwhile
        QCOMPARE(rig->Lesson().GetCounters().asked, asked);
        QCOMPARE(rig->Lesson().GetState(), int(Exercise::BetweenQuestions));
        QVERIFY(rig->screen->IsNextQuestionPending());
        QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        QTRY_COMPARE(rig->Lesson().GetCounters().asked, asked + 1);
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Running));
        QCOMPARE(rig->ScorePane()->styleSheet(), rig->Look("scorePane", "RegularBorderStyle"));
    }

    // After a mistake the lesson goes on by itself after the policy's delay, or pauses with the
    // next-question hint shown at once until the space bar.
    void wrongAnswerPolicy_data()
    {
        QTest::addColumn<bool>("continueAfterMistake");
        QTest::newRow("continue after mistake") << true;
        QTest::newRow("pause after mistake") << false;
    }
    void wrongAnswerPolicy()
    {
        QFETCH(bool, continueAfterMistake);
        auto rig = Open(0, [&](ScreenRig& r) { SetPolicy(r, continueAfterMistake, 300); });
        QVERIFY(rig);
        const int asked = rig->Lesson().GetCounters().asked;
        rig->ClickVariant(WrongButton(*rig));
        QVERIFY(rig->WaitForAnswers(1));
        UI::ActionHint* hint = rig->screen->GetActionHint();
        if (continueAfterMistake) {
            QVERIFY(rig->screen->IsNextQuestionPending());
            QVERIFY(!hint->isVisible());
            QTRY_COMPARE(rig->Lesson().GetCounters().asked, asked + 1);
            return;
        }
        QVERIFY(!rig->screen->IsNextQuestionPending());
        QTRY_COMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), UI::ActionHint::TextOf(UI::ActionHint::NextQuestionMode));
        // The hint lies clear of the answer buttons.
        const QRect hintRect = hint->geometry();
        const QWidget* bar = rig->Child(QStringLiteral("variantBar"));
        QVERIFY(!hintRect.intersects(QRect(bar->mapTo(rig->screen.get(), QPoint()), bar->size())));
        QTest::qWait(500);
        QCOMPARE(rig->Lesson().GetCounters().asked, asked);
        QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        QTRY_COMPARE(rig->Lesson().GetCounters().asked, asked + 1);
        QVERIFY(!hint->isVisible() || hint->GetMode() == UI::ActionHint::PauseMode);
    }

    // A question left unanswered is judged wrong by the timer thread: "Out of time." with its
    // look, the shake, and the score summary 3 s later.
    void timeOutShowsOutOfTime()
    {
        auto rig = Open(0, [](ScreenRig& r) {
            r.Settings([](Core::TrainerSettings& s) { ShortLessons(s, 3, 1); });
            SetPolicy(r, true, 60000);
        });
        QVERIFY(rig);
        QTRY_VERIFY_WITH_TIMEOUT(rig->screen->IsTimedOut(), 4000);
        QCOMPARE(rig->Status()->text(), QStringLiteral("Out of time."));
        QCOMPARE(rig->Status()->styleSheet(), rig->Look("statusLabel", "TimeoutStyle"));
        QCOMPARE(rig->ScorePane()->styleSheet(), rig->Look("scorePane", "WrongAnswerBorderStyle"));
        QVERIFY(IsShaking(*rig));
        QCOMPARE(rig->Lesson().GetAnswers(0).back().kind, int(Core::Answer::NoAnswer));
        QCOMPARE(rig->Bar()->Wrong(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(rig->Status()->styleSheet(), rig->Look("statusLabel", "RegularStyle"),
                                  UI::ConsoleExerciseControl::TimeoutSummaryDelayMs + 1000);
        QVERIFY(rig->Status()->text().startsWith(QStringLiteral("Question ")));
        QVERIFY(!rig->screen->IsTimedOut());
    }

    // The section bar: one button per section with questions, widths growing with the logarithm
    // of the sections' lengths, the others hidden; a slider released beyond the last section
    // seeks to the lesson's last tick.
    void sectionBarFollowsSectionLengths()
    {
        auto rig = Open(0, [](ScreenRig& r) {
            SetPolicy(r, true, 60000);
            r.Settings([](Core::TrainerSettings& s) {
                s.noteTrainer.singleNotes.duration = {1, 2};
                s.noteTrainer.intervals.duration = {1, 6};
                s.noteTrainer.chords.duration = {1, 24};
            });
        });
        QVERIFY(rig);
        const auto timeline = rig->Lesson().GetTimeLine();
        QCOMPARE(timeline->SegmentCount(), 3);
        QVERIFY(!rig->SectionButton(3)->isVisible());
        QVERIFY(!rig->SectionButton(4)->isVisible());
        QCOMPARE(rig->screen->GetSectionRecord(3).index, -1);
        const int usable = rig->Slider()->maximum();
        const int total = timeline->TotalLength();
        double weights[3];
        for (int i = 0; i < 3; ++i) {
            QVERIFY(rig->SectionButton(i)->isVisible());
            QCOMPARE(rig->SectionButton(i)->text(), timeline->SegmentName(i));
            weights[i] = std::max(2.0, std::log(double(timeline->SegmentDuration(i) * usable / total)));
        }
        QVERIFY(rig->SectionButton(0)->width() < rig->SectionButton(1)->width());
        QVERIFY(rig->SectionButton(1)->width() < rig->SectionButton(2)->width());
        const double sum = weights[0] + weights[1] + weights[2];
        for (int i = 0; i < 3; ++i) {
            QVERIFY(std::abs(rig->SectionButton(i)->width() - weights[i] * usable / sum) <= 1.0);
            const auto record = rig->screen->GetSectionRecord(i);
            QCOMPARE(record.span, rig->SectionButton(i)->width());
            QCOMPARE(record.length, timeline->SegmentDuration(i));
        }
        // Buttons side by side, not wider than a logarithmic share even for a 12 times longer section.
        QVERIFY(rig->SectionButton(2)->width() < 2 * rig->SectionButton(0)->width());

        // Beyond the last section: the last tick; the lesson is over.
        QMetaObject::invokeMethod(rig->screen.get(), "BeginSeekSlider");
        rig->Slider()->setValue(rig->Slider()->maximum());
        const auto last = rig->screen->GetSectionRecord(2);
        QVERIFY(rig->Slider()->value() >= last.start + last.span);
        QMetaObject::invokeMethod(rig->screen.get(), "EndSeekSlider");
        QCOMPARE(rig->Lesson().GetState(), int(Exercise::LessonEnd));
        QCOMPARE(timeline->Position(), total - 1);
        QTRY_VERIFY(rig->screen->GetSectionEndDialog() && rig->screen->GetSectionEndDialog()->isVisible());
    }

    // The slider glides to a far position in steps of a tenth of the way left (at least 1) every
    // 50 ms, and jumps to a position at most 2 ahead or behind.
    void sliderGlides_data()
    {
        QTest::addColumn<double>("share"); // of the first section, where the timeline goes
        QTest::addColumn<bool>("glides");
        QTest::newRow("far ahead") << 0.8 << true;
        QTest::newRow("just ahead") << -1.0 << false;
        QTest::newRow("behind") << 0.0 << false;
    }
    void sliderGlides()
    {
        QFETCH(double, share);
        QFETCH(bool, glides);
        auto rig = Open(
            0, [](ScreenRig& r) { r.Settings([](Core::TrainerSettings& s) { ShortLessons(s, 40, 0); }); });
        QVERIFY(rig);
        QSlider* slider = rig->Slider();
        const auto record = rig->screen->GetSectionRecord(0);
        const auto timeline = rig->Lesson().GetTimeLine();
        // Start from the middle of the first section.
        int start = record.length / 2;
        timeline->SetPosition(start);
        QMetaObject::invokeMethod(rig->screen.get(), "UpdateSlider", Q_ARG(bool, true));
        const int from = slider->value();
        int target = int(record.start + double(record.span) *
                                            (share < 0 ? start + 1 : share * record.length) / record.length);
        int position = share < 0 ? start + 1 : int(share * record.length);
        if (share < 0) // one tick ahead moves the slider by at most 2
            QVERIFY(target - from <= 2);
        timeline->SetPosition(position);
        QSignalSpy moves(slider, &QSlider::valueChanged);
        QMetaObject::invokeMethod(rig->screen.get(), "UpdateSlider", Q_ARG(bool, false));
        if (!glides) {
            QCOMPARE(slider->value(), target);
            QCOMPARE(rig->screen->GlideTarget(), 0);
            return;
        }
        QCOMPARE(rig->screen->GlideTarget(), target);
        QCOMPARE(slider->value(), from);
        QTRY_COMPARE_WITH_TIMEOUT(slider->value(), target, 10000);
        int previous = from;
        QVERIFY(moves.size() > 5);
        for (const QList<QVariant>& move : moves) {
            const int value = move.at(0).toInt();
            QCOMPARE(value - previous, std::max(1, (target - previous) / 10));
            previous = value;
        }
        QCOMPARE(rig->screen->GlideTarget(), 0);
    }

    // The space bar belongs to the exercise view; in the statistics and reference views it does
    // nothing.
    void spaceBarOnlyInExerciseView_data()
    {
        QTest::addColumn<int>("view");
        QTest::newRow("exercise") << int(UI::ConsoleExerciseControl::ExerciseView);
        QTest::newRow("statistics") << int(UI::ConsoleExerciseControl::StatisticsView);
        QTest::newRow("reference") << int(UI::ConsoleExerciseControl::ReferenceView);
    }
    void spaceBarOnlyInExerciseView()
    {
        QFETCH(int, view);
        auto rig = Open(0);
        QVERIFY(rig);
        if (view == UI::ConsoleExerciseControl::StatisticsView)
            rig->screen->ShowStatistics(UI::Quick);
        else if (view == UI::ConsoleExerciseControl::ReferenceView)
            rig->screen->showReference(UI::Quick);
        const int before = rig->Lesson().GetPlayState();
        QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        if (view == UI::ConsoleExerciseControl::ExerciseView)
            QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
        else
            QCOMPARE(rig->Lesson().GetPlayState(), before);
        QCOMPARE(rig->screen->GetViewMode(), view);
    }

    // Opening the reference from a running lesson pauses it; coming back shows the play dialog,
    // and its button goes on.
    void referenceViewPausesAndReturnShowsPlayDialog()
    {
        auto rig = Open(2);
        QVERIFY(rig);
        rig->screen->showReference(UI::Quick);
        QVERIFY(rig->screen->isReferenceEnabled());
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
        QVERIFY(!rig->Piano()->isVisible());
        rig->screen->showExercise(UI::Quick);
        UI::PlayDialog* dialog = rig->screen->FindPlayDialog();
        QVERIFY(dialog && dialog->IsShown());
        QTRY_VERIFY(dialog->PlayButton()->isVisible());
        QTest::mouseClick(dialog->PlayButton(), Qt::LeftButton);
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Running));
        QTRY_VERIFY(!dialog->isVisible());
    }

    void quizModeDisablesSlider_data()
    {
        QTest::addColumn<bool>("quiz");
        QTest::newRow("learning") << false;
        QTest::newRow("quiz") << true;
    }
    void quizModeDisablesSlider()
    {
        QFETCH(bool, quiz);
        auto rig = Open(1, [&](ScreenRig& r) { r.blocks.SetQuizMode(quiz); });
        QVERIFY(rig);
        QCOMPARE(rig->screen->IsQuizMode(), quiz);
        QCOMPARE(rig->Slider()->isEnabled(), !quiz);
        rig->ClickVariant(RightButton(*rig));
        QVERIFY(rig->WaitForAnswers(1, 30000));
        QCOMPARE(rig->Slider()->isEnabled(), !quiz);
    }

    // The judgement in words as well as colours: the status label says it (and screen readers
    // hear it), the right button carries a tick and a wrongly chosen one a cross.
    void judgementInWordsAndMarks_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("look");
        QTest::newRow("right button") << "right button"
                                      << "Right"
                                      << "RightStyle";
        QTest::newRow("wrong button") << "wrong button"
                                      << "Wrong"
                                      << "WrongStyle";
        QTest::newRow("wrong key") << "wrong key"
                                   << "Wrong"
                                   << "WrongStyle";
        QTest::newRow("right keys") << "right keys"
                                    << "Right"
                                    << "RightStyle";
        QTest::newRow("time-out") << "time-out"
                                  << "Out of time."
                                  << "TimeoutStyle";
    }
    void judgementInWordsAndMarks()
    {
        QFETCH(QString, how);
        QFETCH(QString, words);
        QFETCH(QString, look);
        auto rig = Open(0, [&](ScreenRig& r) {
            if (how == QLatin1String("time-out"))
                r.Settings([](Core::TrainerSettings& s) { ShortLessons(s, 3, 1); });
            SetPolicy(r, true, 60000);
        });
        QVERIFY(rig);
        const int right = RightButton(*rig);
        const int wrong = WrongButton(*rig);
        const QVector<int> keys = rig->ExpectedKeys();
        if (how == QLatin1String("right button"))
            rig->ClickVariant(right);
        else if (how == QLatin1String("wrong button"))
            rig->ClickVariant(wrong);
        else if (how == QLatin1String("wrong key"))
            rig->ClickKey(keys.first() + 1);
        else if (how == QLatin1String("right keys"))
            for (int key : keys)
                rig->ClickKey(key);
        QVERIFY(rig->WaitForAnswers(1, 4000));
        QTRY_COMPARE(rig->Status()->text(), words);
        QCOMPARE(rig->Status()->styleSheet(), rig->Look("statusLabel", look.toLatin1().constData()));
        // What a screen reader reads for the label: the judgement itself.
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(rig->Status());
        QVERIFY(status);
        QCOMPARE(status->text(QAccessible::Name), words);
        const QString tick = QStringLiteral("\u2713");
        const QString cross = QStringLiteral("\u2717");
        for (int id = 1; id <= 6; ++id) {
            const QString text = rig->Variant(id)->text();
            QCOMPARE(text.startsWith(tick), id == right);
            QCOMPARE(text.startsWith(cross), id == wrong && how == QLatin1String("wrong button"));
            QVERIFY(text.contains(QString::number(id) + QStringLiteral("  ")));
        }
        QVERIFY(rig->Variant(right)->accessibleName().endsWith(QStringLiteral("right answer")));
        if (how == QLatin1String("wrong button")) {
            QCOMPARE(rig->Variant(wrong)->styleSheet(), rig->Look("variantBar", "MultichoiceIncorrectStyle"));
            QVERIFY(rig->Variant(wrong)->accessibleName().contains(QStringLiteral("wrong")));
        }
        QCOMPARE(rig->Variant(right)->styleSheet(), rig->Look("variantBar", "MultichoiceCorrectStyle"));
        // The keys are marked: the expected ones green or blue, a wrong one red.
        if (how == QLatin1String("wrong key")) {
            QCOMPARE(rig->Piano()->KeyState(keys.first() + 1).mark, int(Keyboard::RedMark));
            QCOMPARE(rig->Piano()->KeyState(keys.first()).mark, int(Keyboard::BlueMark));
        } else if (how == QLatin1String("right keys")) {
            for (int key : keys)
                QCOMPARE(rig->Piano()->KeyState(key).mark, int(Keyboard::GreenMark));
        }
        // The next question clears the marks and the words.
        QMetaObject::invokeMethod(rig->screen.get(), "MoveToNextQuestion");
        QVERIFY(rig->WaitForQuestion());
        for (int id = 1; id <= 6; ++id)
            QVERIFY(!rig->Variant(id)->text().startsWith(tick) &&
                    !rig->Variant(id)->text().startsWith(cross));
        QVERIFY(rig->Status()->text().startsWith(QStringLiteral("Question ")));
    }

    // While the answer buttons show, the keys 1 to 6 answer with buttons 1 to 6 and each button
    // shows its number; the space bar still pauses. Without the buttons the keys do nothing.
    void numberKeysAnswer_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("buttonsShown");
        for (int key = 1; key <= 6; ++key)
            QTest::addRow("key %d", key) << key << true;
        QTest::newRow("key 2 without buttons") << 2 << false;
    }
    void numberKeysAnswer()
    {
        QFETCH(int, key);
        QFETCH(bool, buttonsShown);
        auto rig = Open(0, [&](ScreenRig& r) {
            r.General([&](Core::GeneralSettings& g) { g.answerWithMultipleChoice = buttonsShown; });
            SetPolicy(r, true, 60000);
        });
        QVERIFY(rig);
        QCOMPARE(rig->Variant(1)->isVisible(), buttonsShown);
        for (int id = 1; id <= 6; ++id)
            QVERIFY(rig->Variant(id)->text().startsWith(QString::number(id) + QStringLiteral("  ")));
        QTest::keyClick(rig->screen.get(), Qt::Key(Qt::Key_0 + key));
        QCoreApplication::processEvents();
        if (!buttonsShown) {
            QCOMPARE(rig->Lesson().GetCounters().answered, 0);
            return;
        }
        QCOMPARE(rig->Lesson().GetCounters().answered, 1);
        QCOMPARE(rig->Lesson().GetAnswers(0).back().kind, int(Core::Answer::Choice));
        QCOMPARE(rig->Lesson().GetAnswers(0).back().variant, key - 1);
        QVERIFY(rig->WaitForAnswers(1));
        // A second key press for the same question is no second answer.
        QTest::keyClick(rig->screen.get(), Qt::Key(Qt::Key_0 + key % 6 + 1));
        QCOMPARE(rig->Lesson().GetCounters().answered, 1);
        QTest::keyClick(rig->screen.get(), Qt::Key_Space);
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
    }

    // A judgement made on the timer thread or on another thread (as the MIDI keyboard's) is shown
    // exactly like a click's, and a report that comes twice is shown once.
    void answersFromEveryThreadShownOnce_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("click") << "click";
        QTest::newRow("other thread") << "thread";
        QTest::newRow("timer thread") << "timer";
    }
    void answersFromEveryThreadShownOnce()
    {
        QFETCH(QString, source);
        auto rig = Open(2, [&](ScreenRig& r) {
            r.Settings([&](Core::TrainerSettings& s) {
                ShortLessons(s, 3, source == QLatin1String("timer") ? 1 : 0);
            });
            SetPolicy(r, true, 60000);
        });
        QVERIFY(rig);
        sounds->Clear();
        const int right = RightButton(*rig);
        const int wrong = WrongButton(*rig);
        if (source == QLatin1String("click"))
            rig->ClickVariant(wrong);
        else if (source == QLatin1String("thread"))
            std::thread([&] { rig->Lesson().Judge(Choice(wrong - 1)); }).join();
        QVERIFY(rig->WaitForAnswers(1, 4000));
        QCOMPARE(sounds->Played(), QStringList{QStringLiteral(":/wav/wrong.wav")});
        QCOMPARE(rig->ScorePane()->styleSheet(), rig->Look("scorePane", "WrongAnswerBorderStyle"));
        QCOMPARE(rig->Variant(right)->styleSheet(), rig->Look("variantBar", "MultichoiceCorrectStyle"));
        QVERIFY(IsShaking(*rig));
        QVERIFY(rig->screen->IsNextQuestionPending());
        QCOMPARE(rig->Bar()->Wrong(), 1);
        const QStringList texts = [&] {
            QStringList t;
            for (int id = 1; id <= 6; ++id)
                t << rig->Variant(id)->text();
            return t;
        }();
        // The same report once more: nothing more is shown or heard.
        emit rig->screen->AnswerProvided(false,
                                         rig->Lesson().GetAnswers(rig->Lesson().GetCurrentSection()).back());
        QCoreApplication::processEvents();
        QCOMPARE(sounds->Played().size(), 1);
        QCOMPARE(rig->Bar()->Wrong(), 1);
        for (int id = 1; id <= 6; ++id)
            QCOMPARE(rig->Variant(id)->text(), texts[id - 1]);
    }

    // The symbol trainer sounds its judgements; the others stay silent.
    void answerSounds_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("right");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("symbols, right") << 2u << true << QStringList{":/wav/right.wav"};
        QTest::newRow("symbols, wrong") << 2u << false << QStringList{":/wav/wrong.wav"};
        QTest::newRow("notes, right") << 0u << true << QStringList{};
        QTest::newRow("notes, wrong") << 0u << false << QStringList{};
    }
    void answerSounds()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, right);
        QFETCH(QStringList, heard);
        auto rig = Open(trainer);
        QVERIFY(rig);
        sounds->Clear();
        rig->ClickVariant(right ? RightButton(*rig) : WrongButton(*rig));
        QVERIFY(rig->WaitForAnswers(1));
        QCOMPARE(sounds->Played(), heard);
    }

    // Which answer inputs show: the general settings and what the trainer takes.
    void inputsFollowSettings_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("piano");
        QTest::addColumn<bool>("choices");
        QTest::addColumn<bool>("pianoShown");
        QTest::addColumn<bool>("choicesShown");
        QTest::newRow("notes, piano") << 0u << true << false << true << false;
        QTest::newRow("notes, choices") << 0u << false << true << false << true;
        QTest::newRow("notes, both") << 0u << true << true << true << true;
        QTest::newRow("ear, piano") << 1u << true << false << true << false;
        QTest::newRow("ear, both") << 1u << true << true << true << true;
        QTest::newRow("symbols, piano set") << 2u << true << false << false << true;
        QTest::newRow("symbols, both set") << 2u << true << true << false << true;
    }
    void inputsFollowSettings()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, piano);
        QFETCH(bool, choices);
        QFETCH(bool, pianoShown);
        QFETCH(bool, choicesShown);
        auto rig = Open(trainer, [&](ScreenRig& r) {
            r.General([&](Core::GeneralSettings& g) {
                g.answerWithGraphicalKeyboard = piano;
                g.answerWithMultipleChoice = choices;
            });
        });
        QVERIFY(rig);
        QCOMPARE(rig->Piano()->isVisible(), pianoShown);
        QCOMPARE(rig->Variant(1)->isVisible(), choicesShown);
        // Settings changed during the lesson take effect with ApplySettings.
        rig->General([&](Core::GeneralSettings& g) {
            g.answerWithGraphicalKeyboard = true;
            g.answerWithMultipleChoice = true;
        });
        rig->screen->ApplySettings();
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->Variant(1)->isVisible(), true);
        QCOMPARE(rig->Piano()->isVisible(), trainer != 2);
    }

    // The ear trainer: the speaker while the question sounds, keys and buttons locked; then the
    // question picture; after the answer the heard notes are shown on the staff.
    void heardQuestion()
    {
        auto rig = Open(1);
        QVERIFY(rig);
        // Intervals: their two notes sound for a second.
        rig->SectionButton(1)->click();
        QVERIFY(rig->WaitForQuestion());
        const int asked = rig->Lesson().GetCounters().asked;
        auto* fader = rig->Child<UI::FaderWidget>(QStringLiteral("questionFader"));
        auto* speaker = rig->Child<UI::SpeakerWidget>(QStringLiteral("speaker"));
        auto* board = rig->Child<UI::ScoreBoard>(QStringLiteral("scoreBoard"));
        QTRY_COMPARE(fader->Content() ? fader->Content()->objectName() : QString(),
                     QStringLiteral("questionPicture"));
        QVERIFY(!speaker->IsAnimating());
        QMetaObject::invokeMethod(rig->screen.get(), "MoveToNextQuestion"); // nothing: a question waits
        QCOMPARE(rig->Lesson().GetCounters().asked, asked);
        rig->ClickVariant(RightButton(*rig));
        QVERIFY(rig->WaitForAnswers(1));
        // The heard notes are revealed on the staff.
        QVERIFY(fader->IsFading() || fader->Content() == board);
        QVERIFY(board->PageCount() > 0);
        // The next question sounds: the speaker, and no answer is taken meanwhile. Looked at
        // right after the screen has shown the new state.
        bool presented = false, animating = false, buttonsEnabled = true, pianoEnabled = true;
        int answeredWhilePlaying = -1;
        auto look = [&] {
            if (presented || rig->Lesson().GetState() != Exercise::Presenting)
                return;
            presented = true;
            animating = speaker->IsAnimating();
            buttonsEnabled = rig->Variant(1)->isEnabled();
            pianoEnabled = rig->Piano()->isEnabled();
            rig->ClickVariant(RightButton(*rig));
            answeredWhilePlaying = rig->Lesson().GetCounters().answered;
        };
        // Looked at once the screen has shown the new state (its queued slot runs first).
        connect(rig->screen.get(), &UI::ConsoleExerciseControl::StateChanged, rig->screen.get(),
                [&] { QTimer::singleShot(0, rig->screen.get(), look); });
        QTRY_VERIFY(presented);
        QVERIFY(animating);
        QVERIFY(!buttonsEnabled);
        QVERIFY(!pianoEnabled);
        QCOMPARE(answeredWhilePlaying, 1);
        QCOMPARE(rig->Lesson().GetCounters().asked, asked + 1);
        QVERIFY(rig->WaitForQuestion());
        QTRY_VERIFY(rig->Variant(1)->isEnabled());
        QVERIFY(rig->Piano()->isEnabled());
        QVERIFY(!speaker->IsAnimating());
        QTRY_COMPARE(fader->Content() ? fader->Content()->objectName() : QString(),
                     QStringLiteral("questionPicture"));
    }

    // A chord written as a symbol is shown as its text and answered on the keys only.
    void chordSymbolShownAsText()
    {
        auto rig = Open(0, [](ScreenRig& r) {
            r.Settings([](Core::TrainerSettings& s) {
                s.noteTrainer.chords[Core::ChordSwitch::ChordNotation] = true;
            });
        });
        QVERIFY(rig);
        rig->SectionButton(2)->click();
        QVERIFY(rig->WaitForQuestion());
        const Core::QuestionRecord question = rig->Lesson().GetCurrentQuestion();
        QCOMPARE(question.kind, int(Core::QuestionRecord::ChordSymbolQuestion));
        auto* text = rig->Child<QLabel>(QStringLiteral("questionText"));
        const QString label = question.AskedItem()->caption2;
        QCOMPARE(text->text(), label.left(label.indexOf(QLatin1Char('\n'))));
        QVERIFY(!rig->Variant(1)->isVisible());
        QVERIFY(rig->Piano()->isVisible());
        QTest::keyClick(rig->screen.get(), Qt::Key_1);
        QCOMPARE(rig->Lesson().GetCounters().answered, 0);
        for (int key : rig->ExpectedKeys())
            rig->ClickKey(key);
        QVERIFY(rig->WaitForAnswers(1));
        QTRY_COMPARE(rig->Status()->text(), QStringLiteral("Right"));
    }

    // The missing-MIDI notice: once per screen for trainers that take keys, never for the symbol
    // trainer or when the settings hide it.
    void missingMidiInputNotice_data()
    {
        QTest::addColumn<unsigned>("trainer");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("shown");
        QTest::newRow("note trainer") << 0u << false << true;
        QTest::newRow("ear trainer") << 1u << false << true;
        QTest::newRow("symbol trainer") << 2u << false << false;
        QTest::newRow("hidden by the settings") << 0u << true << false;
    }
    void missingMidiInputNotice()
    {
        QFETCH(unsigned, trainer);
        QFETCH(bool, hidden);
        QFETCH(bool, shown);
        auto rig = Open(trainer, [&](ScreenRig& r) {
            r.General([&](Core::GeneralSettings& g) { g.hideMidiDialog = hidden; });
        });
        QVERIFY(rig);
        QCOMPARE(rig->controller->InputCount(), 0);
        UI::MidiWarningDialog* notice = rig->screen->GetMidiWarningDialog();
        QCOMPARE(notice != nullptr && notice->isVisible(), shown);
        if (!shown)
            return;
        // "Do not show again" is kept in the settings (asked for in one row only: without it the
        // notice still comes once per screen, not again for a new lesson of another trainer).
        const bool dontShowAgain = trainer == 1;
        notice->findChild<QCheckBox*>(QStringLiteral("midiWarningDontShow"))->setChecked(dontShowAgain);
        QTest::mouseClick(notice->OkButton(), Qt::LeftButton);
        QTRY_VERIFY(!notice->isVisible());
        QCOMPARE(rig->store->GetGeneralSettings().hideMidiDialog, dontShowAgain);
        rig->screen->Play();
        rig->screen->Play();
        QVERIFY(!notice->isVisible());
        rig->screen->LoadExercise(1 - trainer, false, false);
        QVERIFY(rig->WaitForQuestion());
        QVERIFY(!notice->isVisible());
        // Answers still come from the screen.
        rig->ClickVariant(RightButton(*rig));
        QVERIFY(rig->WaitForAnswers(1, 30000));
    }

    // Reports of a lesson that is closed before they are shown never reach the next lesson.
    void closedLessonReportsAreDropped()
    {
        auto rig = Open(0);
        QVERIFY(rig);
        rig->Lesson().Judge(Choice(rig->Lesson().GetCurrentQuestion().correctIndex)); // report queued
        rig->screen->LoadExercise(2, false, false);
        QVERIFY(rig->WaitForQuestion());
        QCoreApplication::processEvents();
        QCOMPARE(rig->Bar()->Right() + rig->Bar()->Wrong(), 0);
        QCOMPARE(rig->ScorePane()->styleSheet(), rig->Look("scorePane", "RegularBorderStyle"));
        QVERIFY(!rig->screen->IsNextQuestionPending());
        QCOMPARE(rig->screen->GetExerciseId(), size_t(2));
    }

    // A click on a section button switches to that section and asks its first question.
    void sectionButtonSwitchesSection()
    {
        auto rig = Open(2);
        QVERIFY(rig);
        QToolButton* button = rig->SectionButton(3);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->Lesson().GetCurrentSection(), 3);
        QVERIFY(button->isChecked());
        const auto record = rig->screen->GetSectionRecord(3);
        QVERIFY(rig->Slider()->value() >= record.start &&
                rig->Slider()->value() < record.start + record.span);
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("sectionTitle"))->text(),
                 QStringLiteral("Train Loudness"));
    }

    // Hiding the screen pauses the lesson.
    void hidingPauses()
    {
        auto rig = Open(0);
        QVERIFY(rig);
        rig->screen->hide();
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
    }

    // The end of the lesson: the section end dialog with the final score; Continue leaves,
    // Repeat opens the lesson afresh.
    void sectionEnd()
    {
        auto rig = Open(2, [](ScreenRig& r) {
            r.Settings([](Core::TrainerSettings& s) { ShortLessons(s, 1, 30); });
            SetPolicy(r, true, 0);
        });
        QVERIFY(rig);
        int rights = 0;
        for (int n = 0; n < 5; ++n) {
            QVERIFY(rig->WaitForQuestion());
            const bool right = n != 2;
            rig->ClickVariant(right ? RightButton(*rig) : WrongButton(*rig));
            rights += right;
            QVERIFY(rig->WaitForAnswers(n + 1));
        }
        // The last judgement is seen before the dialog covers it.
        QTRY_COMPARE(rig->Status()->text(), QStringLiteral("Right"));
        QVERIFY(!rig->screen->GetSectionEndDialog() || !rig->screen->GetSectionEndDialog()->isVisible());
        QCOMPARE(rig->FinalScore(), qMakePair(rights, 5 - rights));
        QCOMPARE(rig->Bar()->Right(), rig->Lesson().GetCounters().correct);
        auto* dialog = rig->screen->GetSectionEndDialog();
        QSignalSpy exit(rig->screen.get(), &UI::ConsoleExerciseControl::ExitSignal);
        emit dialog->Continue();
        QCOMPARE(exit.size(), 1);
        emit dialog->Repeat();
        QVERIFY(rig->WaitForQuestion());
        QCOMPARE(rig->Lesson().GetCounters().answered, 0);
        QCOMPARE(rig->Bar()->Right() + rig->Bar()->Wrong(), 0);
    }

    // The view machine: each of the 22 transition signals leads from its state to its target;
    // a signal without a transition from the current state changes nothing; after the move the
    // target's pane fills the view and the others lie outside it.
    void viewMachine_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QString>("to");
        const char* rows[][3] = {
            {"exercise", "exerciseToStatisticsTrans", "statistics"},
            {"exercise", "quickExerciseToStatisticsTrans", "statistics"},
            {"exercise", "exerciseToExtendedStatisticsTrans", "extendedStatistics"},
            {"exercise", "quickExerciseToExtendedStatisticsTrans", "extendedStatistics"},
            {"exercise", "exerciseToReferenceTrans", "reference"},
            {"exercise", "quickExerciseToReferenceTrans", "reference"},
            {"reference", "referenceToExerciseTrans", "exercise"},
            {"reference", "quickReferenceToExerciseTrans", "exercise"},
            {"reference", "referenceToStatisticsTrans", "statistics"},
            {"reference", "quickReferenceToStatisticsTrans", "statistics"},
            {"reference", "referenceToExtendedStatisticsTrans", "extendedStatistics"},
            {"reference", "quickReferenceToExtendedStatisticsTrans", "extendedStatistics"},
            {"statistics", "statisticsToReferenceTrans", "reference"},
            {"statistics", "quickStatisticsToReferenceTrans", "reference"},
            {"statistics", "statisticsToExerciseTrans", "exercise"},
            {"statistics", "quickStatisticsToExerciseTrans", "exercise"},
            {"statistics", "statisticsToExtendedStatisticsTrans", "extendedStatistics"},
            {"extendedStatistics", "extendedStatisticsToExerciseTrans", "exercise"},
            {"extendedStatistics", "quickExtendedStatisticsToExerciseTrans", "exercise"},
            {"extendedStatistics", "extendedStatisticsToReferenceTrans", "reference"},
            {"extendedStatistics", "quickExtendedStatisticsToReferenceTrans", "reference"},
            {"extendedStatistics", "extendedStatisticsToStatisticsTrans", "statistics"},
            {"exercise", "referenceToExerciseTrans", "exercise"},
            {"statistics", "exerciseToReferenceTrans", "statistics"},
        };
        for (const auto& row : rows)
            QTest::addRow("%s: %s", row[0], row[1]) << row[0] << row[1] << row[2];
    }
    void viewMachine()
    {
        QFETCH(QString, from);
        QFETCH(QString, signal);
        QFETCH(QString, to);
        ScreenRig rig(bank);
        QVERIFY(rig.Show());
        QStateMachine* machine = rig.screen->GetViewMachine();
        QVERIFY(machine);
        auto current = [&] {
            const auto states = machine->configuration();
            return states.isEmpty() ? QString() : (*states.begin())->objectName();
        };
        QTRY_COMPARE(current(), QStringLiteral("exercise"));
        const QHash<QString, const char*> quickFromExercise = {
            {"statistics", "quickExerciseToStatisticsTrans"},
            {"extendedStatistics", "quickExerciseToExtendedStatisticsTrans"},
            {"reference", "quickExerciseToReferenceTrans"}};
        if (from != QLatin1String("exercise")) {
            QVERIFY(QMetaObject::invokeMethod(rig.screen.get(), quickFromExercise.value(from)));
            QTRY_COMPARE(current(), from);
        }
        QVERIFY(QMetaObject::invokeMethod(rig.screen.get(), signal.toLatin1().constData()));
        QTRY_COMPARE(current(), to);
        const QHash<QString, QString> paneOf = {{"exercise", "exercisePane"},
                                                {"statistics", "statisticsPane"},
                                                {"extendedStatistics", "extendedStatisticsPane"},
                                                {"reference", "referencePane"}};
        QWidget* area = rig.Child(QStringLiteral("viewArea"));
        QWidget* pane = rig.Child(paneOf.value(to));
        QTRY_COMPARE(pane->geometry(), area->rect());
        QTRY_VERIFY(pane->isVisible());
        for (const QString& other : paneOf)
            if (other != paneOf.value(to))
                QTRY_VERIFY(!rig.Child(other)->geometry().intersects(area->rect()) ||
                            !rig.Child(other)->isVisible());
    }

    // The views as the main window opens them, with their speed: the quick switch is in place at
    // once, the animated one glides and then repaints the score bar.
    void viewsOpenedByTheScreen()
    {
        auto rig = Open(1);
        QVERIFY(rig);
        QWidget* area = rig->Child(QStringLiteral("viewArea"));
        rig->screen->ShowStatistics(UI::Animated);
        QCOMPARE(rig->screen->GetViewMode(), int(UI::ConsoleExerciseControl::StatisticsView));
        QCOMPARE(rig->Lesson().GetPlayState(), int(LessonBase::Paused));
        QTRY_COMPARE(rig->Child(QStringLiteral("statisticsPane"))->geometry(), area->rect());
        // The ear trainer's tempo section has the extended page, without the piano.
        QMetaObject::invokeMethod(rig->screen.get(), "SwitchToStatSection", Q_ARG(int, 4));
        QVERIFY(rig->screen->IsExtendedStatistics());
        QTRY_COMPARE(rig->Child(QStringLiteral("extendedStatisticsPane"))->geometry(), area->rect());
        QTRY_VERIFY(!rig->Piano()->isVisible());
        rig->screen->showReference(UI::Quick);
        QTRY_COMPARE(rig->Child(QStringLiteral("referencePane"))->geometry(), area->rect());
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("referenceTitle"))->text(),
                 QStringLiteral("Single Notes Reference"));
        rig->SectionButton(4)->click();
        QCOMPARE(rig->Child<QLabel>(QStringLiteral("referenceTitle"))->text(),
                 QStringLiteral("Tempo Reference"));
        QCOMPARE(rig->SectionButton(4)->styleSheet(), rig->Look("sectionButtons", "sectionStatisticsMode"));
        rig->screen->showExercise(UI::Quick);
        QTRY_COMPARE(rig->Child(QStringLiteral("exercisePane"))->geometry(), area->rect());
        QVERIFY(rig->Piano()->isVisible());
        QCOMPARE(rig->SectionButton(4)->styleSheet(), rig->Look("sectionButtons", "sectionExerciseMode"));
        // The section buttons switch sections again.
        rig->SectionButton(1)->click();
        QTRY_COMPARE(rig->Lesson().GetCurrentSection(), 1);
    }

    // Pictures of the statistics and reference views after a few answers, for a person to look
    // at, when CANTORELA_SCREEN_SHOTS names a folder (run once more with QT_SCALE_FACTOR=2 for the
    // ratio-2 pictures). The lessons themselves are pictured by the tour (make tour).
    void viewShots()
    {
        const QString folder = qEnvironmentVariable("CANTORELA_SCREEN_SHOTS");
        if (folder.isEmpty())
            QSKIP("set CANTORELA_SCREEN_SHOTS to a folder to write the pictures");
        auto rig = Open(0, [](ScreenRig& r) { SetPolicy(r, true, 0); });
        QVERIFY(rig);
        for (int n = 0; n < 4; ++n) {
            QVERIFY(rig->WaitForQuestion());
            rig->ClickVariant(n % 2 ? WrongButton(*rig) : RightButton(*rig));
            QVERIFY(rig->WaitForAnswers(n + 1));
        }
        const QString ratio = QString::number(qApp->devicePixelRatio());
        rig->screen->ShowStatistics(UI::Quick);
        QTest::qWait(300); // for the picture only: the view settles
        QVERIFY(rig->screen->grab().save(QStringLiteral("%1/view_statistics_r%2.png").arg(folder, ratio)));
        rig->screen->showReference(UI::Quick);
        QTest::qWait(300);
        QVERIFY(rig->screen->grab().save(QStringLiteral("%1/view_reference_r%2.png").arg(folder, ratio)));
    }
};

QTEST_MAIN(TestConsoleExerciseControl)
#include "test_console_exercise_control.moc"
