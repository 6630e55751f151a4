#include "student.h"

#include "album.h"
#include "tour_lessons.h"
#include "tour_window.h"

#include "core/exercise/exercise.h"
#include "core/exercise/question_data.h"
#include "core/midi/midi_event.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/exercise/action_hint.h"
#include "ui/widgets/keyboard.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <utility>

bool Student::Lesson(size_t trainerId, bool quizMode)
{
    trainer = trainerId;
    quiz = quizMode;
    const bool first = trainer == 0 && !quiz;
    CloseMidiNotice();
    int asked = 0;
    bool timedOut = quiz; // one time-out per learning lesson
    bool heardShown = false;
    const Move cycle[] = {Move::RightOnPiano, Move::WrongButton, Move::RightKey,
                          Move::WrongOnPiano, Move::RightButton, Move::WrongKey};
    for (int n = 0; n < 20; ++n) {
        if (trainer == 1 && !heardShown) {
            // A heard question while it sounds: the speaker moves.
            heardShown = true;
            const auto presenting = [&] { return Exercise().state == Core::Exercise::Presenting; };
            if (WaitFor([&] { return presenting() || Exercise().state == Core::Exercise::AwaitingAnswer; },
                        8000) &&
                presenting()) {
                Pause(250);
                album.Shot(QStringLiteral("%1: sounding").arg(QuestionName()));
            }
        }
        if (!WaitForNextQuestion(asked)) {
            std::fprintf(stderr, "tour: no question after %d in %s\n", asked, TrainerName(trainer));
            return false;
        }
        if (LessonEnded())
            break;
        if (first && n == 0)
            PauseMoments();
        window.WaitForFades(); // the question fades in over the last one
        asked = Exercise().counters.asked;
        const int answered = Exercise().counters.answered;
        const QString question = QuestionName();
        album.Shot(question + QStringLiteral(": question"));
        // The section with the short time-out lets its question run out of time.
        const int section = Exercise().section;
        const bool timeOutHere = !timedOut && TicksPerQuestion(section) > 0 &&
                                 TicksPerQuestion(section) * Core::Exercise::TickMs <= 8000;
        const Move move = timeOutHere ? Move::TimeOut : cycle[size_t(n) % 6];
        const QString what = Answer(move);
        if (what.isEmpty()) {
            std::fprintf(stderr, "tour: no input to answer with in %s\n", TrainerName(trainer));
            return false;
        }
        if (!WaitFor([&] { return Exercise().counters.answered > answered; }, 15000)) {
            std::fprintf(stderr, "tour: the answer (%s) was not judged\n", qPrintable(what));
            return false;
        }
        if (move == Move::TimeOut) {
            timedOut = true;
            Pause(900);
            album.Shot(question + QStringLiteral(": out of time"));
            Pause(Core::LessonSession::TimeoutSummaryDelayMs);
            // The status goes back to the question count; the judged question stays.
            if (Exercise().counters.asked == asked && !window.screen->isTimedOut())
                album.Shot(question + QStringLiteral(": out of time, 3 s later"));
            else
                std::fprintf(stderr, "tour: %s moved on before the time-out summary\n", TrainerName(trainer));
        } else {
            const bool right = what.startsWith(QLatin1String("right"));
            Pause(right ? 250 : 900); // a right answer moves on after half a second
            album.Shot(question + QStringLiteral(": ") + what);
        }
        // After a mistake in a learning lesson the space bar goes on.
        if (Exercise().playState == Core::LessonBase::Paused && Exercise().counters.asked == asked)
            QTest::keyClick(window.screen, Qt::Key_Space);
    }
    if (!WaitFor([&] { return LessonEnded(); }, 20000)) {
        std::fprintf(stderr, "tour: the lesson of %s did not end\n", TrainerName(trainer));
        return false;
    }
    UI::SectionEndDialog* dialog = window.screen->sectionEndDialog();
    QSignalSpy counted(dialog, &UI::SectionEndDialog::sectionEndTimeout);
    counted.wait(3000);
    Pause(300);
    album.Shot(QStringLiteral("Section end: the lesson's score"));
    if (first) {
        // The looks on either side of the 90 % line.
        for (const auto& score : {std::make_pair(1, 9), std::make_pair(3, 22)}) {
            dialog->setScore(score.first, score.second);
            QSignalSpy again(dialog, &UI::SectionEndDialog::sectionEndTimeout);
            dialog->showForSectionEnd();
            again.wait(3000);
            Pause(300);
            album.Shot(
                QStringLiteral("Section end at %1 %").arg(score.second * 100 / (score.first + score.second)));
        }
    }
    return true;
}

Core::LessonSnapshot Student::Exercise() const
{
    return window.screen->session()->snapshot();
}

int Student::TicksPerQuestion(int section) const
{
    const Core::LessonSnapshot lesson = Exercise();
    if (section < 0 || size_t(section) >= lesson.sections.size())
        return 0;
    return std::max(0, lesson.sections[size_t(section)].msPerQuestion / Core::Exercise::TickMs);
}

QToolButton* Student::Variant(int id) const
{
    return window.Child<QToolButton>(QStringLiteral("variant%1").arg(id));
}

Keyboard* Student::Piano() const
{
    return window.Child<Keyboard>(QStringLiteral("keyboard"));
}

bool Student::LessonEnded() const
{
    return window.screen->sectionEndDialog() && window.screen->sectionEndDialog()->isVisible() &&
           Exercise().state == Core::Exercise::LessonEnd;
}

bool Student::WaitForNextQuestion(int asked)
{
    auto ready = [&] {
        return LessonEnded() ||
               (Exercise().state == Core::Exercise::AwaitingAnswer &&
                Exercise().playState == Core::LessonBase::Running && Exercise().counters.asked > asked);
    };
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (WaitFor(ready, 15000))
            return true;
        QTest::keyClick(window.screen, Qt::Key_Space);
    }
    return false;
}

QVector<int> Student::ExpectedKeys() const
{
    QVector<int> keys;
    const Core::QuestionRecord question = Exercise().question;
    if (const Core::QuestionData* item = question.AskedItem())
        if (item->stream)
            for (const MidiEvent& e : *item->stream)
                if (e.message.IsNoteOn() && !keys.contains(int(e.message.byte1) - 21))
                    keys.append(int(e.message.byte1) - 21);
    return keys;
}

void Student::ClickKey(int key) const
{
    const QRect area = Piano()->keyRect(key);
    QTest::mouseClick(Piano(), Qt::LeftButton, Qt::NoModifier, QPoint(area.center().x(), area.bottom() - 4));
}

QString Student::QuestionName() const
{
    const Core::QuestionRecord question = Exercise().question;
    const int section = Exercise().section;
    const auto titles = Exercise().titles;
    QString name = section >= 0 && size_t(section) < titles.size()
                       ? titles[size_t(section)].shortName
                       : QStringLiteral("section %1").arg(section);
    if (question.kind == Core::QuestionRecord::ChordSymbolQuestion)
        return QStringLiteral("Chord symbol");
    if (trainer == 0)
        name += question.option1 ? QStringLiteral(", treble clef") : QStringLiteral(", bass clef");
    if (trainer == 1)
        name = QStringLiteral("Heard: ") + name;
    return name;
}

QString Student::Answer(Move move)
{
    const Core::QuestionRecord question = Exercise().question;
    const bool buttons = Variant(1)->isVisible();
    const bool piano = Piano()->isVisible();
    const int right = question.correctIndex + 1;
    const int wrong = right % 6 + 1;
    const QVector<int> expected = ExpectedKeys();
    const bool onPiano = move == Move::RightOnPiano || move == Move::WrongOnPiano;
    if (move == Move::TimeOut)
        return QStringLiteral("out of time");
    const bool isRight = move == Move::RightOnPiano || move == Move::RightKey || move == Move::RightButton;
    if ((onPiano && piano && !expected.isEmpty()) || (!buttons && piano && !expected.isEmpty())) {
        if (isRight) {
            for (int key : expected)
                ClickKey(key);
        } else {
            int key = expected.first() + 1;
            while (expected.contains(key) || (key - expected.first()) % 12 == 0)
                ++key;
            ClickKey(key);
        }
        return isRight ? QStringLiteral("right answer on the on-screen piano")
                       : QStringLiteral("wrong answer on the on-screen piano");
    }
    if (!buttons)
        return QString();
    const int id = isRight ? right : wrong;
    // Where the piano answers, the digits it plays are its keys: 1 and 4 alone choose.
    const bool digitChooses = !piano || id == 1 || id == 4;
    if ((move == Move::RightKey || move == Move::WrongKey) && digitChooses) {
        QTest::keyClick(window.screen, Qt::Key(Qt::Key_0 + id));
        return isRight ? QStringLiteral("right answer by key %1").arg(id)
                       : QStringLiteral("wrong answer by key %1").arg(id);
    }
    QTest::mouseClick(Variant(id), Qt::LeftButton, Qt::NoModifier, Variant(id)->rect().center());
    return isRight ? QStringLiteral("right answer by button") : QStringLiteral("wrong answer by button");
}

void Student::CloseMidiNotice()
{
    auto shown = [&] {
        return window.screen->midiWarningDialog() && window.screen->midiWarningDialog()->isVisible();
    };
    if (!WaitFor(shown, 1500))
        return;
    Pause(400); // it fades in
    album.Shot(noticeShots++ == 0 ? QStringLiteral("MIDI notice: no MIDI input device")
                                  : QStringLiteral("MIDI notice again"));
    QTest::mouseClick(window.screen->midiWarningDialog()->okButton(), Qt::LeftButton);
    WaitFor([&] { return !shown(); }, 3000);
    Pause(200);
}

void Student::PauseMoments()
{
    QTest::keyClick(window.screen, Qt::Key_Space);
    WaitFor([&] { return window.screen->playDialog() && window.screen->playDialog()->isShown(); }, 3000);
    Pause(400);
    album.Shot(QStringLiteral("Paused: the play dialog"));
    QTest::keyClick(window.screen, Qt::Key_Space);
    if (WaitFor([&] { return window.screen->actionHint()->isVisible(); }, 8000)) {
        Pause(300);
        album.Shot(QStringLiteral("The pause hint"));
    } else {
        std::fprintf(stderr, "tour: no pause hint came\n");
    }
}
